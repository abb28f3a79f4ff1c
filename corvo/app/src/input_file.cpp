#include "corvo/app/input_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "corvo/app/input_error.hpp"

namespace corvo::app {
namespace {

std::string kind_of(mode_t mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

[[noreturn]] void refuse_kind(const std::filesystem::path& path, const std::string& kind) {
  throw InputError(path.string() + ": " + kind + ", not a regular file; give the file itself");
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::string non_regular_kind(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw InputError(path.string() + ": no such file");
    throw InputError(path.string() + ": cannot examine the file: " + std::strerror(errno));
  }
  return kind_of(st.st_mode);
}

void require_regular_input(const std::filesystem::path& path) {
  const std::string kind = non_regular_kind(path);
  if (!kind.empty()) refuse_kind(path, kind);
}

std::string read_input_file(const std::filesystem::path& path, std::size_t max_bytes) {
  // O_NONBLOCK: opening a FIFO that no program writes to returns at once
  // instead of waiting; the kind is then refused below.
  const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw InputError(path.string() + ": no such file");
    throw InputError(path.string() + ": cannot open the file: " + std::strerror(errno));
  }
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) throw InputError(path.string() + ": cannot examine the file: " + std::strerror(errno));
  const std::string kind = kind_of(st.st_mode);
  if (!kind.empty()) refuse_kind(path, kind);
  const auto too_large = [&](const std::string& held) {
    return InputError(path.string() + ": the file holds " + held + " bytes; files of more than " +
                      std::to_string(max_bytes) + " bytes are not read");
  };
  const auto size = static_cast<std::size_t>(st.st_size);
  if (size > max_bytes) throw too_large(std::to_string(size));
  // Read to the end, whatever the size said (a file may grow meanwhile),
  // but never past the limit.
  std::string text(size + 1, '\0');
  std::size_t got = 0;
  while (true) {
    if (got == text.size()) {
      if (got > max_bytes) throw too_large("more than " + std::to_string(max_bytes));
      text.resize(std::min(2 * got, max_bytes + 1));
    }
    const ssize_t n = ::read(file.fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw InputError(path.string() + ": read failed: " + std::strerror(errno));
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  return text;
}

}  // namespace corvo::app
