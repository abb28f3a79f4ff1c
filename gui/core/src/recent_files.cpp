#include "corvo/recent_files.hpp"

#include <algorithm>

namespace corvo {

RecentFiles::RecentFiles(std::vector<std::string> paths) {
  for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
    if (!it->empty()) add(*it);
  }
}

void RecentFiles::add(const std::string& path) {
  remove(path);
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > kCapacity) paths_.resize(kCapacity);
}

void RecentFiles::remove(const std::string& path) {
  paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

}  // namespace corvo
