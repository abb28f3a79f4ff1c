// Writes a synthetic dispatch case in our case-file format to standard
// output, for timing the solvers on networks larger than the public ones.
//
// The buses sit on a grid of about sqrt(n) columns. Every bus is joined to
// its left neighbour, every first bus of a row to the bus above it, and
// each other bus to the bus above it with probability 1/2, so the network
// is connected with about 1.5 lines per bus, like real transmission grids.
// One bus in six holds a generator (the first one is the reference bus);
// three buses in five carry a load. Generation capacity is 1.5 times the
// load; one line in five has a finite rating, generous enough that the
// case stays feasible while some ratings may bind.
//
// Usage: synthetic_case BUSES [SEED] [--format dat|m] > case.dat   (BUSES >= 2)
//   --format m   the same network as a MATPOWER version 2 case file (the
//                numbers rounded as in the case file; an unrated line has
//                rateA 0, which MATPOWER reads as no limit, where the case
//                file carries ±9999 MW; quadratic cost ½·q·P² is c2 = q/2)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Line {
  int from, to;
  double x, rating;  // per unit, MW (0 for no rating)
};

struct Bus {
  int type = 0;
  double load = 0.0;
  double linear = 0.0, quadratic = 0.0, upper = 0.0, lower = 0.0;
};

std::vector<Line> make_lines(int n, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const int width = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
  std::vector<Line> lines;
  for (int i = 1; i < n; ++i) {
    const int column = i % width;
    const bool left = column != 0;
    const bool up = i >= width && (column == 0 || unit(rng) < 0.5);
    for (int end : {left ? i - 1 : -1, up ? i - width : -1}) {
      if (end < 0) continue;
      const double x = 0.005 + 0.045 * unit(rng);
      const double rating = unit(rng) < 0.2 ? 400.0 + 800.0 * unit(rng) : 0.0;
      lines.push_back({end + 1, i + 1, x, rating});
    }
  }
  return lines;
}

std::vector<Bus> make_buses(int n, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<Bus> buses(static_cast<std::size_t>(n));
  double total_load = 0.0;
  std::vector<Bus*> generators;
  for (int i = 0; i < n; ++i) {
    Bus& b = buses[static_cast<std::size_t>(i)];
    if (i % 6 == 0) {
      b.type = generators.empty() ? 2 : 1;
      generators.push_back(&b);
    }
    if (unit(rng) < 0.6) b.load = 5.0 + 55.0 * unit(rng);
    total_load += b.load;
  }
  // Capacities: shares of 1.5 times the load, drawn at random.
  std::vector<double> share;
  double share_sum = 0.0;
  for (std::size_t k = 0; k < generators.size(); ++k) {
    share.push_back(0.5 + unit(rng));
    share_sum += share.back();
  }
  for (std::size_t k = 0; k < generators.size(); ++k) {
    Bus& g = *generators[k];
    g.upper = std::round(1.5 * total_load * share[k] / share_sum);
    g.lower = unit(rng) < 0.1 ? std::round(0.1 * g.upper) : 0.0;
    g.linear = 10.0 + 40.0 * unit(rng);
    g.quadratic = 0.001 + 0.049 * unit(rng);
  }
  return buses;
}

// Records end with CR LF, like every file our programs write.
void write_case(int n, const std::vector<Line>& lines, const std::vector<Bus>& buses,
                unsigned long long seed) {
  std::printf("Synthetic %d-bus network, seed %llu\r\n", n, seed);
  std::printf("%10d%10zu%10.2f\r\n", n, lines.size(), 100.0);
  for (const Line& l : lines) {
    const double rating = l.rating > 0.0 ? l.rating : 9999.0;
    std::printf("%10d%10d%10.6f%10.2f%10.2f\r\n", l.from, l.to, l.x, rating, -rating);
  }
  for (int i = 0; i < n; ++i) {
    std::printf("%10d", buses[static_cast<std::size_t>(i)].type);
    if (i % 8 == 7 || i == n - 1) std::printf("\r\n");
  }
  for (const Bus& b : buses) {
    if (b.type == 0) {
      std::printf("%10.2f\r\n", b.load);
    } else {
      std::printf("%10.2f%10.2f%10.2f%10.6f%10.2f%10.2f\r\n", b.load, 0.0, b.linear, b.quadratic,
                  b.upper, b.lower);
    }
  }
  std::printf("%10d%10d\r\n%10d%10d\r\n", 100, 150, 500, 500);
  std::printf("        %2d         %1d% 10.1E% 10.1E% 10.1E% 10.1E\r\n", 99, 0, 1e-8, 1e-35, 1e-6,
              1e-10);
  std::printf("% 10.2f% 10.1E% 10.1E\r\n", 0.99, 1e5, 0.1);
}

// A number as the case file writes it with `decimals` decimals, so that
// both formats describe the same network.
double as_written(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return std::strtod(text, nullptr);
}

// The same network as a MATPOWER version 2 case file. Bus types: 3 for
// the reference bus, 2 for the other generator buses, 1 for load buses.
void write_matpower(int n, const std::vector<Line>& lines, const std::vector<Bus>& buses,
                    unsigned long long seed) {
  std::printf("function mpc = synthetic_%d_%llu\n", n, seed);
  std::printf("%%Synthetic %d-bus network, seed %llu\n\n", n, seed);
  std::printf("mpc.version = '2';\nmpc.baseMVA = 100;\n\n");
  std::printf("%%%% bus data\n%%\tbus_i\ttype\tPd\tQd\tGs\tBs\tarea\tVm\tVa\tbaseKV\tzone\tVmax\tVmin\n");
  std::printf("mpc.bus = [\n");
  for (int i = 0; i < n; ++i) {
    const Bus& b = buses[static_cast<std::size_t>(i)];
    const int type = b.type == 2 ? 3 : b.type == 1 ? 2 : 1;
    std::printf("\t%d\t%d\t%.2f\t0\t0\t0\t1\t1\t0\t230\t1\t1.1\t0.9;\n", i + 1, type, b.load);
  }
  std::printf("];\n\n%%%% generator data\n");
  std::printf("%%\tbus\tPg\tQg\tQmax\tQmin\tVg\tmBase\tstatus\tPmax\tPmin\tPc1\tPc2\tQc1min\tQc1max\tQc2min\tQc2max\tramp_agc\tramp_10\tramp_30\tramp_q\tapf\n");
  std::printf("mpc.gen = [\n");
  for (int i = 0; i < n; ++i) {
    const Bus& b = buses[static_cast<std::size_t>(i)];
    if (b.type == 0) continue;
    std::printf("\t%d\t0\t0\t0\t0\t1\t100\t1\t%.2f\t%.2f\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0;\n", i + 1,
                b.upper, b.lower);
  }
  std::printf("];\n\n%%%% branch data\n");
  std::printf("%%\tfbus\ttbus\tr\tx\tb\trateA\trateB\trateC\tratio\tangle\tstatus\tangmin\tangmax\n");
  std::printf("mpc.branch = [\n");
  for (const Line& l : lines) {
    std::printf("\t%d\t%d\t0\t%.6f\t0\t%.2f\t%.2f\t%.2f\t0\t0\t1\t-360\t360;\n", l.from, l.to, l.x,
                l.rating, l.rating, l.rating);
  }
  std::printf("];\n\n%%%% generator cost data\n%%\t2\tstartup\tshutdown\tn\tc(n-1)\t...\tc0\n");
  std::printf("mpc.gencost = [\n");
  for (const Bus& b : buses) {
    if (b.type == 0) continue;
    std::printf("\t2\t0\t0\t3\t%.9g\t%.2f\t0;\n", as_written(b.quadratic, 6) / 2.0, b.linear);
  }
  std::printf("];\n");
}

int usage() {
  std::fprintf(stderr, "usage: synthetic_case BUSES [SEED] [--format dat|m] > case\n");
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> positional;
  std::string format = "dat";
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (arg == "--format" && k + 1 < argc) {
      format = argv[++k];
      if (format != "dat" && format != "m") return usage();
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.empty() || positional.size() > 2) return usage();
  const int n = std::atoi(positional[0].c_str());
  const unsigned long long seed = positional.size() == 2 ? std::strtoull(positional[1].c_str(), nullptr, 10) : 1;
  if (n < 2) {
    std::fprintf(stderr, "synthetic_case: BUSES must be at least 2, got '%s'\n", positional[0].c_str());
    return 64;
  }
  std::mt19937_64 rng(seed);
  const std::vector<Line> lines = make_lines(n, rng);
  const std::vector<Bus> buses = make_buses(n, rng);
  if (format == "m") {
    write_matpower(n, lines, buses, seed);
  } else {
    write_case(n, lines, buses, seed);
  }
  return 0;
}
