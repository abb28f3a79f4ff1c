// solve_dc_opf on problems small enough to solve by hand: each expected
// number is derived in the comment of its case (per unit; costs in $/h
// per unit of power; b is the branch susceptance).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dc_problem_builder.hpp"

namespace {

using corvo::robust::Solution;
using corvo::robust::Status;
using namespace dc_test;

struct Expected {
  double cost;
  std::vector<double> units, prices, angles;  // angles per node
  // Bound multipliers; an empty vector is not checked.
  std::vector<double> unit_lower, unit_upper, branch_lower, branch_upper;
};

struct HandCase {
  const char* name;
  DcOpf (*build)();
  Expected expected;
};

// One generator (10u + ½u², 0..2) at bus 0 serves 0.5 at bus 1 over
// b = 10: u = 0.5, cost 5 + 0.125 = 5.125, both prices = 10 + 0.5 = 10.5,
// flow 10·(0 − θ1) = 0.5 so θ1 = −0.05; no bound binds.
DcOpf two_buses() {
  DcOpf p = network(2, {0});
  p.demand[1] = 0.5;
  branch(p, 0, 1, 10.0, -0.1, 0.1);
  unit(p, 0, 0.0, 2.0, 10.0, 1.0);
  return p;
}

// Cheap A (10, bus 0) and dear B (20, bus 1), demand 1 at bus 1, b = 10
// with θ0 − θ1 ≤ 0.06 (0.6 of flow): A sends 0.6 and the branch binds,
// B makes 0.4; cost 6 + 8 = 14; prices 10 and 20. Angle stationarity at
// node 1: b·(λ1 − λ0) − z_upper = 0, so the branch's upper multiplier is
// 10·10 = 100 per radian (relaxing it by ε moves 10ε from B to A).
DcOpf binding_branch() {
  DcOpf p = network(2, {0});
  p.demand[1] = 1.0;
  branch(p, 0, 1, 10.0, -0.06, 0.06);
  unit(p, 0, 0.0, 2.0, 10.0);
  unit(p, 1, 0.0, 2.0, 20.0);
  return p;
}

// A bus tie: buses 0 and 1 share node 0; the tie (unit from bus 0 to bus
// 1, rated ±0.3, no cost) feeds bus 1, which a branch (b = 10) joins to
// bus 2 (node 1). G (10, bus 0), H (30, bus 2), demand 0.5 at bus 2. The
// tie carries its rating 0.3 to bus 2, H makes 0.2: cost 3 + 6 = 9.
// Prices: λ0 = 10, λ2 = 30 and λ1 = λ2 (an unlimited branch). The tie's
// stationarity 0 − (λ1 − λ0) + z_upper = 0 gives z_upper = 20. Flow
// 0.3 = 10·(0 − θ(node 1)), so θ(node 1) = −0.03.
DcOpf rated_tie() {
  DcOpf p;
  p.buses = 3;
  p.nodes = 2;
  p.node_of_bus = {0, 0, 1};
  p.fixed_nodes = {0};
  p.demand = {0.0, 0.0, 0.5};
  branch(p, 1, 2, 10.0);
  unit(p, 0, 0.0, 5.0, 10.0);
  unit(p, 1, -0.3, 0.3, 0.0, 0.0, 0);
  unit(p, 2, 0.0, 5.0, 30.0);
  return p;
}

// The same tie without rating (a free unit: bounds ±inf, no cost): G
// serves everything, u = (0.5, 0.5, 0); all prices 10; cost 5; H sits at
// its lower bound with multiplier 30 − 10 = 20.
DcOpf free_tie() {
  DcOpf p = rated_tie();
  p.unit_lower[1] = -kInf;
  p.unit_upper[1] = kInf;
  return p;
}

// A fixed unit F (0.2..0.2, 50) at bus 1 beside G (10, bus 0), demand
// 0.5 at bus 1, b = 10: F = 0.2, G = 0.3, which the branch carries
// (θ1 = −0.03); cost 3 + 10 = 13; prices 10. F's reduced cost
// 50 − 10 = 40 is its lower multiplier.
DcOpf fixed_unit() {
  DcOpf p = network(2, {0});
  p.demand[1] = 0.5;
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.0, 5.0, 10.0);
  unit(p, 1, 0.2, 0.2, 50.0);
  return p;
}

// A piecewise-linear cost as three segments at bus 0 (0..0.4 at 10,
// 0..0.4 at 15, 0..1 at 25), demand 0.6 at bus 1: the first segment is
// full, the second gives 0.2, the third nothing; cost 4 + 3 = 7; price
// 15; multipliers: first upper 15 − 10 = 5, third lower 25 − 15 = 10.
DcOpf piecewise_segments() {
  DcOpf p = network(2, {0});
  p.demand[1] = 0.6;
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.0, 0.4, 10.0);
  unit(p, 0, 0.0, 0.4, 15.0);
  unit(p, 0, 0.0, 1.0, 25.0);
  return p;
}

// Two islands, each with its fixed node: A (10, bus 0) serves 0.5 at
// bus 1 over b = 10 (θ1 = −0.05, price 10); B (20u + u², bus 2) serves
// 0.3 at bus 3 over b = 5 (θ3 = −0.06, price 20 + 2·0.3 = 20.6).
// Cost 5 + 6 + 0.09 = 11.09.
DcOpf two_islands() {
  DcOpf p = network(4, {0, 2});
  p.demand = {0.0, 0.5, 0.0, 0.3};
  branch(p, 0, 1, 10.0);
  branch(p, 2, 3, 5.0);
  unit(p, 0, 0.0, 2.0, 10.0);
  unit(p, 2, 0.0, 2.0, 20.0, 2.0);
  return p;
}

// A consumer (a negative generation bus: u = −withdrawal, −0.4..−0.1,
// cost 30·u, i.e. it earns 30 per unit drawn) at bus 1 beside demand
// 0.2, fed by G (10, bus 0): the consumer draws its most, u = −0.4, G
// makes 0.6, which the branch carries (θ1 = −0.06); cost 6 − 12 = −6;
// price 10; the consumer's lower bound binds with multiplier 30 − 10 = 20.
DcOpf consumer() {
  DcOpf p = network(2, {0});
  p.demand[1] = 0.2;
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.0, 2.0, 10.0);
  unit(p, 1, -0.4, -0.1, 30.0);
  return p;
}

const HandCase kHandCases[] = {
    {"TwoBuses", two_buses, {5.125, {0.5}, {10.5, 10.5}, {0.0, -0.05}, {0.0}, {0.0}, {0.0}, {0.0}}},
    {"BindingBranch", binding_branch, {14.0, {0.6, 0.4}, {10.0, 20.0}, {0.0, -0.06}, {}, {}, {0.0}, {100.0}}},
    {"RatedTie", rated_tie, {9.0, {0.3, 0.3, 0.2}, {10.0, 30.0, 30.0}, {0.0, -0.03}, {0.0, 0.0, 0.0}, {0.0, 20.0, 0.0}, {}, {}}},
    {"FreeTie", free_tie, {5.0, {0.5, 0.5, 0.0}, {10.0, 10.0, 10.0}, {0.0, -0.05}, {0.0, 0.0, 20.0}, {}, {}, {}}},
    {"FixedUnit", fixed_unit, {13.0, {0.3, 0.2}, {10.0, 10.0}, {0.0, -0.03}, {0.0, 40.0}, {0.0, 0.0}, {}, {}}},
    {"PiecewiseSegments", piecewise_segments,
     {7.0, {0.4, 0.2, 0.0}, {15.0, 15.0}, {0.0, -0.06}, {0.0, 0.0, 10.0}, {5.0, 0.0, 0.0}, {}, {}}},
    {"TwoIslands", two_islands, {11.09, {0.5, 0.3}, {10.0, 10.0, 20.6, 20.6}, {0.0, -0.05, 0.0, -0.06}, {}, {}, {}, {}}},
    {"Consumer", consumer, {-6.0, {0.6, -0.4}, {10.0, 10.0}, {0.0, -0.06}, {0.0, 20.0}, {0.0, 0.0}, {}, {}}},
};

class HandSolved : public testing::TestWithParam<HandCase> {};

void expect_values(const std::vector<double>& got, const std::vector<double>& want, const char* what) {
  if (want.empty()) return;
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t k = 0; k < want.size(); ++k) {
    EXPECT_NEAR(got[k], want[k], 1e-6 * (1.0 + std::fabs(want[k]))) << what << "[" << k << "]";
  }
}

TEST_P(HandSolved, MatchesTheHandSolution) {
  const HandCase& c = GetParam();
  const Solution s = corvo::robust::solve_dc_opf(c.build());
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_LE(s.iterations, 15);
  EXPECT_NEAR(s.cost, c.expected.cost, 1e-7 * (1.0 + std::fabs(c.expected.cost)));
  expect_values(s.units, c.expected.units, "units");
  expect_values(s.prices, c.expected.prices, "prices");
  expect_values(s.angles, c.expected.angles, "angles");
  expect_values(s.unit_lower_duals, c.expected.unit_lower, "unit_lower_duals");
  expect_values(s.unit_upper_duals, c.expected.unit_upper, "unit_upper_duals");
  expect_values(s.branch_lower_duals, c.expected.branch_lower, "branch_lower_duals");
  expect_values(s.branch_upper_duals, c.expected.branch_upper, "branch_upper_duals");
}

INSTANTIATE_TEST_SUITE_P(DcOpf, HandSolved, testing::ValuesIn(kHandCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Inputs that no DC model builds are refused, naming the entry.
TEST(DcOpfInput, RefusesInconsistentArrays) {
  DcOpf p = two_buses();
  p.unit_from.clear();
  EXPECT_THROW(corvo::robust::solve_dc_opf(p), std::invalid_argument);
  p = two_buses();
  p.branch_to[0] = 7;
  EXPECT_THROW(corvo::robust::solve_dc_opf(p), std::invalid_argument);
  p = two_buses();
  p.quadratic_cost[0] = -1.0;
  EXPECT_THROW(corvo::robust::solve_dc_opf(p), std::invalid_argument);
  p = two_buses();
  p.unit_lower[0] = kInf;
  EXPECT_THROW(corvo::robust::solve_dc_opf(p), std::invalid_argument);
}

}  // namespace
