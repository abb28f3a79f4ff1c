#include "dispatch/case_loader.hpp"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>

#include "dispatch/case_reader.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/network_matrices.hpp"
#include "dispatch/orsa.hpp"
#include "dispatch/per_unit.hpp"
#include "records/records.hpp"

namespace dispatch {
namespace {

namespace fs = std::filesystem;

// A private folder for the echo that the reader writes as it goes; removed
// with everything in it when the load ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code tmp_ec;
    const fs::path tmp = fs::temp_directory_path(tmp_ec);
    if (tmp_ec) {
      const char* named = std::getenv("TMPDIR");
      throw CaseFileError(std::string("the folder for temporary files (TMPDIR=") + (named ? named : "") +
                          ") is missing or not a folder; set TMPDIR to a writable folder");
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
      fs::path candidate = tmp / ("corvo-case-" + std::to_string(random()));
      std::error_code ec;
      if (fs::create_directory(candidate, ec)) {
        path_ = candidate;
        return;
      }
    }
    throw CaseFileError("cannot create a scratch folder in " + tmp.string());
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The builder reports a refused case as one message line in its listing,
// such as " ** Error - Line 3: bus re = 12 is not within 1 to 9 **".
std::string last_error_line(const fs::path& listing) {
  std::ifstream in(listing, std::ios::binary);
  std::string line, found;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find("Error") != std::string::npos) found = line;
  }
  const auto first = found.find_first_not_of(" *");
  const auto last = found.find_last_not_of(" *");
  if (first == std::string::npos) return "the case was refused";
  return found.substr(first, last - first + 1);
}

void refuse_unbuildable_network(records::Records& io, const CaseData& data) {
  if (const std::int32_t l = first_zero_reactance(data.x)) {
    const auto at = static_cast<std::size_t>(l) - 1;
    stop_with_case_error(io, "Reactance of line " + std::to_string(data.se[at]) + " - " +
                                 std::to_string(data.re[at]) + " is equal to zero");
  }
  const NetworkLists lists = build_network_lists(data.n, data.se, data.re);
  if (const std::int32_t bus = first_isolated_bus(lists, data.n)) {
    stop_with_case_error(io, "Bus " + std::to_string(bus) + " has no line");
  }
}

CaseData read_case(records::Records& io) {
  CaseData data;
  read_title(io, data);
  read_sizes(io, data);
  read_lines(io, data);
  read_bus_types(io, data);
  read_buses(io, data);
  convert_generators_to_per_unit(data);
  refuse_unbuildable_network(io, data);
  read_dimensions(io, data.parameters);
  read_tolerances(io, data.parameters);
  read_step_parameters(io, data.parameters);
  return data;
}

}  // namespace

CaseData load_case_file(const fs::path& case_file) {
  if (!fs::is_regular_file(case_file)) {
    throw CaseFileError(case_file.string() + ": no such case file");
  }
  const ScratchFolder scratch;
  std::istringstream no_input;
  std::ostringstream console;
  records::Records io(no_input, console);
  try {
    io.open(kCaseUnit, case_file.string(), records::Status::Old);
    io.open(kListingUnit, (scratch.path() / "case.lst").string(), records::Status::Unknown);
    io.open(kFlowUnit, (scratch.path() / "case.flw").string(), records::Status::Unknown);
    return read_case(io);
  } catch (const records::StopRequest&) {
    io.flush_all();
    throw CaseFileError(case_file.string() + ": " + last_error_line(scratch.path() / "case.lst"));
  } catch (const records::RunTimeError& e) {
    throw CaseFileError(e.what());
  }
}

}  // namespace dispatch
