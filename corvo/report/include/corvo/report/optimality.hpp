// The optimality check of a point of the dispatch program, from the point
// alone: it never relies on the solver's own convergence indices.
#pragma once

#include <vector>

#include "corvo/report/results.hpp"

namespace corvo::report {

// The first condition of every check: the solver's own account of its run.
Condition solver_outcome_condition(Outcome outcome, int iterations, const std::string& message);

// Residuals A x - b, one per row (0-based index i for row i+1).
std::vector<double> row_residuals(const dispatch::DispatchQp& qp, const std::vector<double>& x);

// Reduced costs c + q.x - A'y, one per column: the dual slacks that x and
// y imply.
std::vector<double> reduced_costs(const dispatch::DispatchQp& qp, const std::vector<double>& x,
                                  const std::vector<double>& y);

// Checks the optimality conditions of the program at the solution, in the
// units of the case. The verdict is optimal only when the solver says it
// converged and every condition holds; a value that is not finite fails
// its condition.
OptimalityCheck check_optimality(const dispatch::CaseData& data, const dispatch::DispatchQp& qp,
                                 const QpSolution& solution, const ReportOptions& options);

}  // namespace corvo::report
