// The two reports that close a run, and the flow file "talven.flw".
#pragma once

#include "records/records.hpp"
#include "talven/iteration.hpp"
#include "talven/problem_file.hpp"

namespace talven {

// After convergence: restores the bounds, computes the cost, cleans the
// small values, reports the solution and its residuals in unshifted
// variables, and writes the flow file.
void converged_report(records::Records& io, Problem& problem, IterationState& state);

// After the iteration limit: restores the bounds, reports the current
// point and its residuals, and writes the flow file.
void limit_report(records::Records& io, Problem& problem, IterationState& state);

}  // namespace talven
