// Problems without a feasible dispatch: solve_dc_opf calls them
// infeasible (after its certificate check) and returns the least
// relaxation, derived here by hand. The elastic problem relaxes limits
// before it leaves demand unserved, and among equal relaxations takes the
// cheapest dispatch.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dc_problem_builder.hpp"

namespace {

using corvo::robust::Relaxation;
using corvo::robust::Solution;
using corvo::robust::Status;
using namespace dc_test;

struct ExpectedRelaxation {
  std::vector<double> not_served, in_excess, below_lower, above_upper, diff_below, diff_above;
};

struct InfeasibleCase {
  const char* name;
  DcOpf (*build)();
  ExpectedRelaxation expected;
};

// A load pocket: demand 1 at bus 1 behind a branch (b = 10) that carries
// at most 0.5 (θ0 − θ1 ≤ 0.05), beside a unit H capped at 0.3: 0.2 is
// missing. Relaxing the branch by 0.02 rad (0.2 of flow) or H's cap by
// 0.2 are equal relaxations; the branch lets the cheap G (10) serve
// instead of H (20), so the elastic problem relaxes the branch.
DcOpf load_pocket() {
  DcOpf p = network(2, {0});
  p.demand[1] = 1.0;
  branch(p, 0, 1, 10.0, -0.05, 0.05);
  unit(p, 0, 0.0, 5.0, 10.0);
  unit(p, 1, 0.0, 0.3, 20.0);
  return p;
}

// The same pocket with H fixed at 0.3 (a fixed unit is never relaxed: it
// may stand for an element out of service): the branch gives the 0.2.
DcOpf pocket_with_fixed_unit() {
  DcOpf p = load_pocket();
  p.unit_lower[1] = 0.3;
  return p;
}

// Bus 2, an island of its own without a unit, draws 0.1: no limit can
// help, so 0.1 of its demand is not served; the rest is feasible.
DcOpf island_without_unit() {
  DcOpf p = network(3, {0, 2});
  p.demand = {0.0, 0.5, 0.1};
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.0, 2.0, 10.0);
  return p;
}

// The only unit must make at least 0.8 while the demand is 0.5: its
// lower bound is relaxed by 0.3 (cheaper than absorbing the excess).
DcOpf minimum_above_demand() {
  DcOpf p = network(2, {0});
  p.demand[1] = 0.5;
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.8, 1.0, 10.0);
  return p;
}

// A unit (10) whose lower bound 0.6 lies above its upper bound 0.4: one
// of them moves by 0.2. Raising the upper bound lets it make 0.6 and the
// dear unit (50) only 0.4, cheaper than lowering the lower bound, so the
// upper bound is relaxed by 0.2.
DcOpf crossed_bounds() {
  DcOpf p = network(2, {0});
  p.demand[1] = 1.0;
  branch(p, 0, 1, 10.0);
  unit(p, 0, 0.6, 0.4, 10.0);
  unit(p, 1, 0.0, 2.0, 50.0);
  return p;
}

const InfeasibleCase kInfeasibleCases[] = {
    {"LoadPocket", load_pocket, {{0.0, 0.0}, {}, {0.0, 0.0}, {0.0, 0.0}, {0.0}, {0.02}}},
    {"PocketWithFixedUnit", pocket_with_fixed_unit, {{0.0, 0.0}, {}, {0.0, 0.0}, {0.0, 0.0}, {0.0}, {0.02}}},
    {"IslandWithoutUnit", island_without_unit, {{0.0, 0.0, 0.1}, {}, {0.0}, {0.0}, {0.0}, {0.0}}},
    {"MinimumAboveDemand", minimum_above_demand, {{0.0, 0.0}, {0.0, 0.0}, {0.3}, {0.0}, {0.0}, {0.0}}},
    {"CrossedBounds", crossed_bounds, {{0.0, 0.0}, {}, {0.0, 0.0}, {0.2, 0.0}, {0.0}, {0.0}}},
};

void expect_relaxed(const std::vector<double>& got, const std::vector<double>& want, const char* what) {
  if (want.empty()) return;
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(got[k], want[k], 1e-6) << what << "[" << k << "]";
}

class Infeasible : public testing::TestWithParam<InfeasibleCase> {};

TEST_P(Infeasible, ReturnsTheLeastRelaxation) {
  const InfeasibleCase& c = GetParam();
  const Solution s = corvo::robust::solve_dc_opf(c.build());
  ASSERT_EQ(s.status, Status::infeasible) << s.message;
  EXPECT_LE(s.iterations, 60);
  const Relaxation& r = s.relaxation;
  ASSERT_TRUE(r.found);
  expect_relaxed(r.demand_not_served, c.expected.not_served, "demand_not_served");
  expect_relaxed(r.demand_in_excess, c.expected.in_excess, "demand_in_excess");
  expect_relaxed(r.unit_below_lower, c.expected.below_lower, "unit_below_lower");
  expect_relaxed(r.unit_above_upper, c.expected.above_upper, "unit_above_upper");
  expect_relaxed(r.diff_below_lower, c.expected.diff_below, "diff_below_lower");
  expect_relaxed(r.diff_above_upper, c.expected.diff_above, "diff_above_upper");
}

INSTANTIATE_TEST_SUITE_P(DcOpf, Infeasible, testing::ValuesIn(kInfeasibleCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Without the elastic problem the answer is still infeasible (the
// certificate alone decides), with no relaxation.
TEST(DcOpfInfeasible, CertificateWithoutRelaxation) {
  corvo::robust::Options options;
  options.relax_when_infeasible = false;
  const Solution s = corvo::robust::solve_dc_opf(load_pocket(), options);
  EXPECT_EQ(s.status, Status::infeasible) << s.message;
  EXPECT_FALSE(s.relaxation.found);
}

// A pocket that is only just feasible (import 0.5 + unit 0.5 = demand 1)
// is solved, not called infeasible.
TEST(DcOpfInfeasible, TightButFeasibleIsSolved) {
  DcOpf p = load_pocket();
  p.unit_upper[1] = 0.5;
  const Solution s = corvo::robust::solve_dc_opf(p);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_NEAR(s.units[0], 0.5, 1e-6);
  EXPECT_NEAR(s.units[1], 0.5, 1e-6);
}

}  // namespace
