// The classic method in memory: the dispatch model of a case posed as a
// quadratic program, solved by talven's interior-point iteration, with the
// same bits as running orsa and then talven on the case file.
//
// The two programs meet through the problem file, whose fields hold 13
// significant digits ("D20.13"; the parameters "D10.3" and "I10"), so
// talven iterates on the values as they read back from those fields, not
// on orsa's own doubles. The in-memory method passes every number through
// the same field rendering and conversion of the record layer and then
// runs talven's unchanged arithmetic on it.
//
//   const auto result = corvo::classic::solve_case_file("cases/ieee9.dat");
//   if (result.outcome == corvo::classic::Outcome::Converged) use(result.x, result.cost);
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dispatch/case_data.hpp"

namespace corvo::classic {

enum class Outcome {
  Converged,       // talven's converged report; flow file flag 1
  IterationLimit,  // talven's iteration-limit report; flow file flag 0
  Failed,          // talven stopped with a message and wrote no flow file
};

// What the flow file "talven.flw" holds after the run, and the dual slacks.
//
// After convergence x, y and z are cleaned (magnitudes at or below epslnp
// set to 0), the cost is that of the uncleaned point and the feasibility
// indices are those of the cleaned point against the unshifted problem.
// After the iteration limit nothing is cleaned, the cost is 0.0 and the
// indices are those of the last pass. x always holds the angle variables
// with their lower bounds added back. After a failure only `message` has
// a meaning (and `n`, `m`, `epsln` when the problem was built); x, y and z
// are empty.
struct ClassicResult {
  Outcome outcome = Outcome::Failed;
  std::string message;  // the failure, as talven reports it; empty otherwise

  std::int32_t n = 0;  // variables
  std::int32_t m = 0;  // constraints
  std::vector<double> x;
  std::vector<double> y;
  std::vector<double> z;
  double cost = 0.0;
  std::int32_t iterations = 0;  // the final iteration counter k
  double mu = 0.0;
  double gap = 0.0;
  double primal_index = 0.0;  // infinity norm of the primal residual t
  double dual_index = 0.0;    // infinity norm of the dual residual u
  double epsln = 0.0;         // the tolerance as talven read it
};

// Solves a case already loaded in per unit with the tolerance defaults
// applied (as dispatch::load_case_file returns it).
ClassicResult solve_case(const dispatch::CaseData& data);

// Loads the case file with orsa's reading rules and checks, then solves
// it. Throws dispatch::CaseFileError for a case orsa would refuse.
ClassicResult solve_case_file(const std::filesystem::path& case_file);

}  // namespace corvo::classic
