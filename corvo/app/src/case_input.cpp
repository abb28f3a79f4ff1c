#include "corvo/app/case_input.hpp"

#include <fstream>
#include <random>

#include "corvo/app/file_output.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/app/input_file.hpp"
#include "corvo/import/case_file_text.hpp"
#include "corvo/network/case_file_network.hpp"
#include "corvo/network/matpower_reader.hpp"
#include "corvo/network/raw_reader.hpp"
#include "dispatch/case_loader.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

std::string file_text(const fs::path& path) { return read_input_file(path, import::kMaxMatpowerFileBytes); }

// The imported case goes through the text of our case file and orsa's
// reader, so that the classic method sees exactly the numbers `corvo
// import` writes.
dispatch::CaseData read_back(const std::string& case_text, const std::string& source) {
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
    throw InputError(source + ": the imported case does not read back: " + e.what());
  }
}

network::Network read_matpower_file(const fs::path& file) {
  const import::MatpowerCase mc = import::parse_matpower(file_text(file), file.string());
  return network::read_matpower(mc, file.string(), file.stem().string());
}

// A RAW file of a very large network stays well below this.
constexpr std::size_t kMaxRawFileBytes = std::size_t{1} << 30;
constexpr std::size_t kMaxCostsFileBytes = std::size_t{256} << 20;

network::Network read_raw_input(const fs::path& file, const InputOptions& options) {
  network::RawOptions raw;
  raw.version = options.raw_version;
  if (!options.costs.empty())
    raw.costs = network::read_generator_costs(read_input_file(options.costs, kMaxCostsFileBytes), options.costs);
  network::Network net = network::read_raw(read_input_file(file, kMaxRawFileBytes), file.string(), raw);
  net.name = file.stem().string();
  return net;
}

}  // namespace

InputFormat input_format(const fs::path& file) {
  if (file.extension() == ".m") return InputFormat::matpower;
  if (file.extension() == ".raw" || file.extension() == ".RAW") return InputFormat::raw;
  return InputFormat::case_file;
}

void add_input_options(CLI::App& cmd, InputOptions& options) {
  cmd.add_option("--costs", options.costs,
                 "for a PSS/E RAW file: the generators' costs, a CSV file with header bus,id,c2,c1,c0");
  cmd.add_option("--raw-version", options.raw_version, "read a PSS/E RAW file as this version, whatever its header says")
      ->check(CLI::IsMember({33, 34, 35}));
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

CaseInput load_case_input(const fs::path& file, const InputOptions& options) {
  if (!fs::exists(file)) throw InputError(file.string() + ": no such case file");
  require_regular_input(file);
  CaseInput input;
  input.name = file.stem().string();
  input.format = input_format(file);
  try {
    if (input.format == InputFormat::case_file) {
      input.case_data = dispatch::load_case_file(file);
      input.network = network::network_from_case(*input.case_data, input.name);
      input.network.source = file.string();
    } else if (input.format == InputFormat::matpower) {
      input.network = read_matpower_file(file);
    } else {
      input.network = read_raw_input(file, options);
    }
    if (input.format != InputFormat::raw && !options.costs.empty())
      throw InputError(file.string() + ": --costs is for PSS/E RAW files, which carry no costs");
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
