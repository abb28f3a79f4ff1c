// Times givwls and a whole interior-point solve on a generated dispatch
// problem of the size of a 118-bus network: 118 buses, 54 generators and
// 186 lines give 651 variables and 598 constraints (factor order 1249),
// with the sparse constraint rows of a DC network.
//
// The generated problem serves the timing only: with random costs and
// reactances the iteration need not converge within its passes, and the
// time per pass is the figure to watch.
//
// Usage: bench_talven [repetitions of givwls, default 3] [buses, default 118]
//                     [seed, default 2024]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "talven/givens.hpp"
#include "talven/iteration.hpp"
#include "talven/preprocess.hpp"
#include "talven/residuals.hpp"

namespace {

using talven::Matrix;

struct Line {
  int from, to;
  double y;      // 1 / reactance
  double limit;  // per unit
};

struct Dispatch {
  Matrix a;
  std::vector<double> b, c, q, x;
  std::vector<std::int32_t> flags;
  std::vector<double> lb;
};

// A connected network: a ring through all buses plus random chords.
std::vector<Line> network(int buses, int lines, std::mt19937& gen) {
  std::uniform_real_distribution<double> reactance(0.05, 0.3);
  std::uniform_int_distribution<int> bus(0, buses - 1);
  std::vector<Line> result;
  for (int i = 0; i < buses; ++i) result.push_back({i, (i + 1) % buses, 1.0 / reactance(gen), 50.0});
  while (static_cast<int>(result.size()) < lines) {
    const int from = bus(gen);
    const int to = bus(gen);
    if (from != to) result.push_back({from, to, 1.0 / reactance(gen), 50.0});
  }
  return result;
}

// The dispatch problem in the builder's layout of variables and
// constraints; bus 0 is the reference bus and has generator 0.
Dispatch dispatch(int buses, int generators, int lines_wanted, unsigned seed) {
  std::mt19937 gen(seed);
  const std::vector<Line> lines = network(buses, lines_wanted, gen);
  const int nl = static_cast<int>(lines.size());
  const int n = (buses - 1) + 3 * generators + 2 * nl;
  const int m = buses + 2 * generators + 2 * nl;
  auto angle = [](int bus) { return bus - 1; };  // column of a bus angle, bus > 0
  const int power = buses - 1;
  const int upper_slack = power + generators;
  const int lower_surplus = upper_slack + generators;
  const int line_upper = lower_surplus + generators;
  const int line_lower = line_upper + nl;

  Dispatch d{Matrix(m, n), std::vector<double>(m, 0.0), std::vector<double>(n, 0.0),
             std::vector<double>(n, 0.0), std::vector<double>(n, 0.0), std::vector<std::int32_t>(n, 0), {}};
  std::uniform_real_distribution<double> load(0.2, 0.6), linear(1000.0, 4000.0), quadratic(100.0, 500.0);
  std::vector<int> generator_bus(generators);
  for (int g = 0; g < generators; ++g) generator_bus[g] = g * buses / generators;

  double total_load = 0.0;
  for (int i = 0; i < buses; ++i) {
    d.b[i] = load(gen);
    total_load += d.b[i];
  }
  // Power balance: -Bmat times the angles plus the generation.
  for (const Line& l : lines) {
    for (auto [bus, other] : {std::pair{l.from, l.to}, std::pair{l.to, l.from}}) {
      if (bus > 0) d.a(bus, angle(bus)) -= l.y;
      if (other > 0) d.a(bus, angle(other)) += l.y;
    }
  }
  const double upper_limit = 2.0 * total_load / generators;
  for (int g = 0; g < generators; ++g) {
    d.a(generator_bus[g], power + g) = 1.0;
    d.a(buses + g, power + g) = -1.0;
    d.a(buses + g, upper_slack + g) = -1.0;
    d.b[buses + g] = -upper_limit;
    d.a(buses + generators + g, power + g) = 1.0;
    d.a(buses + generators + g, lower_surplus + g) = -1.0;
    d.c[power + g] = linear(gen);
    d.q[power + g] = quadratic(gen);
    d.x[power + g] = upper_limit / 2.0;
  }
  for (int l = 0; l < nl; ++l) {
    const Line& line = lines[l];
    const int up = buses + 2 * generators + l;
    const int down = up + nl;
    if (line.from > 0) {
      d.a(up, angle(line.from)) = -line.y;
      d.a(down, angle(line.from)) = line.y;
    }
    if (line.to > 0) {
      d.a(up, angle(line.to)) = line.y;
      d.a(down, angle(line.to)) = -line.y;
    }
    d.a(up, line_upper + l) = -1.0;
    d.b[up] = -line.limit;
    d.a(down, line_lower + l) = -1.0;
    d.b[down] = -line.limit;
  }
  for (int j = 0; j < buses - 1; ++j) {
    d.flags[j] = j + 1;
    d.lb.push_back(-2.0);
  }
  return d;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 3;
  const int buses = argc > 2 ? std::atoi(argv[2]) : 118;
  Dispatch d = dispatch(buses, buses * 54 / 118, buses * 186 / 118, argc > 3 ? std::atoi(argv[3]) : 2024);
  const int m = d.a.rows();
  const int n = d.a.cols();
  std::printf("variables n = %d, constraints m = %d, factor order %d\n", n, m, n + m);

  const std::vector<int> negative = talven::negative_list(d.flags);
  const std::vector<double> bm = talven::shifted_rhs(d.a, d.b, negative, d.lb);
  std::vector<double> x = d.x, y(m), z(n, 0.0);
  talven::prepare_start(x, y, z);

  // One least-squares solve at the starting point.
  std::vector<double> t(m), u(n), v(n), w(n), dy(m), weights;
  talven::resid({d.a, x, y, z, bm, d.c, d.q, 0.1}, t, u, v);
  for (int j = 0; j < n; ++j) w[j] = 1.0 / (z[j] / x[j] + d.q[j]);
  talven::GivensObserver quiet;
  double ssr = 0.0;
  for (int r = 0; r < repetitions; ++r) {
    const auto start = std::chrono::steady_clock::now();
    const auto fault = talven::givwls({d.a, t, u, v, x, w, 0, 1.0e-35, {500, 500, 1000}}, ssr, quiet, dy, weights);
    std::printf("givwls: %.3f s%s\n", seconds_since(start), fault ? " (fault)" : "");
  }

  // The whole solve.
  talven::IterationParams params;
  params.rho = 0.99;
  params.epsln = 1.0e-10;
  params.maxit = 60;
  params.sigma = 0.1;
  params.epslgiv = 1.0e-35;
  params.dims = {500, 500, 1000};
  talven::IterationState state;
  state.x = x;
  state.y = y;
  state.z = z;
  talven::IterationObserver silent;
  const auto start = std::chrono::steady_clock::now();
  const talven::IterationOutcome outcome = talven::interior_point({d.a, bm, d.c, d.q}, params, state, silent);
  const double elapsed = seconds_since(start);
  const char* how = outcome.end == talven::IterationEnd::Converged       ? "converged"
                    : outcome.end == talven::IterationEnd::LimitExceeded ? "iteration limit"
                                                                         : outcome.message.c_str();
  std::printf("solve: %s at k = %d, gap %.3e, primal fact. %.3e, dual fact. %.3e\n", how, state.k, state.gap,
              state.primal_index, state.dual_index);
  std::printf("solve: %.3f s (%.3f s per pass)\n", elapsed, elapsed / (state.k + 1));
  return 0;
}
