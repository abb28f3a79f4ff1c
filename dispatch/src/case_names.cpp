#include "dispatch/case_names.hpp"

#include <algorithm>

namespace dispatch {

std::optional<std::size_t> extension_position(std::string_view name) {
  const std::size_t limit = std::min(name.size(), kExtensionSearch);
  for (std::size_t p = 0; p < limit; ++p) {
    if (name[p] == ' ') return p;
  }
  return std::nullopt;
}

std::string with_extension(std::string_view name, std::size_t position,
                           std::string_view extension) {
  std::string result(name);
  result.resize(kNameLength, ' ');
  const std::string stamp = std::string(extension) + ' ';
  for (std::size_t i = 0; i < stamp.size() && position + i < kNameLength; ++i) {
    result[position + i] = stamp[i];
  }
  return result;
}

std::optional<CaseNames> make_case_names(std::string_view typed) {
  std::string name(typed.substr(0, std::min(typed.size(), kNameLength)));
  name.resize(kNameLength, ' ');
  const auto position = extension_position(name);
  if (!position) return std::nullopt;
  return CaseNames{name, with_extension(name, *position, ".dat"),
                   with_extension(name, *position, ".out"),
                   with_extension(name, *position, ".lst")};
}

}  // namespace dispatch
