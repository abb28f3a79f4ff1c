// The case a command works on, as a network in the source's own terms:
// our case file as orsa reads it, a MATPOWER case file read as text, or a
// PSS/E RAW file with the generators' costs from a CSV file.
// Our case file's data (CaseData) travel along for the classic method,
// which needs the case file's model; for another source, the import
// mapping makes them.
#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "corvo/import/case_mapping.hpp"
#include "corvo/network/network.hpp"
#include "dispatch/case_data.hpp"

namespace corvo::app {

enum class InputFormat { case_file, matpower, raw };

// By extension: ".m" is a MATPOWER case, ".raw" a PSS/E RAW file; anything
// else our case file.
InputFormat input_format(const std::filesystem::path& file);

// What a RAW file needs beside it: the generators' costs (CSV, header
// bus,id,c2,c1,c0), and optionally its version when the header's is not
// to be trusted.
struct InputOptions {
  std::string costs;
  std::optional<int> raw_version;
};

// Adds --costs and --raw-version to a subcommand.
void add_input_options(CLI::App& cmd, InputOptions& options);

struct CaseInput {
  std::string name;  // the file name without its extension
  InputFormat format = InputFormat::case_file;
  network::Network network;
  std::optional<dispatch::CaseData> case_data;  // our case file only, in per unit as the loader returns it
};

// Throws InputError naming the file and what is wrong.
CaseInput load_case_input(const std::filesystem::path& file, const InputOptions& options = {});

// The case file's model of a network: the import mapping (several
// generators per bus on buses of their own, shifted negative limits,
// phase shifts folded into loads and limits, ...).
import::ImportedCase imported_case(const network::Network& net);

// Our case file's data for the input: as read for a case file, or the
// imported case read back through orsa's reader. Throws InputError.
dispatch::CaseData case_data_of(const CaseInput& input);

// A MATPOWER case file read as text and mapped onto our case model (the
// editor's way in).
// Throws InputError for a file that cannot be read and import::ImportError
// for what the model cannot hold.
import::ImportedCase import_matpower_file(const std::filesystem::path& file);

// True for a file that is read as a MATPOWER case (extension ".m").
bool is_matpower_file(const std::filesystem::path& file);

}  // namespace corvo::app
