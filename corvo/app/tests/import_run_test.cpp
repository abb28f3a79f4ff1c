// corvo import on the public MATPOWER cases: the written files read back
// through orsa's reader as the converted cases in cases/ (up to their
// rounding), and their optimum through orsa and talven is the optimum of
// the unrounded source data.
#include <cmath>

#include "dispatch/case_loader.hpp"
#include "run_folder.hpp"

namespace {

using run_folder::RunFolder;
namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kData = CORVO_IMPORT_DATA;

struct Source {
  const char* matpower;  // file in the test data
  const char* name;      // case name, as in cases/
};

class ImportPublic : public ::testing::TestWithParam<Source> {};

void expect_all_near(const std::vector<double>& a, const std::vector<double>& b, double scale, double tolerance,
                     const char* what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i] * scale, b[i] * scale, tolerance) << what << " " << i + 1;
}

// The converted files write reactances and quadratic costs with six
// decimals and everything else with two; the import keeps more digits, so
// each value agrees within half a unit of the converted file's last decimal.
TEST_P(ImportPublic, ReproducesTheConvertedCaseFile) {
  RunFolder f;
  const std::string out = std::string(GetParam().name) + ".dat";
  ASSERT_EQ(f.corvo("import '" + (kData / GetParam().matpower).string() + "' -o " + out), 0) << f.err("corvo");
  const dispatch::CaseData mine = dispatch::load_case_file(f.path() / out);
  const dispatch::CaseData converted = dispatch::load_case_file(run_folder::kCases / out);
  ASSERT_EQ(mine.n, converted.n);
  ASSERT_EQ(mine.nl, converted.nl);
  ASSERT_EQ(mine.ngen, converted.ngen);
  EXPECT_EQ(mine.sb, converted.sb);
  EXPECT_EQ(mine.se, converted.se);
  EXPECT_EQ(mine.re, converted.re);
  EXPECT_EQ(mine.bus_type, converted.bus_type);
  EXPECT_EQ(mine.nref, converted.nref);
  const double sb = converted.sb;
  expect_all_near(mine.x, converted.x, 1.0, 5e-7, "reactance");
  expect_all_near(mine.line_upper, converted.line_upper, sb, 5e-3, "line upper limit");
  expect_all_near(mine.line_lower, converted.line_lower, sb, 5e-3, "line lower limit");
  expect_all_near(mine.load, converted.load, sb, 5e-3, "load");
  expect_all_near(mine.constant_cost, converted.constant_cost, 1.0, 5e-3, "constant cost");
  expect_all_near(mine.linear_cost, converted.linear_cost, 1.0 / sb, 5e-3, "linear cost");
  expect_all_near(mine.quadratic_cost, converted.quadratic_cost, 1.0 / (sb * sb), 5e-7, "quadratic cost");
  expect_all_near(mine.gen_upper, converted.gen_upper, sb, 5e-3, "generator upper limit");
  expect_all_near(mine.gen_lower, converted.gen_lower, sb, 5e-3, "generator lower limit");
  EXPECT_NE(f.err("corvo").find(" -> " + out + " (map: "), std::string::npos) << f.err("corvo");
}

TEST_P(ImportPublic, OptimumIsThatOfTheUnroundedSource) {
  const json ref = run_folder::reference()["cases"][GetParam().name];
  const double expected = ref["objective_with_constant_unrounded_data"].get<double>() -
                          ref["constant_cost_sum"].get<double>();
  RunFolder f;
  const std::string name = GetParam().name;
  ASSERT_EQ(f.corvo("import '" + (kData / GetParam().matpower).string() + "' -o " + name + ".dat"), 0);
  f.solve(name);
  ASSERT_EQ(f.corvo("report --format json", "report"), 0) << f.out("report");
  const json rep = json::parse(f.out("report"));
  EXPECT_NEAR(rep["summary"]["cost"].get<double>(), expected, 1e-6 * expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportPublic,
                         ::testing::Values(Source{"case9.m", "ieee9"}, Source{"case14.m", "ieee14"},
                                           Source{"case30.m", "ieee30"}),
                         [](const ::testing::TestParamInfo<Source>& info) { return std::string(info.param.name); });

// Two generators on bus 1 of a two-bus network (load 50 MW at bus 2, one
// branch without rating): A at 10 $/MWh, 0..200 MW; B at
// 0.05 P^2 + 2 P + 10 $/h, -20..100 MW. B's incremental cost 2 + 0.1 P
// stays below A's up to 80 MW, so B serves the whole load: P_B = 50 MW,
// A = 0, price 2 + 0.1 * 50 = 7 $/MWh everywhere, cost with constants
// 0.05 * 2500 + 2 * 50 + 10 = 235 $/h. The import moves B to its own bus 3
// and shifts its lower limit: orsa's output is 50 + 20 = 70 MW with 20 MW
// more load at bus 3, and the same cost. corvo report reads that back
// through the case map as the source has it (B at bus 1 giving 50 MW, two
// buses); without the map it shows the case file's own terms.
TEST(ImportRun, SharedBusAndNegativeLowerLimitKeepTheOptimum) {
  RunFolder f;
  run_folder::write_file(f.path() / "two.m",
                         "function mpc = two\n"
                         "mpc.version = '2';\n"
                         "mpc.baseMVA = 100;\n"
                         "mpc.bus = [1 3 0 0 0 0; 2 1 50 0 0 0];\n"
                         "mpc.gen = [1 0 0 0 0 1 100 1 200 0; 1 0 0 0 0 1 100 1 100 -20];\n"
                         "mpc.branch = [1 2 0 0.1 0 0 0 0 0 0 1];\n"
                         "mpc.gencost = [2 0 0 3 0 10 0; 2 0 0 3 0.05 2 10];\n");
  ASSERT_EQ(f.corvo("import two.m"), 0) << f.err("corvo");
  f.solve("two");
  ASSERT_EQ(f.corvo("report --format json", "report"), 0) << f.out("report");
  const json rep = json::parse(f.out("report"));
  EXPECT_NEAR(rep["summary"]["cost_with_constant"].get<double>(), 235.0, 235e-6);
  for (const json& bus : rep["buses"]) EXPECT_NEAR(bus["lmp"].get<double>(), 7.0, 1e-3) << bus["bus"];
  ASSERT_EQ(rep["generators"].size(), 2u);
  EXPECT_EQ(rep["generators"][1]["generator"], 2);
  EXPECT_NEAR(rep["generators"][1]["output_mw"].get<double>(), 50.0, 1e-3);
  EXPECT_EQ(rep["generators"][1]["bus"], 1);
  EXPECT_EQ(rep["generators"][1]["lower_mw"], -20.0);
  ASSERT_EQ(rep["buses"].size(), 2u);
  EXPECT_NEAR(rep["buses"][0]["generation_mw"].get<double>(), 50.0, 1e-3);
  ASSERT_EQ(rep["lines"].size(), 1u);

  fs::remove(f.path() / "two.map.csv");
  ASSERT_EQ(f.corvo("report --format json", "report"), 0) << f.out("report");
  const json own = json::parse(f.out("report"));
  EXPECT_NEAR(own["generators"][1]["output_mw"].get<double>(), 70.0, 1e-3);
  EXPECT_EQ(own["generators"][1]["bus"], 3);
  EXPECT_NEAR(own["buses"][2]["load_mw"].get<double>(), 20.0, 1e-12);
}

// A piecewise-linear cost is refused, naming the generator, and no file
// is written. (Rows of a matrix are of one length, so the polynomial rows
// become cubics with a zero leading coefficient, which are accepted.)
TEST(ImportRun, RefusesWhatTheModelCannotHold) {
  RunFolder f;
  std::string text = run_folder::read_file(kData / "case9.m");
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"\t2\t1500\t0\t3\t", "\t2\t1500\t0\t4\t0\t"},
                                 {"\t2\t2000\t0\t3\t0.085\t1.2\t600;", "\t1\t2000\t0\t2\t0\t0\t300\t600;"},
                                 {"\t2\t3000\t0\t3\t", "\t2\t3000\t0\t4\t0\t"}}) {
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  run_folder::write_file(f.path() / "pwl.m", text);
  EXPECT_EQ(f.corvo("import pwl.m"), 2);
  EXPECT_EQ(f.err("corvo"),
            "corvo import: pwl.m: generator 2 (bus 2): a piecewise-linear cost, which our case file cannot hold (corvo solve "
            "takes it)\n");
  EXPECT_FALSE(fs::exists(f.path() / "pwl.dat"));
}

TEST(ImportRun, KeepsAnExistingFileUnlessForced) {
  RunFolder f;
  run_folder::write_file(f.path() / "case9.dat", "mine\r\n");
  const std::string source = "'" + (kData / "case9.m").string() + "'";
  EXPECT_EQ(f.corvo("import " + source), 2);
  EXPECT_EQ(f.err("corvo"), "corvo import: case9.dat: the file exists; --force replaces it\n");
  EXPECT_EQ(run_folder::read_file(f.path() / "case9.dat"), "mine\r\n");
  EXPECT_EQ(f.corvo("import --force " + source), 0);
  EXPECT_EQ(run_folder::read_file(f.path() / "case9.dat").substr(0, 15), "MATPOWER case9:");
}

}  // namespace
