// The optimality conditions of  min c'x + 0.5 x'diag(q)x  s.t.  A x = b,
// x >= lb  (lb = 0 except the angle columns) are, with d = c + q.x - A'y:
// A x = b, x >= lb, d >= 0 and (x - lb).d = 0. A free angle column has no
// bound and needs d = 0.
//
// The point is judged by its dispatch: outputs and angles. The slack and
// surplus of each limit row are taken as the row implies them (limit minus
// output, flow minus limit, ...), so a limit is violated exactly when its
// implied slack is negative, whatever slack values the solver reported.
//
// Each condition is measured in the units of the case: rows and slacks in
// per unit of power are scaled by Sb to MW, reduced costs divided by Sb to
// $/MWh, and products of distance and reduced cost are $/h as they stand.
// Each element is allowed, on top of the tolerance, what the rounding of
// the values it is computed from can explain (QpSolution's precision).
#include "corvo/report/optimality.hpp"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "dispatch/network_matrices.hpp"
#include "worst_offence.hpp"

namespace corvo::report {
namespace {

using dispatch::CaseData;
using dispatch::DispatchQp;

std::size_t at(std::int32_t one_based) { return static_cast<std::size_t>(one_based) - 1; }

struct Precision {
  double relative = 0.0;
  double zero = 0.0;
};

// Bound of the error in a*v that the rounding of v can cause.
double rounding(double a, double v, const Precision& p) {
  return v == 0.0 ? p.zero * std::fabs(a) : p.relative * std::fabs(a * v);
}


std::string line_name(const CaseData& data, std::int32_t l) {
  return "line " + std::to_string(l) + " (" + std::to_string(data.se[at(l)]) + "-" + std::to_string(data.re[at(l)]) +
         ")";
}

std::string generator_name(const CaseData& data, std::int32_t k) {
  for (std::int32_t i = 1; i <= data.n; ++i)
    if (data.bus_generator[at(i)] == k) return "generator " + std::to_string(k) + " (bus " + std::to_string(i) + ")";
  return "generator " + std::to_string(k);
}

// The bus whose angle is column j (1-based), 0 when j is no angle column.
std::int32_t bus_of_angle_column(const CaseData& data, std::int32_t j) {
  if (j > data.n - 1) return 0;
  return j < data.nref ? j : j + 1;
}

// What column j (1-based) of the program stands for.
std::string column_name(const CaseData& data, std::int32_t j) {
  const dispatch::QpColumns cols{data.n, data.ngen, data.nl};
  if (j <= data.n - 1) return "angle of bus " + std::to_string(bus_of_angle_column(data, j));
  if (j <= cols.generator(data.ngen)) return generator_name(data, j - cols.generator(0)) + " output";
  if (j <= cols.gen_upper_slack(data.ngen))
    return generator_name(data, j - cols.gen_upper_slack(0)) + " slack below its upper limit";
  if (j <= cols.gen_lower_surplus(data.ngen))
    return generator_name(data, j - cols.gen_lower_surplus(0)) + " surplus above its lower limit";
  if (j <= cols.line_upper_slack(data.nl))
    return line_name(data, j - cols.line_upper_slack(0)) + " slack below its upper limit";
  return line_name(data, j - cols.line_lower_surplus(0)) + " surplus above its lower limit";
}

// What a negative implied slack of limit row i (1-based) means.
std::string violation_name(const CaseData& data, std::int32_t i) {
  const dispatch::QpRows rows{data.n, data.ngen, data.nl};
  if (i <= rows.gen_upper(data.ngen)) return generator_name(data, i - rows.gen_upper(0)) + " above its upper limit";
  if (i <= rows.gen_lower(data.ngen)) return generator_name(data, i - rows.gen_lower(0)) + " below its lower limit";
  if (i <= rows.line_upper(data.nl)) return line_name(data, i - rows.line_upper(0)) + " above its upper limit";
  return line_name(data, i - rows.line_lower(0)) + " below its lower limit";
}

// The slack or surplus column of limit row i (1-based); rows and columns
// run through the same blocks in the same order.
std::int32_t slack_column(const CaseData& data, std::int32_t i) {
  return i - data.n + (data.n - 1 + data.ngen);
}

std::vector<double> lower_bounds(const DispatchQp& qp) {
  std::vector<double> lb(static_cast<std::size_t>(qp.nvar), 0.0);
  std::size_t k = 0;
  for (std::size_t j = 0; j < lb.size(); ++j)
    if (qp.flags[j] != 0) lb[j] = qp.lb.at(k++);
  return lb;
}

// The point in the program's variables with every slack and surplus as
// its row implies it, and for every column what rounding can explain.
struct Point {
  std::vector<double> x;
  std::vector<double> allowance;  // per unit
};

// Sum of A(i,j) x(j) - b(i) over the row without column `skip`, and its
// rounding allowance.
std::pair<double, double> row_value(const DispatchQp& qp, std::size_t i, const std::vector<double>& x,
                                    std::int32_t skip, const Precision& p) {
  double sum = 0.0, allowance = 0.0;
  for (const auto& e : qp.rows[i].entries()) {
    if (e.column == skip) continue;
    sum = sum + e.value * x[at(e.column)];
    allowance = allowance + rounding(e.value, x[at(e.column)], p);
  }
  return {sum - qp.b[i], allowance};
}

Point implied_point(const CaseData& data, const DispatchQp& qp, const QpSolution& s, const Precision& p) {
  Point pt{s.x, std::vector<double>(s.x.size())};
  for (std::size_t j = 0; j < s.x.size(); ++j) pt.allowance[j] = rounding(1.0, s.x[j], p);
  for (std::int32_t i = data.n + 1; i <= qp.m; ++i) {
    const std::int32_t j = slack_column(data, i);
    const auto [value, allowance] = row_value(qp, at(i), s.x, j, p);
    pt.x[at(j)] = value;
    pt.allowance[at(j)] = allowance;
  }
  return pt;
}

// Reduced costs d = c + q.x - A'y (per unit) and what rounding of x and y
// can explain in each.
struct Duals {
  std::vector<double> d;
  std::vector<double> allowance;
};

Duals duals_of(const DispatchQp& qp, const std::vector<double>& x, const std::vector<double>& y, const Precision& p) {
  const auto nvar = static_cast<std::size_t>(qp.nvar);
  std::vector<double> aty(nvar, 0.0);
  Duals out{std::vector<double>(nvar), std::vector<double>(nvar, 0.0)};
  for (std::size_t i = 0; i < qp.rows.size(); ++i)
    for (const auto& e : qp.rows[i].entries()) {
      aty[at(e.column)] = aty[at(e.column)] + e.value * y[i];
      out.allowance[at(e.column)] = out.allowance[at(e.column)] + rounding(e.value, y[i], p);
    }
  for (std::size_t j = 0; j < nvar; ++j) {
    out.d[j] = qp.c[j] + qp.q[j] * x[j] - aty[j];
    out.allowance[j] = out.allowance[j] + rounding(qp.q[j], x[j], p);
  }
  return out;
}

bool is_free(const CaseData& data, std::int32_t j, bool angles_free) { return angles_free && j <= data.n - 1; }

Condition balance(const CaseData& data, const DispatchQp& qp, const QpSolution& s, const Precision& p, double tol) {
  Worst w(tol);
  for (std::int32_t i = 1; i <= data.n; ++i) {
    const auto [r, allowance] = row_value(qp, at(i), s.x, 0, p);
    w.offer(std::fabs(r) * data.sb, allowance * data.sb, [&] { return "bus " + std::to_string(i); });
  }
  return w.condition("power balance", "MW");
}

Condition limits(const CaseData& data, const DispatchQp& qp, const Point& pt, double tol) {
  Worst w(tol);
  const dispatch::QpColumns cols{data.n, data.ngen, data.nl};
  for (std::int32_t k = 1; k <= data.ngen; ++k) {
    const auto j = at(cols.generator(k));
    w.offer(-pt.x[j] * data.sb, pt.allowance[j] * data.sb, [&] { return generator_name(data, k) + " output below 0"; });
  }
  for (std::int32_t i = data.n + 1; i <= qp.m; ++i) {
    const auto j = at(slack_column(data, i));
    w.offer(-pt.x[j] * data.sb, pt.allowance[j] * data.sb, [&] { return violation_name(data, i); });
  }
  return w.condition("limits", "MW");
}

Condition angle_bound(const CaseData& data, const Point& pt, const std::vector<double>& lb, double tol) {
  Worst w(tol);
  for (std::int32_t j = 1; j <= data.n - 1; ++j)
    w.offer(lb[at(j)] - pt.x[at(j)], pt.allowance[at(j)], [&] { return column_name(data, j); });
  return w.condition("angle bound", "rad");
}

Condition dual_feasibility(const CaseData& data, const Duals& du, bool angles_free, double tol) {
  Worst w(tol);
  for (std::int32_t j = 1; j <= static_cast<std::int32_t>(du.d.size()); ++j) {
    const double dj = du.d[at(j)];
    const double offence = is_free(data, j, angles_free) ? std::fabs(dj) : -dj;
    w.offer(offence / data.sb, du.allowance[at(j)] / data.sb, [&] { return column_name(data, j); });
  }
  return w.condition("dual feasibility", "$/MWh");
}

Condition complementarity(const CaseData& data, const Point& pt, const std::vector<double>& lb, const Duals& du,
                          bool angles_free, double tol) {
  Worst w(tol);
  for (std::int32_t j = 1; j <= static_cast<std::int32_t>(du.d.size()); ++j) {
    if (is_free(data, j, angles_free)) continue;
    const auto a = at(j);
    const double distance = std::fabs(pt.x[a] - lb[a]);
    const double allowance = distance * du.allowance[a] + std::fabs(du.d[a]) * pt.allowance[a];
    w.offer(distance * std::fabs(du.d[a]), allowance, [&] { return column_name(data, j); });
  }
  return w.condition("complementarity", "$/h");
}

std::vector<std::string> angle_notes(const CaseData& data, const std::vector<double>& x) {
  std::vector<std::string> notes;
  for (std::int32_t j = 1; j <= data.n - 1; ++j)
    if (x[at(j)] <= dispatch::kAngleLowerBound)
      notes.push_back("the angle of bus " + std::to_string(bus_of_angle_column(data, j)) +
                      " is at or below -2 rad, the angle bound of the classic program");
  return notes;
}

}  // namespace

Condition solver_outcome_condition(Outcome outcome, int iterations, const std::string& message) {
  Condition c;
  c.name = "solver outcome";
  c.value = iterations;
  c.holds = outcome == Outcome::converged;
  switch (outcome) {
    case Outcome::converged: c.where = "converged in " + std::to_string(iterations) + " iterations"; break;
    case Outcome::iteration_limit:
      c.where = "stopped at the iteration limit after " + std::to_string(iterations) + " iterations";
      break;
    case Outcome::stopped: c.where = "stopped: " + message; break;
    case Outcome::infeasible: c.where = "infeasible: " + message; break;
  }
  return c;
}

std::vector<double> row_residuals(const DispatchQp& qp, const std::vector<double>& x) {
  std::vector<double> r(static_cast<std::size_t>(qp.m));
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = row_value(qp, i, x, 0, Precision{}).first;
  return r;
}

std::vector<double> reduced_costs(const DispatchQp& qp, const std::vector<double>& x, const std::vector<double>& y) {
  return duals_of(qp, x, y, Precision{}).d;
}

OptimalityCheck check_optimality(const CaseData& data, const DispatchQp& qp, const QpSolution& solution,
                                 const ReportOptions& options) {
  const Tolerances& tol = options.tolerances;
  const Precision p{solution.relative_precision, solution.zero_threshold};
  const Point pt = implied_point(data, qp, solution, p);
  const Duals du = duals_of(qp, pt.x, solution.y, p);
  const std::vector<double> lb = lower_bounds(qp);

  OptimalityCheck check;
  check.conditions.push_back(solver_outcome_condition(solution.outcome, solution.iterations, solution.message));
  check.conditions.push_back(balance(data, qp, solution, p, tol.balance_mw));
  check.conditions.push_back(limits(data, qp, pt, tol.limit_mw));
  if (!options.angles_free) check.conditions.push_back(angle_bound(data, pt, lb, tol.angle_rad));
  check.conditions.push_back(dual_feasibility(data, du, options.angles_free, tol.dual_per_mwh));
  check.conditions.push_back(complementarity(data, pt, lb, du, options.angles_free, tol.complementarity_per_h));
  check.optimal = true;
  for (const Condition& c : check.conditions)
    if (!c.holds) {
      check.optimal = false;
      check.failing.push_back(c.name);
    }
  check.notes = angle_notes(data, solution.x);
  // A solver that writes small values as zero (talven, after epslnp) makes
  // every zero stand for a range; wider than the balance tolerance, it is
  // why the point cannot be verified.
  if (!check.optimal && solution.zero_threshold * data.sb > tol.balance_mw) {
    char note[160];
    std::snprintf(note, sizeof note,
                  "values up to %g per unit (%g MW) were written as zero: the point is known too coarsely to be "
                  "verified",
                  solution.zero_threshold, solution.zero_threshold * data.sb);
    check.notes.push_back(note);
  }
  return check;
}

}  // namespace corvo::report
