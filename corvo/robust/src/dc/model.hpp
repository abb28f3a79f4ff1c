// The dispatch problem as the interior-point iteration sees it: the plain
// problem of dc_opf.hpp divided by three scales so that its typical power,
// angle and price are all about one, with the fixed nodes taken out of the
// angle unknowns and every bound kept as a pair of sides, each finite or
// not and, in the elastic problems, each with a price for violating it.
//
// Scaled quantities:  power  ũ = u / P      angle  θ̃ = θ / A      cost  f̃ = f / F
// so that  c̃ = c·P/F,  q̃ = q·P²/F,  b̃ = b·A/P,  prices λ̃ = λ·P/F,
// unit bound duals z̃ = z·P/F and branch bound duals ṽ = v·A/F.
#pragma once

#include <cstdint>
#include <vector>

#include "robust/dc_opf.hpp"

namespace corvo::robust::dc {

inline constexpr std::int32_t kNone = -1;

struct Scales {
  double power = 1.0;  // P
  double angle = 1.0;  // A
  double cost = 1.0;   // F
};

// Lower and upper bounds of a list of elements (±inf where a side is
// absent) and, for the elastic problems, the price per unit of violating
// either side of each element (empty: bounds are hard).
struct Boxes {
  std::vector<double> lower;
  std::vector<double> upper;
  std::vector<double> violation_price;

  std::size_t size() const { return lower.size(); }
  bool elastic() const { return !violation_price.empty(); }
};

struct Model {
  std::int32_t buses = 0;
  std::int32_t free_nodes = 0;             // angle unknowns
  std::vector<std::int32_t> free_of_bus;   // per bus: its node's angle unknown, or kNone (fixed node)
  std::vector<double> demand;

  // Branches: the buses at each end, the angle unknowns of their nodes
  // (kNone for a fixed node), scaled susceptance and bounds of θf − θt.
  std::vector<std::int32_t> branch_from;
  std::vector<std::int32_t> branch_to;
  std::vector<std::int32_t> branch_free_from;
  std::vector<std::int32_t> branch_free_to;
  std::vector<double> susceptance;
  Boxes branch_bounds;

  // Units: the buses they inject into (to) and draw from (from), kNone
  // for none; costs; bounds. A fixed unit (lower == upper, hard bounds)
  // is a constant injection, not an unknown.
  std::vector<std::int32_t> unit_to;
  std::vector<std::int32_t> unit_from;
  std::vector<double> linear_cost;
  std::vector<double> quadratic_cost;
  Boxes unit_bounds;
  std::vector<char> unit_fixed;

  std::size_t units() const { return unit_to.size(); }
  std::size_t branches() const { return branch_from.size(); }
};

// Picks the scales from the data: P from the largest demand (else the
// largest finite unit bound), A so that the median susceptance becomes
// one, F so that the largest marginal cost at power P becomes one.
Scales choose_scales(const DcOpf& problem);

// The scaled model of a problem (whose sizes have been checked).
Model scaled_model(const DcOpf& problem, const Scales& scales);

}  // namespace corvo::robust::dc
