// `corvo report [NAME]`: the results of the orsa/talven run in the current
// folder (or --dir), checked for optimality.
#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>
#include <string>

#include "corvo/app/results_output.hpp"

namespace corvo::app {

struct ReportArgs {
  std::string name;           // case name; empty: the one in orsa.ip
  OutputFormat output_format;
  std::filesystem::path folder = ".";
};

CLI::App* add_report_command(CLI::App& app, ReportArgs& args);

// Exit status: 0 verified optimal, 1 not converged or not optimal, 2 input
// errors (reported on `err`).
int run_report(const ReportArgs& args, std::ostream& out, std::ostream& err);

}  // namespace corvo::app
