// `corvo batch NETWORK --scenarios FILE.csv | --outages n-1`: many
// dispatches of one network, on all cores and, under an MPI launcher,
// across processes, with the results in long-form tables (CSV files or
// one HDF5 file).
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "corvo/app/case_input.hpp"

namespace corvo::app {

struct BatchArgs {
  std::string input;      // anything corvo solve reads
  std::string scenarios;  // the scenario file
  std::string outages;    // "n-1"
  std::string output;     // CSV: a folder; HDF5: the file
  std::string format = "csv";
  int threads = 0;  // 0: every core this process may use
  std::string method = "robust";
  bool ignore_angle_limits = false;
  bool cold_start = false;  // every scenario from the method's own start
  InputOptions input_options;
};

CLI::App* add_batch_command(CLI::App& app, BatchArgs& args);

// Exit status: 0 every scenario verified optimal; 1 one or more not (the
// summary lists them); 2 input errors, refused scenario files, results
// that could not be written. `progress`: draw the progress bar on `err`
// (a terminal).
//
// run_batch lives in a module of its own (corvo_batch_command.so, beside
// the program), with HDF5 and MPI: the program loads it only to run a
// batch, so that the other subcommands do not pay for loading those
// libraries at every start. load_and_run_batch loads it and runs it.
int run_batch(const BatchArgs& args, std::ostream& out, std::ostream& err, bool progress);
int load_and_run_batch(const BatchArgs& args, std::ostream& out, std::ostream& err, bool progress);

}  // namespace corvo::app
