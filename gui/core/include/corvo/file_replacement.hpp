// Writing a file whole or not at all.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace corvo {

// A file that could not be written; the message names the file and the
// reason given by the system.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `contents` to a new temporary file in the folder of `path` and
// renames it over `path` once every byte is written and the file closed. An
// existing file of that name is replaced only then: after any failure it is
// left exactly as it was, and the temporary file is removed.
void replace_file_contents(const std::filesystem::path& path, std::string_view contents);

}  // namespace corvo
