// corvo: the dispatch system's command-line program. Each subcommand is
// set up by its own function and run by its own function.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>

#include "corvo/app/batch_command.hpp"
#include "corvo/app/import_command.hpp"
#include "corvo/app/report_command.hpp"
#include "corvo/app/solve_command.hpp"

int main(int argc, char** argv) {
  CLI::App app{"corvo: solve least-cost dispatch cases and batches of scenarios, read their results, import MATPOWER cases"};
  app.require_subcommand(1);
  corvo::app::ReportArgs report_args;
  CLI::App* report = corvo::app::add_report_command(app, report_args);
  corvo::app::ImportArgs import_args;
  CLI::App* import = corvo::app::add_import_command(app, import_args);
  corvo::app::SolveArgs solve_args;
  CLI::App* solve = corvo::app::add_solve_command(app, solve_args);
  corvo::app::BatchArgs batch_args;
  CLI::App* batch = corvo::app::add_batch_command(app, batch_args);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help is a success; wrong usage is an input error (status 2).
    return app.exit(e) == 0 ? 0 : 2;
  }
  if (report->parsed()) return corvo::app::run_report(report_args, std::cout, std::cerr);
  if (import->parsed()) return corvo::app::run_import(import_args, std::cerr);
  if (solve->parsed()) return corvo::app::run_solve(solve_args, std::cout, std::cerr);
  if (batch->parsed()) return corvo::app::load_and_run_batch(batch_args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
  return 2;
}
