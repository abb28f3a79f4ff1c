// Printing the results of a dispatch in the format the user asked for:
// aligned text or one JSON document on standard output, or one CSV file
// per table in a folder.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

#include "corvo/report/results.hpp"

namespace corvo::app {

struct OutputFormat {
  std::string format = "text";  // text, json or csv
  std::string output;           // folder of the CSV files
};

// Adds --format and --output to a subcommand.
void add_output_options(CLI::App& cmd, OutputFormat& format);

// Throws InputError when --output and --format do not go together.
void check_output_format(const OutputFormat& format);

// Throws InputError when a CSV file cannot be written.
void write_results(const OutputFormat& format, const report::Results& results, std::ostream& out);

}  // namespace corvo::app
