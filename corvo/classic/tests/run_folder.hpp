// Scratch folders and runs of the console programs for the tests.
#pragma once

#include <filesystem>
#include <string>

namespace corvo::classic::testing {

// A fresh folder under the temporary directory, removed with its contents
// on destruction.
class RunFolder {
 public:
  RunFolder();
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs `program` in `dir` with `input` on its standard input; the console
// goes to LOG.out and LOG.err in a folder of its own, so that `dir` holds
// only what the program writes. Returns the exit status, -1 when the
// program did not exit normally.
int run_program_in(const std::filesystem::path& dir, const std::filesystem::path& program,
                   const std::string& input, const std::filesystem::path& log);

std::string file_bytes(const std::filesystem::path& path);

}  // namespace corvo::classic::testing
