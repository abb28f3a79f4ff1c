// Writing a file so that a failure never damages what was there before:
// the content goes to a temporary file in the same folder, which replaces
// the target only once it is complete (and, when asked, checked).
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace corvo::app {

// Throws InputError when the file cannot be written or `check` throws;
// the temporary file is removed in either case. A target that exists and
// is not a regular file (a device, a FIFO, a directory) is refused: the
// rename would replace the node itself, not write into it.
void write_file_safely(const std::filesystem::path& target, const std::string& content,
                       const std::function<void(const std::filesystem::path&)>& check = {});

// The folder for temporary files ($TMPDIR, else /tmp). Throws InputError
// naming $TMPDIR when it is missing or not a folder, instead of the
// library's exception, which nothing would catch.
std::filesystem::path temporary_folder();

}  // namespace corvo::app
