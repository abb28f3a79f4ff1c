// Residuals of the optimality conditions and the infinity norm.
#pragma once

#include <span>

#include "talven/matrix.hpp"

namespace talven {

// Inputs of one residual evaluation. `a` is the m x n constraint matrix,
// `rhs` the right-hand side the point is measured against.
struct ResidualInputs {
  const Matrix& a;
  std::span<const double> x, y, z;
  std::span<const double> rhs;
  std::span<const double> c, q;
  double mu;
};

// t = rhs - A x               (summed over the variables in increasing order)
// u = c - z + q x - A' y      (summed over the constraints in increasing order)
// v = mu - z x
// t has m entries, u and v have n.
void resid(const ResidualInputs& in, std::span<double> t, std::span<double> u, std::span<double> v);

// Largest absolute value among values[0..count); 0.0 for count 0. The
// maximum starts at 0.0 and is replaced only by a strictly larger value.
double infnorm(int count, std::span<const double> values);

}  // namespace talven
