#include "corvo/app/network_solve.hpp"

#include <chrono>
#include <cmath>
#include <numbers>

#include "corvo/network/names.hpp"
#include "corvo/network/prechecks.hpp"
#include "corvo/report/network_results.hpp"
#include "corvo/report/optimality.hpp"

namespace corvo::app {
namespace {

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

// Relaxations below this (per unit of power, or radians) are noise of the
// elastic problem's solve.
constexpr double kNegligible = 1e-7;

report::Outcome outcome_of(robust::Status s) {
  switch (s) {
    case robust::Status::optimal: return report::Outcome::converged;
    case robust::Status::iteration_limit: return report::Outcome::iteration_limit;
    case robust::Status::infeasible: return report::Outcome::infeasible;
    case robust::Status::numerical_difficulty: break;
  }
  return report::Outcome::stopped;
}

// The generator a unit belongs to, or -1 (a tie).
std::vector<std::int32_t> generator_of_unit(const network::DcModel& model) {
  std::vector<std::int32_t> owner(model.problem.unit_to.size(), -1);
  for (std::size_t k = 0; k < model.generator_units.size(); ++k) {
    const auto& u = model.generator_units[k];
    for (std::int32_t j = u.first; j >= 0 && j < u.first + u.count; ++j) owner[at(j)] = static_cast<std::int32_t>(k);
  }
  return owner;
}

}  // namespace

std::vector<report::RelaxationRow> relaxation_rows(const network::Network& net, const network::DcModel& model,
                                                   const robust::Relaxation& r) {
  std::vector<report::RelaxationRow> rows;
  if (!r.found) return rows;
  const double sb = model.base_mva;
  const robust::DcOpf& p = model.problem;
  std::vector<std::int32_t> network_bus(at(p.buses), -1);
  for (std::size_t i = 0; i < model.bus_of.size(); ++i)
    if (model.bus_of[i] >= 0) network_bus[at(model.bus_of[i])] = static_cast<std::int32_t>(i);
  auto add = [&](const std::string& element, const std::string& what, double amount, const char* unit) {
    rows.push_back({element, what, amount, unit});
  };
  for (std::size_t b = 0; b < r.demand_not_served.size(); ++b) {
    const std::string bus = network::bus_name(net, network_bus[b]);
    if (r.demand_not_served[b] > kNegligible) add(bus, "load not served", r.demand_not_served[b] * sb, "MW");
    if (b < r.demand_in_excess.size() && r.demand_in_excess[b] > kNegligible)
      add(bus, "injection not absorbed", r.demand_in_excess[b] * sb, "MW");
  }
  const std::vector<std::int32_t> owner = generator_of_unit(model);
  std::vector<std::int32_t> tie_branch(p.unit_to.size(), -1);
  std::vector<std::int32_t> problem_branch_owner(p.branch_from.size(), -1);
  for (std::size_t l = 0; l < model.branch_parts.size(); ++l) {
    const auto& part = model.branch_parts[l];
    if (part.kind == network::DcModel::BranchPart::Kind::tie) tie_branch[at(part.index)] = static_cast<std::int32_t>(l);
    if (part.kind == network::DcModel::BranchPart::Kind::branch)
      problem_branch_owner[at(part.index)] = static_cast<std::int32_t>(l);
  }
  // A generator's relaxation is the sum over its units.
  std::vector<double> below(net.generators.size(), 0.0), above(net.generators.size(), 0.0);
  for (std::size_t j = 0; j < p.unit_to.size(); ++j) {
    const double lo = j < r.unit_below_lower.size() ? r.unit_below_lower[j] : 0.0;
    const double hi = j < r.unit_above_upper.size() ? r.unit_above_upper[j] : 0.0;
    if (owner[j] >= 0) {
      below[at(owner[j])] += lo;
      above[at(owner[j])] += hi;
    } else if (tie_branch[j] >= 0) {
      const std::string name = network::branch_name(net, tie_branch[j]);
      if (lo > kNegligible) add(name, "flow below its lower limit", lo * sb, "MW");
      if (hi > kNegligible) add(name, "flow above its upper limit", hi * sb, "MW");
    }
  }
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    const std::string name = network::generator_name(net, static_cast<std::int32_t>(k));
    if (below[k] > kNegligible) add(name, "output below its lower limit", below[k] * sb, "MW");
    if (above[k] > kNegligible) add(name, "output above its upper limit", above[k] * sb, "MW");
  }
  for (std::size_t b = 0; b < p.branch_from.size(); ++b) {
    const std::int32_t l = problem_branch_owner[b];
    if (l < 0) continue;
    const std::string name = network::branch_name(net, l);
    const double mw_per_rad = std::fabs(p.susceptance[b]) * sb;
    auto describe = [&](network::BoundSource source, double rad) {
      if (!(rad > kNegligible)) return;
      switch (source) {
        case network::BoundSource::flow_min: add(name, "flow below its lower limit", rad * mw_per_rad, "MW"); break;
        case network::BoundSource::flow_max: add(name, "flow above its upper limit", rad * mw_per_rad, "MW"); break;
        case network::BoundSource::angle_min:
          add(name, "angle difference below its lower limit", rad * 180.0 / std::numbers::pi, "deg");
          break;
        case network::BoundSource::angle_max:
          add(name, "angle difference above its upper limit", rad * 180.0 / std::numbers::pi, "deg");
          break;
        case network::BoundSource::none: break;
      }
    };
    if (b < r.diff_below_lower.size()) describe(model.lower_source[b], r.diff_below_lower[b]);
    if (b < r.diff_above_upper.size()) describe(model.upper_source[b], r.diff_above_upper[b]);
  }
  return rows;
}

// The check judges the point in MW and $/MWh with absolute tolerances
// (report::Tolerances); the method is asked for much less, in per unit, so
// that its optimum passes the check whatever the scale of the case, and so
// that outputs are exact to 1e-3 MW where they are unique: a price off by
// δ moves a unit of cost c2·P² by δ/(2·c2), 5e-3 MW for δ = 1e-4 $/MWh and
// c2 = 0.01. Complementarity is asked to a tenth of the check's: asked to a
// hundredth, the last iterations of low-load hours (many units at their
// lower limits at once) drove the Newton systems past the accuracy they
// can give.
constexpr double kBalanceMw = 1e-5;
constexpr double kPricePerMwh = 1e-6;
constexpr double kComplementarityPerH = 1e-3;

robust::Options with_absolute_tolerances(robust::Options options, double base_mva) {
  if (options.balance_tolerance == 0.0) options.balance_tolerance = kBalanceMw / base_mva;
  if (options.price_tolerance == 0.0) options.price_tolerance = kPricePerMwh * base_mva;
  if (options.complementarity_tolerance == 0.0) options.complementarity_tolerance = kComplementarityPerH;
  return options;
}

robust::Solution solve_model(const network::DcModel& model, const robust::Options& options,
                             robust::Workspace* workspace, const robust::Solution* start) {
  return robust::solve_dc_opf(model.problem, with_absolute_tolerances(options, model.base_mva), workspace, start);
}

report::Results results_of(const network::Network& net, const network::DcModel& model, const robust::Solution& s) {
  const report::SolverRun run{"robust", outcome_of(s.status), s.iterations, s.message};
  if (s.status != robust::Status::infeasible)
    return report::make_network_results(net, model, network::network_solution(net, model, s), run,
                                        report::Tolerances{});
  report::Results r;
  r.summary.case_name = net.name;
  r.summary.title = net.title;
  r.summary.method = run.method;
  r.summary.outcome = run.outcome;
  r.summary.iterations = run.iterations;
  r.summary.message = run.message;
  r.summary.base_mva = net.base_mva;
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    if (model.bus_of[i] >= 0) r.summary.total_load_mw += net.buses[i].load_mw + net.buses[i].shunt_mw;
  r.summary.total_generation_mw = std::nan("");
  r.summary.cost = r.summary.cost_with_constant = r.summary.constant_cost = std::nan("");
  r.dropped = report::dropped_rows(net, model);
  r.check.conditions.push_back(report::solver_outcome_condition(run.outcome, run.iterations, run.message));
  r.check.failing.push_back("solver outcome");
  r.relaxation = relaxation_rows(net, model, s.relaxation);
  return r;
}

NetworkSolveOutcome solve_network(const network::Network& net, const NetworkSolveOptions& options) {
  NetworkSolveOutcome out;
  using Clock = std::chrono::steady_clock;
  auto since = [](Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); };
  Clock::time_point t = Clock::now();
  const network::DcModel model = network::build_dc_model(net, options.model);
  out.seconds.model = since(t);
  t = Clock::now();
  out.reasons = network::precheck(net, model);
  out.seconds.prechecks = since(t);
  if (!out.reasons.empty()) return out;
  t = Clock::now();
  const robust::Solution s = solve_model(model, options.solver);
  out.seconds.solve = since(t);
  if (s.status == robust::Status::numerical_difficulty) {
    std::string reason = "numerical difficulty: " + s.message;
    for (std::size_t l = 0; l < model.branch_parts.size(); ++l)
      if (model.branch_parts[l].kind == network::DcModel::BranchPart::Kind::branch &&
          model.branch_parts[l].index == s.difficult_branch)
        reason += " (traced to " + network::branch_name(net, static_cast<std::int32_t>(l)) + ")";
    out.reasons.push_back(reason);
    return out;
  }
  t = Clock::now();
  out.results = results_of(net, model, s);
  out.seconds.results = since(t);
  out.solved = true;
  return out;
}

}  // namespace corvo::app
