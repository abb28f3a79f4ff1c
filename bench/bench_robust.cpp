// The whole robust solve of one case file, timed: read (orsa's reader),
// build the program, pre-check, solve. Prints one line:
//   case  iterations  cost  status  read  build  solve  total seconds  peak MB
//
// Usage: bench_robust CASE [--verbose]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "dispatch/case_loader.hpp"
#include "robust/prechecks.hpp"
#include "robust/solver.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

double peak_megabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kB on Linux
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--verbose") != 0)) {
    std::fprintf(stderr, "usage: bench_robust CASE [--verbose]\n");
    return 64;
  }
  const auto start = Clock::now();
  try {
    const dispatch::CaseData data = dispatch::load_case_file(argv[1]);
    const double read = seconds_since(start);
    for (const std::string& problem : corvo::robust::precheck_case(data)) {
      std::fprintf(stderr, "%s: %s\n", argv[1], problem.c_str());
      return 1;
    }
    const auto built_at = Clock::now();
    const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(data);
    const double build = seconds_since(built_at);
    corvo::robust::Options options;
    if (argc == 3) {
      options.on_iteration = [](const corvo::robust::IterationReport& r) {
        std::fprintf(stderr, "%4d  gap %9.2e  primal %9.2e  dual %9.2e  steps %6.4f %6.4f  %8.3f s\n",
                     r.iteration, r.relative_gap, r.primal_residual, r.dual_residual,
                     r.step_primal, r.step_dual, r.seconds);
      };
    }
    const auto solve_at = Clock::now();
    const corvo::robust::Solution s = corvo::robust::solve_dispatch_qp(qp, options);
    const double solve = seconds_since(solve_at);
    std::printf("%-12s %4d %16.6f %-10s %7.3f %7.3f %7.3f %7.3f %8.1f\n",
                std::filesystem::path(argv[1]).stem().c_str(), s.iterations, s.cost,
                corvo::robust::status_text(s.status).c_str(), read, build, solve,
                seconds_since(start), peak_megabytes());
    return s.status == corvo::robust::Status::optimal ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_robust: %s\n", e.what());
    return 2;
  }
}
