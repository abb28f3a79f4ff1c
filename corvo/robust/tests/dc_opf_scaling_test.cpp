// Badly scaled problems: limits of 1e12 MW, a base power of 1e-7 MVA, a
// reactance of 1e-7 pu, a quadratic cost of 1e7 and costs of 1e8 beside
// 1e-8. Each is solved (never called infeasible), and where absolute
// tolerances are asked for, the optimality conditions hold to them when
// checked here from the solution alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dc_problem_builder.hpp"

namespace {

using corvo::robust::Options;
using corvo::robust::Solution;
using corvo::robust::Status;
using namespace dc_test;

// The largest bus balance residual, unit stationarity residual and
// (distance to a bound)·multiplier of a solution, computed independently.
struct Conditions {
  double balance = 0.0, stationarity = 0.0, complementarity = 0.0;
};

Conditions conditions(const DcOpf& p, const Solution& s) {
  Conditions c;
  std::vector<double> balance = p.demand;
  for (std::size_t j = 0; j < p.unit_to.size(); ++j) {
    if (p.unit_to[j] != kNoBus) balance[static_cast<std::size_t>(p.unit_to[j])] -= s.units[j];
    if (p.unit_from[j] != kNoBus) balance[static_cast<std::size_t>(p.unit_from[j])] += s.units[j];
  }
  for (std::size_t l = 0; l < p.branch_from.size(); ++l) {
    const auto f = static_cast<std::size_t>(p.branch_from[l]), t = static_cast<std::size_t>(p.branch_to[l]);
    const double flow = p.susceptance[l] * (s.angles[static_cast<std::size_t>(p.node_of_bus[f])] -
                                            s.angles[static_cast<std::size_t>(p.node_of_bus[t])]);
    balance[f] += flow;
    balance[t] -= flow;
  }
  for (double b : balance) c.balance = std::max(c.balance, std::fabs(b));
  for (std::size_t j = 0; j < p.unit_to.size(); ++j) {
    double r = p.linear_cost[j] + p.quadratic_cost[j] * s.units[j] - s.unit_lower_duals[j] + s.unit_upper_duals[j];
    if (p.unit_to[j] != kNoBus) r -= s.prices[static_cast<std::size_t>(p.unit_to[j])];
    if (p.unit_from[j] != kNoBus) r += s.prices[static_cast<std::size_t>(p.unit_from[j])];
    c.stationarity = std::max(c.stationarity, std::fabs(r));
    if (std::isfinite(p.unit_lower[j])) {
      c.complementarity = std::max(c.complementarity, (s.units[j] - p.unit_lower[j]) * s.unit_lower_duals[j]);
    }
    if (std::isfinite(p.unit_upper[j])) {
      c.complementarity = std::max(c.complementarity, (p.unit_upper[j] - s.units[j]) * s.unit_upper_duals[j]);
    }
  }
  return c;
}

// Limits of 1e12 MW on a 100 MVA base (1e10 pu, and 1e10·x rad on the
// branch): the two-bus optimum of the hand cases, u = 0.5, prices 10.5.
TEST(DcOpfScaling, LimitsOf1e12MW) {
  DcOpf p = network(2, {0});
  p.demand[1] = 0.5;
  branch(p, 0, 1, 10.0, -1e9, 1e9);
  unit(p, 0, 0.0, 1e10, 10.0, 1.0);
  const Solution s = corvo::robust::solve_dc_opf(p);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_LE(s.iterations, 15);  // the far limits do not slow the iteration
  EXPECT_NEAR(s.units[0], 0.5, 1e-8);
  EXPECT_NEAR(s.prices[1], 10.5, 1e-6);
  EXPECT_NEAR(s.cost, 5.125, 1e-7);
}

// caso1 on a base of 1e-7 MVA: 50 MW is 5e8 pu, 0..200 MW is 0..2e9 pu,
// 10 $/MWh is 1e-6 $/h per pu and 0.01 $/MW²h is 1e-16 $/h per pu²; the
// line (x = 0.1, b = 10, ±100 MW = ±1e9 pu) allows ±1e8 rad. Optimum:
// u = 5e8, cost 512.5 $/h, prices (10 + 0.01·50)·1e-7 = 1.05e-6, and
// θ1 = −5e8/10 = −5e7.
TEST(DcOpfScaling, BasePower1e7) {
  DcOpf p = network(2, {0});
  p.demand[1] = 5e8;
  branch(p, 0, 1, 10.0, -1e8, 1e8);
  unit(p, 0, 0.0, 2e9, 1e-6, 1e-16);
  const Solution s = corvo::robust::solve_dc_opf(p);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_NEAR(s.units[0], 5e8, 1e-8 * 5e8);
  EXPECT_NEAR(s.cost, 512.5, 1e-6);
  EXPECT_NEAR(s.prices[1], 1.05e-6, 1e-14);
  EXPECT_NEAR(s.angles[1], -5e7, 1e-8 * 5e7);
}

// A triangle where one branch has x = 1e-7 (b = 1e7): G (10, bus 0)
// serves 1 at bus 2, directly (b = 10) and through bus 1 (b = 1e7, then
// b = 10). Equal angle drops: f_direct/10 = f_path·(1/1e7 + 1/10), so
// f_path = 1/(2 + 1e-6) and θ2 = −f_direct/10 = −(1 − f_path)/10.
TEST(DcOpfScaling, Reactance1e7) {
  DcOpf p = network(3, {0});
  p.demand[2] = 1.0;
  branch(p, 0, 1, 1e7);
  branch(p, 1, 2, 10.0, -0.2, 0.2);
  branch(p, 0, 2, 10.0, -0.2, 0.2);
  unit(p, 0, 0.0, 5.0, 10.0);
  const Solution s = corvo::robust::solve_dc_opf(p);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  const double path = 1.0 / (2.0 + 1e-6);
  EXPECT_NEAR(s.angles[2], -(1.0 - path) / 10.0, 1e-10);
  EXPECT_NEAR(s.angles[1], -path / 1e7, 1e-12);
  for (double price : s.prices) EXPECT_NEAR(price, 10.0, 1e-6);
}

// A quadratic cost of 1e7 ($/h per pu²): A (10u + ½·1e7·u²) and B (20u)
// at bus 0 serve 1 at bus 1. A runs until its marginal cost 10 + 1e7·u
// reaches 20: u_A = 1e-6, u_B = 1 − 1e-6; cost
// 1e-5 + 5e-6 + 20 − 2e-5 = 19.999995; prices 20. With absolute
// tolerances the conditions hold to them.
TEST(DcOpfScaling, QuadraticCost1e7) {
  DcOpf p = network(2, {0});
  p.demand[1] = 1.0;
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.0, 5.0, 10.0, 1e7);
  unit(p, 0, 0.0, 5.0, 20.0);
  Options options;
  options.balance_tolerance = 1e-9;
  options.price_tolerance = 1e-7;
  options.complementarity_tolerance = 1e-9;
  const Solution s = corvo::robust::solve_dc_opf(p, options);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  // A's lower multiplier may stay up to 1e-9/u_A = 1e-3 under the
  // complementarity tolerance, which moves u_A by up to 1e-3/1e7.
  EXPECT_NEAR(s.units[0], 1e-6, 1e-10);
  EXPECT_NEAR(s.cost, 19.999995, 1e-9);
  const Conditions c = conditions(p, s);
  EXPECT_LE(c.balance, 1e-9);
  EXPECT_LE(c.stationarity, 1e-7);
  EXPECT_LE(c.complementarity, 1e-9);
}

// Costs of 1e8 beside 1e-8: B (1e-8, 0..0.5) gives its all, A (1e8)
// the other 0.5; cost 5e7 + 5e-9; price 1e8; B's upper multiplier is
// 1e8 − 1e-8. The stationarity must hold to 1e-3 absolute (1e-11 of
// the price), which the relative test alone would not ask.
TEST(DcOpfScaling, Costs1e8Beside1e8) {
  DcOpf p = network(2, {0});
  p.demand[1] = 1.0;
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.0, 5.0, 1e8);
  unit(p, 0, 0.0, 0.5, 1e-8);
  Options options;
  options.balance_tolerance = 1e-9;
  options.price_tolerance = 1e-3;
  options.complementarity_tolerance = 1e-2;
  const Solution s = corvo::robust::solve_dc_opf(p, options);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_NEAR(s.units[1], 0.5, 1e-9);
  EXPECT_NEAR(s.prices[1], 1e8, 1e-3);
  EXPECT_NEAR(s.unit_upper_duals[1], 1e8 - 1e-8, 1e-3);
  const Conditions c = conditions(p, s);
  EXPECT_LE(c.balance, 1e-9);
  EXPECT_LE(c.stationarity, 1e-3);
  EXPECT_LE(c.complementarity, 1e-2);
}

}  // namespace
