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
  // The stand-in for no limit: 9999 MW, more than the 50 MW load and the
  // 200 MW capacity together.
  EXPECT_TRUE(has_mapping(c, "1 branch(es) without a flow limit get +/-9999 MW, more than any flow of the case can reach"));
  ASSERT_EQ(c.map.lines.size(), 1u);
  EXPECT_TRUE(c.map.lines[0].no_limit);
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
                             "orsa's output is 10 MW above the true output (corvo report with the map shows the true one)"));
  // The map takes the shift out again: ours = true + offset.
  ASSERT_EQ(c.map.generators.size(), 1u);
  EXPECT_EQ(c.map.generators[0].offset_mw, 10.0);
  EXPECT_EQ(c.map.buses[0].offset_mw, 10.0);
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
  EXPECT_TRUE(has_mapping(c, "1 generator(s) out of service or on isolated buses dropped"));
}

// Tap 0.5 makes the reactance 0.1 * 0.5 = 0.05 pu, b = 20 pu. The shift of
// 3 degrees is a constant flow b * shift * Sb = 20 * (3 * pi / 180) * 100 =
// 104.72 MW from bus 1 to bus 2 that the case file's flow b (θ1 − θ2)
// leaves out: bus 1's load falls by it, bus 2's (50 + Gs 4) rises by it,
// and the limits ±150 move up by it.
TEST(CaseMapping, TapFoldedShuntAddedPhaseShiftFoldedIn) {
  std::string text = tiny_case::text();
  replace(text, "\t1\t2\t0\t0.1\t0\t0\t0\t0\t0\t0\t1", "\t1\t2\t0\t0.1\t0\t150\t0\t0\t0.5\t3\t1");
  replace(text, "\t2\t1\t50\t0\t0\t0", "\t2\t1\t50\t0\t4\t0");
  const ImportedCase c = import_text(text);
  const double shift_mw = 20.0 * (3.0 * 3.14159265358979323846 / 180.0) * 100.0;
  EXPECT_EQ(c.lines[0].x, 0.05);
  EXPECT_NEAR(c.lines[0].upper, 150.0 + shift_mw, 1e-9);
  EXPECT_NEAR(c.lines[0].lower, -150.0 + shift_mw, 1e-9);
  EXPECT_NEAR(c.buses[0].load, -shift_mw, 1e-9);
  EXPECT_NEAR(c.buses[1].load, 54.0 + shift_mw, 1e-9);
  EXPECT_NEAR(c.map.lines[0].offset_mw, shift_mw, 1e-9);
  EXPECT_NEAR(c.map.buses[0].offset_mw, -shift_mw, 1e-9);
  EXPECT_NEAR(c.map.buses[1].offset_mw, shift_mw, 1e-9);
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
                "t.m: generator 1 (bus 1): a piecewise-linear cost, which our case file cannot hold (corvo solve takes it)"},
        Refusal{"cubic",
                tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t200\t0", "2\t0\t0\t4\t0.001\t0.005\t10\t0"),
                "t.m: generator 1 (bus 1): a cost polynomial of degree 3; the DC dispatch takes degree two at most"},
        Refusal{"no_cost_row", tiny_case::text("\t2\t0\t0\t300\t-300\t1\t100\t1\t80\t5;\n"),
                "t.m: generator 2 (bus 2) has no row in mpc.gencost"},
        Refusal{"negative_quadratic",
                tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t200\t0", "2\t0\t0\t3\t-0.005\t10\t0"),
                "t.m: generator 1 (bus 1): negative quadratic cost -0.005 $/MW²h; the dispatch must be convex"},
        Refusal{"bus_tie",
                [] {
                  std::string t = tiny_case::text();
                  replace(t, "\t1\t2\t0\t0.1\t0", "\t1\t2\t0\t0\t0");
                  return t;
                }(),
                "t.m: branch 1 (bus 1-2): a bus tie of zero reactance, which our case file cannot hold (corvo solve "
                "models it)"},
        Refusal{"unknown_bus", tiny_case::text("\t7\t0\t0\t300\t-300\t1\t100\t1\t80\t5;\n", "\t2\t0\t0\t3\t0\t20\t7;\n"),
                "t.m: mpc.gen row 2, column 1 (GEN_BUS): bus 7 is not in mpc.bus"},
        Refusal{"limits_crossed", tiny_case::text("", "", "1\t0\t0\t300\t-300\t1\t100\t1\t10\t20"),
                "t.m: generator 1 (bus 1): upper limit 10 MW below its lower limit 20 MW"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvo::import

namespace corvo::import {
namespace {

// The map written beside a case file reads back as it was written, and a
// damaged one is refused naming its line.
TEST(CaseMapFile, ReadsBackWhatWasWritten) {
  CaseMap map;
  map.buses = {{0, 9533, "", false, -52.359877559829883, false, 0.0}, {0, 9533, "", true, 10.0, false, 0.0}};
  map.generators = {{47, 9533, "1", false, 10.0, false, -99.5}};
  map.lines = {{12, 0, "A1", false, 0.1, false, 0.0}, {0, 0, "", true, 0.0, true, 0.0}};
  const std::string text = case_map_text(map);
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "element,ours,source_row,source_bus,source_id,added,offset_mw,no_limit,constant_cost_offset\r");
  const CaseMap back = parse_case_map(text, "x.map.csv");
  ASSERT_EQ(back.buses.size(), 2u);
  EXPECT_EQ(back.buses[0].offset_mw, map.buses[0].offset_mw);
  EXPECT_TRUE(back.buses[1].added);
  EXPECT_EQ(back.generators[0].source_row, 47);
  EXPECT_EQ(back.generators[0].source_id, "1");
  EXPECT_EQ(back.generators[0].constant_cost_offset, -99.5);
  EXPECT_EQ(back.lines[0].source_id, "A1");
  EXPECT_TRUE(back.lines[1].no_limit);
  try {
    parse_case_map(text + "line,3,x,,,0,0,0,0\r\n", "x.map.csv");
    FAIL() << "accepted";
  } catch (const ImportError& e) {
    EXPECT_EQ(std::string(e.what()), "x.map.csv: line 7: a field that does not read as a number");
  }
}

}  // namespace
}  // namespace corvo::import
