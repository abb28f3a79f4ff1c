// The transformer arithmetic on its own: each impedance code CZ and
// winding code CW, with values derived by hand in the comments.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "raw_transformer.hpp"

namespace corvo::network::raw {
namespace {

Winding winding(int number, double windv, double nomv, double bus_kv) {
  Winding w;
  w.number = number;
  w.windv = windv;
  w.nomv = nomv;
  w.bus = 100 + number;
  w.bus_kv = bus_kv;
  return w;
}

struct PairCase {
  const char* what;
  int cz;
  double r, x, sbase;   // as written
  double nomv, bus_kv;  // winding i
  double expected;      // on 100 MVA and the bus base voltage
};

class PairReactance : public testing::TestWithParam<PairCase> {};

TEST_P(PairReactance, OnTheSystemBase) {
  const PairCase& c = GetParam();
  const double x = pair_reactance(c.cz, {"1-2", c.r, c.x, c.sbase}, winding(1, 1.0, c.nomv, c.bus_kv), 100.0);
  EXPECT_NEAR(x, c.expected, 1e-15) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PairReactance,
    testing::Values(
        PairCase{"CZ 1: as written", 1, 0.01, 0.1, 50.0, 220.0, 230.0, 0.1},
        // 0.1 pu on 50 MVA is 0.2 pu on 100 MVA, at the bus voltage.
        PairCase{"CZ 2, NOMV = bus kV", 2, 0.0, 0.1, 50.0, 230.0, 230.0, 0.2},
        PairCase{"CZ 2, NOMV 0 means the bus kV", 2, 0.0, 0.1, 50.0, 0.0, 230.0, 0.2},
        // (220/230)² x 100/50 = 1.8298676748582230...
        PairCase{"CZ 2, NOMV below the bus kV", 2, 0.0, 0.1, 50.0, 220.0, 230.0, 0.1 * 2.0 * 48400.0 / 52900.0},
        // 300 kW on 100 MVA: R = 0.003 pu; X = sqrt(0.005² - 0.003²) = 0.004.
        PairCase{"CZ 3", 3, 300000.0, 0.005, 100.0, 0.0, 230.0, 0.004},
        PairCase{"CZ 3 without load loss: X = |Z|", 3, 0.0, 0.005, 200.0, 0.0, 230.0, 0.0025},
        PairCase{"CZ 2 on a bus without base kV", 2, 0.0, 0.1, 200.0, 0.0, 0.0, 0.05}));

struct TapCase {
  const char* what;
  int cw;
  double windv1, nomv1, kv1, windv2, nomv2, kv2;
  double expected;
};

class TwoWindingTap : public testing::TestWithParam<TapCase> {};

TEST_P(TwoWindingTap, InPerUnitOfTheBusVoltages) {
  const TapCase& c = GetParam();
  const double tap =
      two_winding_tap(c.cw, winding(1, c.windv1, c.nomv1, c.kv1), winding(2, c.windv2, c.nomv2, c.kv2));
  EXPECT_NEAR(tap, c.expected, 1e-15) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, TwoWindingTap,
    testing::Values(TapCase{"CW 1: WINDV1/WINDV2", 1, 1.05, 0.0, 230.0, 0.98, 0.0, 115.0, 1.05 / 0.98},
                    // (241.5 kV / 230 kV) / (115 kV / 115 kV) = 1.05
                    TapCase{"CW 2: kV over bus kV", 2, 241.5, 0.0, 230.0, 115.0, 0.0, 115.0, 1.05},
                    // 1.0 pu of 220 kV on 230 kV, over 1.0 pu of 110 kV on 115 kV: 1
                    TapCase{"CW 3: pu of NOMV", 3, 1.0, 220.0, 230.0, 1.0, 110.0, 115.0, 1.0},
                    TapCase{"CW 3: NOMV 0 is the bus kV", 3, 1.05, 0.0, 230.0, 1.0, 0.0, 115.0, 1.05},
                    TapCase{"CW 3 without bus voltages, NOMV 0", 3, 1.05, 0.0, 0.0, 1.0, 0.0, 0.0, 1.05}));

TEST(StarWindingTap, EachCode) {
  EXPECT_EQ(star_winding_tap(1, winding(1, 1.02, 0.0, 345.0)), 1.02);
  EXPECT_NEAR(star_winding_tap(2, winding(1, 355.35, 0.0, 345.0)), 1.03, 1e-15);
  EXPECT_NEAR(star_winding_tap(3, winding(2, 1.0, 132.0, 138.0)), 132.0 / 138.0, 1e-15);
  EXPECT_NEAR(star_winding_tap(3, winding(2, 1.02, 0.0, 138.0)), 1.02, 1e-15);
}

TEST(StarReactances, FromThePairs) {
  // x1 = (x12 + x31 - x23)/2, x2 = (x12 + x23 - x31)/2, x3 = (x31 + x23 - x12)/2
  const StarReactances x = star_reactances(0.2, 0.3, 0.2);
  EXPECT_NEAR(x.x1, 0.05, 1e-16);
  EXPECT_NEAR(x.x2, 0.15, 1e-16);
  EXPECT_NEAR(x.x3, 0.15, 1e-16);
}

struct Refused {
  std::string what;
  std::string field;
};

TEST(TransformerRefusals, NameTheField) {
  const auto refused = [](auto&& compute) -> Refused {
    try {
      compute();
    } catch (const ConversionError& e) {
      return {e.what(), e.field};
    }
    return {"", ""};
  };
  EXPECT_EQ(refused([] { pair_reactance(2, {"2-3", 0.0, 0.1, 0.0}, winding(2, 1, 0, 138), 100); }).field, "SBASE2-3");
  EXPECT_EQ(refused([] { pair_reactance(3, {"3-1", 1e6, 0.001, 100}, winding(3, 1, 0, 138), 100); }).field, "X3-1");
  EXPECT_EQ(refused([] { pair_reactance(2, {"1-2", 0.0, 0.1, 100}, winding(1, 1, 220, 0), 100); }).field, "NOMV1");
  EXPECT_EQ(refused([] { two_winding_tap(1, winding(1, 1.0, 0, 1), winding(2, 0.0, 0, 1)); }).field, "WINDV2");
  EXPECT_EQ(refused([] { two_winding_tap(2, winding(1, 230, 0, 0), winding(2, 115, 0, 115)); }).field, "WINDV1");
  EXPECT_EQ(refused([] { star_winding_tap(2, winding(3, 13.8, 0, 0)); }).field, "WINDV3");
  EXPECT_EQ(refused([] { two_winding_tap(1, winding(1, -1.0, 0, 1), winding(2, 1, 0, 1)); }).what,
            "the winding ratio must be positive (it is -1)");
}

}  // namespace
}  // namespace corvo::network::raw
