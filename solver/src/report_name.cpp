#include "talven/report_name.hpp"

#include <algorithm>

namespace talven {

std::string report_file_name(std::string_view case_name) {
  std::string name(case_name);
  const std::size_t searched = std::min<std::size_t>(name.size(), 10);
  const std::size_t blank = name.find(' ');
  if (blank != std::string::npos && blank < searched) {
    constexpr std::string_view kExtension = ".ip ";
    if (name.size() < blank + kExtension.size()) name.resize(blank + kExtension.size(), ' ');
    name.replace(blank, kExtension.size(), kExtension);
  }
  const std::size_t end = name.find_last_not_of(' ');
  name.resize(end == std::string::npos ? 0 : end + 1);
  return name;
}

}  // namespace talven
