#include "dc/start.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "dc/bounds.hpp"
#include "dc/network_terms.hpp"

namespace corvo::robust::dc {
namespace {

constexpr Side kSides[] = {Side::lower, Side::upper};
// Slacks larger than this (scaled) belong to limits far beyond anything
// the problem reaches; they are left out of the shifts and get tiny
// multipliers, so that such a limit acts as no limit.
constexpr double kHugeSlack = 1e6;
// Floors of slacks and multipliers in a cold start, relative to 1 + the
// largest scaled demand or price.
constexpr double kStartFloor = 0.1;
// Relative accuracy of the start's two solves.
constexpr double kStartSolve = 1e-8;
constexpr int kStartRefinements = 8;
// Floors of slacks and multipliers in a warm start.
constexpr double kWarmFloor = 1e-2;

// The start's solves: residuals within kStartSolve of the largest
// right-hand side, in at most kStartRefinements corrections.
SolveAccuracy start_accuracy(std::span<const double> rhs) {
  double largest = 0.0;
  for (double v : rhs) largest = std::max(largest, std::fabs(v));
  return {kStartSolve * largest, kStartSolve * largest, kStartRefinements};
}

struct Shapes {
  BoxShape units;
  BoxShape branches;
  explicit Shapes(const Model& m) : units(m.unit_bounds, &m.unit_fixed), branches(m.branch_bounds, nullptr) {}
};

// Calls fn(s, z) for every complementary pair of the iterate.
void for_each_pair(const Shapes& shapes, Iterate& it, const std::function<void(double&, double&)>& fn) {
  auto visit = [&](const BoxShape& shape, BoxVars& v) {
    for (Side side : kSides) {
      SideVars& sv = vars_of(v, side);
      for (std::size_t k = 0; k < shape.size(); ++k) {
        if (!shape.has(side, k)) continue;
        fn(sv.s[k], sv.z[k]);
        if (shape.elastic_at(k)) fn(sv.e[k], sv.y[k]);
      }
    }
  };
  visit(shapes.units, it.units);
  visit(shapes.branches, it.branches);
}

// Slacks of the sides from the element values x; in an elastic problem a
// negative slack becomes a violation instead. Multipliers from the net
// dual of each element (a·net: positive on the side it presses against,
// negative on the other; the shift makes them positive), elastic ones
// from the price.
void set_sides(const BoxShape& shape, std::span<const double> x, std::span<const double> net_dual,
               BoxVars& v) {
  allocate(shape, v);
  for (Side side : kSides) {
    SideVars& sv = vars_of(v, side);
    const double a = sign_of(side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      const double slack = a * (x[k] - shape.bound(side, k));
      sv.s[k] = slack;
      sv.z[k] = a * net_dual[k];  // negative on the side that should not bind
      if (!shape.elastic_at(k)) continue;
      sv.s[k] = std::max(slack, 0.0);
      sv.e[k] = std::max(-slack, 0.0);
      sv.z[k] = std::min(std::max(sv.z[k], 0.0), 0.5 * shape.price(k));
      sv.y[k] = shape.price(k) - sv.z[k];
    }
  }
}

// Mehrotra's shift of the slacks and multipliers into the interior.
void shift_into_interior(const Shapes& shapes, Iterate& it, double floor_s, double floor_z) {
  double min_s = std::numeric_limits<double>::infinity(), min_z = min_s;
  for_each_pair(shapes, it, [&](double& s, double& z) {
    if (s > kHugeSlack) return;
    min_s = std::min(min_s, s);
    min_z = std::min(min_z, z);
  });
  if (!std::isfinite(min_s)) min_s = min_z = 0.0;
  const double shift_s = std::max(-1.5 * min_s, 0.0);
  const double shift_z = std::max(-1.5 * min_z, 0.0);
  double sz = 0.0, sum_s = 0.0, sum_z = 0.0;
  for_each_pair(shapes, it, [&](double& s, double& z) {
    if (s > kHugeSlack) return;
    s += shift_s;
    z += shift_z;
    sz += s * z;
    sum_s += s;
    sum_z += z;
  });
  const double second_s = sum_z > 0.0 ? 0.5 * sz / sum_z : 0.0;
  const double second_z = sum_s > 0.0 ? 0.5 * sz / sum_s : 0.0;
  // Prices that meet every marginal cost exactly leave no spread in the
  // multipliers; floors on the scale of the data keep the start central.
  double mu_sum = 0.0;
  std::size_t normal = 0;
  for_each_pair(shapes, it, [&](double& s, double& z) {
    if (s > kHugeSlack) return;
    s = std::max(s + second_s, floor_s);
    z = std::max(z + second_z, floor_z);
    mu_sum += s * z;
    ++normal;
  });
  const double mu = normal > 0 ? mu_sum / static_cast<double>(normal) : 1.0;
  for_each_pair(shapes, it, [&](double& s, double& z) {
    if (s > kHugeSlack) z = mu / s;
  });
}

}  // namespace

bool cold_start(const Model& m, ReducedSystem& system, Iterate& it) {
  const Shapes shapes(m);
  const std::size_t angles = system.angle_unknowns();
  const std::size_t nu = m.units(), nl = m.branches();

  // Units at 0 clamped into their bounds, weighted by 1 + q.
  it.u.resize(nu);
  std::vector<double> inverse(nu), branch_weight(nl);
  for (std::size_t j = 0; j < nu; ++j) {
    const double lo = m.unit_bounds.lower[j], hi = m.unit_bounds.upper[j];
    it.u[j] = std::min(std::max(0.0, lo), hi);
    inverse[j] = m.unit_fixed[j] ? 0.0 : 1.0 / (1.0 + m.quadratic_cost[j]);
  }
  for (std::size_t l = 0; l < nl; ++l) {
    branch_weight[l] = shapes.branches.has_lower[l] || shapes.branches.has_upper[l] ? 1.0 : 0.0;
  }
  if (!system.factor(inverse, branch_weight)) return false;

  // Primal: balance every bus with the least weighted change.
  std::vector<double> diff(nl, 0.0), balance(static_cast<std::size_t>(m.buses));
  balance_residual(m, it.u, diff, balance);
  std::vector<double> rhs(system.size(), 0.0), x(system.size());
  for (std::size_t i = 0; i < balance.size(); ++i) rhs[angles + i] = -balance[i];
  system.solve(rhs, x, start_accuracy(rhs));
  it.theta.assign(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(angles));
  std::span<const double> change(x.data() + angles, balance.size());
  for (std::size_t j = 0; j < nu; ++j) it.u[j] += inverse[j] * unit_price(m, change, j);

  // Dual: least-squares prices for the marginal costs c + q·u.
  std::vector<double> marginal(nu);
  for (std::size_t j = 0; j < nu; ++j) {
    marginal[j] = -inverse[j] * (m.linear_cost[j] + m.quadratic_cost[j] * it.u[j]);
  }
  std::fill(rhs.begin(), rhs.end(), 0.0);
  add_unit_terms(m, marginal, std::span<double>(rhs.data() + angles, balance.size()));
  system.solve(rhs, x, start_accuracy(rhs));
  it.lambda.assign(x.begin() + static_cast<std::ptrdiff_t>(angles), x.end());
  std::vector<double> dual_diff(nl);
  branch_differences(m, std::span<const double>(x.data(), angles), dual_diff);

  // Slacks and multipliers, then into the interior.
  std::vector<double> unit_net(nu), branch_net(nl);
  for (std::size_t j = 0; j < nu; ++j) {
    unit_net[j] = m.linear_cost[j] + m.quadratic_cost[j] * it.u[j] - unit_price(m, it.lambda, j);
  }
  for (std::size_t l = 0; l < nl; ++l) branch_net[l] = -branch_weight[l] * dual_diff[l];
  branch_differences(m, it.theta, diff);
  set_sides(shapes.units, it.u, unit_net, it.units);
  set_sides(shapes.branches, diff, branch_net, it.branches);
  double largest_demand = 0.0, largest_price = 0.0;
  for (double d : m.demand) largest_demand = std::max(largest_demand, std::fabs(d));
  for (double c : m.linear_cost) largest_price = std::max(largest_price, std::fabs(c));
  shift_into_interior(shapes, it, kStartFloor * (1.0 + largest_demand), kStartFloor * (1.0 + largest_price));
  return true;
}

void warm_start(const Model& m, Iterate& it) {
  const Shapes shapes(m);
  std::vector<double> diff(m.branches());
  branch_differences(m, it.theta, diff);
  auto recompute = [](const BoxShape& shape, std::span<const double> x, BoxVars& v) {
    for (Side side : kSides) {
      SideVars& sv = vars_of(v, side);
      const double a = sign_of(side);
      for (std::size_t k = 0; k < shape.size(); ++k) {
        if (!shape.has(side, k)) continue;
        sv.s[k] = a * (x[k] - shape.bound(side, k));
      }
    }
  };
  recompute(shapes.units, it.u, it.units);
  recompute(shapes.branches, diff, it.branches);
  for_each_pair(shapes, it, [](double& s, double& z) {
    s = std::max(s, kWarmFloor);
    z = std::max(z, kWarmFloor);
  });
}

}  // namespace corvo::robust::dc
