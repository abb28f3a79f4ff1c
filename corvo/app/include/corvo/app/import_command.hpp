// `corvo import CASE.m [-o NAME.dat]`: a MATPOWER case file converted to
// our case file, with a summary of every mapping on standard error.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace corvo::app {

struct ImportArgs {
  std::string input;
  std::string output;  // empty: the input's name with ".dat", in the current folder
  bool force = false;  // replace an existing output file
};

CLI::App* add_import_command(CLI::App& app, ImportArgs& args);

// Exit status: 0 written, 2 refused (the reason on `err`).
int run_import(const ImportArgs& args, std::ostream& err);

}  // namespace corvo::app
