// The report's tables. Prices: the dual y(i) of the power-balance row of
// bus i is the change of the optimal cost per unit of load added at bus i
// (the program's right-hand side is the load), so y(i) / Sb is the nodal
// price in $/MWh, positive in an ordinary case. Line shadow prices follow
// the same rule: the dual of a line's upper-limit row (right-hand side
// minus the limit) is the cost saved per unit of added limit.
#include <cmath>
#include <numbers>

#include "corvo/report/optimality.hpp"
#include "corvo/report/results.hpp"
#include "dispatch/network_matrices.hpp"

namespace corvo::report {
namespace {

using dispatch::CaseData;
using dispatch::DispatchQp;

std::size_t at(std::int32_t one_based) { return static_cast<std::size_t>(one_based) - 1; }

double angle_of(const CaseData& data, const std::vector<double>& x, std::int32_t bus) {
  const std::int32_t col = dispatch::angle_column(bus, data.nref);
  return col == 0 ? 0.0 : x[at(col)];
}

// Sign of a generator's output in its bus balance: a negative generation
// bus withdraws it.
double generation_sign(const CaseData& data, std::int32_t bus) {
  return data.bus_type[at(bus)] == dispatch::kNegativeGenerationBus ? -1.0 : 1.0;
}

AtLimit limit_reached(double value, double lower, double upper, double tolerance) {
  if (value >= upper - tolerance) return AtLimit::upper;
  if (value <= lower + tolerance) return AtLimit::lower;
  return AtLimit::none;
}

Summary make_summary(const std::string& case_name, const CaseData& data, const DispatchQp& qp,
                     const QpSolution& s) {
  Summary sum;
  sum.case_name = case_name;
  sum.title = data.title;
  while (!sum.title.empty() && sum.title.back() == ' ') sum.title.pop_back();
  sum.method = s.method;
  sum.outcome = s.outcome;
  sum.iterations = s.iterations;
  sum.message = s.message;
  sum.base_mva = data.sb;
  // In column order, as the solver sums its cost.
  for (std::size_t j = 0; j < s.x.size(); ++j)
    sum.cost = sum.cost + (s.x[j] * s.x[j] * qp.q[j] * 0.5 + qp.c[j] * s.x[j]);
  for (double c0 : data.constant_cost) sum.constant_cost = sum.constant_cost + c0;
  sum.cost_with_constant = sum.cost + sum.constant_cost;
  return sum;
}

std::vector<GeneratorRow> make_generators(const CaseData& data, const DispatchQp& qp, const QpSolution& s,
                                          double binding_mw) {
  const dispatch::QpColumns cols{data.n, data.ngen, data.nl};
  std::vector<GeneratorRow> rows;
  for (std::int32_t bus = 1; bus <= data.n; ++bus) {
    const std::int32_t k = data.bus_generator[at(bus)];
    if (k == 0) continue;
    const auto g = at(k);
    const auto j = at(cols.generator(k));
    GeneratorRow row;
    row.generator = k;
    row.bus = bus;
    row.output_mw = s.x[j] * data.sb;
    row.lower_mw = data.gen_lower[g] * data.sb;
    row.upper_mw = data.gen_upper[g] * data.sb;
    row.incremental_cost = (qp.c[j] + qp.q[j] * s.x[j]) / data.sb;
    row.at_limit = limit_reached(row.output_mw, row.lower_mw, row.upper_mw, binding_mw);
    rows.push_back(row);
  }
  return rows;
}

std::vector<BusRow> make_buses(const CaseData& data, const QpSolution& s) {
  const dispatch::QpColumns cols{data.n, data.ngen, data.nl};
  const double energy = s.y[at(data.nref)] / data.sb;
  std::vector<BusRow> rows;
  for (std::int32_t bus = 1; bus <= data.n; ++bus) {
    BusRow row;
    row.bus = bus;
    row.type = data.bus_type[at(bus)];
    row.angle_deg = angle_of(data, s.x, bus) * (180.0 / std::numbers::pi);
    row.load_mw = data.load[at(bus)] * data.sb;
    if (const std::int32_t k = data.bus_generator[at(bus)])
      row.generation_mw = generation_sign(data, bus) * s.x[at(cols.generator(k))] * data.sb;
    row.lmp = s.y[at(bus)] / data.sb;
    row.energy = energy;
    row.congestion = row.lmp - energy;
    rows.push_back(row);
  }
  return rows;
}

double loading_percent(double flow, double lower, double upper) {
  const double limit = flow >= 0.0 ? upper : -lower;
  if (limit == 0.0) return std::nan("");
  return std::fabs(flow) / std::fabs(limit) * 100.0;
}

std::vector<LineRow> make_lines(const CaseData& data, const QpSolution& s, double binding_mw) {
  const dispatch::QpRows qrows{data.n, data.ngen, data.nl};
  std::vector<LineRow> rows;
  for (std::int32_t l = 1; l <= data.nl; ++l) {
    const auto a = at(l);
    LineRow row;
    row.line = l;
    row.from = data.se[a];
    row.to = data.re[a];
    row.flow_mw = (angle_of(data, s.x, row.from) - angle_of(data, s.x, row.to)) / data.x[a] * data.sb;
    row.lower_mw = data.line_lower[a] * data.sb;
    row.upper_mw = data.line_upper[a] * data.sb;
    row.loading_percent = loading_percent(row.flow_mw, row.lower_mw, row.upper_mw);
    row.binding = limit_reached(row.flow_mw, row.lower_mw, row.upper_mw, binding_mw);
    row.mu_upper = s.y[at(qrows.line_upper(l))] / data.sb;
    row.mu_lower = s.y[at(qrows.line_lower(l))] / data.sb;
    if (row.binding == AtLimit::upper) row.shadow_price = row.mu_upper;
    if (row.binding == AtLimit::lower) row.shadow_price = row.mu_lower;
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

const char* at_limit_name(AtLimit a) {
  switch (a) {
    case AtLimit::lower: return "lower";
    case AtLimit::upper: return "upper";
    case AtLimit::none: break;
  }
  return "";
}

std::string solution_size_error(const DispatchQp& qp, const QpSolution& s) {
  const auto nvar = static_cast<std::size_t>(qp.nvar);
  const auto m = static_cast<std::size_t>(qp.m);
  if (s.x.size() == nvar && s.y.size() == m && (s.z.empty() || s.z.size() == nvar)) return {};
  return "the solution has " + std::to_string(s.x.size()) + " variables and " + std::to_string(s.y.size()) +
         " constraints, the case's program " + std::to_string(nvar) + " variables and " + std::to_string(m) +
         " constraints";
}

Results make_results(const std::string& case_name, const CaseData& data, const DispatchQp& qp,
                     const QpSolution& solution, const ReportOptions& options) {
  Results r;
  r.summary = make_summary(case_name, data, qp, solution);
  r.generators = make_generators(data, qp, solution, options.tolerances.binding_mw);
  r.buses = make_buses(data, solution);
  for (const BusRow& b : r.buses) {
    r.summary.total_load_mw = r.summary.total_load_mw + b.load_mw;
    r.summary.total_generation_mw = r.summary.total_generation_mw + b.generation_mw;
  }
  r.lines = make_lines(data, solution, options.tolerances.binding_mw);
  r.check = check_optimality(data, qp, solution, options);
  r.tolerances = options.tolerances;
  r.angles_free = options.angles_free;
  return r;
}

int exit_status(const Results& results) { return results.check.optimal ? kExitOptimal : kExitNotOptimal; }

}  // namespace corvo::report
