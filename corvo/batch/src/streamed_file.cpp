#include "streamed_file.hpp"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "corvo/app/input_error.hpp"
#include "corvo/app/input_file.hpp"

namespace corvo::batch {
namespace fs = std::filesystem;
using app::InputError;

namespace {

// The permissions the user's files get: those of the file replaced, or
// read and write as the umask allows (mkstemp's 0600 would hide the
// results from the user's group).
mode_t permissions_for(const fs::path& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

StreamedFile::StreamedFile(fs::path target) : target_(std::move(target)) {
  std::error_code ec;
  if (fs::exists(target_, ec)) {
    const std::string kind = app::non_regular_kind(target_);
    if (!kind.empty()) throw InputError(target_.string() + ": " + kind + ", not a regular file; it is not replaced");
  }
  const fs::path dir = target_.parent_path().empty() ? fs::path(".") : target_.parent_path();
  std::string pattern = (dir / ("." + target_.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0)
    throw InputError(target_.string() + ": cannot create a file in its folder: " + std::strerror(errno));
  ::fchmod(fd, permissions_for(target_));
  temporary_ = pattern;
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    ::close(fd);
    fs::remove(temporary_, ec);
    throw InputError(target_.string() + ": cannot open a file in its folder");
  }
}

StreamedFile::~StreamedFile() {
  if (file_ != nullptr) std::fclose(file_);
  if (!committed_) {
    std::error_code ec;
    fs::remove(temporary_, ec);
  }
}

void StreamedFile::fail(int error) {
  if (!failed_) error_ = error;
  failed_ = true;
}

void StreamedFile::write(std::string_view bytes) {
  if (file_ == nullptr || failed_ || bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) fail(errno);
}

void StreamedFile::close_for_other_writer() {
  if (file_ != nullptr && std::fclose(file_) != 0) fail(errno);
  file_ = nullptr;
}

void StreamedFile::commit() {
  close_for_other_writer();
  if (failed_) throw InputError(target_.string() + ": the results could not be written (" + std::strerror(error_) + ")");
  std::error_code ec;
  fs::rename(temporary_, target_, ec);
  if (ec) throw InputError(target_.string() + ": cannot replace the file: " + ec.message());
  committed_ = true;
}

}  // namespace corvo::batch
