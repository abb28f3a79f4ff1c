#include "corvo/app/file_output.hpp"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "corvo/app/input_error.hpp"
#include "corvo/app/input_file.hpp"

namespace corvo::app {
namespace fs = std::filesystem;

namespace {

// The permissions a file created for the user gets: those of the file it
// replaces, or read and write as the user's umask allows (mkstemp's own
// 0600 would hide a case file from the user's group).
mode_t permissions_for(const fs::path& target) {
  struct stat st {};
  if (stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// A new, empty file next to the target, created without a race.
fs::path make_temporary(const fs::path& target) {
  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw InputError(target.string() + ": cannot create a temporary file in its folder");
  fchmod(fd, permissions_for(target));
  close(fd);
  return pattern;
}

}  // namespace

void write_file_safely(const fs::path& target, const std::string& content,
                       const std::function<void(const fs::path&)>& check) {
  std::error_code exists_ec;
  if (fs::exists(target, exists_ec)) {
    const std::string kind = non_regular_kind(target);
    if (!kind.empty()) throw InputError(target.string() + ": " + kind + ", not a regular file; it is not replaced");
  }
  const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const fs::path temp = make_temporary(dir / target.filename());
  try {
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      out << content;
      out.close();
      if (!out) throw InputError(target.string() + ": write failed");
    }
    if (check) check(temp);
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) throw InputError(target.string() + ": cannot replace the file: " + ec.message());
  } catch (...) {
    std::error_code ec;
    fs::remove(temp, ec);
    throw;
  }
}

fs::path temporary_folder() {
  std::error_code ec;
  fs::path dir = fs::temp_directory_path(ec);
  if (ec) {
    const char* named = std::getenv("TMPDIR");
    throw InputError(std::string("the folder for temporary files (TMPDIR=") + (named ? named : "") +
                     ") is missing or not a folder; set TMPDIR to a writable folder");
  }
  return dir;
}

}  // namespace corvo::app
