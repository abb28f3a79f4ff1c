// The primal-dual interior-point iteration for
//   minimise sum c(j) x(j) + 0.5 q(j) x(j)^2  subject to  A x = rhs, x >= 0.
//
// Each pass computes the duality gap, reports it, tests convergence and
// the iteration limit, and otherwise takes one damped Newton step whose
// dual direction comes from givwls. The iteration does no input or
// output: its reports go to an IterationObserver.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "talven/givens.hpp"
#include "talven/matrix.hpp"

namespace talven {

// The quadratic program as the iteration sees it (right-hand side already
// shifted for the lower bounds).
struct QpData {
  const Matrix& a;                // m x n
  std::span<const double> rhs;    // m
  std::span<const double> c, q;   // n
};

struct IterationParams {
  double rho = 0.0;      // step-length factor
  double epsln = 0.0;    // tolerance of the gap and both feasibility indices
  int maxit = 0;         // iteration limit
  double sigma = 0.0;    // centring factor
  double epslgiv = 0.0;  // tolerance of the rotations
  int iprint = 0;        // print level
  StoreDims dims;        // handed on to givwls for its reports
};

// The iterate and the quantities the final reports use.
struct IterationState {
  std::vector<double> x, y, z;
  int k = 0;
  double gap = 0.0;
  double mu = 0.0;
  double primal_index = 0.0;  // infinity norm of t of the last step
  double dual_index = 0.0;    // infinity norm of u of the last step
  double ssr = 0.0;           // cumulative sum of squared residuals of givwls
};

class IterationObserver : public GivensObserver {
 public:
  // Every pass.
  virtual void iteration_line(int /*k*/, double /*gap*/, double /*primal_index*/,
                              double /*dual_index*/) {}
  // Print level 1 and above.
  virtual void dual_direction(std::span<const double> /*dy*/) {}
  virtual void primal_direction(std::span<const double> /*dx*/) {}
  virtual void slack_direction(std::span<const double> /*dz*/) {}
  virtual void primal_ratio(double /*alphap*/) {}
  virtual void dual_ratio(double /*alphad*/) {}
  virtual void updated(int /*k*/, std::span<const double> /*x*/, std::span<const double> /*y*/,
                       std::span<const double> /*z*/) {}
};

enum class IterationEnd { Converged, LimitExceeded, Failed };

struct IterationOutcome {
  IterationEnd end = IterationEnd::Failed;
  std::string message;  // what went wrong, for IterationEnd::Failed
};

// Start value of the step ratios, kept when no component decreases.
inline constexpr double kNoRatio = -1000000.0;

// The ratio test: the largest -(dv(j)/v(j)) over the components with
// dv(j) < 0, rounded to single precision when it replaces the maximum (the
// comparison uses the unrounded ratio). `found` tells whether any
// component decreased; when none did the result is kNoRatio.
double step_ratio(std::span<const double> direction, std::span<const double> values, bool& found);

// The step factor: rho over the larger of the two ratios, or 1 (the full
// Newton step) when no component of dx or dz decreases.
double step_factor(double rho, double alphap, double alphad, bool any_decrease);

// Runs passes from state.k until convergence, the iteration limit or a
// breach of finiteness. `state` holds the starting point on entry.
IterationOutcome interior_point(const QpData& qp, const IterationParams& params, IterationState& state,
                                IterationObserver& observer);

}  // namespace talven
