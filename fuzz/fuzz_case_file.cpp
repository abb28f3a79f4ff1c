// Fuzz target: any bytes as a case file, through the whole run of orsa in
// a scratch directory (case name "fuzz"). A run may end with the stop or
// a run-time error; anything else (a crash, an exception that escapes, a
// sanitizer report, a hang) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "dispatch/orsa.hpp"
#include "records/records.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string dir = (std::filesystem::temp_directory_path() / "fuzz-case-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) std::abort();
  std::filesystem::current_path(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream file("fuzz.dat", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::istringstream in("fuzz\n");
  std::ostringstream out, err;
  records::run_program([](records::Records& io) { dispatch::run_orsa(io); }, in, out, err);
  // Whatever orsa writes into the problem file, talven must be able to read.
  std::ifstream problem("orsa.ip", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(problem)), {});
  if (text.find("Infinity") != std::string::npos || text.find("NaN") != std::string::npos) {
    std::abort();
  }
  return 0;
}
