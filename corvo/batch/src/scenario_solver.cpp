#include "corvo/batch/scenario_solver.hpp"

#include <chrono>
#include <stdexcept>

#include "corvo/app/case_input.hpp"
#include "corvo/app/case_map_labels.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/app/network_solve.hpp"
#include "corvo/app/solve_case.hpp"
#include "corvo/batch/apply_scenario.hpp"
#include "corvo/import/case_mapping.hpp"
#include "corvo/network/names.hpp"
#include "corvo/network/prechecks.hpp"

namespace corvo::batch {
namespace {

using Clock = std::chrono::steady_clock;

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

network::DcOptions model_options(const SolveSettings& settings) {
  network::DcOptions o;
  o.ignore_angle_limits = settings.ignore_angle_limits;
  o.keep_pattern = true;
  return o;
}

std::string joined(const std::vector<std::string>& texts, const char* separator) {
  std::string out;
  for (const std::string& t : texts) out += (out.empty() ? "" : separator) + t;
  return out;
}

ScenarioStatus status_of(report::Outcome outcome) {
  switch (outcome) {
    case report::Outcome::converged: return ScenarioStatus::converged;
    case report::Outcome::iteration_limit: return ScenarioStatus::iteration_limit;
    case report::Outcome::infeasible: return ScenarioStatus::infeasible;
    case report::Outcome::stopped: break;
  }
  return ScenarioStatus::stopped;
}

std::string reason_of(const report::Results& r) {
  if (r.check.optimal) return "";
  const std::string& message = r.summary.message;
  switch (r.summary.outcome) {
    case report::Outcome::converged: return "not optimal: " + joined(r.check.failing, ", ");
    case report::Outcome::iteration_limit: return "iteration limit" + (message.empty() ? "" : ": " + message);
    case report::Outcome::infeasible: return "infeasible" + (message.empty() ? "" : ": " + message);
    case report::Outcome::stopped: break;
  }
  return message.empty() ? "stopped" : message;
}

ScenarioResult unsolved(ScenarioStatus status, std::string reason) {
  ScenarioResult r;
  r.status = status;
  r.reason = std::move(reason);
  return r;
}

// The network's elements in the order the tables list them, found by a
// cursor that moves forward (the tables follow the network's order) and
// searches from the start when an element is not ahead of it.
template <class Matches>
std::int32_t find_from(std::size_t count, std::size_t& cursor, const Matches& matches, const char* what) {
  for (std::size_t pass = 0; pass < 2; ++pass) {
    for (std::size_t k = pass == 0 ? cursor : 0; k < (pass == 0 ? count : cursor); ++k) {
      if (!matches(k)) continue;
      cursor = k + 1;
      return static_cast<std::int32_t>(k);
    }
  }
  throw std::logic_error(std::string("a results row names no ") + what + " of the network");
}

bool has_elements_out(const network::Network& net) {
  for (const network::Generator& g : net.generators)
    if (!g.in_service) return true;
  for (const network::Branch& b : net.branches)
    if (!b.in_service) return true;
  return false;
}

// Element values only for a point the method converged to.
ScenarioResult result_of(const network::Network& net, const report::Results& results) {
  ScenarioResult r;
  r.status = status_of(results.summary.outcome);
  r.optimal = results.check.optimal;
  r.iterations = results.summary.iterations;
  r.reason = reason_of(results);
  if (r.status == ScenarioStatus::converged) {
    r.cost = results.summary.cost;
    r.cost_with_constant = results.summary.cost_with_constant;
    take_results(net, results, r);
  }
  r.relaxation = results.relaxation;
  return r;
}

}  // namespace

bool same_pattern(const robust::DcOpf& a, const robust::DcOpf& b) {
  return a.buses == b.buses && a.nodes == b.nodes && a.node_of_bus == b.node_of_bus && a.fixed_nodes == b.fixed_nodes &&
         a.branch_from == b.branch_from && a.branch_to == b.branch_to && a.unit_to == b.unit_to &&
         a.unit_from == b.unit_from;
}

void take_results(const network::Network& net, const report::Results& results, ScenarioResult& into) {
  std::size_t cursor = 0;
  into.buses.reserve(results.buses.size());
  for (const report::BusRow& row : results.buses) {
    const std::int32_t bus = find_from(
        net.buses.size(), cursor, [&](std::size_t k) { return net.buses[k].number == row.bus; }, "bus");
    into.buses.push_back({bus, row.lmp, row.energy, row.congestion});
  }
  cursor = 0;
  into.generators.reserve(results.generators.size());
  for (const report::GeneratorRow& row : results.generators) {
    const std::int32_t gen = find_from(
        net.generators.size(), cursor,
        [&](std::size_t k) {
          const network::Generator& g = net.generators[k];
          return g.source.row == row.generator && net.buses[at(g.bus)].number == row.bus;
        },
        "generator");
    into.generators.push_back({gen, row.output_mw, row.at_limit});
  }
  cursor = 0;
  into.lines.reserve(results.lines.size());
  for (const report::LineRow& row : results.lines) {
    const std::int32_t branch = find_from(
        net.branches.size(), cursor,
        [&](std::size_t k) {
          const network::Branch& b = net.branches[k];
          return b.source.row == row.line && net.buses[at(b.from)].number == row.from &&
                 net.buses[at(b.to)].number == row.to && b.source.id == row.circuit;
        },
        "branch");
    into.lines.push_back({branch, row.flow_mw, row.loading_percent, row.binding, row.shadow_price});
  }
}

ScenarioSolver::ScenarioSolver(const network::Network& base, const SolveSettings& settings)
    : base_(base), settings_(settings), base_model_(network::build_dc_model(base, model_options(settings))) {
  if (settings_.method == "classic") {
    // What our case file cannot hold is refused now, not once per scenario.
    (void)app::imported_case(base_);
    return;
  }
  if (!settings_.warm_start || !network::precheck(base_, base_model_).empty()) return;
  robust::Solution s = app::solve_model(base_model_, robust::Options{});
  if (s.status == robust::Status::optimal) start_ = std::move(s);
}

ScenarioResult ScenarioSolver::solve(const Scenario& scenario, ThreadWorkspaces& workspaces) const {
  const auto started = Clock::now();
  ScenarioResult r;
  try {
    const network::Network net = scenario_network(base_, scenario);
    r = settings_.method == "classic" ? solve_classic(net) : solve_robust(net, workspaces);
  } catch (const network::NetworkError& e) {
    r = unsolved(ScenarioStatus::stopped, e.what());
  } catch (const app::InputError& e) {
    r = unsolved(ScenarioStatus::stopped, e.what());
  } catch (const import::ImportError& e) {
    r = unsolved(ScenarioStatus::stopped, e.what());
  }
  r.scenario = scenario.name;
  r.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return r;
}

// A warm start that does not end in a verified optimum is tried again
// from the method's own start: a start far from the scenario's optimum
// (a unit taken out while the base solution runs it) can mislead the
// iteration, and a scenario's answer must not depend on it.
//
// An infeasible scenario that takes elements out is solved once more on
// the model without them: kept for the pattern, an element out of service
// is a unit or branch fixed at zero, and the least relaxation could
// otherwise "relax" it back into service.
ScenarioResult ScenarioSolver::solve_robust(const network::Network& net, ThreadWorkspaces& workspaces) const {
  const network::DcModel model = network::build_dc_model(net, model_options(settings_));
  const std::vector<std::string> problems = network::precheck(net, model);
  if (!problems.empty()) return unsolved(ScenarioStatus::precheck_failed, joined(problems, "; "));
  const bool same = same_pattern(model.problem, base_model_.problem);
  robust::Workspace* workspace = same ? &workspaces.base : &workspaces.other;
  const robust::Solution* start = same && start_ ? &*start_ : nullptr;
  ScenarioResult r = solve_model_of(net, model, workspace, start);
  if (start != nullptr && !r.optimal) r = solve_model_of(net, model, workspace, nullptr);
  if (r.status == ScenarioStatus::infeasible && has_elements_out(net)) {
    network::DcOptions exact = model_options(settings_);
    exact.keep_pattern = false;
    const network::DcModel without = network::build_dc_model(net, exact);
    if (network::precheck(net, without).empty()) r = solve_model_of(net, without, nullptr, nullptr);
  }
  return r;
}

ScenarioResult ScenarioSolver::solve_model_of(const network::Network& net, const network::DcModel& model,
                                              robust::Workspace* workspace, const robust::Solution* start) const {
  const robust::Solution s = app::solve_model(model, robust::Options{}, workspace, start);
  if (s.status == robust::Status::numerical_difficulty) {
    std::string reason = "numerical difficulty: " + s.message;
    for (std::size_t l = 0; l < model.branch_parts.size(); ++l)
      if (model.branch_parts[l].kind == network::DcModel::BranchPart::Kind::branch &&
          model.branch_parts[l].index == s.difficult_branch)
        reason += " (traced to " + network::branch_name(net, static_cast<std::int32_t>(l)) + ")";
    ScenarioResult r = unsolved(ScenarioStatus::numerical_difficulty, reason);
    r.iterations = s.iterations;
    return r;
  }
  return result_of(net, app::results_of(net, model, s));
}

// The classic method works on our case file's model of the scenario's
// network, as `corvo solve --method classic` does, and its results are
// read back in the source's terms through the import's map.
ScenarioResult ScenarioSolver::solve_classic(const network::Network& net) const {
  const network::DcModel model = network::build_dc_model(net, model_options(settings_));
  const std::vector<std::string> problems = network::precheck(net, model);
  if (!problems.empty()) return unsolved(ScenarioStatus::precheck_failed, joined(problems, "; "));
  app::CaseInput input;
  input.name = net.name;
  input.format = app::InputFormat::matpower;
  input.network = net;
  const import::ImportedCase imported = app::imported_case(net);
  app::SolveRequest request;
  request.method = "classic";
  app::SolveOutcome outcome = app::solve_case(net.name, app::case_data_of(input), request);
  if (!outcome.solved) return unsolved(ScenarioStatus::stopped, joined(outcome.reasons, "; "));
  app::apply_case_map(outcome.results, imported.map);
  return result_of(net, outcome.results);
}

const char* status_name(ScenarioStatus status) {
  switch (status) {
    case ScenarioStatus::converged: return "converged";
    case ScenarioStatus::iteration_limit: return "iteration_limit";
    case ScenarioStatus::infeasible: return "infeasible";
    case ScenarioStatus::numerical_difficulty: return "numerical_difficulty";
    case ScenarioStatus::precheck_failed: return "precheck_failed";
    case ScenarioStatus::stopped: break;
  }
  return "stopped";
}

}  // namespace corvo::batch
