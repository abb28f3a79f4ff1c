// Mehrotra's predictor-corrector primal-dual interior-point iteration on a
// scaled Model, from a given start. Every iteration factors the reduced
// system once and solves it twice: the affine-scaling (predictor) step
// gives the centring σ = (μ_aff/μ)³, the corrector adds the second-order
// term. Primal and dual variables take their own step (one common step
// when a cost is quadratic), 0.995 of the way to the boundary (closer as
// the gap closes) and never past the Newton step.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "dc/iterate.hpp"
#include "dc/model.hpp"
#include "dc/reduced_system.hpp"
#include "robust/dc_opf.hpp"

namespace corvo::robust::dc {

// How far the current point is from optimal, as the stopping test sees it.
struct Measures {
  double primal = 0.0;     // balance and bound residuals relative to 1 + their data
  double dual = 0.0;       // stationarity residuals relative to 1 + the largest price
  double gap = 0.0;        // complementarity relative to 1 + |objective|
  double mu = 0.0;         // average complementarity
  double objective = 0.0;  // scaled
  // Absolute (scaled) counterparts for Options' absolute tolerances.
  double largest_power = 0.0;      // bus balance, unit bound and b·(branch bound) residuals
  double largest_unit_dual = 0.0;  // unit stationarity
  double largest_angle_dual = 0.0; // angle stationarity over Σ|b| of its node: a price
  double largest_product = 0.0;    // slack · multiplier
};

// Absolute tolerances, scaled; 0 where not applied.
struct AbsoluteTolerances {
  double power = 0.0;
  double unit_dual = 0.0;  // prices: unit and angle stationarity
  double product = 0.0;
};

struct IpmSettings {
  int max_iterations = 100;
  double tolerance = 1e-8;
  AbsoluteTolerances absolute;
  // Once converged, up to `polish_iterations` more iterations towards this
  // tighter relative tolerance (0: none), keeping the best converged
  // iterate: most problems reach it in one or two iterations, and prices
  // and outputs gain digits; a problem that stalls keeps its converged
  // point.
  double polish_tolerance = 0.0;
  int polish_iterations = 1;
  // When the iterate shows the signs of a problem without a feasible
  // point (the primal residual stops shrinking), stop so that the caller
  // can look for a certificate.
  bool stop_when_suspect = true;
  const Options* options = nullptr;  // callbacks (may be null)
  std::chrono::steady_clock::time_point started;
  int log_offset = 0;  // added to the iteration numbers in the log
};

enum class Outcome { converged, iteration_limit, cancelled, suspect_infeasible, numerical_failure };

struct IpmResult {
  Outcome outcome = Outcome::numerical_failure;
  int iterations = 0;
  Measures measures;
  std::string message;
};

// Measures of a point (also used for a start).
Measures measure(const Model& m, const Iterate& it);

IpmResult run_interior_point(const Model& m, ReducedSystem& system, Iterate& it,
                             const IpmSettings& settings);

}  // namespace corvo::robust::dc
