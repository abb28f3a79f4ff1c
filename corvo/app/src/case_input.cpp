#include "corvo/app/case_input.hpp"

#include <fstream>
#include <random>
#include <sstream>

#include "corvo/app/input_error.hpp"
#include "corvo/import/case_file_text.hpp"
#include "corvo/network/case_file_network.hpp"
#include "corvo/network/matpower_reader.hpp"
#include "dispatch/case_loader.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

std::string file_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(path.string() + ": cannot open the file");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The imported case goes through the text of our case file and orsa's
// reader, so that the classic method sees exactly the numbers `corvo
// import` writes.
dispatch::CaseData read_back(const std::string& case_text, const std::string& source) {
  std::random_device seed;
  const fs::path temp =
      fs::temp_directory_path() / ("corvo-import-" + std::to_string(std::mt19937_64(seed())()) + ".dat");
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
    throw InputError(source + ": the imported case does not read back: " + e.what());
  }
}

network::Network read_matpower_file(const fs::path& file) {
  const import::MatpowerCase mc = import::parse_matpower(file_text(file), file.string());
  return network::read_matpower(mc, file.string(), file.stem().string());
}

}  // namespace

InputFormat input_format(const fs::path& file) {
  return file.extension() == ".m" ? InputFormat::matpower : InputFormat::case_file;
}

bool is_matpower_file(const fs::path& file) { return input_format(file) == InputFormat::matpower; }

import::ImportedCase imported_case(const network::Network& net) { return import::map_network(net); }

import::ImportedCase import_matpower_file(const fs::path& file) {
  try {
    return imported_case(read_matpower_file(file));
  } catch (const network::NetworkError& e) {
    throw import::ImportError(e.what());
  }
}

CaseInput load_case_input(const fs::path& file) {
  if (!fs::is_regular_file(file)) throw InputError(file.string() + ": no such case file");
  CaseInput input;
  input.name = file.stem().string();
  input.format = input_format(file);
  try {
    if (input.format == InputFormat::case_file) {
      input.case_data = dispatch::load_case_file(file);
      input.network = network::network_from_case(*input.case_data, input.name);
      input.network.source = file.string();
    } else {
      input.network = read_matpower_file(file);
    }
  } catch (const dispatch::CaseFileError& e) {
    throw InputError(e.what());
  } catch (const import::ImportError& e) {
    throw InputError(e.what());
  } catch (const network::NetworkError& e) {
    throw InputError(e.what());
  }
  return input;
}

dispatch::CaseData case_data_of(const CaseInput& input) {
  if (input.case_data) return *input.case_data;
  try {
    return read_back(import::case_file_text(imported_case(input.network)), input.network.source);
  } catch (const import::ImportError& e) {
    throw InputError(e.what());
  }
}

}  // namespace corvo::app
