// A file written piece by piece that replaces its target only once it is
// complete: the pieces go to a temporary file in the target's folder,
// renamed over the target by commit(). A file never committed is removed,
// so a failed batch leaves the previous results as they were.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace corvo::batch {

class StreamedFile {
 public:
  // Throws app::InputError when the temporary file cannot be made, or the
  // target exists and is not a regular file.
  explicit StreamedFile(std::filesystem::path target);
  ~StreamedFile();
  StreamedFile(const StreamedFile&) = delete;
  StreamedFile& operator=(const StreamedFile&) = delete;

  void write(std::string_view bytes);
  // Closes the temporary file, checks every write, renames it over the
  // target. Throws app::InputError.
  void commit();
  // The temporary file, for a writer that opens it itself (HDF5); then
  // call commit() once that writer has closed it.
  const std::filesystem::path& temporary() const { return temporary_; }
  void close_for_other_writer();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  void fail(int error);

  bool failed_ = false;
  int error_ = 0;
  bool committed_ = false;
};

}  // namespace corvo::batch
