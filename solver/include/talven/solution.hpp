// Post-processing of the final point: the bounds added back, the cost in
// the unshifted variables and the cleaning of negligible values.
#pragma once

#include <span>

namespace talven {

// x(j) = x(j) + lb(k) for the k-th listed variable j.
void restore_bounds(std::span<double> x, std::span<const int> list, std::span<const double> lb);

// Sum over j, from 0.0, of x(j)^2 q(j) 0.5 + c(j) x(j).
double cost_value(std::span<const double> x, std::span<const double> c, std::span<const double> q);

// Sets to 0.0 every value of magnitude at most `threshold`.
void clean_small(std::span<double> values, double threshold);

}  // namespace talven
