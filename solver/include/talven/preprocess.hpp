// Preparation of the problem before the first pass: the list of possibly
// negative variables, the right-hand side shifted for their lower bounds
// and the starting point.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "talven/matrix.hpp"

namespace talven {

// Indices (0-based, increasing) of the variables whose flag is non-zero.
std::vector<int> negative_list(std::span<const std::int32_t> flags);

// bm(i) = b(i) - sum over the list, in list order, of A(i,j) * lb(k) where
// j is the k-th listed variable.
std::vector<double> shifted_rhs(const Matrix& a, std::span<const double> b, std::span<const int> list,
                                std::span<const double> lb);

// Magnitude at or below which a starting x(j) or z(j) is replaced by 1.
inline constexpr double kStartThreshold = 1.0e-6;

// Replaces every x(j) and z(j) of magnitude at most kStartThreshold by 1.0
// and sets every y(i) to 1.0.
void prepare_start(std::span<double> x, std::span<double> y, std::span<double> z);

}  // namespace talven
