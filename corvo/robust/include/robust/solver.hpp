// The interior-point method on the slack form of the dispatch program
// (every limit a row with a slack column), kept while the DC program
// method (dc_opf.hpp) takes over.
//
// It solves  minimise c'x + 1/2 x'diag(q)x  subject to  A x = b, with
// x(j) >= 0 for every column except the angle columns, which are free: the
// lower bound of -2 rad that the program carries for them is not applied.
// The solution is returned over the program's own columns and rows, with
// the duals in the convention c + q∘x − Aᵀy − z = 0, x∘z = 0, z >= 0.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "dispatch/case_data.hpp"
#include "dispatch/dispatch_qp.hpp"

namespace corvo::robust::slack {

enum class Status { optimal, infeasible, iteration_limit, numerical_failure };

// "optimal", "infeasible", "iteration limit", "numerical failure".
std::string status_text(Status status);

// One line of the iteration log. Residuals and gap are the scaled ones the
// stopping test uses; step lengths are those taken in this iteration (0
// before the first step).
struct IterationReport {
  int iteration = 0;
  double relative_gap = 0.0;
  double primal_residual = 0.0;
  double dual_residual = 0.0;
  double step_primal = 0.0;
  double step_dual = 0.0;
  double seconds = 0.0;  // since the start of the solve
};

struct Options {
  int max_iterations = 100;
  // Stopping tolerance for the scaled primal and dual residuals and the
  // relative duality gap.
  double tolerance = 1e-8;
  // Called once per iteration when set (e.g. to print a log for --verbose).
  std::function<void(const IterationReport&)> on_iteration;
};

struct Solution {
  Status status = Status::numerical_failure;
  std::string message;
  std::vector<double> x;  // nvar columns, slacks included
  std::vector<double> y;  // m rows
  std::vector<double> z;  // nvar columns; 0 for the free angle columns
  int iterations = 0;
  double cost = 0.0;  // dispatch_cost at x, $/h without constant costs
  double primal_residual = 0.0;
  double dual_residual = 0.0;
  double relative_gap = 0.0;
  // Angle columns (1-based) at or below the classic lower bound of -2 rad,
  // where the classic program would have bound the angle.
  std::vector<std::int32_t> angles_at_classic_bound;
};

// Σ (c(j)·x(j) + 0.5·q(j)·x(j)²) over the columns in order, from 0.0.
double dispatch_cost(const dispatch::DispatchQp& qp, std::span<const double> x);

// Solves the program; the angle columns are those with a non-zero flag.
Solution solve_dispatch_qp(const dispatch::DispatchQp& qp, const Options& options = {});

}  // namespace corvo::robust::slack
