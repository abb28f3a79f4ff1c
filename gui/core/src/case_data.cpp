#include "corvo/case_data.hpp"

#include <cstddef>
#include <stdexcept>
#include <string>

namespace corvo {

namespace {

std::size_t checked_count(std::int32_t count, const char* what) {
  if (count < 0) {
    throw std::invalid_argument(std::string("negative ") + what + ": " + std::to_string(count));
  }
  return static_cast<std::size_t>(count);
}

}  // namespace

void set_line_count(CaseData& case_data, std::int32_t nl) {
  const std::size_t size = checked_count(nl, "line count");
  case_data.nl = nl;
  case_data.se.resize(size, 0);
  case_data.re.resize(size, 0);
  case_data.x.resize(size, 0.0);
  case_data.line_upper.resize(size, 0.0);
  case_data.line_lower.resize(size, 0.0);
}

void set_bus_count(CaseData& case_data, std::int32_t n) {
  const std::size_t size = checked_count(n, "bus count");
  case_data.n = n;
  case_data.bus_type.resize(size, 0);
  case_data.load.resize(size, 0.0);
  case_data.constant_cost.resize(size, 0.0);
  case_data.linear_cost.resize(size, 0.0);
  case_data.quadratic_cost.resize(size, 0.0);
  case_data.gen_upper.resize(size, 0.0);
  case_data.gen_lower.resize(size, 0.0);
}

}  // namespace corvo
