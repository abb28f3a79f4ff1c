// Helpers for tests that run the whole program in-process: a fresh
// working directory per test, the console streams, and file contents.
#pragma once

#include <filesystem>
#include <string>

namespace dispatch::testing {

// Creates a fresh directory, makes it the working directory, and on
// destruction goes back and removes it.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};

struct RunResult {
  int status = -1;
  std::string console;  // standard output
  std::string errors;   // standard error
};

// Runs orsa in the working directory with `console_input` as its input.
RunResult run_orsa_with(const std::string& console_input);

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

}  // namespace dispatch::testing
