#include "run_folder.hpp"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvo::classic::testing {

namespace fs = std::filesystem;

RunFolder::RunFolder() {
  std::string pattern = (fs::temp_directory_path() / "classic_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

RunFolder::~RunFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

namespace {
std::string shell_quoted(const fs::path& p) { return "'" + p.string() + "'"; }
}  // namespace

int run_program_in(const fs::path& dir, const fs::path& program, const std::string& input,
                   const fs::path& log) {
  std::ofstream(log.string() + ".in", std::ios::binary) << input;
  const std::string command = "cd " + shell_quoted(dir) + " && " + shell_quoted(program) + " < " +
                              shell_quoted(log.string() + ".in") + " > " + shell_quoted(log.string() + ".out") +
                              " 2> " + shell_quoted(log.string() + ".err");
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace corvo::classic::testing
