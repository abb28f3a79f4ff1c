#include "orsa_test_support.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "dispatch/orsa.hpp"

namespace dispatch::testing {

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orsa_test_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  std::filesystem::current_path(dir_);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
  std::filesystem::remove_all(dir_, ec);
}

RunResult run_orsa_with(const std::string& console_input) {
  std::istringstream in(console_input);
  std::ostringstream out, err;
  RunResult r;
  r.status = records::run_program([](records::Records& io) { run_orsa(io); }, in, out, err);
  r.console = out.str();
  r.errors = err.str();
  return r;
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  EXPECT_TRUE(f) << "cannot read " << path;
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

}  // namespace dispatch::testing
