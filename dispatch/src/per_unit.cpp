#include "dispatch/per_unit.hpp"

#include <cmath>

namespace dispatch {

void convert_line_limits_to_per_unit(CaseData& data) {
  for (double& v : data.line_upper) v = v / data.sb;
  for (double& v : data.line_lower) v = v / data.sb;
}

void convert_loads_to_per_unit(CaseData& data) {
  for (double& v : data.load) v = v / data.sb;
}

void convert_generators_to_per_unit(CaseData& data) {
  const double sb_squared = std::pow(data.sb, 2.0);
  for (std::size_t k = 0; k < data.gen_upper.size(); ++k) {
    data.gen_upper[k] = data.gen_upper[k] / data.sb;
    data.gen_lower[k] = data.gen_lower[k] / data.sb;
    data.linear_cost[k] = data.linear_cost[k] * data.sb;
    data.quadratic_cost[k] = data.quadratic_cost[k] * sb_squared;
  }
}

}  // namespace dispatch
