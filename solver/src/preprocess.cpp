#include "talven/preprocess.hpp"

#include <cmath>

namespace talven {

std::vector<int> negative_list(std::span<const std::int32_t> flags) {
  std::vector<int> list;
  for (std::size_t j = 0; j < flags.size(); ++j) {
    if (flags[j] != 0) list.push_back(static_cast<int>(j));
  }
  return list;
}

std::vector<double> shifted_rhs(const Matrix& a, std::span<const double> b, std::span<const int> list,
                                std::span<const double> lb) {
  std::vector<double> bm(b.begin(), b.end());
  for (int i = 0; i < a.rows(); ++i) {
    for (std::size_t k = 0; k < list.size(); ++k) bm[i] = bm[i] - a(i, list[k]) * lb[k];
  }
  return bm;
}

void prepare_start(std::span<double> x, std::span<double> y, std::span<double> z) {
  // Both tests look at the values read, before any replacement.
  std::vector<std::size_t> small_x, small_z;
  for (std::size_t j = 0; j < x.size(); ++j) {
    if (std::fabs(x[j]) <= kStartThreshold) small_x.push_back(j);
  }
  for (std::size_t j = 0; j < z.size(); ++j) {
    if (std::fabs(z[j]) <= kStartThreshold) small_z.push_back(j);
  }
  for (std::size_t j : small_x) x[j] = 1.0;
  for (std::size_t j : small_z) z[j] = 1.0;
  for (double& yi : y) yi = 1.0;
}

}  // namespace talven
