#include "talven/residuals.hpp"

#include <cmath>

namespace talven {

void resid(const ResidualInputs& in, std::span<double> t, std::span<double> u, std::span<double> v) {
  const int m = in.a.rows();
  const int n = in.a.cols();
  for (int i = 0; i < m; ++i) {
    std::span<const double> row = in.a.row(i);
    double ti = in.rhs[i];
    for (int j = 0; j < n; ++j) ti = ti - row[j] * in.x[j];
    t[i] = ti;
  }
  for (int j = 0; j < n; ++j) {
    double uj = in.c[j] - in.z[j] + in.q[j] * in.x[j];
    for (int i = 0; i < m; ++i) uj = uj - in.a(i, j) * in.y[i];
    u[j] = uj;
    v[j] = in.mu - in.z[j] * in.x[j];
  }
}

double infnorm(int count, std::span<const double> values) {
  double largest = 0.0;
  for (int i = 0; i < count; ++i) {
    const double magnitude = std::fabs(values[i]);
    if (magnitude > largest) largest = magnitude;
  }
  return largest;
}

}  // namespace talven
