// Mehrotra's predictor-corrector primal-dual interior-point method for
//   minimise c'x + 1/2 x'diag(q)x  subject to  A x = b,  x_B >= 0, x_F free,
// where F are the flagged (angle) columns.
//
// Each iteration factors the Newton system once and solves it twice: the
// affine-scaling (predictor) direction gives the centring parameter
// sigma = (mu_aff / mu)^3, the corrector adds the second-order term. Primal
// and dual variables take separate steps, each a fraction 0.995 of the way
// to the boundary and never longer than the Newton step.
//
// The costs are divided by their largest magnitude before the iteration
// (duals scale with them) so that the tolerances mean the same for any
// currency or base power.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "newton_system.hpp"
#include "program_matrix.hpp"
#include "robust/solver.hpp"

namespace corvo::robust::slack {
namespace {

constexpr double kFractionToBoundary = 0.995;
// Infeasibility shows as an iterate that runs away: either its size
// passes kDivergence (in the scaled problem), or it leaves the central
// path for good, the complementarity collapsing below kCollapsedGap while
// the residuals stay above the tolerance and stop shrinking (by at least
// half over kStallIterations iterations). The primal regularisation keeps
// the duals of an infeasible program finite, so the second sign is the
// usual one.
constexpr double kDivergence = 1e10;
constexpr double kCollapsedGap = 1e-12;
constexpr int kStallIterations = 5;
// Angle values at or below the classic bound within this margin count as
// bound (radians).
constexpr double kAngleMargin = 1e-9;

using Vector = std::vector<double>;
using Clock = std::chrono::steady_clock;

double norm_inf(std::span<const double> v) {
  double m = 0.0;
  for (double e : v) m = std::max(m, std::fabs(e));
  return m;
}

struct Problem {
  const ProgramMatrix& a;
  std::vector<bool> free;
  Vector b, c, q;        // costs divided by cost_scale
  double cost_scale = 1.0;
  std::size_t bounded = 0;
};

struct Iterate {
  Vector x, y, z;
};

struct Residuals {
  Vector primal;  // b − A x
  Vector dual;    // c + q∘x − Aᵀy − z
  double primal_scaled = 0.0;
  double dual_scaled = 0.0;
  double gap_relative = 0.0;
  double mu = 0.0;
};

Residuals residuals(const Problem& p, const Iterate& it, Vector& col_work) {
  Residuals r;
  r.primal.resize(p.a.rows);
  multiply(p.a, it.x, r.primal);
  for (std::size_t i = 0; i < p.a.rows; ++i) r.primal[i] = p.b[i] - r.primal[i];
  r.dual.resize(p.a.cols);
  multiply_transposed(p.a, it.y, col_work);
  double objective = 0.0;
  double complementarity = 0.0;
  for (std::size_t j = 0; j < p.a.cols; ++j) {
    r.dual[j] = p.c[j] + p.q[j] * it.x[j] - col_work[j] - it.z[j];
    objective += p.c[j] * it.x[j] + 0.5 * p.q[j] * it.x[j] * it.x[j];
    if (!p.free[j]) complementarity += it.x[j] * it.z[j];
  }
  r.primal_scaled = norm_inf(r.primal) / (1.0 + norm_inf(p.b));
  r.dual_scaled = norm_inf(r.dual) / (1.0 + norm_inf(p.c));
  r.gap_relative = complementarity / (1.0 + std::fabs(objective));
  r.mu = p.bounded > 0 ? complementarity / static_cast<double>(p.bounded) : 0.0;
  return r;
}

// The step along d at which the first bounded entry of v reaches zero
// (infinity when none decreases); the caller caps it at the Newton step.
double step_to_boundary(const Problem& p, const Vector& v, const Vector& d) {
  double alpha = std::numeric_limits<double>::infinity();
  for (std::size_t j = 0; j < v.size(); ++j) {
    if (!p.free[j] && d[j] < 0.0) alpha = std::min(alpha, -v[j] / d[j]);
  }
  return alpha;
}

// Mehrotra's starting point: the least-norm x with A x = b and the
// least-squares duals for c, both shifted into the interior.
bool starting_point(const Problem& p, NewtonSystem& newton, Iterate& it) {
  const std::size_t n = p.a.cols;
  const std::size_t m = p.a.rows;
  // With H = I the Newton system gives, for hx = 0 and hy = b, the
  // least-norm x = Aᵀ(AAᵀ)⁻¹b; for hx = −c and hy = 0 it gives
  // y = (AAᵀ)⁻¹A c and w = Aᵀy − c, the negated dual slack z = c − Aᵀy.
  if (!newton.factor(Vector(n, 1.0))) return false;
  Vector zero_n(n, 0.0), zero_m(m, 0.0), minus_c(n);
  for (std::size_t j = 0; j < n; ++j) minus_c[j] = -p.c[j];
  it.x.assign(n, 0.0);
  it.y.assign(m, 0.0);
  newton.solve(zero_n, p.b, it.x, it.y);
  Vector w(n);
  newton.solve(minus_c, zero_m, w, it.y);
  it.z.assign(n, 0.0);
  for (std::size_t j = 0; j < n; ++j) it.z[j] = p.free[j] ? 0.0 : -w[j];

  double min_x = std::numeric_limits<double>::infinity(), min_z = min_x;
  for (std::size_t j = 0; j < n; ++j) {
    if (p.free[j]) continue;
    min_x = std::min(min_x, it.x[j]);
    min_z = std::min(min_z, it.z[j]);
  }
  if (p.bounded == 0) return true;
  const double shift_x = std::max(-1.5 * min_x, 0.0);
  const double shift_z = std::max(-1.5 * min_z, 0.0);
  double xz = 0.0, sum_x = 0.0, sum_z = 0.0;
  for (std::size_t j = 0; j < n; ++j) {
    if (p.free[j]) continue;
    it.x[j] += shift_x;
    it.z[j] += shift_z;
    xz += it.x[j] * it.z[j];
    sum_x += it.x[j];
    sum_z += it.z[j];
  }
  const double second_x = sum_z > 0.0 ? 0.5 * xz / sum_z : 0.0;
  const double second_z = sum_x > 0.0 ? 0.5 * xz / sum_x : 0.0;
  // A point with no spread (all zero) gets a plain unit start instead.
  const double floor_x = 1e-2 * (1.0 + norm_inf(it.x));
  const double floor_z = 1e-2 * (1.0 + norm_inf(it.z));
  for (std::size_t j = 0; j < n; ++j) {
    if (p.free[j]) continue;
    it.x[j] = std::max(it.x[j] + second_x, floor_x);
    it.z[j] = std::max(it.z[j] + second_z, floor_z);
  }
  return true;
}

// Directions for one right-hand side of the complementarity equation
// x∘dz + z∘dx = rc; the dual residual and primal residual are those of
// the current point.
void direction(const Problem& p, NewtonSystem& newton, const Iterate& it, const Residuals& r,
               const Vector& rc, Vector& dx, Vector& dy, Vector& dz, Vector& hx) {
  for (std::size_t j = 0; j < p.a.cols; ++j) {
    hx[j] = p.free[j] ? -r.dual[j] : -r.dual[j] + rc[j] / it.x[j];
  }
  newton.solve(hx, r.primal, dx, dy);
  for (std::size_t j = 0; j < p.a.cols; ++j) {
    dz[j] = p.free[j] ? 0.0 : (rc[j] - it.z[j] * dx[j]) / it.x[j];
  }
}

bool all_finite(const Vector& v) {
  return std::all_of(v.begin(), v.end(), [](double e) { return std::isfinite(e); });
}

Problem scaled_problem(const dispatch::DispatchQp& qp, const ProgramMatrix& a) {
  Problem p{a, std::vector<bool>(a.cols), qp.b, qp.c, qp.q, 1.0, 0};
  for (std::size_t j = 0; j < a.cols; ++j) {
    p.free[j] = qp.flags[j] != 0;
    if (!p.free[j]) ++p.bounded;
  }
  p.cost_scale = std::max({1.0, norm_inf(qp.c), norm_inf(qp.q)});
  for (std::size_t j = 0; j < a.cols; ++j) {
    p.c[j] /= p.cost_scale;
    p.q[j] /= p.cost_scale;
  }
  return p;
}

void finish(const dispatch::DispatchQp& qp, const Problem& p, const Iterate& it,
            const Residuals& r, Solution& s) {
  s.x = it.x;
  s.y = it.y;
  s.z = it.z;
  for (double& v : s.y) v *= p.cost_scale;
  for (double& v : s.z) v *= p.cost_scale;
  s.cost = dispatch_cost(qp, s.x);
  s.primal_residual = r.primal_scaled;
  s.dual_residual = r.dual_scaled;
  s.relative_gap = r.gap_relative;
  for (std::size_t j = 0; j < p.a.cols; ++j) {
    if (p.free[j] && s.x[j] <= dispatch::kAngleLowerBound + kAngleMargin) {
      s.angles_at_classic_bound.push_back(static_cast<std::int32_t>(j + 1));
    }
  }
}

}  // namespace

std::string status_text(Status status) {
  switch (status) {
    case Status::optimal: return "optimal";
    case Status::infeasible: return "infeasible";
    case Status::iteration_limit: return "iteration limit";
    case Status::numerical_failure: return "numerical failure";
  }
  return "numerical failure";
}

double dispatch_cost(const dispatch::DispatchQp& qp, std::span<const double> x) {
  double cost = 0.0;
  for (std::size_t j = 0; j < x.size(); ++j) {
    cost += x[j] * x[j] * qp.q[j] * 0.5 + qp.c[j] * x[j];
  }
  return cost;
}

namespace {

Solution iterate(const dispatch::DispatchQp& qp, const Options& options) {
  const auto started = Clock::now();
  const ProgramMatrix a = program_matrix(qp);
  const Problem p = scaled_problem(qp, a);
  NewtonSystem newton(a, p.free);
  Solution s;
  Iterate it;
  const std::size_t n = a.cols, m = a.rows;
  Vector col_work(n);
  if (!starting_point(p, newton, it)) {
    s.status = Status::numerical_failure;
    s.message = "the constraint matrix could not be factored at the starting point";
    return s;
  }
  Vector dx(n), dy(m), dz(n), ax(n), ay(m), az(n), rc(n), hx(n);
  Vector h(n);
  double step_p = 0.0, step_d = 0.0;
  std::vector<double> history;  // largest scaled residual of each iteration
  for (int k = 0;; ++k) {
    const Residuals r = residuals(p, it, col_work);
    if (options.on_iteration) {
      const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
      options.on_iteration({k, r.gap_relative, r.primal_scaled, r.dual_scaled, step_p, step_d,
                            seconds});
    }
    // Ends the solve with the current point.
    auto end = [&](Status status, std::string message) {
      s.iterations = k;
      s.status = status;
      s.message = std::move(message);
      finish(qp, p, it, r, s);
      return s;
    };
    if (r.primal_scaled <= options.tolerance && r.dual_scaled <= options.tolerance &&
        r.gap_relative <= options.tolerance) {
      return end(Status::optimal, "");
    }
    const double residual = std::max(r.primal_scaled, r.dual_scaled);
    history.push_back(residual);
    const bool stalled = k >= kStallIterations && residual > options.tolerance &&
                         r.gap_relative < kCollapsedGap &&
                         residual > 0.5 * history[history.size() - 1 - kStallIterations];
    if (stalled || std::max({norm_inf(it.x), norm_inf(it.y), norm_inf(it.z)}) > kDivergence) {
      return end(Status::infeasible, "the iterates diverge: no dispatch meets every limit");
    }
    if (k >= options.max_iterations) {
      return end(Status::iteration_limit,
                 "no convergence within " + std::to_string(options.max_iterations) + " iterations");
    }

    for (std::size_t j = 0; j < n; ++j) h[j] = p.free[j] ? p.q[j] : p.q[j] + it.z[j] / it.x[j];
    if (!newton.factor(h)) {
      return end(Status::numerical_failure,
                 "the Newton system could not be factored at iteration " + std::to_string(k));
    }
    // Predictor: the affine-scaling direction.
    for (std::size_t j = 0; j < n; ++j) rc[j] = p.free[j] ? 0.0 : -it.x[j] * it.z[j];
    direction(p, newton, it, r, rc, ax, ay, az, hx);
    const double ap = std::min(1.0, step_to_boundary(p, it.x, ax));
    const double ad = std::min(1.0, step_to_boundary(p, it.z, az));
    double mu_aff = 0.0;
    for (std::size_t j = 0; j < n; ++j) {
      if (!p.free[j]) mu_aff += (it.x[j] + ap * ax[j]) * (it.z[j] + ad * az[j]);
    }
    mu_aff /= static_cast<double>(std::max<std::size_t>(p.bounded, 1));
    const double ratio = r.mu > 0.0 ? mu_aff / r.mu : 0.0;
    const double sigma = ratio * ratio * ratio;
    // Corrector: centring plus the second-order term of the predictor.
    for (std::size_t j = 0; j < n; ++j) {
      rc[j] = p.free[j] ? 0.0 : sigma * r.mu - it.x[j] * it.z[j] - ax[j] * az[j];
    }
    direction(p, newton, it, r, rc, dx, dy, dz, hx);
    if (!all_finite(dx) || !all_finite(dy) || !all_finite(dz)) {
      return end(Status::numerical_failure,
                 "the Newton direction is not finite at iteration " + std::to_string(k));
    }
    step_p = std::min(1.0, kFractionToBoundary * step_to_boundary(p, it.x, dx));
    step_d = std::min(1.0, kFractionToBoundary * step_to_boundary(p, it.z, dz));
    for (std::size_t j = 0; j < n; ++j) {
      it.x[j] += step_p * dx[j];
      it.z[j] += step_d * dz[j];
    }
    for (std::size_t i = 0; i < m; ++i) it.y[i] += step_d * dy[i];
  }
}

}  // namespace

Solution solve_dispatch_qp(const dispatch::DispatchQp& qp, const Options& options) {
  try {
    return iterate(qp, options);
  } catch (const std::runtime_error& e) {
    // The factorisation ran out of memory or refused its input.
    Solution s;
    s.status = Status::numerical_failure;
    s.message = e.what();
    return s;
  }
}

}  // namespace corvo::robust::slack
