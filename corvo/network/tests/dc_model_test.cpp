// The DC model's program, checked against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "corvo/network/dc_model.hpp"
#include "network_text.hpp"

namespace corvo::network {
namespace {

using network_text::matpower;
using network_text::read;

constexpr double kPi = std::numbers::pi;
const std::string kBus3 =
    "1 3 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 1 50 0 0 0 1 1 0 230 1 1.1 0.9; 3 1 20 0 0 0 1 1 0 230 1 1.1 0.9";
const std::string kOneGen = "1 0 0 0 0 1 100 1 200 0";
const std::string kOneCost = "2 0 0 2 10 0";

// A branch 1-2 of x 0.2 and tap 0.5 (b = 1/(0.2·0.5) = 10 pu), shift 6° =
// π/30 rad, rated 150 MW, angle limits ±20°. Its flow b(θ1 − θ2 − φ) in
// per unit must lie in ±1.5: θ1 − θ2 in [−0.15 + φ, 0.15 + φ]; the angle
// limits give ±π/9 = ±0.349 rad, looser. The constant −bφ = −π/3 pu leaves
// bus 1 and enters bus 2: bus 1's demand falls by bφ, bus 2's rises.
TEST(DcModel, ShiftBecomesInjectionsAndMovesTheLimits) {
  const Network net = read(matpower(kBus3, kOneGen,
                                    "1 2 0 0.2 0 150 0 0 0.5 6 1 -20 20; 2 3 0 0.1 0 0 0 0 0 0 1 -360 360", kOneCost));
  const DcModel m = build_dc_model(net);
  const robust::DcOpf& p = m.problem;
  const double phi = kPi / 30.0;
  ASSERT_EQ(p.branch_from.size(), 2u);
  EXPECT_DOUBLE_EQ(p.susceptance[0], 10.0);
  EXPECT_DOUBLE_EQ(p.demand[0], 0.0 - 10.0 * phi);
  EXPECT_DOUBLE_EQ(p.demand[1], 0.5 + 10.0 * phi);
  EXPECT_DOUBLE_EQ(p.demand[2], 0.2);
  EXPECT_DOUBLE_EQ(p.diff_lower[0], -0.15 + phi);
  EXPECT_DOUBLE_EQ(p.diff_upper[0], 0.15 + phi);
  EXPECT_EQ(m.lower_source[0], BoundSource::flow_min);
  EXPECT_EQ(m.upper_source[0], BoundSource::flow_max);
  // Branch 2 has neither limit.
  EXPECT_TRUE(std::isinf(p.diff_lower[1]) && std::isinf(p.diff_upper[1]));
  EXPECT_EQ(m.upper_source[1], BoundSource::none);
}

// Angle limits tighter than the flow limits take the bound, and a negative
// reactance (a series capacitor) turns the flow limits round: with
// b = −10 pu, flow ≤ 1.5 pu means θ1 − θ2 ≥ −0.15.
TEST(DcModel, TighterAngleLimitAndNegativeReactance) {
  const Network net = read(matpower(kBus3, kOneGen,
                                    "1 2 0 0.1 0 150 0 0 0 0 1 -2 30; 2 3 0 -0.1 0 150 0 0 0 0 1 -360 360", kOneCost));
  const DcModel m = build_dc_model(net);
  const robust::DcOpf& p = m.problem;
  EXPECT_DOUBLE_EQ(p.diff_lower[0], -2.0 * kPi / 180.0);  // -2° is tighter than -0.15 rad
  EXPECT_EQ(m.lower_source[0], BoundSource::angle_min);
  EXPECT_DOUBLE_EQ(p.diff_upper[0], 0.15);  // 30° = 0.52 rad is looser
  EXPECT_EQ(m.upper_source[0], BoundSource::flow_max);
  EXPECT_DOUBLE_EQ(p.susceptance[1], -10.0);
  EXPECT_DOUBLE_EQ(p.diff_lower[1], -0.15);
  EXPECT_EQ(m.lower_source[1], BoundSource::flow_max);
  EXPECT_EQ(m.upper_source[1], BoundSource::flow_min);
  // Ignored angle limits leave the flow limits.
  const DcModel ignored = build_dc_model(net, DcOptions{true});
  EXPECT_DOUBLE_EQ(ignored.problem.diff_lower[0], -0.15);
}

// A tie (x 0) makes buses 2 and 3 one node and carries its flow as a unit
// from bus 2 to bus 3 within its rating; the reference bus keeps its
// angle Va = 30°; a second island (bus 4 with its own line to bus 5) gets
// its first bus as fixed node.
TEST(DcModel, TiesIslandsAndReferenceAngle) {
  const Network net = read(matpower(
      "1 3 0 0 0 0 1 1 30 230 1 1.1 0.9; 2 1 50 0 0 0 1 1 0 230 1 1.1 0.9; 3 1 20 0 0 0 1 1 0 230 1 1.1 0.9;"
      " 4 2 0 0 0 0 1 1 0 230 1 1.1 0.9; 5 1 10 0 0 0 1 1 0 230 1 1.1 0.9",
      "1 0 0 0 0 1 100 1 200 0; 4 0 0 0 0 1 100 1 200 0",
      "1 2 0 0.1 0 0 0 0 0 0 1 -360 360; 2 3 0 0 0 40 0 0 0 0 1 -360 360; 4 5 0 0.1 0 0 0 0 0 0 1 -360 360",
      "2 0 0 2 10 0; 2 0 0 2 10 0"));
  const DcModel m = build_dc_model(net);
  const robust::DcOpf& p = m.problem;
  EXPECT_EQ(p.nodes, 4);
  EXPECT_EQ(p.node_of_bus[1], p.node_of_bus[2]);
  ASSERT_EQ(p.fixed_nodes.size(), 2u);
  EXPECT_EQ(p.fixed_nodes[0], p.node_of_bus[0]);
  EXPECT_EQ(p.fixed_nodes[1], p.node_of_bus[3]);
  EXPECT_DOUBLE_EQ(m.angle_offset[0], kPi / 6.0);
  EXPECT_DOUBLE_EQ(m.angle_offset[3], 0.0);
  EXPECT_EQ(m.island_anchor[4], 3);
  const DcModel::BranchPart& tie = m.branch_parts[1];
  ASSERT_EQ(tie.kind, DcModel::BranchPart::Kind::tie);
  EXPECT_EQ(p.unit_from[tie.index], 1);
  EXPECT_EQ(p.unit_to[tie.index], 2);
  EXPECT_DOUBLE_EQ(p.unit_lower[tie.index], -0.4);
  EXPECT_DOUBLE_EQ(p.unit_upper[tie.index], 0.4);
  EXPECT_EQ(p.branch_from.size(), 2u);  // the tie is no branch of the program
}

// Points (0, 0), (100, 1100), (200, 2500): slopes 11 and 14 $/MWh. Between
// Pmin 50 and Pmax 150 that is 50 MW at 11 and 50 MW at 14 above a fixed
// 50 MW; per unit on 100 MVA: two units of 0..0.5 at 1100 and 1400 $/h per
// unit, the fixed 0.5 taken off bus 1's demand.
TEST(DcModel, PiecewiseCostBecomesSegments) {
  const Network net = read(matpower(kBus3, "1 0 0 0 0 1 100 1 150 50", "1 2 0 0.1 0 0 0 0 0 0 1 -360 360; "
                                    "2 3 0 0.1 0 0 0 0 0 0 1 -360 360", "1 0 0 3 0 0 100 1100 200 2500"));
  const DcModel m = build_dc_model(net);
  const robust::DcOpf& p = m.problem;
  const DcModel::GeneratorUnits& u = m.generator_units[0];
  ASSERT_EQ(u.count, 2);
  EXPECT_DOUBLE_EQ(u.fixed_output, 0.5);
  EXPECT_DOUBLE_EQ(p.demand[0], -0.5);
  for (int j = 0; j < 2; ++j) {
    EXPECT_DOUBLE_EQ(p.unit_lower[u.first + j], 0.0);
    EXPECT_DOUBLE_EQ(p.unit_upper[u.first + j], 0.5);
    EXPECT_DOUBLE_EQ(p.quadratic_cost[u.first + j], 0.0);
  }
  EXPECT_DOUBLE_EQ(p.linear_cost[u.first], 1100.0);
  EXPECT_DOUBLE_EQ(p.linear_cost[u.first + 1], 1400.0);
}

TEST(DcModel, DroppedElementsKeepTheirReason) {
  const Network net = read(matpower(
      "1 3 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 1 50 0 0 0 1 1 0 230 1 1.1 0.9; 3 4 20 0 0 0 1 1 0 230 1 1.1 0.9",
      "1 0 0 0 0 1 100 1 200 0; 2 0 0 0 0 1 100 0 200 0; 3 0 0 0 0 1 100 1 200 0",
      "1 2 0 0.1 0 0 0 0 0 0 1 -360 360; 2 3 0 0.1 0 0 0 0 0 0 1 -360 360; 1 2 0 0.1 0 0 0 0 0 0 0 -360 360",
      "2 0 0 2 10 0; 2 0 0 2 10 0; 2 0 0 2 10 0"));
  const DcModel m = build_dc_model(net);
  ASSERT_EQ(m.dropped.size(), 5u);
  const std::vector<std::string> reasons{"isolated in the source (bus type 4)", "touches the isolated bus 3",
                                         "out of service", "out of service", "at the isolated bus 3"};
  for (std::size_t i = 0; i < reasons.size(); ++i) EXPECT_EQ(m.dropped[i].reason, reasons[i]) << i;
}

// With the pattern kept, switching a generator and a branch out of service
// leaves every unit and branch of the program in place: the generator's
// unit is fixed at 0, the branch has no susceptance and no limits.
TEST(DcModel, KeptPatternSurvivesSwitching) {
  Network net = read(matpower(kBus3, "1 0 0 0 0 1 100 1 200 0; 2 0 0 0 0 1 100 1 200 0",
                              "1 2 0 0.1 0 100 0 0 0 0 1 -360 360; 2 3 0 0.1 0 0 0 0 0 0 1 -360 360; "
                              "1 3 0 0.1 0 0 0 0 0 0 1 -360 360",
                              "2 0 0 2 10 0; 2 0 0 2 20 0"));
  const DcOptions keep{false, true};
  const DcModel before = build_dc_model(net, keep);
  net.generators[1].in_service = false;
  net.branches[0].in_service = false;
  const DcModel after = build_dc_model(net, keep);
  EXPECT_EQ(after.problem.unit_to, before.problem.unit_to);
  EXPECT_EQ(after.problem.branch_from, before.problem.branch_from);
  EXPECT_EQ(after.problem.branch_to, before.problem.branch_to);
  EXPECT_EQ(after.problem.unit_upper[1], 0.0);
  EXPECT_EQ(after.problem.susceptance[0], 0.0);
  EXPECT_TRUE(std::isinf(after.problem.diff_upper[0]));
  EXPECT_EQ(after.branch_parts[0].kind, DcModel::BranchPart::Kind::dropped);
  EXPECT_EQ(after.generator_units[1].first, -1);
}

}  // namespace
}  // namespace corvo::network
