#include "talven/solution.hpp"

#include <cmath>

namespace talven {

void restore_bounds(std::span<double> x, std::span<const int> list, std::span<const double> lb) {
  for (std::size_t k = 0; k < list.size(); ++k) x[list[k]] = x[list[k]] + lb[k];
}

double cost_value(std::span<const double> x, std::span<const double> c, std::span<const double> q) {
  double cost = 0.0;
  for (std::size_t j = 0; j < x.size(); ++j) cost = cost + (x[j] * x[j] * q[j] * 0.5 + c[j] * x[j]);
  return cost;
}

void clean_small(std::span<double> values, double threshold) {
  for (double& value : values) {
    if (std::fabs(value) <= threshold) value = 0.0;
  }
}

}  // namespace talven
