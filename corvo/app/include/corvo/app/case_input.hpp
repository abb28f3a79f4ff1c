// The case a command works on: our case file as orsa reads it, or a
// MATPOWER case converted on the way in exactly as `corvo import` converts
// it (without writing a case file beside it).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "corvo/import/case_mapping.hpp"
#include "dispatch/case_data.hpp"

namespace corvo::app {

struct CaseInput {
  std::string name;                    // the file name without its extension
  dispatch::CaseData data;             // in per unit, as the case loader returns it
  std::vector<std::string> mappings;   // what the import changed (MATPOWER only)
  bool from_matpower = false;
};

// A MATPOWER case file read as text and mapped onto our case model.
// Throws InputError for a file that cannot be read and import::ImportError
// for what the model cannot hold.
import::ImportedCase import_matpower_file(const std::filesystem::path& file);

// True for a file that is read as a MATPOWER case (extension ".m").
bool is_matpower_file(const std::filesystem::path& file);

// Throws InputError naming the file and what is wrong.
CaseInput load_case_input(const std::filesystem::path& file);

}  // namespace corvo::app
