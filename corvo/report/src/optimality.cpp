// The optimality conditions of  min c'x + 0.5 x'diag(q)x  s.t.  A x = b,
// x >= lb  (lb = 0 except the angle columns) are, with d = c + q.x - A'y:
// A x = b, x >= lb, d >= 0 and (x - lb).d = 0. A free angle column has no
// bound and needs d = 0. Each is measured in the units of the case: rows
// and variables in per unit of power are scaled by Sb to MW, reduced costs
// divided by Sb to $/MWh, and the products of distance and reduced cost
// are $/h as they stand.
#include "corvo/report/optimality.hpp"

#include <cmath>
#include <functional>
#include <string>

#include "dispatch/network_matrices.hpp"

namespace corvo::report {
namespace {

using dispatch::CaseData;
using dispatch::DispatchQp;

// The largest offence seen so far and where it is. A value that is not
// finite is the worst of all and stays.
class Worst {
 public:
  void offer(double value, const std::function<std::string()>& where) {
    if (!std::isfinite(value_)) return;
    if (!std::isfinite(value) || value > value_) {
      value_ = value;
      where_ = where();
    }
  }
  double value() const { return value_; }
  const std::string& where() const { return where_; }

 private:
  double value_ = 0.0;
  std::string where_;
};

Condition condition_of(std::string name, std::string unit, const Worst& worst, double tolerance) {
  Condition c;
  c.name = std::move(name);
  c.unit = std::move(unit);
  c.value = worst.value();
  c.tolerance = tolerance;
  c.holds = worst.value() <= tolerance;  // false for NaN
  c.where = worst.where();
  return c;
}

std::string line_name(const CaseData& data, std::int32_t l) {
  const auto at = static_cast<std::size_t>(l) - 1;
  return "line " + std::to_string(l) + " (" + std::to_string(data.se[at]) + "-" +
         std::to_string(data.re[at]) + ")";
}

std::string generator_name(const CaseData& data, std::int32_t k) {
  for (std::int32_t i = 1; i <= data.n; ++i)
    if (data.bus_generator[static_cast<std::size_t>(i) - 1] == k)
      return "generator " + std::to_string(k) + " (bus " + std::to_string(i) + ")";
  return "generator " + std::to_string(k);
}

// What row i (1-based) of the program stands for.
std::string row_name(const CaseData& data, std::int32_t i) {
  const dispatch::QpRows rows{data.n, data.ngen, data.nl};
  if (i <= data.n) return "bus " + std::to_string(i);
  if (i <= rows.gen_upper(data.ngen)) return generator_name(data, i - rows.gen_upper(0)) + " upper limit";
  if (i <= rows.gen_lower(data.ngen)) return generator_name(data, i - rows.gen_lower(0)) + " lower limit";
  if (i <= rows.line_upper(data.nl)) return line_name(data, i - rows.line_upper(0)) + " upper limit";
  return line_name(data, i - rows.line_lower(0)) + " lower limit";
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

// Lower bound of each column: the program's bound for a flagged column,
// 0 for every other.
std::vector<double> lower_bounds(const DispatchQp& qp) {
  std::vector<double> lb(static_cast<std::size_t>(qp.nvar), 0.0);
  std::size_t k = 0;
  for (std::size_t j = 0; j < lb.size(); ++j)
    if (qp.flags[j] != 0) lb[j] = qp.lb.at(k++);
  return lb;
}

Worst balance_offence(const CaseData& data, const std::vector<double>& r) {
  Worst w;
  for (std::int32_t i = 1; i <= data.n; ++i)
    w.offer(std::fabs(r[static_cast<std::size_t>(i) - 1]) * data.sb, [&] { return row_name(data, i); });
  return w;
}

// Flows in per unit, (angle of se - angle of re) / x.
double flow_pu(const CaseData& data, const std::vector<double>& x, std::int32_t l) {
  const auto at = static_cast<std::size_t>(l) - 1;
  auto angle = [&](std::int32_t bus) {
    const std::int32_t col = dispatch::angle_column(bus, data.nref);
    return col == 0 ? 0.0 : x[static_cast<std::size_t>(col) - 1];
  };
  return (angle(data.se[at]) - angle(data.re[at])) / data.x[at];
}

Worst limit_offence(const CaseData& data, const DispatchQp& qp, const std::vector<double>& x,
                    const std::vector<double>& r) {
  Worst w;
  const double sb = data.sb;
  for (std::int32_t i = data.n + 1; i <= qp.m; ++i)
    w.offer(std::fabs(r[static_cast<std::size_t>(i) - 1]) * sb,
            [&] { return row_name(data, i) + " (row residual)"; });
  for (std::int32_t j = data.n; j <= qp.nvar; ++j)
    w.offer(-x[static_cast<std::size_t>(j) - 1] * sb, [&] { return column_name(data, j) + " below 0"; });
  const dispatch::QpColumns cols{data.n, data.ngen, data.nl};
  for (std::int32_t k = 1; k <= data.ngen; ++k) {
    const double p = x[static_cast<std::size_t>(cols.generator(k)) - 1];
    const auto g = static_cast<std::size_t>(k) - 1;
    w.offer((p - data.gen_upper[g]) * sb, [&] { return generator_name(data, k) + " above its upper limit"; });
    w.offer((data.gen_lower[g] - p) * sb, [&] { return generator_name(data, k) + " below its lower limit"; });
  }
  for (std::int32_t l = 1; l <= data.nl; ++l) {
    const double f = flow_pu(data, x, l);
    const auto at = static_cast<std::size_t>(l) - 1;
    w.offer((f - data.line_upper[at]) * sb, [&] { return line_name(data, l) + " above its upper limit"; });
    w.offer((data.line_lower[at] - f) * sb, [&] { return line_name(data, l) + " below its lower limit"; });
  }
  return w;
}

Worst angle_bound_offence(const CaseData& data, const std::vector<double>& x, const std::vector<double>& lb) {
  Worst w;
  for (std::int32_t j = 1; j <= data.n - 1; ++j) {
    const auto at = static_cast<std::size_t>(j) - 1;
    w.offer(lb[at] - x[at], [&] { return column_name(data, j); });
  }
  return w;
}

bool is_free(const CaseData& data, std::int32_t j, bool angles_free) {
  return angles_free && j <= data.n - 1;
}

Worst dual_offence(const CaseData& data, const std::vector<double>& d, bool angles_free) {
  Worst w;
  for (std::int32_t j = 1; j <= static_cast<std::int32_t>(d.size()); ++j) {
    const double dj = d[static_cast<std::size_t>(j) - 1];
    const double offence = is_free(data, j, angles_free) ? std::fabs(dj) : -dj;
    w.offer(offence / data.sb, [&] { return column_name(data, j); });
  }
  return w;
}

Worst complementarity_offence(const CaseData& data, const std::vector<double>& x, const std::vector<double>& lb,
                              const std::vector<double>& d, bool angles_free) {
  Worst w;
  for (std::int32_t j = 1; j <= static_cast<std::int32_t>(d.size()); ++j) {
    if (is_free(data, j, angles_free)) continue;
    const auto at = static_cast<std::size_t>(j) - 1;
    w.offer(std::fabs((x[at] - lb[at]) * d[at]), [&] { return column_name(data, j); });
  }
  return w;
}

Condition outcome_condition(const QpSolution& s) {
  Condition c;
  c.name = "solver outcome";
  c.value = s.iterations;
  c.holds = s.outcome == Outcome::converged;
  switch (s.outcome) {
    case Outcome::converged: c.where = "converged in " + std::to_string(s.iterations) + " iterations"; break;
    case Outcome::iteration_limit:
      c.where = "stopped at the iteration limit after " + std::to_string(s.iterations) + " iterations";
      break;
    case Outcome::stopped: c.where = "stopped: " + s.message; break;
  }
  return c;
}

std::vector<std::string> angle_notes(const CaseData& data, const std::vector<double>& x) {
  std::vector<std::string> notes;
  for (std::int32_t j = 1; j <= data.n - 1; ++j)
    if (x[static_cast<std::size_t>(j) - 1] <= dispatch::kAngleLowerBound)
      notes.push_back("the angle of bus " + std::to_string(bus_of_angle_column(data, j)) +
                      " is at or below -2 rad, the angle bound of the classic program");
  return notes;
}

}  // namespace

std::vector<double> row_residuals(const DispatchQp& qp, const std::vector<double>& x) {
  std::vector<double> r(static_cast<std::size_t>(qp.m));
  for (std::size_t i = 0; i < r.size(); ++i) {
    double sum = 0.0;
    for (const auto& e : qp.rows[i].entries()) sum = sum + e.value * x[static_cast<std::size_t>(e.column) - 1];
    r[i] = sum - qp.b[i];
  }
  return r;
}

std::vector<double> reduced_costs(const DispatchQp& qp, const std::vector<double>& x,
                                  const std::vector<double>& y) {
  std::vector<double> aty(static_cast<std::size_t>(qp.nvar), 0.0);
  for (std::size_t i = 0; i < qp.rows.size(); ++i)
    for (const auto& e : qp.rows[i].entries()) {
      const auto j = static_cast<std::size_t>(e.column) - 1;
      aty[j] = aty[j] + e.value * y[i];
    }
  std::vector<double> d(aty.size());
  for (std::size_t j = 0; j < d.size(); ++j) d[j] = qp.c[j] + qp.q[j] * x[j] - aty[j];
  return d;
}

OptimalityCheck check_optimality(const CaseData& data, const DispatchQp& qp, const QpSolution& solution,
                                 const ReportOptions& options) {
  const Tolerances& tol = options.tolerances;
  const std::vector<double>& x = solution.x;
  const std::vector<double> r = row_residuals(qp, x);
  const std::vector<double> d = reduced_costs(qp, x, solution.y);
  const std::vector<double> lb = lower_bounds(qp);

  OptimalityCheck check;
  check.conditions.push_back(outcome_condition(solution));
  check.conditions.push_back(condition_of("power balance", "MW", balance_offence(data, r), tol.balance_mw));
  check.conditions.push_back(condition_of("limits", "MW", limit_offence(data, qp, x, r), tol.limit_mw));
  if (!options.angles_free)
    check.conditions.push_back(condition_of("angle bound", "rad", angle_bound_offence(data, x, lb), tol.angle_rad));
  check.conditions.push_back(
      condition_of("dual feasibility", "$/MWh", dual_offence(data, d, options.angles_free), tol.dual_per_mwh));
  check.conditions.push_back(condition_of("complementarity", "$/h",
                                          complementarity_offence(data, x, lb, d, options.angles_free),
                                          tol.complementarity_per_h));
  check.optimal = true;
  for (const Condition& c : check.conditions)
    if (!c.holds) {
      check.optimal = false;
      check.failing.push_back(c.name);
    }
  check.notes = angle_notes(data, x);
  return check;
}

}  // namespace corvo::report
