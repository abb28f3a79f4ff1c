// Times solve_dc_opf alone on case files (our format): the problem is
// built from the case before the clock starts. For each case: buses,
// branches, units, status, iterations, cost, the median time of the
// solves, the time per iteration and the shares of the symbolic
// analysis, the factorisations and the triangular solves.
//
// Usage: bench_dc_opf [--repeat N] [--workspace] [--verbose]
//                     [--factorisation automatic|simplicial|supernodal] CASE.dat...
//   --repeat N    solves per case (default 5; the median is shown)
//   --workspace   reuse one workspace across the repeats of a case (the
//                 first solve analyses the pattern, the others do not)
//   --verbose     the iteration log of every solve on standard error
//   --factorisation  force one factorisation of the Newton system (default:
//                 automatic, by the size of the factor)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "case_to_dc_opf.hpp"
#include "dispatch/case_loader.hpp"
#include "robust/dc_opf.hpp"

namespace {

using corvo::robust::Solution;

struct Run {
  double seconds;
  Solution solution;
};

int usage() {
  std::fprintf(stderr,
               "usage: bench_dc_opf [--repeat N] [--workspace] [--verbose] "
               "[--factorisation automatic|simplicial|supernodal] CASE.dat...\n");
  return 64;
}

void report(const std::string& name, const corvo::robust::DcOpf& p, std::vector<Run>& runs) {
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  const Run& median = runs[runs.size() / 2];
  const Solution& s = median.solution;
  const auto& st = s.statistics;
  const double total = st.seconds_total > 0.0 ? st.seconds_total : 1.0;
  std::printf("%-16s %6d %6zu %5zu  %-8s %3d  %16.6f  %8.4f s  %7.2f ms/it  analysis %4.1f%%  %s factor %4.1f%% (%d, %.2f ms each)  solve %4.1f%% (%d)\n",
              name.c_str(), p.buses, p.branch_from.size(), p.unit_to.size(),
              corvo::robust::status_text(s.status).c_str(), s.iterations, s.cost, median.seconds,
              1e3 * median.seconds / std::max(1, s.iterations), 100.0 * st.seconds_analysis / total,
              st.supernodal ? "supernodal" : "simplicial", 100.0 * st.seconds_factor / total, st.factorizations,
              1e3 * st.seconds_factor / std::max(1, st.factorizations), 100.0 * st.seconds_solve / total,
              st.solves);
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 5;
  bool reuse = false;
  bool verbose = false;
  auto factorisation = corvo::robust::Factorisation::automatic;
  std::vector<std::string> files;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (arg == "--repeat" && k + 1 < argc) {
      repeat = std::atoi(argv[++k]);
      if (repeat < 1) return usage();
    } else if (arg == "--workspace") {
      reuse = true;
    } else if (arg == "--verbose") {
      verbose = true;
    } else if (arg == "--factorisation" && k + 1 < argc) {
      const std::string f = argv[++k];
      if (f == "simplicial") {
        factorisation = corvo::robust::Factorisation::simplicial;
      } else if (f == "supernodal") {
        factorisation = corvo::robust::Factorisation::supernodal;
      } else if (f != "automatic") {
        return usage();
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return usage();
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) return usage();
  std::printf("%-16s %6s %6s %5s  %-8s %3s  %16s  %10s  %12s\n", "case", "buses", "branch", "units",
              "status", "it", "cost", "median", "per iter");
  for (const std::string& file : files) {
    try {
      const corvo::robust::DcOpf p =
          corvo::robust::testing::dc_opf_from_case(dispatch::load_case_file(file));
      corvo::robust::Workspace workspace;
      std::vector<Run> runs;
      for (int r = 0; r < repeat; ++r) {
        const auto started = std::chrono::steady_clock::now();
        corvo::robust::Options options;
        options.factorisation = factorisation;
        if (verbose) {
          options.on_iteration = [](const corvo::robust::IterationReport& r) {
            std::fprintf(stderr, "%3d gap %9.2e primal %9.2e dual %9.2e steps %6.4f %6.4f %8.4f s\n",
                         r.iteration, r.relative_gap, r.primal_residual, r.dual_residual,
                         r.step_primal, r.step_dual, r.seconds);
          };
        }
        Solution s = corvo::robust::solve_dc_opf(p, options, reuse ? &workspace : nullptr);
        if (verbose) std::fprintf(stderr, "%s: %s\n", corvo::robust::status_text(s.status).c_str(), s.message.c_str());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        runs.push_back({seconds, std::move(s)});
      }
      const std::string name = file.substr(file.find_last_of('/') + 1);
      report(name, p, runs);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: %s\n", file.c_str(), e.what());
      return 2;
    }
  }
  return 0;
}
