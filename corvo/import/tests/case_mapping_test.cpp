// The mapping of MATPOWER data onto our case model, on the hand-checkable
// tiny case (tiny_case.hpp) and its variations.
#include <gtest/gtest.h>

#include <algorithm>

#include "corvo/import/case_mapping.hpp"
#include "tiny_case.hpp"

namespace corvo::import {
namespace {

ImportedCase import_text(const std::string& text) { return map_matpower_case(parse_matpower(text, "t.m"), "t.m"); }

void replace(std::string& text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

bool has_mapping(const ImportedCase& c, const std::string& text) {
  return std::find(c.mappings.begin(), c.mappings.end(), text) != c.mappings.end();
}

TEST(CaseMapping, TinyCase) {
  const ImportedCase c = import_text(tiny_case::text());
  EXPECT_EQ(c.title, "MATPOWER tiny: TINY two buses");
  EXPECT_EQ(c.sb, 100.0);
  ASSERT_EQ(c.buses.size(), 2u);
  EXPECT_EQ(c.buses[0].type, 2);
  EXPECT_EQ(c.buses[0].linear_cost, 10.0);
  EXPECT_EQ(c.buses[0].quadratic_cost, 0.01);  // 2 * 0.005
  EXPECT_EQ(c.buses[0].upper, 200.0);
  EXPECT_EQ(c.buses[1].type, 0);
  EXPECT_EQ(c.buses[1].load, 50.0);
  ASSERT_EQ(c.lines.size(), 1u);
  EXPECT_EQ(c.lines[0].upper, 9999.0);  // rateA 0: no limit
  EXPECT_EQ(c.lines[0].lower, -9999.0);
  EXPECT_TRUE(has_mapping(c, "1 branch(es) without rating (rateA 0) get +/-9999 MW"));
}

// Pmin -10, Pmax 50, cost 0.005 P^2 + 10 P: with P = P' - 10 the cost is
// 0.005 P'^2 + (10 + 2*0.005*(-10)) P' + (0.005*100 + 10*(-10)) =
// 0.005 P'^2 + 9.9 P' - 99.5; limits 0..60; the bus load rises by 10 MW.
TEST(CaseMapping, NegativeLowerLimitIsShiftedExactly) {
  const ImportedCase c = import_text(tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t50\t-10"));
  const ImportedBus& b = c.buses[0];
  EXPECT_EQ(b.load, 10.0);
  EXPECT_EQ(b.lower, 0.0);
  EXPECT_EQ(b.upper, 60.0);
  EXPECT_DOUBLE_EQ(b.linear_cost, 9.9);
  EXPECT_DOUBLE_EQ(b.constant_cost, -99.5);
  EXPECT_EQ(b.quadratic_cost, 0.01);
  EXPECT_TRUE(has_mapping(c, "generator 1 (bus 1): negative lower limit -10 MW shifted into the load and the costs; "
                             "its output is reported 10 MW above the true output"));
}

TEST(CaseMapping, SecondGeneratorOnABusGetsItsOwnBus) {
  const ImportedCase c = import_text(tiny_case::text("\t1\t0\t0\t300\t-300\t1\t100\t1\t80\t5;\n",
                                                     "\t2\t0\t0\t3\t0\t20\t7;\n"));
  ASSERT_EQ(c.buses.size(), 3u);
  EXPECT_EQ(c.buses[2].type, 1);
  EXPECT_EQ(c.buses[2].linear_cost, 20.0);
  EXPECT_EQ(c.buses[2].constant_cost, 7.0);
  EXPECT_EQ(c.buses[2].upper, 80.0);
  EXPECT_EQ(c.buses[2].lower, 5.0);
  ASSERT_EQ(c.lines.size(), 2u);
  EXPECT_EQ(c.lines[1].se, 1);
  EXPECT_EQ(c.lines[1].re, 3);
  EXPECT_EQ(c.lines[1].x, kJoiningReactance);
  EXPECT_EQ(c.lines[1].upper, 9999.0);
  EXPECT_TRUE(has_mapping(c, "generator 2 (bus 1) shares its bus: moved to its own bus 3, joined to bus 1 by a line "
                             "of reactance 0.01 pu and no limit"));
}

TEST(CaseMapping, OutOfServiceGeneratorIsDropped) {
  const ImportedCase c = import_text(tiny_case::text("\t2\t0\t0\t300\t-300\t1\t100\t0\t80\t5;\n",
                                                     "\t2\t0\t0\t3\t0\t20\t7;\n"));
  EXPECT_EQ(c.buses[1].type, 0);
  EXPECT_TRUE(has_mapping(c, "1 out-of-service generator(s) dropped"));
}

TEST(CaseMapping, TapFoldedShuntAddedPhaseShiftDropped) {
  std::string text = tiny_case::text();
  replace(text, "\t1\t2\t0\t0.1\t0\t0\t0\t0\t0\t0\t1", "\t1\t2\t0\t0.1\t0\t150\t0\t0\t0.5\t3\t1");
  replace(text, "\t2\t1\t50\t0\t0\t0", "\t2\t1\t50\t0\t4\t0");
  const ImportedCase c = import_text(text);
  EXPECT_EQ(c.lines[0].x, 0.05);  // 0.1 * 0.5
  EXPECT_EQ(c.lines[0].upper, 150.0);
  EXPECT_EQ(c.buses[1].load, 54.0);
  EXPECT_TRUE(has_mapping(c, "warning: phase shift 3 deg of branch 1 (bus 1-2) dropped"));
  EXPECT_TRUE(has_mapping(c, "tap ratio folded into the reactance of 1 branch(es)"));
  EXPECT_TRUE(has_mapping(c, "shunt conductance added to the load of 1 bus(es)"));
}

TEST(CaseMapping, CubicWithZeroLeadingCoefficientIsQuadratic) {
  const ImportedCase c = import_text(tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t200\t0",
                                                     "2\t0\t0\t4\t0\t0.005\t10\t0"));
  EXPECT_EQ(c.buses[0].quadratic_cost, 0.01);
}

struct Refusal {
  const char* name;
  std::string text;
  const char* message;
};

class CaseMappingRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(CaseMappingRefuses, NamingTheElement) {
  try {
    import_text(GetParam().text);
    FAIL() << "accepted";
  } catch (const ImportError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseMappingRefuses,
    ::testing::Values(
        Refusal{"piecewise_linear",
                tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t200\t0", "1\t0\t0\t2\t0\t0\t200\t2000"),
                "t.m: generator 1 (bus 1) has a piecewise-linear cost, which our case model cannot hold"},
        Refusal{"cubic",
                tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t200\t0", "2\t0\t0\t4\t0.001\t0.005\t10\t0"),
                "t.m: generator 1 (bus 1) has a cost polynomial of degree 3, our case model holds degree two at most"},
        Refusal{"no_cost_row", tiny_case::text("\t2\t0\t0\t300\t-300\t1\t100\t1\t80\t5;\n"),
                "t.m: generator 2 (bus 2) has no row in mpc.gencost"},
        Refusal{"unknown_bus", tiny_case::text("\t7\t0\t0\t300\t-300\t1\t100\t1\t80\t5;\n", "\t2\t0\t0\t3\t0\t20\t7;\n"),
                "t.m: generator 2 (bus 7) is on a bus that mpc.bus lacks"},
        Refusal{"limits_crossed", tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t10\t20"),
                "t.m: generator 1 (bus 1) has an upper limit 10 MW below its lower limit 20 MW"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvo::import
