// A solution of the dispatch program as any solver hands it over.
#pragma once

#include <string>
#include <vector>

namespace corvo::report {

// How the solver's run ended, as the solver itself says.
enum class Outcome {
  converged,        // the solver's convergence test passed
  iteration_limit,  // stopped at its iteration limit
  stopped,          // stopped for another reason (see QpSolution::message)
  infeasible,       // no dispatch meets every limit, with a certificate
};

// Per unit, over the program's columns (x, z) and rows (y), with x in the
// original variables (angles unshifted). The duals follow the solver's
// convention: c + q.x - A'y - z = 0. z is informational: the optimality
// check recomputes the reduced costs from x and y and never relies on it,
// so a reader of talven.flw (which holds no z) may leave it empty.
struct QpSolution {
  std::vector<double> x;
  std::vector<double> y;
  std::vector<double> z;
  int iterations = 0;
  Outcome outcome = Outcome::stopped;
  std::string message;  // why the run stopped, when outcome is `stopped`
  std::string method;   // the solver, e.g. "talven"
  // How exactly the values are known, for a solution read from a file: a
  // value v stands for any value within relative_precision * |v|, and a
  // value of exactly zero for any value of magnitude up to zero_threshold
  // (a solver that cleans small values to zero). Both 0 in memory.
  double relative_precision = 0.0;
  double zero_threshold = 0.0;
};

// "converged", "iteration_limit", "stopped" or "infeasible".
const char* outcome_name(Outcome outcome);

}  // namespace corvo::report
