#include "dc/elastic.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvo::robust::dc {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// The penalty of the penalised problem, per unit of weighted violation,
// in multiples of 1 + the largest scaled marginal cost.
constexpr double kPenaltyFactor = 1e3;

double largest(const std::vector<double>& v) {
  double m = 0.0;
  for (double e : v) m = std::max(m, std::fabs(e));
  return m;
}

void append_unit(Model& m, std::int32_t to, std::int32_t from, double upper, double cost) {
  m.unit_to.push_back(to);
  m.unit_from.push_back(from);
  m.linear_cost.push_back(cost);
  m.quadratic_cost.push_back(0.0);
  m.unit_bounds.lower.push_back(0.0);
  m.unit_bounds.upper.push_back(upper);
  m.unit_bounds.violation_price.push_back(0.0);  // hard bounds
  m.unit_fixed.push_back(0);
}

}  // namespace

ElasticModel elastic_model(const Model& m, ElasticKind kind) {
  ElasticModel em;
  em.model = m;
  Model& e = em.model;
  double scale = 1.0;
  if (kind == ElasticKind::least_violation) {
    std::fill(e.linear_cost.begin(), e.linear_cost.end(), 0.0);
    std::fill(e.quadratic_cost.begin(), e.quadratic_cost.end(), 0.0);
  } else {
    scale = kPenaltyFactor * (1.0 + largest(m.linear_cost) + largest(m.quadratic_cost));
  }
  // A fixed unit stays fixed: it may stand for an element out of service
  // (a unit or tie held at 0), which no relaxation may switch on.
  e.unit_bounds.violation_price.resize(m.units());
  for (std::size_t j = 0; j < m.units(); ++j) e.unit_bounds.violation_price[j] = m.unit_fixed[j] ? 0.0 : scale;
  e.branch_bounds.violation_price.resize(m.branches());
  for (std::size_t l = 0; l < m.branches(); ++l) {
    const double b = m.susceptance[l] != 0.0 ? std::fabs(m.susceptance[l]) : 1.0;
    e.branch_bounds.violation_price[l] = scale * b;
  }

  // Which buses a unit injects into: there, injection may be in excess.
  std::vector<char> fed(static_cast<std::size_t>(m.buses), 0);
  for (std::int32_t to : m.unit_to) {
    if (to != kNone) fed[static_cast<std::size_t>(to)] = 1;
  }
  em.not_served_unit.assign(static_cast<std::size_t>(m.buses), kNone);
  em.in_excess_unit.assign(static_cast<std::size_t>(m.buses), kNone);
  for (std::int32_t i = 0; i < m.buses; ++i) {
    const double d = m.demand[static_cast<std::size_t>(i)];
    if (d > 0.0) {
      em.not_served_unit[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(e.units());
      append_unit(e, i, kNone, d, scale * kDemandWeight);
    }
    if (d < 0.0 || fed[static_cast<std::size_t>(i)]) {
      em.in_excess_unit[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(e.units());
      append_unit(e, kNone, i, kInf, scale * kDemandWeight);
    }
  }
  return em;
}

namespace {

// Violations of one set of bounds, unscaled, small ones as zero.
void side_violations(const BoxVars& v, std::size_t count, double unit, double threshold,
                     std::vector<double>& below, std::vector<double>& above) {
  below.assign(count, 0.0);
  above.assign(count, 0.0);
  if (v.lower.e.empty()) return;
  for (std::size_t k = 0; k < count; ++k) {
    if (v.lower.e[k] > threshold) below[k] = v.lower.e[k] * unit;
    if (v.upper.e[k] > threshold) above[k] = v.upper.e[k] * unit;
  }
}

}  // namespace

Relaxation relaxation_of(const ElasticModel& em, std::size_t original_units, const Iterate& it,
                         const Scales& scales, double threshold) {
  Relaxation r;
  r.found = true;
  side_violations(it.units, original_units, scales.power, threshold, r.unit_below_lower,
                  r.unit_above_upper);
  side_violations(it.branches, em.model.branches(), scales.angle, threshold, r.diff_below_lower,
                  r.diff_above_upper);
  const std::size_t buses = em.not_served_unit.size();
  r.demand_not_served.assign(buses, 0.0);
  r.demand_in_excess.assign(buses, 0.0);
  for (std::size_t i = 0; i < buses; ++i) {
    const std::int32_t ns = em.not_served_unit[i], ex = em.in_excess_unit[i];
    if (ns != kNone && it.u[static_cast<std::size_t>(ns)] > threshold) {
      r.demand_not_served[i] = it.u[static_cast<std::size_t>(ns)] * scales.power;
    }
    if (ex != kNone && it.u[static_cast<std::size_t>(ex)] > threshold) {
      r.demand_in_excess[i] = it.u[static_cast<std::size_t>(ex)] * scales.power;
    }
  }
  return r;
}

double total_violation(const ElasticModel& em, const Iterate& it) {
  const Model& m = em.model;
  double total = 0.0;
  auto add_set = [&](const Boxes& b, const BoxVars& v) {
    if (v.lower.e.empty()) return;
    for (std::size_t k = 0; k < b.size(); ++k) {
      total += b.violation_price[k] * (v.lower.e[k] + v.upper.e[k]);
    }
  };
  add_set(m.unit_bounds, it.units);
  add_set(m.branch_bounds, it.branches);
  for (std::size_t j = 0; j < m.units(); ++j) {
    if (m.unit_bounds.violation_price[j] == 0.0) total += m.linear_cost[j] * it.u[j];
  }
  return total;
}

}  // namespace corvo::robust::dc
