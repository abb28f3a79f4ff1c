// The tolerances of the optimality check and of "at a limit", in the units
// of the case (MW, $/MWh, $/h, radians).
#pragma once

namespace corvo::report {

struct Tolerances {
  // Largest power-balance mismatch of any bus.
  double balance_mw = 1e-3;
  // Largest violation of a generator or line limit, of a limit row, or of
  // the sign of a generator output, slack or surplus.
  double limit_mw = 1e-3;
  // Largest negative reduced cost of a bounded variable, or reduced cost
  // of any sign of a free one, divided by the base power.
  double dual_per_mwh = 1e-3;
  // Largest product of a variable's distance from its bound and its
  // reduced cost.
  double complementarity_per_h = 1e-2;
  // Largest amount by which an angle lies below its lower bound, when the
  // angles are bounded.
  double angle_rad = 1e-6;
  // A generator output or line flow within this distance of a limit is
  // reported as at that limit (binding).
  double binding_mw = 1e-3;
};

struct ReportOptions {
  Tolerances tolerances;
  // True for a solver whose angle columns are free variables: the angle
  // lower bound of the program does not apply and their reduced costs
  // must be zero.
  bool angles_free = false;
};

}  // namespace corvo::report
