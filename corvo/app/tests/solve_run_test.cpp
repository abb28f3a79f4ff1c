// corvo solve as a user runs it: the robust method against the public
// reference solutions, the classic method against orsa and talven, MATPOWER
// input, the cases it refuses to solve, and wrong usage.
#include <algorithm>

#include "run_folder.hpp"

namespace {

using run_folder::RunFolder;
namespace fs = std::filesystem;
using nlohmann::json;

constexpr double kMw = 1e-3;     // MW
constexpr double kPrice = 1e-3;  // $/MWh

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// ---- The robust method on every public case ----------------------------

struct PublicCase {
  const char* key;           // in reference.json, when it has the case
  const char* file;          // under cases/
  double reference_cost;     // without constant costs, $/h (cases/README.md)
};

const PublicCase kPublicCases[] = {
    {"ieee9", "ieee9.dat", 4131.026608},
    {"ieee14", "ieee14.dat", 7642.603500},
    {"ieee30", "ieee30.dat", 565.205966},
    {"ieee39", "ieee39.dat", 41261.940786},
    {"ieee57", "ieee57.dat", 41006.676646},
    {"ieee9t", "variants/ieee9t.dat", 4143.598118},
    {"ieee30t", "variants/ieee30t.dat", 568.980320},
    {"ieee39t", "variants/ieee39t.dat", 41682.471357},
    {"ieee118", "large/ieee118.dat", 125947.877321},
    {"case300", "large/case300.dat", 706293.74},
    {"actv500", "large/actv500.dat", 54404.144},
    {"peg1354", "large/peg1354.dat", 83587.200},
    {"peg2869", "large/peg2869.dat", 153199.12},
};

void PrintTo(const PublicCase& c, std::ostream* os) { *os << c.key; }

class SolvePublic : public ::testing::TestWithParam<PublicCase> {};

// Verified optimal, at the reference cost; where the reference solution
// has the case, generation, flows and prices agree with it.
TEST_P(SolvePublic, RobustMethodReachesTheReference) {
  const PublicCase& c = GetParam();
  RunFolder f;
  ASSERT_EQ(f.corvo("solve --format json " + quoted(run_folder::kCases / c.file)), 0) << f.err("corvo");
  const json rep = json::parse(f.out("corvo"));
  EXPECT_EQ(rep["optimality"]["verdict"], "optimal");
  EXPECT_EQ(rep["summary"]["method"], "robust");
  EXPECT_NEAR(rep["summary"]["cost"].get<double>(), c.reference_cost, 1e-6 * c.reference_cost);
  const json cases = run_folder::reference()["cases"];
  if (!cases.contains(c.key)) return;
  const json& ref = cases[c.key];
  ASSERT_EQ(rep["generators"].size(), ref["Pg"].size());
  for (std::size_t k = 0; k < ref["Pg"].size(); ++k)
    EXPECT_NEAR(rep["generators"][k]["output_mw"].get<double>(), ref["Pg"][k].get<double>(), kMw) << "generator " << k + 1;
  ASSERT_EQ(rep["lines"].size(), ref["flows"].size());
  for (std::size_t l = 0; l < ref["flows"].size(); ++l)
    EXPECT_NEAR(rep["lines"][l]["flow_mw"].get<double>(), ref["flows"][l].get<double>(), kMw) << "line " << l + 1;
  ASSERT_EQ(rep["buses"].size(), ref["lmp"].size());
  for (std::size_t i = 0; i < ref["lmp"].size(); ++i)
    EXPECT_NEAR(rep["buses"][i]["lmp"].get<double>(), ref["lmp"][i].get<double>(), kPrice) << "bus " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Cases, SolvePublic, ::testing::ValuesIn(kPublicCases),
                         [](const auto& info) { return std::string(info.param.key); });

// ---- The classic method ------------------------------------------------

// --files writes what orsa then talven write, byte for byte; the results
// printed are those of the flow file (the same run in memory).
TEST(SolveClassic, FilesAreThoseOfOrsaAndTalven) {
  RunFolder pipeline, classic;
  for (const RunFolder* f : {&pipeline, &classic})
    fs::copy_file(run_folder::kCases / "variants" / "ieee9t.dat", f->path() / "ieee9t.dat");
  pipeline.solve("ieee9t");
  ASSERT_EQ(classic.corvo("solve --method classic --files ieee9t.dat"), 0) << classic.err("corvo");
  for (const char* file : {"ieee9t.lst", "orsa.ip", "orsa.flw", "ieee9t.ip", "talven.flw"}) {
    EXPECT_EQ(run_folder::read_file(classic.path() / file), run_folder::read_file(pipeline.path() / file)) << file;
  }
  EXPECT_NE(classic.out("corvo").find("Solver classic: converged in 12 iterations\n"), std::string::npos);
  // corvo report on the pipeline's files says the same as solve.
  ASSERT_EQ(pipeline.corvo("report --format json"), 0);
  ASSERT_EQ(classic.corvo("solve --method classic --format json ieee9t.dat", "solve"), 0);
  json from_report = json::parse(pipeline.out("corvo"));
  json from_solve = json::parse(classic.out("solve"));
  EXPECT_EQ(from_solve["summary"]["method"], "classic");
  EXPECT_NEAR(from_solve["summary"]["cost"].get<double>(), from_report["summary"]["cost"].get<double>(), 1e-6);
  EXPECT_EQ(from_solve["generators"].size(), from_report["generators"].size());
}

// Where the specified step stops at its limit, the classic method says so
// and the verdict is "not optimal".
TEST(SolveClassic, IterationLimitIsNotOptimal) {
  RunFolder f;
  EXPECT_EQ(f.corvo("solve --method classic " + quoted(run_folder::kCases / "variants" / "ieee30t.dat")), 1);
  EXPECT_NE(f.out("corvo").find("Solver classic: stopped at the iteration limit (100 iterations)"), std::string::npos);
  EXPECT_NE(f.out("corvo").find("Verdict: not optimal"), std::string::npos);
}

// ---- MATPOWER input -----------------------------------------------------

class SolveMatpower : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

// Imported on the way in, with every digit kept: the optimum is that of the
// unrounded source data.
TEST_P(SolveMatpower, OptimumIsThatOfTheUnroundedSource) {
  const auto& [file, key] = GetParam();
  const json ref = run_folder::reference()["cases"][key];
  const double expected =
      ref["objective_with_constant_unrounded_data"].get<double>() - ref["constant_cost_sum"].get<double>();
  RunFolder f;
  ASSERT_EQ(f.corvo(std::string("solve --format json '") + CORVO_IMPORT_DATA + "/" + file + "'"), 0) << f.err("corvo");
  const json rep = json::parse(f.out("corvo"));
  EXPECT_NEAR(rep["summary"]["cost"].get<double>(), expected, 1e-6 * expected);
  // Nothing is written beside the source or here but the logs.
  EXPECT_FALSE(fs::exists(f.path() / (fs::path(file).stem().string() + ".dat")));
}

INSTANTIATE_TEST_SUITE_P(Cases, SolveMatpower,
                         ::testing::Values(std::pair{"case9.m", "ieee9"}, std::pair{"case14.m", "ieee14"},
                                           std::pair{"case30.m", "ieee30"}),
                         [](const auto& info) { return fs::path(info.param.first).stem().string(); });

// ---- Cases that cannot be solved ----------------------------------------

// A case in the editor's formats: two buses, one line of x 0.1 between them
// with limits +-LINE MW, a reference generator at bus 1 (10 $/MWh, 0.01
// $/MW2h, limits LOW to UP MW) and LOAD MW at bus 2.
std::string two_bus(const std::string& line_mw, const std::string& up, const std::string& low,
                    const std::string& load, const std::string& x = "      0.10") {
  return "Two buses\n"
         "         2         1    100.00\n"
         "         1         2" + x + line_mw + "-" + line_mw.substr(1) + "\n"
         "         2         0\n"
         "      0.00      0.00     10.00  0.010000" + up + low + "\n" + load + "\n"
         "       100       150\n"
         "       500       500\n"
         "        99         0   1.0E-10   1.0E-35   1.0E-06   1.0E-10\n"
         "      0.99   1.0E+05   1.0E-01\n";
}

struct Unsolvable {
  const char* name;
  std::string text;
  const char* reason;  // a part of what standard error says
};

class SolveRefuses : public ::testing::TestWithParam<Unsolvable> {};

TEST_P(SolveRefuses, NamesWhyAndExitsWithOne) {
  RunFolder f;
  run_folder::write_file(f.path() / "two.dat", GetParam().text);
  EXPECT_EQ(f.corvo("solve two.dat"), 1);
  // A pre-check leaves nothing to report; an infeasible case reports the
  // relaxation it needs.
  if (std::string(GetParam().reason) != "infeasible") {
    EXPECT_EQ(f.out("corvo"), "");
  } else {
    // 50 MW must cross a line rated 30 MW: its limit must give 20 MW (the
    // elastic problem relaxes limits before it sheds load).
    EXPECT_NE(f.out("corvo").find("line 1 (bus 1-2)  flow above its upper limit  20.0000  MW"), std::string::npos)
        << f.out("corvo");
  }
  EXPECT_NE(f.err("corvo").find("corvo solve: two.dat: the case is not solved:"), std::string::npos) << f.err("corvo");
  EXPECT_NE(f.err("corvo").find(GetParam().reason), std::string::npos) << f.err("corvo");
}

// The pre-checks come before either method; the classic method, which
// has no test of its own for a diverging iterate, says "not optimal".
TEST_P(SolveRefuses, ClassicMethodRefusesToo) {
  RunFolder f;
  run_folder::write_file(f.path() / "two.dat", GetParam().text);
  EXPECT_EQ(f.corvo("solve --method classic two.dat"), 1);
  if (std::string(GetParam().reason) == "infeasible") {
    EXPECT_NE(f.out("corvo").find("Verdict: not optimal"), std::string::npos) << f.out("corvo");
  } else {
    EXPECT_NE(f.err("corvo").find(GetParam().reason), std::string::npos) << f.err("corvo");
  }
}

// The generator's capacity (200 MW) below the load (250 MW); its minimum
// (60 MW) above the load (50 MW); a line limit of 30 MW between the
// generator and a 50 MW load, which no pre-check sees.
INSTANTIATE_TEST_SUITE_P(
    Cases, SolveRefuses,
    ::testing::Values(Unsolvable{"CapacityBelowLoad", two_bus("    100.00", "    200.00", "      0.00", "    250.00"),
                                 "capacity"},
                      Unsolvable{"MinimumAboveLoad", two_bus("    100.00", "    200.00", "     60.00", "     50.00"),
                                 "minimum"},
                      Unsolvable{"LimitsCrossed", two_bus("    100.00", "     20.00", "     60.00", "     50.00"),
                                 "above its upper limit"},
                      Unsolvable{"LineTooWeak", two_bus("     30.00", "    200.00", "      0.00", "     50.00"),
                                 "infeasible"}),
    [](const auto& info) { return std::string(info.param.name); });

// 250 MW over a line of x 1.0 on 100 MVA needs an angle of -2.5 rad at bus
// 2: the robust method, whose angles are free, solves it and says that the
// classic program's bound of -2 rad would bind there.
TEST(SolveRobust, AngleBeyondTheClassicBoundIsNoted) {
  RunFolder f;
  run_folder::write_file(f.path() / "two.dat",
                         two_bus("   9999.00", "    300.00", "      0.00", "    250.00", "      1.00"));
  ASSERT_EQ(f.corvo("solve --format json two.dat"), 0) << f.err("corvo");
  const json rep = json::parse(f.out("corvo"));
  EXPECT_NEAR(rep["buses"][1]["angle_deg"].get<double>(), -2.5 * 180.0 / 3.141592653589793, 1e-6);
  ASSERT_EQ(rep["optimality"]["notes"].size(), 1u);
  EXPECT_NE(rep["optimality"]["notes"][0].get<std::string>().find("bus 2"), std::string::npos);
}

TEST(SolveRobust, VerboseLogsEveryIterationOnStandardError) {
  RunFolder f;
  run_folder::write_file(f.path() / "two.dat", two_bus("    100.00", "    200.00", "      0.00", "     50.00"));
  ASSERT_EQ(f.corvo("solve --verbose --format json two.dat"), 0);
  const std::string log = f.err("corvo");
  EXPECT_EQ(log.rfind("iter   rel. gap", 0), 0u) << log;
  const json rep = json::parse(f.out("corvo"));  // standard output holds the document alone
  // The header, iterations 0..k (and a polishing iteration that may not
  // have been kept), then the time of each phase.
  const auto lines = static_cast<int>(std::count(log.begin(), log.end(), '\n'));
  const int iterations = rep["summary"]["iterations"].get<int>();
  EXPECT_GE(lines, 1 + iterations + 1 + 1) << log;
  EXPECT_LE(lines, 1 + iterations + 2 + 1) << log;
  EXPECT_NE(log.find("\ntimes (s): read "), std::string::npos) << log;
}

// ---- Wrong usage ---------------------------------------------------------

struct Misuse {
  const char* name;
  const char* args;
  const char* message;
};

class SolveMisuse : public ::testing::TestWithParam<Misuse> {};

TEST_P(SolveMisuse, IsAnInputError) {
  RunFolder f;
  run_folder::write_file(f.path() / "two.dat", two_bus("    100.00", "    200.00", "      0.00", "     50.00"));
  run_folder::write_file(f.path() / "case.m", "function mpc = case\nmpc.version = '2';\n");
  EXPECT_EQ(f.corvo(GetParam().args), 2);
  EXPECT_NE(f.err("corvo").find(GetParam().message), std::string::npos) << f.err("corvo");
  EXPECT_EQ(f.out("corvo"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveMisuse,
    ::testing::Values(Misuse{"MissingCase", "solve absent.dat", "absent.dat: no such case file"},
                      Misuse{"FilesWithRobust", "solve --files two.dat", "--files goes with --method classic"},
                      Misuse{"FilesWithMatpower", "solve --method classic --files case.m", "convert it first"},
                      Misuse{"CsvWithoutFolder", "solve --format csv two.dat", "--format csv needs --output"},
                      Misuse{"UnknownMethod", "solve --method fast two.dat", "--method"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
