// MATPOWER fields with the meaning MATPOWER's DC optimal power flow gives
// them, and refusals that name the table, row and column.
#include <gtest/gtest.h>

#include <cmath>

#include "network_text.hpp"

namespace corvo::network {
namespace {

using network_text::read;
using network_text::two_bus;

const double kInf = kUnlimited;

// ANGMIN/ANGMAX limit θf − θt only when one of them is non-zero and
// tighter than ±360°; a zero end of such a branch is no limit.
struct AngleRow {
  const char* angmin;
  const char* angmax;
  double min_deg;
  double max_deg;
};

TEST(MatpowerReader, AngleLimitsAsMatpowerAppliesThem) {
  for (const AngleRow& r : {AngleRow{"-360", "360", -kInf, kInf}, AngleRow{"0", "0", -kInf, kInf},
                            AngleRow{"-30", "30", -30, 30}, AngleRow{"0", "30", -kInf, 30},
                            AngleRow{"-30", "0", -30, kInf}, AngleRow{"-400", "30", -400, 30},
                            AngleRow{"-360", "20", -360, 20}}) {
    const Network net = read(two_bus(std::string("0 0 0 0 0 1 ") + r.angmin + " " + r.angmax));
    EXPECT_EQ(net.branches[0].angle_min_deg, r.min_deg) << r.angmin << " " << r.angmax;
    EXPECT_EQ(net.branches[0].angle_max_deg, r.max_deg) << r.angmin << " " << r.angmax;
  }
}

// RATE_A 0, and from 1e10 on, is no limit; tap 0 is 1; status 0 is out of
// service; the shift is kept in degrees.
TEST(MatpowerReader, RatingsTapsShiftsAndStatus) {
  struct Row {
    const char* tail;
    double flow_max;
    double tap;
    double shift;
    bool in_service;
  };
  for (const Row& r : {Row{"0 0 0 0 0 1 -360 360", kInf, 1.0, 0.0, true},
                       Row{"1e10 0 0 0 0 1 -360 360", kInf, 1.0, 0.0, true},
                       Row{"150 0 0 0.95 -4.5 1 -360 360", 150.0, 0.95, -4.5, true},
                       Row{"150 0 0 0 0 0 -360 360", kInf, 1.0, 0.0, false}}) {
    const Network net = read(two_bus(r.tail));
    const Branch& b = net.branches[0];
    EXPECT_EQ(b.flow_max_mw, r.flow_max) << r.tail;
    EXPECT_EQ(b.flow_min_mw, -r.flow_max) << r.tail;
    EXPECT_EQ(b.tap, r.tap) << r.tail;
    EXPECT_EQ(b.shift_deg, r.shift) << r.tail;
    EXPECT_EQ(b.in_service, r.in_service) << r.tail;
  }
}

TEST(MatpowerReader, BusesGeneratorsAndCosts) {
  const Network net = read(network_text::matpower(
      "7 3 0 0 0 0 1 1 30 230 1 1.1 0.9; 9533 1 50 0 2.5 0 1 1 0 230 1 1.1 0.9; 12 4 9 0 0 0 1 1 0 230 1 1.1 0.9",
      "9533 0 0 0 0 1 100 1 100 -40; 7 0 0 0 0 1 100 -1 50 0",
      "7 9533 0 0.1 0 0 0 0 0 0 1 -360 360",
      "1 5 6 3 0 0 10 100 30 400 0; 2 0 0 3 0.01 12 7 0 0 0 0"));
  ASSERT_EQ(net.buses.size(), 3u);
  EXPECT_EQ(net.buses[1].number, 9533);
  EXPECT_EQ(net.buses[1].load_mw, 50.0);
  EXPECT_EQ(net.buses[1].shunt_mw, 2.5);
  EXPECT_TRUE(net.buses[0].reference);
  EXPECT_EQ(net.buses[0].angle_deg, 30.0);
  EXPECT_FALSE(net.buses[2].in_service);
  const Generator& g = net.generators[0];
  EXPECT_EQ(g.bus, 1);
  EXPECT_EQ(g.pmin_mw, -40.0);
  EXPECT_EQ(g.source.row, 1);
  ASSERT_EQ(g.cost.model, CostCurve::Model::piecewise_linear);
  ASSERT_EQ(g.cost.points.size(), 3u);
  EXPECT_EQ(g.cost.points[2].mw, 30.0);
  EXPECT_EQ(g.cost.points[2].cost, 400.0);
  EXPECT_FALSE(net.generators[1].in_service);  // status -1
  EXPECT_EQ(net.notes.size(), 1u);             // the start-up cost of generator 1
}

struct Refusal {
  const char* name;
  std::string text;
  const char* message;
};

class MatpowerReaderRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(MatpowerReaderRefuses, NamingTheRowAndField) {
  try {
    read(GetParam().text);
    FAIL() << "accepted";
  } catch (const NetworkError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

std::string bus_type(const std::string& type) {
  return network_text::matpower("1 3 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 " + type + " 50 0 0 0 1 1 0 230 1 1.1 0.9",
                                "1 0 0 0 0 1 100 1 200 0", "1 2 0 0.1 0 0 0 0 0 0 1 -360 360", "2 0 0 2 10 0");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatpowerReaderRefuses,
    ::testing::Values(
        Refusal{"bus_type_nan", bus_type("NaN"), "t.m: mpc.bus row 2, column 2 (BUS_TYPE): nan is not a finite number"},
        Refusal{"bus_type_7", bus_type("7"),
                "t.m: mpc.bus row 2, column 2 (BUS_TYPE): 7 is not a bus type (1 PQ, 2 PV, 3 reference, 4 isolated)"},
        Refusal{"bus_type_fraction", bus_type("2.5"), "t.m: mpc.bus row 2, column 2 (BUS_TYPE): 2.5 is not a whole number"},
        Refusal{"status_nan", two_bus("0 0 0 0 0 1 -360 360", "NaN 200 0"),
                "t.m: mpc.gen row 1, column 8 (GEN_STATUS): nan is not a finite number"},
        Refusal{"pmin_minus_inf", two_bus("0 0 0 0 0 1 -360 360", "1 200 -Inf"),
                "t.m: mpc.gen row 1, column 10 (PMIN): -inf is not a finite number"},
        Refusal{"negative_rating", two_bus("-5 0 0 0 0 1 -360 360"),
                "t.m: mpc.branch row 1, column 6 (RATE_A): -5: a rating cannot be negative (0 means none)"},
        Refusal{"no_generator",
                "function mpc = t\nmpc.version = '2';\nmpc.baseMVA = 100;\nmpc.bus = [1 3 0 0 0 0];\n"
                "mpc.branch = [1 1 0 0.1 0 0 0 0 0 0 1];\n",
                "t.m: mpc.gen is missing or empty: the case has no generator"},
        Refusal{"dcline", two_bus() + "mpc.dcline = [1 2 1 10 0 0 0 1 1 0 100 0 0 0 0 0 0];\n",
                "t.m: mpc.dcline: DC lines are not modelled; remove them, or model each as a pair of generators at "
                "its two buses"},
        Refusal{"non_convex_pwl",
                network_text::matpower("1 3 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 1 50 0 0 0 1 1 0 230 1 1.1 0.9",
                                       "1 0 0 0 0 1 100 1 200 0", "1 2 0 0.1 0 0 0 0 0 0 1 -360 360",
                                       "1 0 0 3 0 0 100 2000 200 3000"),
                "t.m: generator 1 (bus 1): its piecewise-linear cost is not convex (the slope falls from 20 to 10 "
                "$/MWh at point 2); the dispatch must be convex"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvo::network
