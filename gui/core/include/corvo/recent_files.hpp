// The list of recently opened or saved case files of the "Arquivo" menu.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvo {

class RecentFiles {
 public:
  static constexpr std::size_t kCapacity = 8;

  explicit RecentFiles(std::vector<std::string> paths = {});

  // Puts `path` first; an earlier entry of the same path is dropped, and the
  // oldest entries beyond kCapacity.
  void add(const std::string& path);
  // Drops `path` (a file that could no longer be opened).
  void remove(const std::string& path);
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  std::vector<std::string> paths_;
};

}  // namespace corvo
