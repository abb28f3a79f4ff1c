#include "corvo/file_replacement.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

namespace corvo {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, const std::string& reason) {
  throw FileWriteError("Não foi possível gravar o arquivo " + path.string() + ": " + reason);
}

std::string system_reason(int error_number) { return std::strerror(error_number); }

// Creates a temporary file next to `target` that did not exist before;
// returns its descriptor and sets `temporary` to its path.
int create_temporary_beside(const std::filesystem::path& target, std::filesystem::path& temporary) {
  const std::filesystem::path folder = target.parent_path();
  const std::string stem = "." + target.filename().string() + ".tmp";
  for (int attempt = 0;; ++attempt) {
    temporary = folder / (stem + std::to_string(::getpid()) + "-" + std::to_string(attempt));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST || attempt == 99) fail(target, system_reason(errno));
  }
}

// Writes all of `contents`; returns 0 or the error number of the failure.
int write_all(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace

void replace_file_contents(const std::filesystem::path& path, std::string_view contents) {
  if (path.filename().empty()) fail(path, "o nome do arquivo está vazio");

  std::filesystem::path temporary;
  const int fd = create_temporary_beside(path, temporary);
  int error_number = write_all(fd, contents);
  // A file system may accept the bytes and find no room for them only when
  // they go to the disk: make them go there before the rename.
  if (error_number == 0 && ::fsync(fd) != 0) error_number = errno;
  if (::close(fd) != 0 && error_number == 0) error_number = errno;
  if (error_number == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
    error_number = errno;
  }
  if (error_number != 0) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    fail(path, system_reason(error_number));
  }
}

}  // namespace corvo
