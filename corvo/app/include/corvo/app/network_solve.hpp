// A network solved by the robust method, with the results in the source's
// own terms: the DC model, the pre-checks, the solve, the check. Reads
// nothing and writes nothing.
#pragma once

#include <string>
#include <vector>

#include "corvo/network/dc_model.hpp"
#include "corvo/network/network.hpp"
#include "corvo/report/results.hpp"
#include "robust/dc_opf.hpp"

namespace corvo::app {

struct NetworkSolveOptions {
  network::DcOptions model;
  robust::Options solver;
};

// Where the time of a solve went, in seconds.
struct PhaseSeconds {
  double model = 0.0;      // the DC model of the network
  double prechecks = 0.0;
  double solve = 0.0;      // the method, start and analysis included
  double results = 0.0;    // tables and the optimality check
};

struct NetworkSolveOutcome {
  // False when there is nothing to report: a pre-check failed, the run
  // was cancelled, or the method met a numerical difficulty; `reasons` says
  // why. An infeasible case is "solved" with its relaxation in the results
  // (and a failing solver outcome).
  bool solved = false;
  std::vector<std::string> reasons;
  report::Results results;
  PhaseSeconds seconds;
};

// Throws network::NetworkError for a network the model cannot take.
NetworkSolveOutcome solve_network(const network::Network& net, const NetworkSolveOptions& options);

// The pieces of solve_network, for callers that solve many variants of
// one network (a batch of scenarios): the method on a model already built
// and pre-checked, reusing `workspace` and starting from `start` when given,
// and the results of its solution (an infeasible one with its relaxation).
robust::Solution solve_model(const network::DcModel& model, const robust::Options& options,
                             robust::Workspace* workspace = nullptr, const robust::Solution* start = nullptr);
report::Results results_of(const network::Network& net, const network::DcModel& model, const robust::Solution& s);

// The least relaxation of an infeasible problem as rows in the source's
// terms (MW, or degrees for angle limits); entries below `negligible` per
// unit are left out.
std::vector<report::RelaxationRow> relaxation_rows(const network::Network& net, const network::DcModel& model,
                                                   const robust::Relaxation& relaxation);

}  // namespace corvo::app
