// The report's tables for a network. Prices, flows and multipliers come in
// the network's terms already (NetworkSolution); this file chooses what to
// show for each element that takes part, and how a case file's negative
// generation bus reads (the withdrawal as its output).
#include <algorithm>
#include <cmath>

#include "corvo/network/names.hpp"
#include "corvo/report/network_results.hpp"

namespace corvo::report {
namespace {

using network::DcModel;
using network::Network;
using network::NetworkSolution;

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

const double kNaN = std::nan("");

double finite_or_nan(double v) { return std::isfinite(v) ? v : kNaN; }

AtLimit limit_reached(double value, double lower, double upper, double tolerance) {
  if (std::isfinite(upper) && value >= upper - tolerance) return AtLimit::upper;
  if (std::isfinite(lower) && value <= lower + tolerance) return AtLimit::lower;
  return AtLimit::none;
}

// A bus's type in our case file's terms: its own for a case file; else 2
// for the reference bus, 1 for a bus with a generator that takes part, 0.
std::int32_t bus_type(const Network& net, const DcModel& model, std::int32_t bus, bool has_generator) {
  const network::Bus& b = net.buses[at(bus)];
  if (net.format == network::SourceFormat::case_file) return b.case_type;
  if (model.island_anchor[at(bus)] == bus && b.reference) return 2;
  return has_generator ? 1 : 0;
}

double incremental_cost(const network::CostCurve& cost, double mw, double price, double kink_mw) {
  const MarginalCost mc = marginal_cost(cost, mw, kink_mw);
  return std::clamp(price, mc.below, mc.above);
}

std::vector<GeneratorRow> generator_rows(const Network& net, const DcModel& model, const NetworkSolution& s,
                                         const Tolerances& tol) {
  std::vector<GeneratorRow> rows;
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    if (model.generator_units[k].first < 0) continue;
    const network::Generator& g = net.generators[k];
    GeneratorRow row;
    row.generator = g.source.row;
    row.bus = net.buses[at(g.bus)].number;
    row.id = g.source.id;
    const double p = s.generator_mw[k];
    const double inc = incremental_cost(g.cost, p, s.bus_price[at(g.bus)], tol.binding_mw);
    // A case file's negative generation bus shows what it withdraws.
    const double sign = g.withdraws ? -1.0 : 1.0;
    row.output_mw = sign * p;
    row.lower_mw = g.withdraws ? -g.pmax_mw : g.pmin_mw;
    row.upper_mw = g.withdraws ? -g.pmin_mw : g.pmax_mw;
    row.incremental_cost = sign * inc;
    row.at_limit = limit_reached(row.output_mw, row.lower_mw, row.upper_mw, tol.binding_mw);
    rows.push_back(row);
  }
  return rows;
}

std::vector<BusRow> bus_rows(const Network& net, const DcModel& model, const NetworkSolution& s) {
  std::vector<double> generation(net.buses.size(), 0.0);
  std::vector<bool> has_generator(net.buses.size(), false);
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    if (model.generator_units[k].first < 0) continue;
    const std::int32_t bus = net.generators[k].bus;
    generation[at(bus)] = generation[at(bus)] + s.generator_mw[k];
    has_generator[at(bus)] = true;
  }
  std::vector<BusRow> rows;
  for (std::size_t i = 0; i < net.buses.size(); ++i) {
    if (model.bus_of[i] < 0) continue;
    const network::Bus& b = net.buses[i];
    BusRow row;
    row.bus = b.number;
    row.type = bus_type(net, model, static_cast<std::int32_t>(i), has_generator[i]);
    row.angle_deg = s.bus_angle_deg[i];
    row.load_mw = b.load_mw + b.shunt_mw;
    row.generation_mw = generation[i];
    row.lmp = s.bus_price[i];
    row.energy = s.bus_price[at(model.island_anchor[i])];
    row.congestion = row.lmp - row.energy;
    rows.push_back(row);
  }
  return rows;
}

double loading_percent(double flow, double lower, double upper) {
  const double limit = flow >= 0.0 ? upper : -lower;
  if (!std::isfinite(limit) || limit == 0.0) return kNaN;
  return std::fabs(flow) / std::fabs(limit) * 100.0;
}

// Angles within this many degrees of an angle limit count as at it.
constexpr double kAngleBindingDeg = 1e-4;

std::vector<LineRow> line_rows(const Network& net, const DcModel& model, const NetworkSolution& s,
                               const Tolerances& tol) {
  std::vector<LineRow> rows;
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    if (model.branch_parts[l].kind == DcModel::BranchPart::Kind::dropped) continue;
    const network::Branch& br = net.branches[l];
    LineRow row;
    row.line = br.source.row;
    row.from = net.buses[at(br.from)].number;
    row.to = net.buses[at(br.to)].number;
    row.circuit = br.source.id;
    row.flow_mw = s.branch_flow_mw[l];
    row.lower_mw = br.flow_min_mw;
    row.upper_mw = br.flow_max_mw;
    row.loading_percent = loading_percent(row.flow_mw, row.lower_mw, row.upper_mw);
    row.binding = limit_reached(row.flow_mw, row.lower_mw, row.upper_mw, tol.binding_mw);
    row.mu_upper = s.flow_mu_upper[l];
    row.mu_lower = s.flow_mu_lower[l];
    if (row.binding == AtLimit::upper) row.shadow_price = row.mu_upper;
    if (row.binding == AtLimit::lower) row.shadow_price = row.mu_lower;
    row.angle_deg = s.bus_angle_deg[at(br.from)] - s.bus_angle_deg[at(br.to)];
    if (!model.angle_limits_ignored) {
      row.angle_min_deg = finite_or_nan(br.angle_min_deg);
      row.angle_max_deg = finite_or_nan(br.angle_max_deg);
      row.angle_binding = limit_reached(row.angle_deg, br.angle_min_deg, br.angle_max_deg, kAngleBindingDeg);
      row.angle_mu_upper = s.angle_mu_upper[l];
      row.angle_mu_lower = s.angle_mu_lower[l];
    }
    rows.push_back(row);
  }
  return rows;
}

Summary summary_of(const Network& net, const DcModel& model, const NetworkSolution& s, const SolverRun& run) {
  Summary sum;
  sum.case_name = net.name;
  sum.title = net.title;
  sum.method = run.method;
  sum.outcome = run.outcome;
  sum.iterations = run.iterations;
  sum.message = run.message;
  sum.base_mva = net.base_mva;
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    if (model.generator_units[k].first < 0) continue;
    const network::CostCurve& c = net.generators[k].cost;
    sum.cost = sum.cost + variable_cost(c, s.generator_mw[k]);
    if (c.model == network::CostCurve::Model::polynomial) sum.constant_cost = sum.constant_cost + c.c0;
    sum.total_generation_mw = sum.total_generation_mw + s.generator_mw[k];
  }
  sum.cost_with_constant = sum.cost + sum.constant_cost;
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    if (model.bus_of[i] >= 0) sum.total_load_mw = sum.total_load_mw + net.buses[i].load_mw + net.buses[i].shunt_mw;
  return sum;
}

}  // namespace

std::vector<DroppedRow> dropped_rows(const Network& net, const DcModel& model) {
  std::vector<DroppedRow> rows;
  for (const network::DroppedElement& d : model.dropped) {
    switch (d.kind) {
      case network::DroppedElement::Kind::bus: rows.push_back({"bus", network::bus_name(net, d.index), d.reason}); break;
      case network::DroppedElement::Kind::generator:
        rows.push_back({"generator", network::generator_name(net, d.index), d.reason});
        break;
      case network::DroppedElement::Kind::branch:
        rows.push_back({"branch", network::branch_name(net, d.index), d.reason});
        break;
    }
  }
  return rows;
}

MarginalCost marginal_cost(const network::CostCurve& cost, double mw, double kink_mw) {
  if (cost.model == network::CostCurve::Model::polynomial) {
    const double m = 2.0 * cost.c2 * mw + cost.c1;
    return {m, m};
  }
  const auto& p = cost.points;
  auto slope = [&](std::size_t k) { return (p[k + 1].cost - p[k].cost) / (p[k + 1].mw - p[k].mw); };
  const std::size_t segments = p.size() - 1;
  // The segment that holds mw (the end ones continue outward), and at a
  // breakpoint the slopes on either side.
  std::size_t k = 0;
  while (k + 1 < segments && mw >= p[k + 1].mw) ++k;
  MarginalCost mc{slope(k), slope(k)};
  if (k > 0 && std::fabs(mw - p[k].mw) <= kink_mw) mc.below = slope(k - 1);
  if (k + 1 < segments && std::fabs(mw - p[k + 1].mw) <= kink_mw) mc.above = slope(k + 1);
  return mc;
}

double variable_cost(const network::CostCurve& cost, double mw) {
  if (cost.model == network::CostCurve::Model::polynomial) return cost.c2 * mw * mw + cost.c1 * mw;
  const auto& p = cost.points;
  std::size_t k = 0;
  while (k + 2 < p.size() && mw > p[k + 1].mw) ++k;
  const double slope = (p[k + 1].cost - p[k].cost) / (p[k + 1].mw - p[k].mw);
  return p[k].cost + slope * (mw - p[k].mw);
}

// Our case file's classic program bounds every angle below by -2 rad; the
// robust method's angles are free, so a case file's reader learns where
// that bound would have bound.
std::vector<std::string> classic_bound_notes(const Network& net, const DcModel& model, const NetworkSolution& s) {
  std::vector<std::string> notes;
  if (net.format != network::SourceFormat::case_file) return notes;
  constexpr double kClassicBoundDeg = -2.0 * 180.0 / 3.14159265358979323846;
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    if (model.bus_of[i] >= 0 && s.bus_angle_deg[i] <= kClassicBoundDeg)
      notes.push_back("the angle of " + network::bus_name(net, static_cast<std::int32_t>(i)) +
                      " is at or below -2 rad, the angle bound of the classic program");
  return notes;
}

Results make_network_results(const Network& net, const DcModel& model, const NetworkSolution& solution,
                             const SolverRun& run, const Tolerances& tolerances) {
  Results r;
  r.summary = summary_of(net, model, solution, run);
  r.generators = generator_rows(net, model, solution, tolerances);
  r.buses = bus_rows(net, model, solution);
  r.lines = line_rows(net, model, solution, tolerances);
  r.dropped = dropped_rows(net, model);
  r.check = check_network_optimality(net, model, solution, run, tolerances);
  r.check.notes = classic_bound_notes(net, model, solution);
  r.tolerances = tolerances;
  r.angles_free = true;
  for (const LineRow& l : r.lines)
    if (!std::isnan(l.angle_min_deg) || !std::isnan(l.angle_max_deg)) r.angle_limits = true;
  return r;
}

}  // namespace corvo::report
