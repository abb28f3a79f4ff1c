// Solving the scenarios of one network. The network is read and checked
// once; its DC model keeps one pattern whatever the statuses of generators
// and branches, so that every scenario that does not cut the network into
// new islands reuses the analysis of the factorisation (one per thread)
// and starts from the base network's own solution.
//
// The start is the same for every such scenario, solved once before the
// batch, never the solution of whichever scenario a thread solved last:
// each scenario's result is then the same whatever the number of threads
// or processes.
#pragma once

#include <optional>
#include <string>

#include "corvo/batch/scenario.hpp"
#include "corvo/batch/scenario_result.hpp"
#include "corvo/network/dc_model.hpp"
#include "corvo/network/network.hpp"
#include "robust/dc_opf.hpp"

namespace corvo::batch {

struct SolveSettings {
  std::string method = "robust";  // robust or classic
  bool ignore_angle_limits = false;
  // Start each scenario of the base pattern from the base solution.
  bool warm_start = true;
};

// The analyses a thread keeps: one for the base pattern, one for any
// other (a scenario that islands part of the network).
struct ThreadWorkspaces {
  robust::Workspace base;
  robust::Workspace other;
};

class ScenarioSolver {
 public:
  // Builds and checks the base model and solves the base network for the
  // warm start. Throws network::NetworkError for a network the model
  // cannot take, and, for the classic method, import::ImportError for one
  // our case file cannot hold.
  ScenarioSolver(const network::Network& base, const SolveSettings& settings);

  // Thread-safe: each thread passes its own workspaces.
  ScenarioResult solve(const Scenario& scenario, ThreadWorkspaces& workspaces) const;

  // Whether the base network was solved to a verified optimum (the start).
  bool has_start() const { return start_.has_value(); }

 private:
  ScenarioResult solve_robust(const network::Network& net, ThreadWorkspaces& workspaces) const;
  ScenarioResult solve_model_of(const network::Network& net, const network::DcModel& model,
                                robust::Workspace* workspace, const robust::Solution* start) const;
  ScenarioResult solve_classic(const network::Network& net) const;

  const network::Network& base_;
  SolveSettings settings_;
  network::DcModel base_model_;
  std::optional<robust::Solution> start_;
};

// True when two programs share their pattern (buses, angle nodes, fixed
// nodes, branch ends and units), whatever their values.
bool same_pattern(const robust::DcOpf& a, const robust::DcOpf& b);

// The batch's values of a scenario's results, in the network's indexes.
// Throws std::logic_error when a row names no element of `net`.
void take_results(const network::Network& net, const report::Results& results, ScenarioResult& into);

}  // namespace corvo::batch
