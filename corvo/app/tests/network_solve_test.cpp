// corvo solve on networks in the source's own terms: a four-bus network
// worked by hand (a phase shifter on a binding line, two generators on one
// bus, a negative lower limit, a piecewise-linear cost), the same network
// through corvo import, orsa, talven and corvo report with the case map,
// and the public MATPOWER cases against MATPOWER's own solutions.
#include <cmath>
#include <map>

#include "run_folder.hpp"

namespace {

using run_folder::RunFolder;
namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kData = CORVO_APP_TEST_DATA;
const fs::path kCases = CORVO_CASES_DIR;

// ---- The four-bus network, by hand ----------------------------------------
//
// Every branch has x = 0.1 pu on 100 MVA: 1000 MW per radian. Buses 10, 20,
// 30 form a loop (branches 1: 10-20, 2: 10-30, 3: 20-30); bus 40 hangs from
// bus 10 (branch 4), so it shares bus 10's price. Loads: 300 MW at 20,
// 100 MW at 30.
//
// Shifter: branch 1 shifts by φ = -3° = -π/60 rad. Alone, it drives a flow
// F round the loop: the angle drops add up to zero, F/1000 + φ + F/1000 +
// F/1000 = 0, so F = -1000 φ / 3 = 50π/9 = 17.4533 MW on branch 1
// (10→20), on branch 3 (20→30), and back on branch 2 (30→10).
//
// Power flow by superposition (equal reactances): a withdrawal at 20 from
// 10 sends 2/3 along branch 1 and 1/3 round 2-3; a withdrawal at 30 sends
// 2/3 along branch 2 and 1/3 round 1-3. With P30 generated at bus 30,
//   f1 = 2/3·300 + 1/3·(100 − P30) + F.
// Branch 1 is rated 200 MW; without generation at 30 f1 = 250.8 MW, so it
// binds: 200 = 200 + (100 − P30)/3 + F, P30 = 100 + 3F = 152.3599 MW.
// Generator 4 at bus 30 (0.05 P² + 20 P): price λ30 = 0.1·152.3599 + 20 =
// 35.2360 $/MWh.
//
// The cheap side (buses 10 and 40) supplies 400 − 152.3599 = 247.6401 MW at
// one price λ: generator 1 (0.01 P² + 10 P) gives 50(λ − 10); generator 2
// (0.02 P² + 14 P, −50..100 MW) gives 25(λ − 14); generator 3 (piecewise:
// 11 $/MWh to 100 MW, then 14 $/MWh) sits at its kink, 100 MW, for any λ
// between 11 and 14. So 75λ − 750 = 247.6401, λ = 13.3019 $/MWh (inside
// 11..14): P1 = 165.0934, P2 = −17.4533 (it absorbs power), P3 = 100.
//
// Prices: a MW more at 30 costs λ30 = λ10 + μ/3, where μ is branch 1's
// multiplier (a withdrawal at 30 puts 1/3 on branch 1): μ = 3(35.2360 −
// 13.3019) = 65.8024 $/MWh. At 20: λ20 = λ10 + 2/3 μ = 57.1701 $/MWh.
//
// Flows: f1 = 200; f2 = 1/3·300 + 2/3·(100 − P30) − F = 100 − 3F = 47.6401;
// bus 20 takes 200 from branch 1 and needs 100 more: f3 = −100; branch 4
// carries bus 40's output to bus 10: f4 = −(P2 + P3) = −82.5467.
// Angles (θ10 = 0): θ30 = −f2/1000 = −2.7296°, θ20 = θ30 + f3/1000 =
// −8.4592°, θ40 = −f4/1000 = 4.7296°.
// Cost: 1923.4931 − 238.2508 + 1100 + 4207.8909 = 6993.1129 $/h (generator 3
// pays 1100 $/h at 100 MW on its curve).
struct Expected {
  std::map<int, double> output;  // by generator row
  std::map<int, double> price;   // by bus number
  std::map<int, double> flow;    // by branch row
};

const Expected kFourBus{{{1, 165.0934150}, {2, -17.4532925}, {3, 100.0}, {4, 152.3598776}},
                        {{10, 13.3018683}, {20, 57.1701068}, {30, 35.2359878}, {40, 13.3018683}},
                        {{1, 200.0}, {2, 47.6401224}, {3, -100.0}, {4, -82.5467075}}};

void expect_results(const json& rep, const Expected& want) {
  ASSERT_EQ(rep["generators"].size(), want.output.size());
  for (const json& g : rep["generators"])
    EXPECT_NEAR(g["output_mw"].get<double>(), want.output.at(g["generator"].get<int>()), 1e-3) << g.dump();
  ASSERT_EQ(rep["buses"].size(), want.price.size());
  for (const json& b : rep["buses"])
    EXPECT_NEAR(b["lmp"].get<double>(), want.price.at(b["bus"].get<int>()), 1e-3) << b.dump();
  ASSERT_EQ(rep["lines"].size(), want.flow.size());
  for (const json& l : rep["lines"])
    EXPECT_NEAR(l["flow_mw"].get<double>(), want.flow.at(l["line"].get<int>()), 1e-3) << l.dump();
  EXPECT_EQ(rep["optimality"]["verdict"], "optimal") << rep["optimality"].dump();
}

TEST(FourBus, RobustMethodGivesTheHandWorkedDispatch) {
  RunFolder f;
  ASSERT_EQ(f.corvo("solve --format json '" + (kData / "four_bus.m").string() + "'"), 0) << f.err("corvo");
  const json rep = json::parse(f.out("corvo"));
  expect_results(rep, kFourBus);
  EXPECT_NEAR(rep["summary"]["cost_with_constant"].get<double>(), 6993.1129, 1e-3);
  const json& line1 = rep["lines"][0];
  EXPECT_EQ(line1["binding"], "upper");
  EXPECT_NEAR(line1["shadow_price"].get<double>(), 65.8024, 1e-3);
  // The angles keep the reference bus at its own 0°.
  std::map<int, double> angle;
  for (const json& b : rep["buses"]) angle[b["bus"].get<int>()] = b["angle_deg"].get<double>();
  EXPECT_NEAR(angle[20], -8.4592, 1e-3);
  EXPECT_NEAR(angle[30], -2.7296, 1e-3);
  EXPECT_NEAR(angle[40], 4.7296, 1e-3);
  // Nothing is shifted or moved: no note of it on standard error.
  EXPECT_EQ(f.err("corvo").find("shift"), std::string::npos) << f.err("corvo");
}

// four_fix.m is the same network with generator 3 free of cost up to 100
// MW, so it runs at 100 MW as before and nothing else moves; the case file
// can hold it (one generator per bus and a shifted lower limit through
// their own bus and the shift; the shifter folded into loads and limits).
// orsa and talven then find the same dispatch, and corvo report reads it
// back through the case map in the source's numbers.
TEST(FourBus, ImportOrsaTalvenAndReportWithTheMap) {
  RunFolder f;
  ASSERT_EQ(f.corvo("import '" + (kData / "four_fix.m").string() + "'"), 0) << f.err("corvo");
  ASSERT_TRUE(fs::exists(f.path() / "four_fix.map.csv"));
  f.solve("four_fix");
  ASSERT_EQ(f.corvo("report --format json"), 0) << f.err("corvo") << f.out("corvo");
  const json rep = json::parse(f.out("corvo"));
  expect_results(rep, kFourBus);
  // The true cost: generator 3 costs nothing now.
  EXPECT_NEAR(rep["summary"]["cost_with_constant"].get<double>(), 6993.1129 - 1100.0, 1e-3);
  EXPECT_NEAR(rep["summary"]["cost"].get<double>(), 6993.1129 - 1100.0, 1e-3);
}

TEST(FourBus, ClassicMethodOnTheSourceReadsInItsTerms) {
  RunFolder f;
  ASSERT_EQ(f.corvo("solve --method classic --format json '" + (kData / "four_fix.m").string() + "'"), 0)
      << f.err("corvo");
  expect_results(json::parse(f.out("corvo")), kFourBus);
}

// The same network as PSS/E RAW (version 33): the shifter is a two-winding
// transformer of x 0.1 pu and -3°, rated 200 MW; the costs come from the
// CSV file. RAW names a branch by its ends and circuit, and a generator by
// its bus and machine id.
void expect_raw_results(const json& rep) {
  std::map<std::string, double> output, flow;
  for (const json& g : rep["generators"]) output[g["id"].get<std::string>()] = g["output_mw"].get<double>();
  for (const json& l : rep["lines"])
    flow[std::to_string(l["from"].get<int>()) + "-" + std::to_string(l["to"].get<int>()) + " " +
         l["circuit"].get<std::string>()] = l["flow_mw"].get<double>();
  EXPECT_NEAR(output.at("A"), 165.0934150, 1e-3);
  EXPECT_NEAR(output.at("B"), -17.4532925, 1e-3);
  EXPECT_NEAR(output.at("C"), 100.0, 1e-3);
  EXPECT_NEAR(output.at("D"), 152.3598776, 1e-3);
  EXPECT_NEAR(flow.at("10-20 PS"), 200.0, 1e-3);
  EXPECT_NEAR(flow.at("10-30 1"), 47.6401224, 1e-3);
  EXPECT_NEAR(flow.at("20-30 1"), -100.0, 1e-3);
  EXPECT_NEAR(flow.at("10-40 1"), -82.5467075, 1e-3);
  for (const json& b : rep["buses"])
    EXPECT_NEAR(b["lmp"].get<double>(), kFourBus.price.at(b["bus"].get<int>()), 1e-3) << b.dump();
  EXPECT_EQ(rep["optimality"]["verdict"], "optimal");
}

TEST(FourBus, RawFileSolvesToTheSameDispatch) {
  RunFolder f;
  const std::string raw = (kData / "four_fix.raw").string(), costs = (kData / "four_fix.costs.csv").string();
  ASSERT_EQ(f.corvo("solve --format json '" + raw + "' --costs '" + costs + "'"), 0) << f.err("corvo");
  expect_raw_results(json::parse(f.out("corvo")));
  // Through our case file, orsa and talven, and back through the map.
  ASSERT_EQ(f.corvo("import '" + raw + "' --costs '" + costs + "' -o fourraw.dat"), 0) << f.err("corvo");
  f.solve("fourraw");
  ASSERT_EQ(f.corvo("report --format json"), 0) << f.err("corvo");
  expect_raw_results(json::parse(f.out("corvo")));
}

// ---- Bus ties and angle limits, by hand ------------------------------------

// A tie of zero reactance joins buses 2 and 3: they share one angle, and the
// tie's flow is whatever bus 3 needs. Bus 1 (10 $/MWh) feeds bus 2 over
// x 0.1; bus 3 holds the load of 80 MW and a dearer unit (30 $/MWh).
// Tie rated 50 MW: only 50 MW reach bus 3 through it, the dear unit makes
// the other 30 MW. Prices: bus 1 and bus 2 10 $/MWh (nothing binds between
// them), bus 3 30 $/MWh; the tie's multiplier is the difference, 20 $/MWh.
// Flows: branch 1 (1-2) 50 MW, the tie (2-3) 50 MW; the angle of buses 2
// and 3 is -50/1000 rad = -2.8648°.
TEST(BusTie, SharesAnAngleAndCarriesAFlowUpToItsRating) {
  const std::string text =
      "function mpc = tie\n"
      "mpc.version = '2';\nmpc.baseMVA = 100;\n"
      "mpc.bus = [1 3 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 1 0 0 0 0 1 1 0 230 1 1.1 0.9;"
      " 3 2 80 0 0 0 1 1 0 230 1 1.1 0.9];\n"
      "mpc.gen = [1 0 0 0 0 1 100 1 200 0 0 0 0 0 0 0 0 0 0 0 0; 3 0 0 0 0 1 100 1 200 0 0 0 0 0 0 0 0 0 0 0 0];\n"
      "mpc.branch = [1 2 0 0.1 0 0 0 0 0 0 1 -360 360; 2 3 0 0 0 50 0 0 0 0 1 -360 360];\n"
      "mpc.gencost = [2 0 0 2 10 0; 2 0 0 2 30 0];\n";
  RunFolder f;
  run_folder::write_file(f.path() / "tie.m", text);
  ASSERT_EQ(f.corvo("solve --format json tie.m"), 0) << f.err("corvo");
  const json rep = json::parse(f.out("corvo"));
  expect_results(rep, Expected{{{1, 50.0}, {2, 30.0}}, {{1, 10.0}, {2, 10.0}, {3, 30.0}}, {{1, 50.0}, {2, 50.0}}});
  EXPECT_NEAR(rep["buses"][1]["angle_deg"].get<double>(), -2.8648, 1e-3);
  EXPECT_NEAR(rep["buses"][2]["angle_deg"].get<double>(), -2.8648, 1e-3);
  EXPECT_EQ(rep["lines"][1]["binding"], "upper");
  EXPECT_NEAR(rep["lines"][1]["shadow_price"].get<double>(), 20.0, 1e-3);
}

// Two buses, x 0.1 pu: the cheap unit at bus 1 (10 $/MWh) would send the
// whole 100 MW load of bus 2 (0.1 rad, 5.73°), but the branch limits θ1 − θ2
// to 3°: 3° = π/60 rad carries 1000·π/60 = 52.3599 MW, the dear unit at bus 2
// (25 $/MWh) makes 47.6401 MW. Prices 10 and 25 $/MWh; the angle limit's
// multiplier is (25 − 10) $/MWh × 1000 MW/rad × π/180 rad/° = 261.7994 $/h
// per degree. With --ignore-angle-limits the cheap unit carries all.
TEST(AngleLimit, BindsAndCanBeIgnored) {
  const std::string text =
      "function mpc = ang\n"
      "mpc.version = '2';\nmpc.baseMVA = 100;\n"
      "mpc.bus = [1 3 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 2 100 0 0 0 1 1 0 230 1 1.1 0.9];\n"
      "mpc.gen = [1 0 0 0 0 1 100 1 200 0; 2 0 0 0 0 1 100 1 200 0];\n"
      "mpc.branch = [1 2 0 0.1 0 0 0 0 0 0 1 -3 3];\n"
      "mpc.gencost = [2 0 0 2 10 0; 2 0 0 2 25 0];\n";
  RunFolder f;
  run_folder::write_file(f.path() / "ang.m", text);
  ASSERT_EQ(f.corvo("solve --format json ang.m"), 0) << f.err("corvo");
  json rep = json::parse(f.out("corvo"));
  expect_results(rep, Expected{{{1, 52.3598776}, {2, 47.6401224}}, {{1, 10.0}, {2, 25.0}}, {{1, 52.3598776}}});
  EXPECT_EQ(rep["lines"][0]["angle_binding"], "upper");
  EXPECT_NEAR(rep["lines"][0]["angle_mu_upper"].get<double>(), 261.7994, 1e-3);
  ASSERT_EQ(f.corvo("solve --format json --ignore-angle-limits ang.m"), 0) << f.err("corvo");
  rep = json::parse(f.out("corvo"));
  expect_results(rep, Expected{{{1, 100.0}, {2, 0.0}}, {{1, 10.0}, {2, 10.0}}, {{1, 100.0}}});
}

// ---- The public MATPOWER cases against MATPOWER's solutions ---------------

// Cost to 1e-6 relative; prices to 1e-3 $/MWh where MATPOWER's and a second
// solver's prices agree (lmp_unique); outputs and flows to 1e-3 MW where
// the problem is a QP whose outputs both solvers find alike (with linear
// costs the outputs may have many optimal values).
class MatpowerSolution : public ::testing::TestWithParam<const char*> {};

TEST_P(MatpowerSolution, AgreesInTheSourcesNumbers) {
  const std::string name = GetParam();
  const json ref = json::parse(run_folder::read_file(kCases / "matpower" / "solutions" / (name + ".json")));
  RunFolder f;
  ASSERT_EQ(f.corvo("solve --format json '" + (kCases / "matpower" / (name + ".m")).string() + "'"), 0)
      << f.err("corvo");
  const json rep = json::parse(f.out("corvo"));
  const double cost = rep["summary"]["cost_with_constant"].get<double>();
  EXPECT_NEAR(cost, ref["f"].get<double>(), 1e-6 * std::fabs(ref["f"].get<double>()));
  EXPECT_EQ(f.err("corvo").find("shift"), std::string::npos) << f.err("corvo");

  std::map<std::int64_t, json> gens, buses, lines;
  for (const json& g : rep["generators"]) gens[g["generator"].get<std::int64_t>()] = g;
  for (const json& b : rep["buses"]) buses[b["bus"].get<std::int64_t>()] = b;
  for (const json& l : rep["lines"]) lines[l["line"].get<std::int64_t>()] = l;
  if (ref["lmp_unique"].get<bool>()) {
    for (const json& b : ref["bus"]) {
      if (!b["in_service"].get<bool>()) continue;
      EXPECT_NEAR(buses.at(b["bus"].get<std::int64_t>())["lmp"].get<double>(), b["lmp"].get<double>(), 1e-3)
          << "bus " << b["bus"];
    }
  }
  const bool unique_outputs =
      ref["facts"]["problem_type"] == "QP" && ref["max_pg_diff_highs_mw"].get<double>() < 1e-3;
  if (!unique_outputs) return;
  for (const json& g : ref["gen"]) {
    if (!g["in_service"].get<bool>()) continue;
    EXPECT_NEAR(gens.at(g["row"].get<std::int64_t>())["output_mw"].get<double>(), g["pg_mw"].get<double>(), 1e-3)
        << "generator " << g["row"];
  }
  for (const json& b : ref["branch"]) {
    if (!b["in_service"].get<bool>()) continue;
    EXPECT_NEAR(lines.at(b["row"].get<std::int64_t>())["flow_mw"].get<double>(), b["flow_mw"].get<double>(), 1e-3)
        << "branch " << b["row"];
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, MatpowerSolution,
                         ::testing::Values("case5", "case9", "case14", "case24_ieee_rts", "case30", "case30pwl",
                                           "case118", "case300", "case_ACTIVSg500", "case_ACTIVSg2000",
                                           "case1354pegase", "pglib_opf_case60_c__api"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
