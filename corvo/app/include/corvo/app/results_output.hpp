// Printing the results of a dispatch in the format the user asked for:
// aligned text or one JSON document on standard output, or one CSV file
// per table in a folder.
#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

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

// Throws InputError when a CSV file cannot be written, when a CSV file
// would replace one of `inputs` (nothing is written then), or when
// anything written to `out` failed (checked after flushing it: a full
// disk, a closed standard output).
void write_results(const OutputFormat& format, const report::Results& results, std::ostream& out,
                   const std::vector<std::filesystem::path>& inputs = {});

}  // namespace corvo::app
