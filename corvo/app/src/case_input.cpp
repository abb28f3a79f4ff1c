#include "corvo/app/case_input.hpp"

#include <fstream>
#include <random>

#include "corvo/app/file_output.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/app/input_file.hpp"
#include "corvo/import/case_file_text.hpp"
#include "corvo/import/case_mapping.hpp"
#include "dispatch/case_loader.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

std::string file_text(const fs::path& path) { return read_input_file(path, import::kMaxMatpowerFileBytes); }

// The imported case goes through the text of our case file and orsa's
// reader, so that a solve sees exactly the numbers `corvo import` writes.
dispatch::CaseData read_back(const std::string& case_text, const fs::path& source) {
  std::random_device seed;
  const fs::path temp =
      temporary_folder() / ("corvo-import-" + std::to_string(std::mt19937_64(seed())()) + ".dat");
  {
    std::ofstream out(temp, std::ios::binary);
    out << case_text;
    if (!out.flush()) throw InputError(temp.string() + ": cannot write the imported case");
  }
  try {
    dispatch::CaseData data = dispatch::load_case_file(temp);
    fs::remove(temp);
    return data;
  } catch (const dispatch::CaseFileError& e) {
    std::error_code ec;
    fs::remove(temp, ec);
    throw InputError(source.string() + ": the imported case does not read back: " + e.what());
  }
}

}  // namespace

import::ImportedCase import_matpower_file(const fs::path& file) {
  const import::MatpowerCase mc = import::parse_matpower(file_text(file), file.string());
  return import::map_matpower_case(mc, file.string());
}

bool is_matpower_file(const fs::path& file) { return file.extension() == ".m"; }

CaseInput load_case_input(const fs::path& file) {
  if (!fs::exists(file)) throw InputError(file.string() + ": no such case file");
  require_regular_input(file);
  CaseInput input;
  input.name = file.stem().string();
  if (!is_matpower_file(file)) {
    try {
      input.data = dispatch::load_case_file(file);
    } catch (const dispatch::CaseFileError& e) {
      throw InputError(e.what());
    }
    return input;
  }
  try {
    const import::ImportedCase c = import_matpower_file(file);
    input.data = read_back(import::case_file_text(c), file);
    input.mappings = c.mappings;
    input.from_matpower = true;
  } catch (const import::ImportError& e) {
    throw InputError(e.what());
  }
  return input;
}

}  // namespace corvo::app
