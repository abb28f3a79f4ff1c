#include "corvo/default_extension.hpp"

#include <filesystem>

namespace corvo {

std::string with_default_extension(std::string_view path, std::string_view extension) {
  const std::filesystem::path file(path);
  std::string result(path);
  if (!file.filename().empty() && !file.has_extension()) {
    result += '.';
    result += extension;
  }
  return result;
}

}  // namespace corvo
