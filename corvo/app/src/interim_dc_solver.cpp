// Interim: solves the DC program through the older interior-point method
// on the slack form (every bound a row with a slack column), until the
// robust method solves the DC program directly. Same problem, same duals.
#include "interim_dc_solver.hpp"

#include <cmath>
#include <limits>

#include "dispatch/dispatch_qp.hpp"
#include "robust/solver.hpp"

namespace corvo::app {
namespace {

using robust::DcOpf;

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

struct Form {
  dispatch::DispatchQp qp;
  std::vector<int> theta_col;   // per node, 1-based, 0 when fixed
  std::vector<int> unit_col;    // per unit
  std::vector<int> unit_sign;   // +1: u = lower + x, -1: u = upper - x, 0: free u = x
  std::vector<int> unit_upper_row;
  std::vector<int> branch_lower_row, branch_upper_row;
};

int add_column(Form& f, double c, double q, bool free) {
  f.qp.c.push_back(c);
  f.qp.q.push_back(q);
  f.qp.x0.push_back(0.0);
  const int col = static_cast<int>(f.qp.c.size());
  f.qp.flags.push_back(free ? col : 0);
  if (free) f.qp.lb.push_back(-2.0);
  return col;
}

int add_row(Form& f, double rhs) {
  f.qp.rows.emplace_back();
  f.qp.b.push_back(rhs);
  return static_cast<int>(f.qp.rows.size());
}

Form slack_form(const DcOpf& p) {
  Form f;
  std::vector<bool> fixed(at(p.nodes), false);
  for (std::int32_t n : p.fixed_nodes) fixed[at(n)] = true;
  f.theta_col.assign(at(p.nodes), 0);
  for (std::int32_t n = 0; n < p.nodes; ++n)
    if (!fixed[at(n)]) f.theta_col[at(n)] = add_column(f, 0.0, 0.0, true);
  for (std::int32_t i = 0; i < p.buses; ++i) add_row(f, p.demand[at(i)]);
  const std::size_t units = p.unit_to.size();
  f.unit_col.resize(units);
  f.unit_sign.resize(units);
  f.unit_upper_row.assign(units, 0);
  for (std::size_t j = 0; j < units; ++j) {
    const double lo = p.unit_lower[j], hi = p.unit_upper[j], c = p.linear_cost[j], q = p.quadratic_cost[j];
    double offset = 0.0;
    int sign = 0;
    if (std::isfinite(lo)) {
      sign = 1;
      offset = lo;
      f.unit_col[j] = add_column(f, c + q * lo, q, false);
    } else if (std::isfinite(hi)) {
      sign = -1;
      offset = hi;
      f.unit_col[j] = add_column(f, -(c + q * hi), q, false);
    } else {
      f.unit_col[j] = add_column(f, c, q, true);
    }
    f.unit_sign[j] = sign;
    const double coef = sign == -1 ? -1.0 : 1.0;
    // u = offset + coef·x enters its buses.
    if (p.unit_to[j] != robust::kNoBus) {
      f.qp.rows[at(p.unit_to[j])].gather(f.unit_col[j], coef);
      f.qp.b[at(p.unit_to[j])] -= offset;
    }
    if (p.unit_from[j] != robust::kNoBus) {
      f.qp.rows[at(p.unit_from[j])].gather(f.unit_col[j], -coef);
      f.qp.b[at(p.unit_from[j])] += offset;
    }
    if (sign == 1 && std::isfinite(hi)) {
      const int s = add_column(f, 0.0, 0.0, false);
      const int r = add_row(f, hi - lo);
      f.qp.rows[at(r - 1)].gather(f.unit_col[j], 1.0);
      f.qp.rows[at(r - 1)].gather(s, 1.0);
      f.unit_upper_row[j] = r;
    }
  }
  const std::size_t nb = p.branch_from.size();
  f.branch_lower_row.assign(nb, 0);
  f.branch_upper_row.assign(nb, 0);
  for (std::size_t l = 0; l < nb; ++l) {
    const int cf = f.theta_col[at(p.node_of_bus[at(p.branch_from[l])])];
    const int ct = f.theta_col[at(p.node_of_bus[at(p.branch_to[l])])];
    const double b = p.susceptance[l];
    auto diff = [&](dispatch::SparseRow& row, double scale) {
      if (cf) row.gather(cf, scale);
      if (ct) row.gather(ct, -scale);
    };
    if (b != 0.0) {
      diff(f.qp.rows[at(p.branch_from[l])], -b);
      diff(f.qp.rows[at(p.branch_to[l])], b);
    }
    if (std::isfinite(p.diff_lower[l])) {
      const int s = add_column(f, 0.0, 0.0, false);
      const int r = add_row(f, p.diff_lower[l]);
      diff(f.qp.rows[at(r - 1)], 1.0);
      f.qp.rows[at(r - 1)].gather(s, -1.0);
      f.branch_lower_row[l] = r;
    }
    if (std::isfinite(p.diff_upper[l])) {
      const int s = add_column(f, 0.0, 0.0, false);
      const int r = add_row(f, p.diff_upper[l]);
      diff(f.qp.rows[at(r - 1)], 1.0);
      f.qp.rows[at(r - 1)].gather(s, 1.0);
      f.branch_upper_row[l] = r;
    }
  }
  f.qp.m = static_cast<std::int32_t>(f.qp.rows.size());
  f.qp.nvar = static_cast<std::int32_t>(f.qp.c.size());
  return f;
}

robust::Status status_of(robust::slack::Status s) {
  switch (s) {
    case robust::slack::Status::optimal: return robust::Status::optimal;
    case robust::slack::Status::infeasible: return robust::Status::infeasible;
    case robust::slack::Status::iteration_limit: return robust::Status::iteration_limit;
    case robust::slack::Status::numerical_failure: break;
  }
  return robust::Status::numerical_difficulty;
}

}  // namespace

robust::Solution interim_solve_dc_opf(const DcOpf& p, const robust::Options& options) {
  const Form f = slack_form(p);
  robust::slack::Options old;
  old.max_iterations = options.max_iterations;
  old.tolerance = options.tolerance;
  if (options.on_iteration || options.cancelled) {
    old.on_iteration = [&options](const robust::slack::IterationReport& r) {
      if (options.on_iteration)
        options.on_iteration({r.iteration, r.relative_gap, r.primal_residual, r.dual_residual, r.step_primal,
                              r.step_dual, r.seconds});
    };
  }
  const robust::slack::Solution s = robust::slack::solve_dispatch_qp(f.qp, old);
  robust::Solution out;
  out.status = status_of(s.status);
  out.message = s.message;
  out.iterations = s.iterations;
  out.primal_residual = s.primal_residual;
  out.dual_residual = s.dual_residual;
  out.relative_gap = s.relative_gap;
  out.angles.assign(at(p.nodes), 0.0);
  for (std::int32_t n = 0; n < p.nodes; ++n)
    if (f.theta_col[at(n)]) out.angles[at(n)] = s.x[at(f.theta_col[at(n)] - 1)];
  out.prices.assign(s.y.begin(), s.y.begin() + p.buses);
  const std::size_t units = p.unit_to.size();
  out.units.resize(units);
  out.unit_lower_duals.assign(units, 0.0);
  out.unit_upper_duals.assign(units, 0.0);
  for (std::size_t j = 0; j < units; ++j) {
    const std::size_t c = at(f.unit_col[j] - 1);
    const double x = s.x[c];
    if (f.unit_sign[j] == 1) {
      out.units[j] = p.unit_lower[j] + x;
      out.unit_lower_duals[j] = s.z[c];
      if (f.unit_upper_row[j]) out.unit_upper_duals[j] = -s.y[at(f.unit_upper_row[j] - 1)];
    } else if (f.unit_sign[j] == -1) {
      out.units[j] = p.unit_upper[j] - x;
      out.unit_upper_duals[j] = s.z[c];
    } else {
      out.units[j] = x;
    }
    out.cost += p.linear_cost[j] * out.units[j] + 0.5 * p.quadratic_cost[j] * out.units[j] * out.units[j];
  }
  const std::size_t nb = p.branch_from.size();
  out.branch_lower_duals.assign(nb, 0.0);
  out.branch_upper_duals.assign(nb, 0.0);
  for (std::size_t l = 0; l < nb; ++l) {
    if (f.branch_lower_row[l]) out.branch_lower_duals[l] = s.y[at(f.branch_lower_row[l] - 1)];
    if (f.branch_upper_row[l]) out.branch_upper_duals[l] = -s.y[at(f.branch_upper_row[l] - 1)];
  }
  return out;
}

}  // namespace corvo::app
