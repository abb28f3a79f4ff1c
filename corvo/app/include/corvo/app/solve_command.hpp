// `corvo solve CASE [--method robust|classic]`: builds the dispatch program
// of a case in memory, solves it and prints the results of `corvo report`,
// with the same optimality check and exit statuses.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "corvo/app/case_input.hpp"
#include "corvo/app/results_output.hpp"

namespace corvo::app {

struct SolveArgs {
  std::string input;               // our case file, or a MATPOWER case (.m)
  std::string method = "robust";   // robust or classic
  bool files = false;              // classic: write the files of orsa and talven
  bool verbose = false;            // iteration log on standard error
  bool ignore_angle_limits = false;  // MATPOWER's opf.ignore_angle_lim
  InputOptions input_options;        // a RAW file's costs and version
  OutputFormat output_format;
};

CLI::App* add_solve_command(CLI::App& app, SolveArgs& args);

// Exit status: 0 verified optimal; 1 a case that cannot be solved (a
// pre-check fails, infeasible, not converged or not optimal); 2 input
// errors (reported on `err`).
int run_solve(const SolveArgs& args, std::ostream& out, std::ostream& err);

}  // namespace corvo::app
