// `corvo import CASE.m|CASE.raw [-o NAME.dat]`: a MATPOWER case file or a
// PSS/E RAW file converted to our case file, with a map back to the
// source's numbers beside it and a summary of every mapping on standard
// error.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "corvo/app/case_input.hpp"

namespace corvo::app {

struct ImportArgs {
  std::string input;
  std::string output;  // empty: the input's name with ".dat", in the current folder
  bool force = false;  // replace an existing output file
  InputOptions input_options;  // a RAW file's costs and version
};

CLI::App* add_import_command(CLI::App& app, ImportArgs& args);

// Exit status: 0 written, 2 refused (the reason on `err`).
int run_import(const ImportArgs& args, std::ostream& err);

}  // namespace corvo::app
