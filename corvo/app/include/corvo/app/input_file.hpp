// Reading a file the user named as input. Only a regular file is read: a
// FIFO would block until some writer came, a device such as /dev/zero
// never ends, and a directory reads as nothing, which would come back as
// a misleading complaint about its content.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace corvo::app {

// What the file is when it is not a regular file ("a directory", "a FIFO
// (named pipe)", "a character device", ...), "" for a regular file;
// throws InputError when it does not exist or cannot be examined.
std::string non_regular_kind(const std::filesystem::path& path);

// Throws InputError naming the file unless it is a regular file.
void require_regular_input(const std::filesystem::path& path);

// The whole content of a regular file of at most `max_bytes` bytes.
// Throws InputError naming the file and the reason otherwise.
std::string read_input_file(const std::filesystem::path& path, std::size_t max_bytes);

}  // namespace corvo::app
