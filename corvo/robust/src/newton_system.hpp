// The Newton system of the interior-point method,
//
//   [ H  -Aᵀ ] [dx]   [hx]
//   [ A   0  ] [dy] = [hy]      with H = diag(q + z/x), z/x = 0 on free columns,
//
// solved through regularised normal equations and corrected by iterative
// refinement against the system above.
//
// A free column has no barrier term, so its diagonal may be zero and the
// normal equations would be singular: it receives a small primal
// regularisation, scaled to its column so that every free column weighs
// alike. Dependent rows (and a factor that meets a non-positive pivot)
// are handled by a dual regularisation delta on the diagonal of the normal
// equations, raised until the factor succeeds. Refinement then removes
// what the regularisation changed in the step.
#pragma once

#include <span>
#include <vector>

#include "normal_equations.hpp"
#include "program_matrix.hpp"

namespace corvo::robust {

class NewtonSystem {
 public:
  NewtonSystem(const ProgramMatrix& a, std::vector<bool> free_column);

  // Factors for the diagonal h (one entry per column). Returns false when
  // no regularisation in its range gave a factor.
  bool factor(std::span<const double> h);

  // Solves for the last factor; dx has one entry per column, dy per row.
  void solve(std::span<const double> hx, std::span<const double> hy, std::span<double> dx,
             std::span<double> dy);

  // The dual regularisation of the last factor.
  double delta() const { return delta_; }

 private:
  void regularised_solve(std::span<const double> ex, std::span<const double> ey,
                         std::span<double> dx, std::span<double> dy);
  // Largest absolute residual of the unregularised system at (dx, dy),
  // leaving the residuals in ex, ey.
  double residual(std::span<const double> hx, std::span<const double> hy,
                  std::span<const double> dx, std::span<const double> dy);

  const ProgramMatrix& a_;
  std::vector<bool> free_;
  std::vector<double> free_regularisation_;
  NormalEquations normal_;
  std::vector<double> h_;         // unregularised diagonal
  std::vector<double> h_reg_;     // regularised diagonal
  std::vector<double> weight_;    // 1 / h_reg
  double delta_ = 0.0;
  // Work vectors, sized once.
  std::vector<double> ex_, ey_, cx_, cy_, row_work_, col_work_;
};

}  // namespace corvo::robust
