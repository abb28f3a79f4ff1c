// The results of a dispatch of a network, in the source's own terms: its
// bus numbers, generator rows and branch rows, the true outputs and loads,
// flows in the direction of the source's from bus, prices in $/MWh, the
// elements that take no part, and the optimality check.
#pragma once

#include <string>

#include "corvo/network/dc_model.hpp"
#include "corvo/network/network.hpp"
#include "corvo/network/network_solution.hpp"
#include "corvo/report/results.hpp"

namespace corvo::report {

// How the method's run ended, in its own words.
struct SolverRun {
  std::string method;
  Outcome outcome = Outcome::stopped;
  int iterations = 0;
  std::string message;
};

// Every table and the check. `model` says which elements take part.
Results make_network_results(const network::Network& net, const network::DcModel& model,
                             const network::NetworkSolution& solution, const SolverRun& run,
                             const Tolerances& tolerances);

// The elements the DC model leaves out, named in the source's terms, with
// the reason.
std::vector<DroppedRow> dropped_rows(const network::Network& net, const network::DcModel& model);

// The optimality conditions of the DC dispatch, judged from the point
// alone (outputs, angles, prices and limit multipliers), in MW and $/MWh:
//  - power balance at every bus, with every flow recomputed from the
//    angles (a tie's flow as reported);
//  - limits of outputs, flows and (unless ignored) angle differences;
//  - dual feasibility: multipliers not negative, and, at every angle node
//    but the fixed ones, Σ over its branches of ±(Sb·b·(λf − λt + μ⁺ − μ⁻)
//    + ν⁺ − ν⁻) = 0, divided by Σ Sb·|b| to give $/MWh; at every tie
//    λf − λt + μ⁺ − μ⁻ = 0;
//  - complementarity: a generator below its upper limit has a marginal
//    cost at least its bus's price, one above its lower limit at most, each
//    measured as (distance to the limit) × (price gap) in $/h; a limit's
//    multiplier times its distance from the limit, in $/h.
OptimalityCheck check_network_optimality(const network::Network& net, const network::DcModel& model,
                                         const network::NetworkSolution& solution, const SolverRun& run,
                                         const Tolerances& tolerances);

// The marginal cost of a generator's curve at `mw`: its slopes just below
// and just above (equal for a polynomial), $/MWh. An output within
// `kink_mw` of a breakpoint of a piecewise curve counts as at it.
struct MarginalCost {
  double below = 0.0;
  double above = 0.0;
};
MarginalCost marginal_cost(const network::CostCurve& cost, double mw, double kink_mw);

// The cost of a generator's curve at `mw` without its constant term, $/h
// (a piecewise curve counts whole).
double variable_cost(const network::CostCurve& cost, double mw);

}  // namespace corvo::report
