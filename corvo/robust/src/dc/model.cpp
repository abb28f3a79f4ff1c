#include "dc/model.hpp"

#include <algorithm>
#include <cmath>

namespace corvo::robust::dc {
namespace {

// A fixed angle difference (lower == upper) leaves no interior; it is
// widened by this much of the scaled angle on each side, far below the
// resolution of the stopping test.
constexpr double kFixedDifferenceWidening = 1e-9;

double largest_finite(const std::vector<double>& v, double floor) {
  double m = floor;
  for (double e : v) {
    if (std::isfinite(e)) m = std::max(m, std::fabs(e));
  }
  return m;
}

double median_magnitude(const std::vector<double>& v) {
  std::vector<double> positive;
  for (double e : v) {
    if (e != 0.0 && std::isfinite(e)) positive.push_back(std::fabs(e));
  }
  if (positive.empty()) return 0.0;
  const auto middle = positive.begin() + static_cast<std::ptrdiff_t>(positive.size() / 2);
  std::nth_element(positive.begin(), middle, positive.end());
  return *middle;
}

double scaled_bound(double value, double scale) { return std::isfinite(value) ? value / scale : value; }

}  // namespace

Scales choose_scales(const DcOpf& p) {
  Scales s;
  s.power = largest_finite(p.demand, 0.0);
  if (s.power == 0.0) {
    s.power = std::max(largest_finite(p.unit_lower, 0.0), largest_finite(p.unit_upper, 0.0));
  }
  if (s.power == 0.0) s.power = 1.0;
  const double b = median_magnitude(p.susceptance);
  s.angle = b > 0.0 ? s.power / b : 1.0;
  double marginal = 0.0;
  for (std::size_t j = 0; j < p.linear_cost.size(); ++j) {
    marginal = std::max(marginal, std::fabs(p.linear_cost[j]) * s.power);
    marginal = std::max(marginal, p.quadratic_cost[j] * s.power * s.power);
  }
  s.cost = marginal > 0.0 && std::isfinite(marginal) ? marginal : 1.0;
  return s;
}

Model scaled_model(const DcOpf& p, const Scales& s) {
  Model m;
  m.buses = p.buses;
  std::vector<std::int32_t> free_of_node(static_cast<std::size_t>(p.nodes), 0);
  for (std::int32_t node : p.fixed_nodes) free_of_node[static_cast<std::size_t>(node)] = kNone;
  for (std::int32_t& f : free_of_node) {
    if (f != kNone) f = m.free_nodes++;
  }
  m.free_of_bus.resize(static_cast<std::size_t>(p.buses));
  m.demand.resize(static_cast<std::size_t>(p.buses));
  for (std::size_t i = 0; i < m.demand.size(); ++i) {
    m.free_of_bus[i] = free_of_node[static_cast<std::size_t>(p.node_of_bus[i])];
    m.demand[i] = p.demand[i] / s.power;
  }

  const std::size_t nb = p.branch_from.size();
  m.branch_from = p.branch_from;
  m.branch_to = p.branch_to;
  m.branch_free_from.resize(nb);
  m.branch_free_to.resize(nb);
  m.susceptance.resize(nb);
  m.branch_bounds.lower.resize(nb);
  m.branch_bounds.upper.resize(nb);
  for (std::size_t l = 0; l < nb; ++l) {
    m.branch_free_from[l] = m.free_of_bus[static_cast<std::size_t>(p.branch_from[l])];
    m.branch_free_to[l] = m.free_of_bus[static_cast<std::size_t>(p.branch_to[l])];
    m.susceptance[l] = p.susceptance[l] * s.angle / s.power;
    double lower = scaled_bound(p.diff_lower[l], s.angle);
    double upper = scaled_bound(p.diff_upper[l], s.angle);
    if (lower == upper) {
      const double widening = kFixedDifferenceWidening * std::max(1.0, std::fabs(lower));
      lower -= widening;
      upper += widening;
    }
    m.branch_bounds.lower[l] = lower;
    m.branch_bounds.upper[l] = upper;
  }

  const std::size_t nu = p.unit_to.size();
  m.unit_to = p.unit_to;
  m.unit_from = p.unit_from;
  m.linear_cost.resize(nu);
  m.quadratic_cost.resize(nu);
  m.unit_bounds.lower.resize(nu);
  m.unit_bounds.upper.resize(nu);
  m.unit_fixed.resize(nu);
  for (std::size_t j = 0; j < nu; ++j) {
    m.linear_cost[j] = p.linear_cost[j] * s.power / s.cost;
    m.quadratic_cost[j] = p.quadratic_cost[j] * s.power * s.power / s.cost;
    m.unit_bounds.lower[j] = scaled_bound(p.unit_lower[j], s.power);
    m.unit_bounds.upper[j] = scaled_bound(p.unit_upper[j], s.power);
    m.unit_fixed[j] = m.unit_bounds.lower[j] == m.unit_bounds.upper[j];
  }
  return m;
}

}  // namespace corvo::robust::dc
