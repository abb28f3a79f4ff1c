// Solving one case in memory, for any front end: the command line, the
// editor, a batch of scenarios. Reads nothing and writes nothing; the
// caller owns the case and the presentation of the results.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "corvo/report/results.hpp"
#include "dispatch/case_data.hpp"

namespace corvo::app {

struct SolveRequest {
  std::string method = "robust";  // robust or classic
  // Called once per iteration of the robust method (iteration number,
  // relative gap); from the thread that solves.
  std::function<void(int iteration, double relative_gap)> on_iteration;
  // Polled once per iteration of the robust method; true stops the run.
  std::function<bool()> cancelled;
};

struct SolveOutcome {
  // False when no point was reached: a pre-check failed, the run was
  // cancelled, the method failed, or the classic method's dense storage
  // would exceed the machine's memory; `reasons` says why, one sentence
  // each. An infeasible case is solved, with its relaxation in `results`.
  bool solved = false;
  std::vector<std::string> reasons;
  report::Results results;  // when solved: the tables and the optimality check
};

// Solves a case held in per unit as the case loader returns it. `name` is
// the case name shown in the results.
SolveOutcome solve_case(const std::string& name, const dispatch::CaseData& data, const SolveRequest& request);

}  // namespace corvo::app
