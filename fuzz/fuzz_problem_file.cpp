// Fuzz target: any bytes as a problem file, read and echoed as talven
// reads it (case name, title, then the problem up to the print level).
// The iteration is left out: its length is the file's own iteration
// limit. A read may end with the stop or a run-time error; anything else
// is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "records/records.hpp"
#include "talven/problem_file.hpp"
#include "talven/units.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string dir = (std::filesystem::temp_directory_path() / "fuzz-problem-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) std::abort();
  std::filesystem::current_path(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream file("orsa.ip", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::istringstream in;
  std::ostringstream out, err;
  records::run_program(
      [](records::Records& io) {
        talven::Problem problem;
        io.open(talven::kProblemUnit, "orsa.ip", records::Status::Old);
        io.read(talven::kProblemUnit, "(a)", problem.case_name);
        io.open(talven::kReportUnit, "report.ip", records::Status::Unknown);
        io.read(talven::kProblemUnit, "(a80)", problem.title);
        talven::read_and_echo(io, problem);
      },
      in, out, err);
  return 0;
}
