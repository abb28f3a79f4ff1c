// The bounds of one set of elements (units, or branches' angle
// differences) inside the Newton system: residuals, the diagonal weights
// and right-hand sides that eliminating the slacks and multipliers leaves
// on each element, the recovery of their directions, and the step to the
// boundary. Units and branches share this code; only the value x of an
// element differs (a unit's output, a branch's θf − θt).
//
// For one side with sign a (+1 lower, −1 upper) and bound β = a·bound:
//   primal residual  r  = β − a·x − e + s
//   elastic residual rₑ = price − z − y
//   complementarity  s·z = rc target,  e·y likewise.
// Eliminating Δs, Δz (and Δe, Δy) leaves  Δz = g − h·a·Δx  with
//   h = 1 / (s/z + e/y),   g = h·(rc_s/z + r − rc_e/y + (e/y)·rₑ),
// so the element's stationarity gains h·Δx and the right-hand side a·g.
#pragma once

#include <span>
#include <vector>

#include "dc/iterate.hpp"
#include "dc/model.hpp"

namespace corvo::robust::dc {

enum class Side { lower, upper };

// Which sides of which elements are inequalities of the iteration.
struct BoxShape {
  const Boxes* boxes = nullptr;
  std::vector<char> has_lower, has_upper;

  BoxShape(const Boxes& b, const std::vector<char>* fixed);
  bool has(Side side, std::size_t k) const {
    return side == Side::lower ? has_lower[k] != 0 : has_upper[k] != 0;
  }
  double bound(Side side, std::size_t k) const {
    return side == Side::lower ? boxes->lower[k] : boxes->upper[k];
  }
  double price(std::size_t k) const { return boxes->elastic() ? boxes->violation_price[k] : 0.0; }
  // Whether the set has elastic elements (then every element has the
  // elastic vectors), and whether element k is one (a positive price).
  bool elastic() const { return boxes->elastic(); }
  bool elastic_at(std::size_t k) const { return boxes->elastic() && boxes->violation_price[k] > 0.0; }
  std::size_t size() const { return has_lower.size(); }
};

inline double sign_of(Side side) { return side == Side::lower ? 1.0 : -1.0; }
inline SideVars& vars_of(BoxVars& v, Side side) { return side == Side::lower ? v.lower : v.upper; }
inline const SideVars& vars_of(const BoxVars& v, Side side) {
  return side == Side::lower ? v.lower : v.upper;
}

// Residuals of one side; entries of absent sides are zero.
struct SideResiduals {
  std::vector<double> primal;   // r
  std::vector<double> elastic;  // rₑ (empty unless elastic)
};
struct BoxResiduals {
  SideResiduals lower, upper;
};
inline const SideResiduals& residuals_of(const BoxResiduals& r, Side side) {
  return side == Side::lower ? r.lower : r.upper;
}

// Sizes every vector of v for the shape (zeros).
void allocate(const BoxShape& shape, BoxVars& v);

// dual[k] += −z_lower[k] + z_upper[k]: the multipliers' share of each
// element's stationarity residual.
void add_multipliers(const BoxShape& shape, const BoxVars& v, std::span<double> dual);

// Fills r (reusing its storage: the iteration calls this once per
// iteration on vectors of the network's size).
void box_residuals(const BoxShape& shape, std::span<const double> x, const BoxVars& v, BoxResiduals& r);

// Σ s·z + Σ e·y over the sides, and how many pairs that counts.
double complementarity(const BoxShape& shape, const BoxVars& v, std::size_t& pairs);

// Largest |r| / (1 + |bound|) over the sides, and largest |rₑ| (elastic).
double scaled_primal_residual(const BoxShape& shape, const BoxResiduals& r);
double largest_elastic_residual(const BoxResiduals& r);
// Largest |r|·weight[k] (weight empty: 1), and largest product s·z or e·y.
double largest_primal_residual(const BoxShape& shape, const BoxResiduals& r,
                               std::span<const double> weight);
double largest_product(const BoxShape& shape, const BoxVars& v);

// Complementarity targets of one step: rc = target − s·z − ds·dz for
// every pair (ds, dz of the predictor, or none).
struct BoxTargets {
  SideVars lower, upper;  // s holds rc_s, e holds rc_e; z, y unused
};
void box_targets(const BoxShape& shape, const BoxVars& v, double target, const BoxVars* predictor,
                 BoxTargets& t);

// Adds each element's weight h_lower + h_upper to weight[k] and
// g_lower − g_upper to rhs[k].
void add_newton_terms(const BoxShape& shape, const BoxVars& v, const BoxResiduals& r,
                      const BoxTargets& t, std::span<double> weight, std::span<double> rhs);

// Fills the directions of every side from the elements' dx.
void recover_directions(const BoxShape& shape, const BoxVars& v, const BoxResiduals& r,
                        const BoxTargets& t, std::span<const double> dx, BoxVars& d);

// Largest step in (0, ∞] that keeps the slacks and violations (primal)
// or the multipliers (dual) non-negative.
double max_primal_step(const BoxShape& shape, const BoxVars& v, const BoxVars& d);
double max_dual_step(const BoxShape& shape, const BoxVars& v, const BoxVars& d);

void take_primal_step(const BoxShape& shape, double step, const BoxVars& d, BoxVars& v);
void take_dual_step(const BoxShape& shape, double step, const BoxVars& d, BoxVars& v);

// Σ over pairs of (s + αp·ds)·(z + αd·dz) (and e·y likewise).
double complementarity_after(const BoxShape& shape, const BoxVars& v, const BoxVars& d,
                             double step_primal, double step_dual);

}  // namespace corvo::robust::dc
