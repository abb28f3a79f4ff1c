#include "talven/iteration.hpp"

#include <cmath>
#include <string_view>
#include <utility>

#include "talven/residuals.hpp"

namespace talven {

namespace {

// Index (1-based) of the first non-finite value, or 0.
int first_non_finite(std::span<const double> values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!std::isfinite(values[i])) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::string in_iteration(int k) { return " in iteration " + std::to_string(k); }

// A failure message when `values` holds a non-finite entry, else empty.
std::string non_finite(std::string_view name, std::span<const double> values, int k) {
  const int bad = first_non_finite(values);
  if (bad == 0) return {};
  return std::string(name) + "(" + std::to_string(bad) + ") is not finite" + in_iteration(k);
}

double duality_gap(std::span<const double> x, std::span<const double> z) {
  double gap = 0.0;
  for (std::size_t j = 0; j < x.size(); ++j) gap = gap + z[j] * x[j];
  return gap;
}

// W(j) = 1 / (z(j)/x(j) + q(j)); empty message when every weight is
// finite and non-zero.
std::string weights(std::span<const double> x, std::span<const double> z, std::span<const double> q,
                    std::span<double> w, int k) {
  for (std::size_t j = 0; j < x.size(); ++j) {
    w[j] = 1.0 / (z[j] / x[j] + q[j]);
    if (w[j] == 0.0 || !std::isfinite(w[j])) {
      return "Weight W(" + std::to_string(j + 1) + ") is zero or not finite" + in_iteration(k);
    }
  }
  return {};
}

// The gap is a sum of products z(j) x(j) that are all non-negative at a
// point that may be an optimum; a negative gap comes from a point outside
// x >= 0, z >= 0, however small it is, and is never convergence.
bool converged(const IterationState& state, double epsln) {
  return state.gap >= 0.0 && state.gap <= epsln && state.primal_index <= epsln &&
         state.dual_index <= epsln;
}

IterationOutcome failed(std::string message) { return {IterationEnd::Failed, std::move(message)}; }

}  // namespace

double step_ratio(std::span<const double> direction, std::span<const double> values, bool& found) {
  double largest = kNoRatio;
  found = false;
  for (std::size_t j = 0; j < direction.size(); ++j) {
    if (direction[j] < 0.0) {
      found = true;
      const double ratio = -(direction[j] / values[j]);
      if (ratio > largest) largest = static_cast<double>(static_cast<float>(ratio));
    }
  }
  return largest;
}

double step_factor(double rho, double alphap, double alphad, bool any_decrease) {
  if (!any_decrease) return 1.0;
  const double larger = alphap > alphad ? alphap : alphad;
  return rho / larger;
}

IterationOutcome interior_point(const QpData& qp, const IterationParams& params, IterationState& state,
                                IterationObserver& observer) {
  const int m = qp.a.rows();
  const int n = qp.a.cols();
  std::vector<double>& x = state.x;
  std::vector<double>& y = state.y;
  std::vector<double>& z = state.z;
  std::vector<double> t(m), u(n), v(n), w(n), dy(m), dx(n), dz(n), d;

  for (;; ++state.k) {
    const int k = state.k;
    state.gap = duality_gap(x, z);
    state.mu = params.sigma * state.gap / n;
    if (!std::isfinite(state.gap) || !std::isfinite(state.mu)) {
      return failed("Duality gap is not finite" + in_iteration(k));
    }
    observer.iteration_line(k, state.gap, state.primal_index, state.dual_index);

    if (converged(state, params.epsln)) {
      return {IterationEnd::Converged, {}};
    }
    if (k > params.maxit) return {IterationEnd::LimitExceeded, {}};

    resid({qp.a, x, y, z, qp.rhs, qp.c, qp.q, state.mu}, t, u, v);
    for (auto [name, values] : {std::pair<const char*, std::span<const double>>{"Residual t", t},
                                {"Residual u", u},
                                {"Residual v", v}}) {
      if (auto message = non_finite(name, values, k); !message.empty()) return failed(message);
    }
    if (auto message = weights(x, z, qp.q, w, k); !message.empty()) return failed(message);

    const GivwlsInputs least_squares{qp.a, t, u, v, x, w, params.iprint, params.epslgiv, params.dims};
    if (auto fault = givwls(least_squares, state.ssr, observer, dy, d)) {
      return failed(fault->message + in_iteration(k));
    }
    if (auto message = non_finite("Direction dy", dy, k); !message.empty()) return failed(message);
    if (params.iprint >= 1) observer.dual_direction(dy);

    for (int j = 0; j < n; ++j) {
      double aty = 0.0;
      for (int i = 0; i < m; ++i) aty = aty + qp.a(i, j) * dy[i];
      dx[j] = (v[j] / x[j] + aty - u[j]) * w[j];
    }
    if (auto message = non_finite("Direction dx", dx, k); !message.empty()) return failed(message);
    if (params.iprint >= 1) observer.primal_direction(dx);

    for (int j = 0; j < n; ++j) dz[j] = (v[j] - z[j] * dx[j]) / x[j];
    if (auto message = non_finite("Direction dz", dz, k); !message.empty()) return failed(message);
    if (params.iprint >= 1) observer.slack_direction(dz);

    bool primal_decrease = false;
    bool dual_decrease = false;
    const double alphap = step_ratio(dx, x, primal_decrease);
    if (params.iprint >= 1) observer.primal_ratio(alphap);
    if (!std::isfinite(alphap)) return failed("Step ratio Alphap is not finite" + in_iteration(k));
    const double alphad = step_ratio(dz, z, dual_decrease);
    if (params.iprint >= 1) observer.dual_ratio(alphad);
    if (!std::isfinite(alphad)) return failed("Step ratio Alphad is not finite" + in_iteration(k));

    const double s = step_factor(params.rho, alphap, alphad, primal_decrease || dual_decrease);
    // A zero step leaves the iterate where it is: every later pass would
    // repeat this one.
    if (!std::isfinite(s)) return failed("Step factor is not finite" + in_iteration(k));
    if (s == 0.0) return failed("Step factor is zero" + in_iteration(k));
    for (int j = 0; j < n; ++j) {
      x[j] = x[j] + s * dx[j];
      z[j] = z[j] + s * dz[j];
    }
    for (int i = 0; i < m; ++i) y[i] = y[i] + s * dy[i];
    for (auto [name, values] : {std::pair<const char*, std::span<const double>>{"Primal variable x", x},
                                {"Dual variable y", y},
                                {"Dual slack z", z}}) {
      if (auto message = non_finite(name, values, k); !message.empty()) return failed(message);
    }
    if (params.iprint >= 1) observer.updated(k, x, y, z);

    state.primal_index = infnorm(m, t);
    state.dual_index = infnorm(n, u);
  }
}

}  // namespace talven
