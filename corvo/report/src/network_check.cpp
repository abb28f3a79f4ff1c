// The optimality check of a network's dispatch (see network_results.hpp
// for the conditions). It recomputes every flow of a branch from the bus
// angles with the branch's own reactance, tap and shift, so that it judges
// the dispatch a user reads, whatever form the method solved.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "corvo/network/names.hpp"
#include "corvo/report/network_results.hpp"
#include "corvo/report/optimality.hpp"
#include "worst_offence.hpp"

namespace corvo::report {
namespace {

using network::DcModel;
using network::Network;
using network::NetworkSolution;
using Kind = DcModel::BranchPart::Kind;

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

// The flow entering branch l at its from bus, MW, from the angles (a tie's
// flow as reported).
double flow_of(const Network& net, const DcModel& model, const NetworkSolution& s, std::size_t l) {
  const network::Branch& b = net.branches[l];
  if (model.branch_parts[l].kind == Kind::tie) return s.branch_flow_mw[l];
  const double diff = (s.bus_angle_deg[at(b.from)] - s.bus_angle_deg[at(b.to)] - b.shift_deg) * kRadiansPerDegree;
  return diff / (b.x_pu * b.tap) * net.base_mva;
}

bool takes_part(const DcModel& model, std::size_t l) { return model.branch_parts[l].kind != Kind::dropped; }

// How far v lies outside [lower, upper] (0 inside; infinite limits never
// bind).
double outside(double v, double lower, double upper) { return std::max({0.0, lower - v, v - upper}); }

Condition balance(const Network& net, const DcModel& model, const NetworkSolution& s, const std::vector<double>& flow,
                  double tol) {
  std::vector<double> mismatch(net.buses.size(), 0.0);
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    mismatch[i] = -(net.buses[i].load_mw + net.buses[i].shunt_mw);
  for (std::size_t k = 0; k < net.generators.size(); ++k)
    if (model.generator_units[k].first >= 0) mismatch[at(net.generators[k].bus)] += s.generator_mw[k];
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    if (!takes_part(model, l)) continue;
    mismatch[at(net.branches[l].from)] -= flow[l];
    mismatch[at(net.branches[l].to)] += flow[l];
  }
  Worst w(tol);
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    if (model.bus_of[i] >= 0)
      w.offer(std::fabs(mismatch[i]), 0.0, [&] { return network::bus_name(net, static_cast<std::int32_t>(i)); });
  return w.condition("power balance", "MW");
}

Condition limits(const Network& net, const DcModel& model, const NetworkSolution& s, const std::vector<double>& flow,
                 double tol) {
  Worst w(tol);
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    if (model.generator_units[k].first < 0) continue;
    const network::Generator& g = net.generators[k];
    w.offer(outside(s.generator_mw[k], g.pmin_mw, g.pmax_mw), 0.0,
            [&] { return network::generator_name(net, static_cast<std::int32_t>(k)) + " output"; });
  }
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    if (!takes_part(model, l)) continue;
    const network::Branch& b = net.branches[l];
    w.offer(outside(flow[l], b.flow_min_mw, b.flow_max_mw), 0.0,
            [&] { return network::branch_name(net, static_cast<std::int32_t>(l)) + " flow"; });
  }
  return w.condition("limits", "MW");
}

Condition angle_limits(const Network& net, const DcModel& model, const NetworkSolution& s, double tol_rad) {
  Worst w(tol_rad);
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    if (!takes_part(model, l)) continue;
    const network::Branch& b = net.branches[l];
    const double diff = s.bus_angle_deg[at(b.from)] - s.bus_angle_deg[at(b.to)];
    w.offer(outside(diff, b.angle_min_deg, b.angle_max_deg) * kRadiansPerDegree, 0.0,
            [&] { return network::branch_name(net, static_cast<std::int32_t>(l)) + " angle difference"; });
  }
  return w.condition("angle limits", "rad");
}

bool has_angle_limits(const Network& net, const DcModel& model) {
  if (model.angle_limits_ignored) return false;
  for (std::size_t l = 0; l < net.branches.size(); ++l)
    if (takes_part(model, l) && (std::isfinite(net.branches[l].angle_min_deg) ||
                                 std::isfinite(net.branches[l].angle_max_deg)))
      return true;
  return false;
}

// A multiplier must not be negative, and a limit that is absent has none.
double multiplier_offence(double mu, double limit) {
  if (!std::isfinite(limit)) return std::fabs(mu);
  return std::max(0.0, -mu);
}

Condition dual_feasibility(const Network& net, const DcModel& model, const NetworkSolution& s, double tol) {
  Worst w(tol);
  const double sb = net.base_mva;
  const bool angles = !model.angle_limits_ignored;
  // Σ over the branches of each angle node, and Σ Sb·|b| to scale it.
  const std::size_t nodes = static_cast<std::size_t>(model.problem.nodes);
  std::vector<double> residual(nodes, 0.0), scale(nodes, 0.0);
  std::vector<std::int32_t> bus_of_node(nodes, -1);
  for (std::size_t i = 0; i < net.buses.size(); ++i) {
    if (model.bus_of[i] < 0) continue;
    const std::size_t node = at(model.problem.node_of_bus[at(model.bus_of[i])]);
    if (bus_of_node[node] < 0) bus_of_node[node] = static_cast<std::int32_t>(i);
  }
  auto node_of = [&](std::int32_t bus) { return at(model.problem.node_of_bus[at(model.bus_of[at(bus)])]); };
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    if (!takes_part(model, l)) continue;
    const network::Branch& b = net.branches[l];
    auto name = [&] { return network::branch_name(net, static_cast<std::int32_t>(l)); };
    w.offer(multiplier_offence(s.flow_mu_upper[l], b.flow_max_mw), 0.0, [&] { return name() + " upper flow multiplier"; });
    w.offer(multiplier_offence(s.flow_mu_lower[l], b.flow_min_mw), 0.0, [&] { return name() + " lower flow multiplier"; });
    const double lam = s.bus_price[at(b.from)] - s.bus_price[at(b.to)];
    const double mu = s.flow_mu_upper[l] - s.flow_mu_lower[l];
    if (model.branch_parts[l].kind == Kind::tie) {
      w.offer(std::fabs(lam + mu), 0.0, [&] { return name() + " (bus tie)"; });
      continue;
    }
    if (model.branch_parts[l].kind != Kind::branch) continue;
    double nu = 0.0;
    if (angles) {
      w.offer(multiplier_offence(s.angle_mu_upper[l], b.angle_max_deg), 0.0,
              [&] { return name() + " upper angle multiplier"; });
      w.offer(multiplier_offence(s.angle_mu_lower[l], b.angle_min_deg), 0.0,
              [&] { return name() + " lower angle multiplier"; });
      nu = (s.angle_mu_upper[l] - s.angle_mu_lower[l]) / kRadiansPerDegree;  // $/h per radian
    }
    const double mw_per_rad = sb / (b.x_pu * b.tap);
    const double term = mw_per_rad * (lam + mu) + nu;
    residual[node_of(b.from)] += term;
    residual[node_of(b.to)] -= term;
    scale[node_of(b.from)] += std::fabs(mw_per_rad);
    scale[node_of(b.to)] += std::fabs(mw_per_rad);
  }
  // Fixed angles (each island's, and every reference bus's) take up what
  // their multipliers need.
  std::vector<bool> fixed(nodes, false);
  for (std::int32_t f : model.problem.fixed_nodes) fixed[at(f)] = true;
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    if (model.bus_of[i] >= 0 && net.buses[i].reference) fixed[node_of(static_cast<std::int32_t>(i))] = true;
  for (std::size_t a = 0; a < nodes; ++a) {
    if (fixed[a] || scale[a] == 0.0) continue;
    w.offer(std::fabs(residual[a]) / scale[a], 0.0,
            [&] { return "angle of " + network::bus_name(net, bus_of_node[a]); });
  }
  return w.condition("dual feasibility", "$/MWh");
}

Condition complementarity(const Network& net, const DcModel& model, const NetworkSolution& s,
                          const std::vector<double>& flow, double tol, double kink_mw) {
  Worst w(tol);
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    if (model.generator_units[k].first < 0) continue;
    const network::Generator& g = net.generators[k];
    const double p = s.generator_mw[k];
    const double price = s.bus_price[at(g.bus)];
    const MarginalCost mc = marginal_cost(g.cost, p, kink_mw);
    // Above its lower limit it must not cost more than the price; below
    // its upper limit not less.
    const double offence = std::max(0.0, p - g.pmin_mw) * std::max(0.0, mc.below - price) +
                           std::max(0.0, g.pmax_mw - p) * std::max(0.0, price - mc.above);
    w.offer(offence, 0.0, [&] { return network::generator_name(net, static_cast<std::int32_t>(k)) + " output"; });
  }
  const bool angles = !model.angle_limits_ignored;
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    if (!takes_part(model, l)) continue;
    const network::Branch& b = net.branches[l];
    auto product = [](double mu, double distance) { return std::isfinite(distance) ? std::fabs(mu * distance) : 0.0; };
    double offence = product(s.flow_mu_upper[l], b.flow_max_mw - flow[l]) +
                     product(s.flow_mu_lower[l], flow[l] - b.flow_min_mw);
    if (angles) {
      const double diff = s.bus_angle_deg[at(b.from)] - s.bus_angle_deg[at(b.to)];
      offence += product(s.angle_mu_upper[l], b.angle_max_deg - diff) +
                 product(s.angle_mu_lower[l], diff - b.angle_min_deg);
    }
    w.offer(offence, 0.0, [&] { return network::branch_name(net, static_cast<std::int32_t>(l)) + " limits"; });
  }
  return w.condition("complementarity", "$/h");
}

}  // namespace

OptimalityCheck check_network_optimality(const Network& net, const DcModel& model, const NetworkSolution& s,
                                         const SolverRun& run, const Tolerances& tol) {
  std::vector<double> flow(net.branches.size(), 0.0);
  for (std::size_t l = 0; l < net.branches.size(); ++l)
    if (takes_part(model, l)) flow[l] = flow_of(net, model, s, l);
  OptimalityCheck check;
  check.conditions.push_back(solver_outcome_condition(run.outcome, run.iterations, run.message));
  check.conditions.push_back(balance(net, model, s, flow, tol.balance_mw));
  check.conditions.push_back(limits(net, model, s, flow, tol.limit_mw));
  if (has_angle_limits(net, model)) check.conditions.push_back(angle_limits(net, model, s, tol.angle_rad));
  check.conditions.push_back(dual_feasibility(net, model, s, tol.dual_per_mwh));
  check.conditions.push_back(complementarity(net, model, s, flow, tol.complementarity_per_h, tol.binding_mw));
  check.optimal = true;
  for (const Condition& c : check.conditions)
    if (!c.holds) {
      check.optimal = false;
      check.failing.push_back(c.name);
    }
  return check;
}

}  // namespace corvo::report
