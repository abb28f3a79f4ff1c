#include "dc/interior_point.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "dc/bounds.hpp"
#include "dc/network_terms.hpp"

namespace corvo::robust::dc {
namespace {

using Clock = std::chrono::steady_clock;

// How far towards the boundary a step goes: 0.995 far from the optimum,
// closer (1 − the relative gap) as the gap closes, where the iterate is
// well centred and the last iterations otherwise lose half a digit each
// (one iteration fewer on most public networks; a constant 0.9999 failed
// the badly scaled costs).
constexpr double kFractionToBoundary = 0.995;
// The proximal weight of a unit without a quadratic cost or a finite
// bound (a tie without rating), so that it still has an inverse weight.
// Every other unit has a positive weight of its own and none is added:
// it would leave its stationarity short by this much of its step.
constexpr double kUnitRegularisation = 1e-8;
// An iterate is suspected of having no feasible point to converge to when
// its primal residual did not halve over kStallWindow iterations.
constexpr int kStallWindow = 5;
// The share of the tolerances a direction's residual may use, and the
// most refinement corrections spent on it.
constexpr double kSolveShare = 0.1;
constexpr int kMaxRefinements = 8;

double norm_inf(std::span<const double> v) {
  double m = 0.0;
  for (double e : v) m = std::max(m, std::fabs(e));
  return m;
}

bool all_finite(std::span<const double> v) {
  return std::all_of(v.begin(), v.end(), [](double e) { return std::isfinite(e); });
}

// Σ |b| over the branches of each free node: an angle's stationarity
// residual divided by it is a price (what the check of the results
// measures in $/MWh).
std::vector<double> susceptance_by_node(const Model& m) {
  std::vector<double> total(static_cast<std::size_t>(m.free_nodes), 0.0);
  for (std::size_t l = 0; l < m.branches(); ++l) {
    const std::int32_t f = m.branch_free_from[l], t = m.branch_free_to[l];
    if (f == t) continue;
    if (f != kNone) total[static_cast<std::size_t>(f)] += std::fabs(m.susceptance[l]);
    if (t != kNone) total[static_cast<std::size_t>(t)] += std::fabs(m.susceptance[l]);
  }
  return total;
}

struct Shapes {
  BoxShape units;
  BoxShape branches;
  std::vector<double> node_susceptance;
  explicit Shapes(const Model& m)
      : units(m.unit_bounds, &m.unit_fixed), branches(m.branch_bounds, nullptr),
        node_susceptance(susceptance_by_node(m)) {}
};

// The residuals of the optimality conditions at one point. The iteration
// keeps one Evaluation (and one of each structure below) and refills it,
// so that no vector of the network's size is allocated per iteration.
struct Evaluation {
  std::vector<double> diff;        // θf − θt per branch
  std::vector<double> unit_dual;   // c + q·u − Uᵀλ − z_lower + z_upper (0 for fixed units)
  std::vector<double> angle_dual;  // Kᵀλ − Cᵀ(z_lower − z_upper)
  std::vector<double> balance;     // demand − U·u + K·θ
  std::vector<double> branch_dual;  // z_lower − z_upper per branch
  BoxResiduals unit_bounds, branch_bounds;
  Measures measures;
  std::size_t pairs = 0;
};

// Largest price that the dual residuals are measured against.
double price_scale(const Model& m) {
  double scale = norm_inf(m.linear_cost);
  scale = std::max(scale, norm_inf(m.unit_bounds.violation_price));
  scale = std::max(scale, norm_inf(m.branch_bounds.violation_price));
  return scale;
}

double objective(const Model& m, const Iterate& it) {
  double f = 0.0;
  for (std::size_t j = 0; j < m.units(); ++j) {
    f += m.linear_cost[j] * it.u[j] + 0.5 * m.quadratic_cost[j] * it.u[j] * it.u[j];
  }
  auto add_violations = [&](const Boxes& b, const BoxVars& v) {
    if (!b.elastic()) return;
    for (std::size_t k = 0; k < b.size(); ++k) {
      if (!v.lower.e.empty()) f += b.violation_price[k] * (v.lower.e[k] + v.upper.e[k]);
    }
  };
  add_violations(m.unit_bounds, it.units);
  add_violations(m.branch_bounds, it.branches);
  return f;
}

void evaluate(const Model& m, const Shapes& shapes, const Iterate& it, Evaluation& ev) {
  ev.pairs = 0;
  ev.diff.resize(m.branches());
  branch_differences(m, it.theta, ev.diff);
  ev.unit_dual.assign(m.units(), 0.0);
  for (std::size_t j = 0; j < m.units(); ++j) {
    if (m.unit_fixed[j]) continue;
    ev.unit_dual[j] =
        m.linear_cost[j] + m.quadratic_cost[j] * it.u[j] - unit_price(m, it.lambda, j);
  }
  add_multipliers(shapes.units, it.units, ev.unit_dual);
  std::vector<double>& branch_dual = ev.branch_dual;
  branch_dual.assign(m.branches(), 0.0);
  add_multipliers(shapes.branches, it.branches, branch_dual);
  for (double& v : branch_dual) v = -v;  // z_lower − z_upper
  ev.angle_dual.resize(static_cast<std::size_t>(m.free_nodes));
  angle_residual(m, it.lambda, branch_dual, ev.angle_dual);
  ev.balance.resize(static_cast<std::size_t>(m.buses));
  balance_residual(m, it.u, ev.diff, ev.balance);
  box_residuals(shapes.units, it.u, it.units, ev.unit_bounds);
  box_residuals(shapes.branches, ev.diff, it.branches, ev.branch_bounds);

  Measures& me = ev.measures;
  me.primal = norm_inf(ev.balance) / (1.0 + norm_inf(m.demand));
  me.primal = std::max(me.primal, scaled_primal_residual(shapes.units, ev.unit_bounds));
  me.primal = std::max(me.primal, scaled_primal_residual(shapes.branches, ev.branch_bounds));
  double dual = std::max(norm_inf(ev.unit_dual), norm_inf(ev.angle_dual));
  dual = std::max(dual, largest_elastic_residual(ev.unit_bounds));
  dual = std::max(dual, largest_elastic_residual(ev.branch_bounds));
  me.dual = dual / (1.0 + price_scale(m));
  const double sum = complementarity(shapes.units, it.units, ev.pairs) +
                     complementarity(shapes.branches, it.branches, ev.pairs);
  me.objective = objective(m, it);
  me.largest_power = std::max({norm_inf(ev.balance),
                               largest_primal_residual(shapes.units, ev.unit_bounds, {}),
                               largest_primal_residual(shapes.branches, ev.branch_bounds, m.susceptance)});
  me.largest_unit_dual = norm_inf(ev.unit_dual);
  me.largest_angle_dual = 0.0;
  for (std::size_t a = 0; a < ev.angle_dual.size(); ++a)
    if (shapes.node_susceptance[a] > 0.0)
      me.largest_angle_dual =
          std::max(me.largest_angle_dual, std::fabs(ev.angle_dual[a]) / shapes.node_susceptance[a]);
  me.largest_product = std::max(largest_product(shapes.units, it.units),
                                largest_product(shapes.branches, it.branches));
  me.mu = ev.pairs > 0 ? sum / static_cast<double>(ev.pairs) : 0.0;
  me.gap = sum / (1.0 + std::fabs(me.objective));
}

// The Newton system's data for one set of complementarity targets.
struct NewtonTerms {
  std::vector<double> unit_weight, unit_inverse, unit_rhs;
  std::vector<double> branch_weight, branch_rhs;
  BoxTargets unit_targets, branch_targets;
};

// Fills t for the complementarity target (and the predictor's
// second-order term, when given).
void newton_terms(const Model& m, const Shapes& shapes, const Iterate& it, const Evaluation& ev,
                  double target, const Direction* predictor, NewtonTerms& t) {
  box_targets(shapes.units, it.units, target, predictor ? &predictor->units : nullptr, t.unit_targets);
  box_targets(shapes.branches, it.branches, target, predictor ? &predictor->branches : nullptr,
              t.branch_targets);
  t.unit_weight.resize(m.units());
  t.unit_rhs.resize(m.units());
  for (std::size_t j = 0; j < m.units(); ++j) {
    const bool free = m.quadratic_cost[j] == 0.0 && !shapes.units.has_lower[j] && !shapes.units.has_upper[j];
    t.unit_weight[j] = m.quadratic_cost[j] + (free ? kUnitRegularisation : 0.0);
    t.unit_rhs[j] = -ev.unit_dual[j];
  }
  add_newton_terms(shapes.units, it.units, ev.unit_bounds, t.unit_targets, t.unit_weight, t.unit_rhs);
  t.unit_inverse.resize(m.units());
  for (std::size_t j = 0; j < m.units(); ++j) {
    t.unit_inverse[j] = m.unit_fixed[j] ? 0.0 : 1.0 / t.unit_weight[j];
  }
  t.branch_weight.assign(m.branches(), 0.0);
  t.branch_rhs.assign(m.branches(), 0.0);
  add_newton_terms(shapes.branches, it.branches, ev.branch_bounds, t.branch_targets, t.branch_weight,
                   t.branch_rhs);
}

// The accuracy of the corrector's direction. A step α leaves the balance
// residual (1 − α)·r + α·(the solve's residual in the price rows), and the
// angles' stationarity likewise with the angle rows (the units' and the
// bounds' rows are eliminated exactly), so the solve's residuals are kept
// kSolveShare below what the stopping test accepts, and no lower: a
// direction solved more accurately moves the iterate no better.
SolveAccuracy corrector_accuracy(const Model& m, const IpmSettings& settings) {
  SolveAccuracy a;
  a.angle_rows = kSolveShare * settings.tolerance * (1.0 + price_scale(m));
  a.price_rows = kSolveShare * settings.tolerance * (1.0 + norm_inf(m.demand));
  if (settings.absolute.power > 0.0) {
    a.price_rows = std::min(a.price_rows, kSolveShare * settings.absolute.power);
  }

  a.max_refinements = kMaxRefinements;
  return a;
}

// Work vectors of solve_direction, kept across iterations.
struct DirectionWork {
  std::vector<double> rhs, x, scaled_unit_rhs, ddiff;
};

// Solves the reduced system for the terms and recovers every direction.
// Returns false when the direction is not finite.
bool solve_direction(const Model& m, const Shapes& shapes, ReducedSystem& system,
                     const Iterate& it, const Evaluation& ev, const NewtonTerms& t,
                     const SolveAccuracy& accuracy, DirectionWork& work, Direction& d) {
  const std::size_t angles = system.angle_unknowns();
  std::vector<double>& rhs = work.rhs;
  std::vector<double>& x = work.x;
  rhs.assign(system.size(), 0.0);
  x.resize(system.size());
  std::span<double> rhs_theta(rhs.data(), angles), rhs_lambda(rhs.data() + angles, rhs.size() - angles);
  for (std::size_t a = 0; a < angles; ++a) rhs_theta[a] = -ev.angle_dual[a];
  add_branch_terms(m, t.branch_rhs, rhs_theta);
  for (std::size_t i = 0; i < rhs_lambda.size(); ++i) rhs_lambda[i] = -ev.balance[i];
  std::vector<double>& scaled_unit_rhs = work.scaled_unit_rhs;
  scaled_unit_rhs.resize(m.units());
  for (std::size_t j = 0; j < m.units(); ++j) scaled_unit_rhs[j] = t.unit_inverse[j] * t.unit_rhs[j];
  add_unit_terms(m, scaled_unit_rhs, rhs_lambda);

  system.solve(rhs, x, accuracy);
  if (!all_finite(x)) return false;
  d.theta.assign(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(angles));
  d.lambda.assign(x.begin() + static_cast<std::ptrdiff_t>(angles), x.end());
  d.u.resize(m.units());
  for (std::size_t j = 0; j < m.units(); ++j) {
    d.u[j] = t.unit_inverse[j] * (t.unit_rhs[j] + unit_price(m, d.lambda, j));
  }
  std::vector<double>& ddiff = work.ddiff;
  ddiff.resize(m.branches());
  branch_differences(m, d.theta, ddiff);
  allocate(shapes.units, d.units);
  allocate(shapes.branches, d.branches);
  recover_directions(shapes.units, it.units, ev.unit_bounds, t.unit_targets, d.u, d.units);
  recover_directions(shapes.branches, it.branches, ev.branch_bounds, t.branch_targets, ddiff,
                     d.branches);
  return true;
}

// Never the whole way: a slack or multiplier of exactly zero would leave
// the next Newton system without an inverse.
constexpr double kClosestToBoundary = 1.0 - 1e-7;

double fraction_to_boundary(const Measures& me) {
  return std::max(kFractionToBoundary, std::min(1.0 - me.gap, kClosestToBoundary));
}

void step_lengths(const Shapes& shapes, const Iterate& it, const Direction& d, double fraction,
                  double& primal, double& dual) {
  primal = std::min(max_primal_step(shapes.units, it.units, d.units),
                    max_primal_step(shapes.branches, it.branches, d.branches));
  dual = std::min(max_dual_step(shapes.units, it.units, d.units),
                  max_dual_step(shapes.branches, it.branches, d.branches));
  primal = std::min(1.0, fraction * primal);
  dual = std::min(1.0, fraction * dual);
}

void take_step(const Shapes& shapes, const Direction& d, double primal, double dual, Iterate& it) {
  for (std::size_t j = 0; j < it.u.size(); ++j) it.u[j] += primal * d.u[j];
  for (std::size_t a = 0; a < it.theta.size(); ++a) it.theta[a] += primal * d.theta[a];
  for (std::size_t i = 0; i < it.lambda.size(); ++i) it.lambda[i] += dual * d.lambda[i];
  take_primal_step(shapes.units, primal, d.units, it.units);
  take_primal_step(shapes.branches, primal, d.branches, it.branches);
  take_dual_step(shapes.units, dual, d.units, it.units);
  take_dual_step(shapes.branches, dual, d.branches, it.branches);
}

bool within(double value, double tolerance) { return tolerance <= 0.0 || value <= tolerance; }

bool converged(const Measures& me, const IpmSettings& settings) {
  return me.primal <= settings.tolerance && me.dual <= settings.tolerance &&
         me.gap <= settings.tolerance && within(me.largest_power, settings.absolute.power) &&
         within(me.largest_unit_dual, settings.absolute.unit_dual) &&
         within(me.largest_angle_dual, settings.absolute.unit_dual) &&
         within(me.largest_product, settings.absolute.product);
}

double largest_residual(const Measures& me) { return std::max({me.primal, me.dual, me.gap}); }

// Within kNearlyConverged times every relative tolerance, and
// kNearlyConvergedAbsolute times every absolute one: a point the iteration
// falls back to when the Newton directions lose their accuracy right at
// the optimum (many bounds active at once, their weights 1e16 apart: the
// Newton system turns singular and refinement no longer repairs its
// solves) and the residuals grow again instead of shrinking. Such a point
// is a few digits short of what the stopping test asks. The absolute
// tolerances are what a caller's own check asks (corvo solve sets them a
// tenth to a hundredth of its check's), so they get the smaller factor:
// a fallback point never fails that check. Measured on case_ACTIVSg2000
// with its loads scaled by 0.59 to 0.9: without the fallback five of
// sixteen scalings ended without an optimum; with it every one is
// verified optimal.
constexpr double kNearlyConverged = 100.0;
constexpr double kNearlyConvergedAbsolute = 10.0;

bool nearly_converged(const Measures& me, const IpmSettings& settings) {
  auto near = [](double value, double tolerance) {
    return tolerance <= 0.0 || value <= kNearlyConvergedAbsolute * tolerance;
  };
  return largest_residual(me) <= kNearlyConverged * settings.tolerance &&
         near(me.largest_power, settings.absolute.power) &&
         near(me.largest_unit_dual, settings.absolute.unit_dual) &&
         near(me.largest_angle_dual, settings.absolute.unit_dual) &&
         near(me.largest_product, settings.absolute.product);
}

// The best nearly converged iterate so far.
struct Fallback {
  bool held = false;
  Iterate it;
  Measures measures;
  int iterations = 0;
};

// The polishing after convergence: the best converged iterate so far, and
// when to stop looking for a better one.
struct Polish {
  bool active = false;
  int left = 0;
  Iterate best;
  Measures best_measures;
  int best_iterations = 0;
};

}  // namespace

Measures measure(const Model& m, const Iterate& it) {
  const Shapes shapes(m);
  Evaluation ev;
  evaluate(m, shapes, it, ev);
  return ev.measures;
}

IpmResult run_interior_point(const Model& m, ReducedSystem& system, Iterate& it,
                             const IpmSettings& settings) {
  const Shapes shapes(m);
  IpmResult result;
  std::vector<double> primal_history;
  double step_primal = 0.0, step_dual = 0.0;
  Polish polish;
  Fallback fallback;
  // With quadratic costs the unit stationarity couples u and λ: separate
  // steps would leave a residual (α_p − α_d)·q·Δu behind and the iterate
  // can cycle. Linear problems keep separate steps.
  // The predictor only sets the centring and the second-order term: its
  // error never reaches the iterate, and one solve without refinement
  // gives the same iterations as a refined one.
  const SolveAccuracy predictor_accuracy{0.0, 0.0, 0};
  const SolveAccuracy accuracy = corrector_accuracy(m, settings);
  const bool quadratic = std::any_of(m.quadratic_cost.begin(), m.quadratic_cost.end(),
                                     [](double q) { return q > 0.0; });
  Evaluation ev;
  NewtonTerms terms;
  DirectionWork work;
  Direction affine, d;
  for (int k = 0;; ++k) {
    evaluate(m, shapes, it, ev);
    const Measures& me = ev.measures;
    result.iterations = k;
    result.measures = me;
    if (settings.options != nullptr && settings.options->on_iteration) {
      const double seconds =
          std::chrono::duration<double>(Clock::now() - settings.started).count();
      settings.options->on_iteration(
          {settings.log_offset + k, me.gap, me.primal, me.dual, step_primal, step_dual, seconds});
    }
    auto stop = [&](Outcome outcome, std::string message) {
      result.outcome = outcome;
      result.message = std::move(message);
      return result;
    };
    // A run that cannot go on from a nearly converged point ends there.
    auto stop_or_fall_back = [&](Outcome outcome, std::string message) {
      if (!fallback.held) return stop(outcome, std::move(message));
      it = fallback.it;
      result.iterations = fallback.iterations;
      result.measures = fallback.measures;
      return stop(Outcome::converged, "converged to within a few digits of the tolerances (" + message +
                                          " beyond that point)");
    };
    if (!std::isfinite(me.primal) || !std::isfinite(me.dual) || !std::isfinite(me.gap)) {
      return stop_or_fall_back(Outcome::numerical_failure, "the iterate is no longer finite");
    }
    if (!polish.active && nearly_converged(me, settings) &&
        (!fallback.held || largest_residual(me) < largest_residual(fallback.measures))) {
      fallback = Fallback{true, it, me, k};
    }
    if (fallback.held && !polish.active && k - fallback.iterations >= kStallWindow) {
      return stop_or_fall_back(Outcome::iteration_limit, "the residuals stopped shrinking");
    }
    if (polish.active) {
      const bool better = converged(me, settings) && largest_residual(me) < largest_residual(polish.best_measures);
      if (better) {
        polish.best = it;
        polish.best_measures = me;
        polish.best_iterations = k;
      }
      if (!better || largest_residual(me) <= settings.polish_tolerance || --polish.left <= 0 ||
          k >= settings.max_iterations) {
        it = polish.best;
        result.iterations = polish.best_iterations;
        result.measures = polish.best_measures;
        return stop(Outcome::converged, "");
      }
    } else if (converged(me, settings)) {
      if (settings.polish_tolerance <= 0.0 || largest_residual(me) <= settings.polish_tolerance ||
          k >= settings.max_iterations)
        return stop(Outcome::converged, "");
      polish = Polish{true, settings.polish_iterations, it, me, k};
    }
    primal_history.push_back(me.primal);
    if (settings.stop_when_suspect && k >= kStallWindow && me.primal > settings.tolerance &&
        me.primal > 0.5 * primal_history[primal_history.size() - 1 - kStallWindow]) {
      // From a nearly converged point that is no infeasibility: the
      // directions lost their accuracy.
      if (fallback.held) return stop_or_fall_back(Outcome::iteration_limit, "the primal residual stopped shrinking");
      return stop(Outcome::suspect_infeasible, "the primal residual stopped shrinking");
    }
    if (k >= settings.max_iterations) {
      return stop_or_fall_back(Outcome::iteration_limit,
                  "no convergence within " + std::to_string(settings.max_iterations) + " iterations");
    }
    if (settings.options != nullptr && settings.options->cancelled && settings.options->cancelled()) {
      return stop(Outcome::cancelled, "cancelled");
    }

    // Predictor: the affine-scaling direction.
    newton_terms(m, shapes, it, ev, 0.0, nullptr, terms);
    if (!system.factor(terms.unit_inverse, terms.branch_weight)) {
      return stop_or_fall_back(Outcome::numerical_failure,
                               "the Newton system could not be factored at iteration " + std::to_string(k));
    }
    if (!solve_direction(m, shapes, system, it, ev, terms, predictor_accuracy, work, affine)) {
      return stop_or_fall_back(Outcome::numerical_failure, "the Newton direction is not finite");
    }
    double ap = 0.0, ad = 0.0;
    step_lengths(shapes, it, affine, 1.0, ap, ad);
    double sigma = 0.0;
    if (ev.pairs > 0 && me.mu > 0.0) {
      const double after = complementarity_after(shapes.units, it.units, affine.units, ap, ad) +
                           complementarity_after(shapes.branches, it.branches, affine.branches, ap, ad);
      const double ratio = after / static_cast<double>(ev.pairs) / me.mu;
      sigma = std::min(1.0, ratio * ratio * ratio);
    }
    // Corrector: centring plus the second-order term of the predictor.
    newton_terms(m, shapes, it, ev, sigma * me.mu, &affine, terms);
    if (!solve_direction(m, shapes, system, it, ev, terms, accuracy, work, d)) {
      return stop_or_fall_back(Outcome::numerical_failure, "the Newton direction is not finite");
    }
    step_lengths(shapes, it, d, fraction_to_boundary(me), step_primal, step_dual);
    if (quadratic) step_primal = step_dual = std::min(step_primal, step_dual);
    take_step(shapes, d, step_primal, step_dual, it);
  }
}

}  // namespace corvo::robust::dc
