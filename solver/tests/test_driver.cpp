// Whole runs of talven in a temporary directory: the example case against
// its golden files, the edge cases of the problem file, both final reports
// and the refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "problem_writer.hpp"
#include "records/records.hpp"
#include "run_dir.hpp"
#include "talven_run.hpp"
#include "talven/driver.hpp"

namespace talven {
namespace {

using testing::count;
using testing::ProblemInput;
using testing::kStop;
using testing::read_file;
using testing::run_in;
using testing::run_problem;
using testing::RunResult;
using testing::RunDir;
using testing::two_bus;
using testing::write_problem_file;

// The reals of the flow file, in order ("D" exponents read as "E").
std::vector<double> flow_reals(const std::string& flow) {
  std::vector<double> values;
  std::istringstream lines(flow);
  for (std::string line; std::getline(lines, line);) {
    if (line.find('D') == std::string::npos) continue;
    for (char& ch : line) {
      if (ch == 'D') ch = 'E';
    }
    std::istringstream fields(line);
    for (double v; fields >> v;) values.push_back(v);
  }
  return values;
}

// The lines of the section that follows `caption` up to the next empty
// line after its values.
std::string section(const std::string& report, const std::string& caption) {
  const std::size_t at = report.find(caption);
  if (at == std::string::npos) return {};
  std::size_t begin = report.find_first_not_of("\r\n", report.find('\n', at));
  std::size_t end = report.find("\r\n\r\n", begin);
  return report.substr(begin, end - begin);
}

// ---- The example case ------------------------------------------------------

// The example in cases/ is the two-bus problem written record by record
// with the builder's templates.
TEST(TwoBus, ExampleFileIsTheBuildersLayout) {
  RunDir dir;
  write_problem_file(dir / "orsa.ip", two_bus());
  EXPECT_EQ(read_file(dir / "orsa.ip"), read_file(std::string(TALVEN_CASES_DIR) + "/twobus.ip"));
}

// The golden files hold the report, the flow file and the console of the
// example. Files end their records with CR LF, the console with LF; every
// line is one record of the templates that the program writes. Checked by
// hand: the generator ends at .5000 and the angle at -.0500, the dual
// variables of both balances at 1050 (the marginal cost 1000 + 100 * 0.5),
// the cost at 1000 * 0.5 + 0.5 * 100 * 0.25 = 512.5.
TEST(TwoBus, MatchesGoldenFiles) {
  RunDir dir;
  std::filesystem::copy_file(std::string(TALVEN_CASES_DIR) + "/twobus.ip", dir / "orsa.ip");
  const RunResult run = run_in(dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.errors, "");
  const std::string golden = std::string(TALVEN_GOLDEN_DIR) + "/twobus/";
  EXPECT_EQ(read_file(dir / "caso1.ip"), read_file(golden + "caso1.ip"));
  EXPECT_EQ(read_file(dir / "talven.flw"), read_file(golden + "talven.flw"));
  EXPECT_EQ(run.console, read_file(golden + "console.txt"));
}

TEST(TwoBus, SolutionOfTheDispatch) {
  RunDir dir;
  const RunResult run = run_problem(dir, two_bus());
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.console.find("Convergence reached in  13  iterations"), std::string::npos);
  const std::vector<double> reals = flow_reals(read_file(dir / "talven.flw"));
  ASSERT_EQ(reals.size(), 6u + 6u + 1u + 5u);
  EXPECT_NEAR(reals[0], -0.05, 1e-9);  // angle of bus 2, bound added back
  EXPECT_NEAR(reals[1], 0.5, 1e-9);    // generator output
  EXPECT_NEAR(reals[12], 512.5, 1e-6); // cost
  EXPECT_TRUE(run.console.ends_with(kStop));
}

// ---- Print levels -----------------------------------------------------------

TEST(PrintLevels, ReportsGrowConsoleAndResultsStay) {
  RunDir base_dir;
  const std::string base_console = run_problem(base_dir, two_bus()).console;
  const std::string base_flow = read_file(base_dir / "talven.flw");
  for (std::int32_t iprint : {1, 2, 3}) {
    RunDir dir;
    ProblemInput input = two_bus();
    input.iprint = iprint;
    const RunResult run = run_problem(dir, input);
    ASSERT_EQ(run.status, 0);
    const std::string report = read_file(dir / "caso1.ip");
    // Printing changes no value, and the extra reports go to the case
    // report only.
    EXPECT_EQ(read_file(dir / "talven.flw"), base_flow) << iprint;
    EXPECT_EQ(run.console, base_console) << iprint;
    // 13 Newton steps (iterations 0 to 12).
    EXPECT_EQ(count(report, "Direction for dual variables"), 13u) << iprint;
    EXPECT_EQ(count(report, "Alphap = "), 13u) << iprint;
    EXPECT_EQ(count(report, "Updated primal variables - Iteration  12"), 1u) << iprint;
    EXPECT_EQ(count(report, "Observation Matrix"), iprint == 2 ? 13u : 0u) << iprint;
    EXPECT_EQ(count(report, "Matriz T1"), iprint == 2 ? 13u : 0u) << iprint;
    EXPECT_EQ(count(report, "Weighted Sum of Squared Residuals"), iprint == 2 ? 13u : 0u);
    // Every weight is accepted: six rotations per step.
    EXPECT_EQ(count(report, "Rotation of row "), iprint == 3 ? 13u * 6u : 0u) << iprint;
    EXPECT_EQ(count(report, "Cumulative Sum of Squared Residuals"), iprint == 3 ? 78u : 0u);
  }
}

TEST(PrintLevels, TraceShowsWholeWorkingFactor) {
  RunDir dir;
  ProblemInput input = two_bus();
  input.iprint = 3;
  input.maxit = 0;
  run_problem(dir, input);
  const std::string report = read_file(dir / "caso1.ip");
  const std::size_t at = report.find("Rotation of row   1\r\n ====================\r\n\r\n\r\n"
                                     " Matriz U after rotations\r\n\r\n");
  ASSERT_NE(at, std::string::npos);
  // K = 12 rows of 11 + 1 values; row 12 of F is the last identity row.
  std::istringstream lines(report.substr(at));
  std::string line;
  for (int skip = 0; skip < 6; ++skip) std::getline(lines, line);
  int rows = 0;
  while (std::getline(lines, line) && line != "\r") {
    ++rows;
    if (rows % 2 == 1) {
      EXPECT_EQ(line.size(), 11u * 12u + 1u) << rows;  // with the CR
    }
  }
  EXPECT_EQ(rows, 24);
}

TEST(PrintLevels, LevelZeroWritesNothingBetweenIterationLines) {
  RunDir dir;
  run_problem(dir, two_bus());
  const std::string report = read_file(dir / "caso1.ip");
  const std::size_t end_of_first = report.find('\n', report.find("Iteration    0"));
  const std::size_t second = report.find("Iteration    1");
  ASSERT_LT(end_of_first, second);
  EXPECT_EQ(report.substr(end_of_first, second - end_of_first), "\n\r\n\r\n\r\n");
}

// Level 1 on the one-variable problem (A = 1, c = q = 1, bm = -3 + 5 = 2,
// start x = y = z = 1): gap 1, mu .1, t = 1, u = 0, v = -.9, W = .5, so
// dy = (1 + .5 * .9) / .5 = 2.9, dx = (-.9 + 2.9) * .5 = 1, dz = -.9 - 1 =
// -1.9. No dx is negative (Alphap keeps -1.0E+06), Alphad = 1.9 and the
// step .99 / 1.9 gives x = 1.5211, y = 2.5111, z = .0100.
TEST(PrintLevels, LevelOneReportLayout) {
  RunDir dir;
  ProblemInput input = testing::one_variable(-3.0, -5.0);
  input.iprint = 1;
  input.maxit = 0;
  run_problem(dir, input);
  const std::string expected =
      "Dual fact. =   .00000D+00\r\n\r\n\r\n\r\n"
      " Direction for dual variables\r\n\r\n\r\n"
      "          2.9000\r\n\r\n\r\n"
      " Direction for primal variables\r\n\r\n\r\n"
      "          1.0000\r\n\r\n\r\n"
      " Direction for dual slacks\r\n\r\n\r\n"
      "         -1.9000\r\n\r\n\r\n"
      " Alphap =  -.10000D+07\r\n\r\n\r\n\r\n"
      " Alphad =   .19000D+01\r\n\r\n\r\n\r\n"
      " Updated primal variables - Iteration   0\r\n\r\n\r\n"
      "          1.5211\r\n\r\n\r\n"
      " Updated dual variables \r\n\r\n\r\n"
      "          2.5111\r\n\r\n\r\n"
      " Updated dual slacks \r\n\r\n\r\n"
      "           .0100\r\n\r\n\r\n"
      "Iteration    1";
  EXPECT_NE(read_file(dir / "caso1.ip").find(expected), std::string::npos);
}

// One variable, one constraint (A = 1, q = 1, start x = z = 1): the weight
// is 1/(1/1 + 1) = .5, the row (1, 1) is absorbed at pivot 1 with d(1) = .5,
// U = 1 and T1 = 1/1 = 1, and nothing is left for the sum of squares.
TEST(PrintLevels, LevelTwoReportLayout) {
  RunDir dir;
  ProblemInput input = testing::one_variable(-3.0, -5.0);
  input.iprint = 2;
  input.maxit = 0;
  run_problem(dir, input);
  const std::string expected =
      "Iteration    0    Gap =   .10000D+01  Primal fact. =   .00000D+00  Dual fact. =   .00000D+00\r\n"
      "\r\n\r\n\r\n"
      " Number of measurements  =   1\r\n"
      " Number of states =      1\r\n"
      " Row parameter for dimensioning H = 500\r\n"
      " Dimensioning parameter for U =500\r\n\r\n\r\n"
      " Observation Matrix\r\n"
      "          1.0000\r\n\r\n\r\n"
      " Measurement weights\r\n\r\n\r\n"
      "           .5000\r\n\r\n\r\n"
      " *****  Unit Upper Triangular Matrix  *****\r\n\r\n\r\n"
      "          1.0000\r\n\r\n\r\n"
      " *****  Weights for the rows of U  *****\r\n\r\n\r\n"
      "           .5000\r\n\r\n\r\n"
      " *** Weighted Sum of Squared Residuals =   .0000D+00 ***\r\n\r\n\r\n"
      " *****  Matriz T1  *****\r\n\r\n\r\n"
      "          1.0000\r\n\r\n\r\n"
      " Direction for dual variables\r\n";
  EXPECT_NE(read_file(dir / "caso1.ip").find(expected), std::string::npos);
}

// The same problem at level 3: one trace block, F of order 2 with
// F(1,2) = 1 under "(11D12.4)".
TEST(PrintLevels, LevelThreeTraceLayout) {
  RunDir dir;
  ProblemInput input = testing::one_variable(-3.0, -5.0);
  input.iprint = 3;
  input.maxit = 0;
  run_problem(dir, input);
  const std::string expected =
      "Dual fact. =   .00000D+00\r\n"
      "\r\n"
      " Rotation of row   1\r\n"
      " ====================\r\n\r\n\r\n"
      " Matriz U after rotations\r\n\r\n"
      "   .1000D+01   .1000D+01\r\n"
      "   .0000D+00   .1000D+01\r\n\r\n\r\n"
      " Cumulative Sum of Squared Residuals =   .0000D+00\r\n\r\n\r\n\r\n"
      " Direction for dual variables\r\n\r\n\r\n"
      "          2.9000\r\n";
  const std::string report = read_file(dir / "caso1.ip");
  EXPECT_NE(report.find(expected), std::string::npos);
  EXPECT_EQ(report.find("Observation Matrix"), std::string::npos);
}

// ---- Edge cases of the problem file -----------------------------------------

TEST(ProblemFile, NoFlaggedVariables) {
  RunDir dir;
  ProblemInput input = two_bus();
  input.flags.assign(6, 0);
  input.lb.clear();
  input.maxit = 1;  // without its bound the angle cannot reach -0.05: only the echo counts here
  const RunResult run = run_problem(dir, input);
  EXPECT_EQ(run.status, 0) << run.errors;
  const std::string report = read_file(dir / "caso1.ip");
  EXPECT_NE(report.find("\r\n\r\n There are no possibly negative primal variables\r\n\r\n\r\n"), std::string::npos);
  EXPECT_EQ(report.find("Lower bounds"), std::string::npos);
  EXPECT_EQ(section(report, "Vector b modified for lower bounds"),
            section(report, "r.h.s. vector for constraints"));
}

TEST(ProblemFile, ZeroEpslnpTakesEpsln) {
  RunDir dir;
  ProblemInput input = two_bus();
  input.epslnp = 0.0;
  run_problem(dir, input);
  EXPECT_NE(read_file(dir / "caso1.ip").find(" epslnp =  .1000D-09\r\n"), std::string::npos);
}

TEST(ProblemFile, BigmAndDualGuessesChangeNothing) {
  RunDir base;
  run_problem(base, two_bus());
  RunDir dir;
  ProblemInput input = two_bus();
  input.bigm = 3.0;
  input.y = {5.0, -4.0, 3.0, 2.0, 1.0, 9.0};
  run_problem(dir, input);
  EXPECT_EQ(read_file(dir / "talven.flw"), read_file(base / "talven.flw"));
}

TEST(ProblemFile, LongCaseNameGivesNoExtension) {
  RunDir dir;
  ProblemInput input = two_bus();
  input.case_name = "dispatch10";
  const RunResult run = run_problem(dir, input);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "dispatch10"));
  EXPECT_FALSE(std::filesystem::exists(dir / "dispatch10.ip"));
}

TEST(ProblemFile, EndsEarly) {
  RunDir dir;
  write_problem_file(dir / "orsa.ip", two_bus());
  // Cut the file after the first constraint row.
  std::string text = read_file(dir / "orsa.ip");
  std::size_t cut = 0;
  for (int line = 0; line < 9; ++line) cut = text.find('\n', cut) + 1;
  std::ofstream(dir / "orsa.ip", std::ios::binary | std::ios::trunc) << text.substr(0, cut);
  const RunResult run = run_in(dir);
  EXPECT_EQ(run.status, records::kRunTimeErrorStatus);
  EXPECT_FALSE(run.errors.empty());
  // The echo written before the failure stays in the report.
  EXPECT_NE(read_file(dir / "caso1.ip").find("Constraint coefficient matrix"), std::string::npos);
}

TEST(ProblemFile, MalformedField) {
  RunDir dir;
  write_problem_file(dir / "orsa.ip", two_bus());
  std::string text = read_file(dir / "orsa.ip");
  text.replace(text.find("       500"), 10, "      5x0 ");
  std::ofstream(dir / "orsa.ip", std::ios::binary | std::ios::trunc) << text;
  const RunResult run = run_in(dir);
  EXPECT_EQ(run.status, records::kRunTimeErrorStatus);
  EXPECT_FALSE(run.errors.empty());
}

TEST(ProblemFile, Missing) {
  RunDir dir;
  const RunResult run = run_in(dir);
  EXPECT_EQ(run.status, records::kRunTimeErrorStatus);
  EXPECT_FALSE(std::filesystem::exists(dir / "talven.flw"));
}

TEST(ProblemFile, NothingToSolve) {
  RunDir dir;
  ProblemInput input;
  input.title = "empty";
  const RunResult run = run_problem(dir, input);
  EXPECT_EQ(run.status, 0);
  const std::string message =
      "\n\n *** Error - The problem needs at least one constraint and one primal variable ***\n\n\n";
  EXPECT_EQ(run.console, message + kStop);
}

// ---- Final reports ------------------------------------------------------------

TEST(FinalReport, RestoresTheLowerBound) {
  // x - lb = 2 - ... : b = -3 with bound -5 gives the shifted value 2.
  RunDir dir;
  const RunResult run = run_problem(dir, testing::one_variable(-3.0, -5.0));
  ASSERT_EQ(run.status, 0) << run.errors;
  const std::string report = read_file(dir / "caso1.ip");
  EXPECT_NE(section(report, "Vector b modified for lower bounds").find("2.0000"), std::string::npos);
  EXPECT_EQ(section(report, "Primal Solution Vector:"), "         -3.0000");
  const std::vector<double> reals = flow_reals(read_file(dir / "talven.flw"));
  EXPECT_NEAR(reals[0], -3.0, 1e-9);
}

TEST(FinalReport, ConvergenceAtZero) {
  // Starting gap 1e-5 * 1e-5 below epsln: no Newton step.
  RunDir dir;
  ProblemInput input = testing::one_variable(1.0, 0.0);
  input.flags = {0};
  input.lb.clear();
  input.x = {1.0e-5};
  input.z = {1.0e-5};
  input.epsln = 1.0e-9;
  const RunResult run = run_problem(dir, input);
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.console.find("Convergence reached in   0  iterations"), std::string::npos);
  const std::string flow = read_file(dir / "talven.flw");
  EXPECT_NE(flow.find("\r\n    0\r\n"), std::string::npos);  // record 6, the iteration counter
  EXPECT_TRUE(flow.starts_with("    1\r\n    1    1\r\n"));
  // Cleaning at epslnp = 1e-6 sets the tiny x to zero after the cost.
  EXPECT_EQ(section(read_file(dir / "caso1.ip"), "Primal Solution Vector:"), "           .0000");
}

TEST(FinalReport, IterationLimit) {
  RunDir dir;
  ProblemInput input = two_bus();
  input.maxit = 0;
  const RunResult run = run_problem(dir, input);
  ASSERT_EQ(run.status, 0);
  const std::string report = read_file(dir / "caso1.ip");
  EXPECT_NE(report.find("                     Maximum number of iterations exceeded - k =   1\r\n\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(report.find("Current Primal Vector:"), std::string::npos);
  EXPECT_EQ(report.find("Cost function optimum value"), std::string::npos);
  EXPECT_EQ(count(report, "Feasibility indices:"), 1u);
  // The console has the limit line but not the norms nor the closing line.
  EXPECT_NE(run.console.find("Maximum number of iterations exceeded - k =   1"), std::string::npos);
  EXPECT_EQ(run.console.find("Feasibility"), std::string::npos);
  EXPECT_EQ(run.console.find("*****"), std::string::npos);

  const std::string flow = read_file(dir / "talven.flw");
  EXPECT_TRUE(flow.starts_with("    0\r\n    6    6\r\n"));
  EXPECT_NE(flow.find("\r\n       .00000000D+00\r\n    1\r\n"), std::string::npos);  // cost 0, k = 1
  // The last entry takes two records: four values, then epsln alone.
  EXPECT_TRUE(flow.ends_with("\r\n       .10000000D-09\r\n"));
}

TEST(FinalReport, IterationLimitKeepsLastPassIndices) {
  // The flow file's indices are those printed on the last iteration line.
  RunDir dir;
  ProblemInput input = two_bus();
  input.maxit = 2;
  const RunResult run = run_problem(dir, input);
  const std::vector<double> reals = flow_reals(read_file(dir / "talven.flw"));
  ASSERT_EQ(reals.size(), 18u);
  // Iteration line 3: primal fact. .30170D+00, dual fact. .33126D+02.
  EXPECT_NEAR(reals[15], 0.30170, 5e-6);
  EXPECT_NEAR(reals[16], 33.126, 5e-4);
}

// ---- Refusals and failures -------------------------------------------------------

struct ClashCase {
  const char* case_name;
  const char* report;
  const char* clashes_with;
};

class ReportNameClash : public ::testing::TestWithParam<ClashCase> {};

TEST_P(ReportNameClash, RefusedBeforeAnythingIsOpened) {
  RunDir dir;
  ProblemInput input = two_bus();
  input.case_name = GetParam().case_name;
  write_problem_file(dir / "orsa.ip", input);
  const std::string problem_before = read_file(dir / "orsa.ip");
  const RunResult run = run_in(dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console, std::string("\n\n *** Error - Report file name ") + GetParam().report +
                             " is the name of the " + GetParam().clashes_with + " ***\n\n\n" + kStop);
  EXPECT_EQ(read_file(dir / "orsa.ip"), problem_before);
  EXPECT_FALSE(std::filesystem::exists(dir / "talven.flw"));
}

INSTANTIATE_TEST_SUITE_P(Names, ReportNameClash,
                         ::testing::Values(ClashCase{"orsa", "orsa.ip", "problem file"},
                                           ClashCase{"./orsa", "./orsa.ip", "problem file"},
                                           ClashCase{"talven.flw", "talven.flw", "flow file"}));

TEST(Failures, NonFiniteWeightStopsTheRun) {
  // q = -1 with the start z/x = 1: the weight 1/(z/x + q) is infinite.
  RunDir dir;
  ProblemInput input = testing::one_variable(2.0, 0.0);
  input.flags = {0};
  input.lb.clear();
  input.q = {-1.0};
  const RunResult run = run_problem(dir, input);
  EXPECT_EQ(run.status, 0);
  const std::string message = " *** Error - Weight W(1) is zero or not finite in iteration 0 ***";
  EXPECT_EQ(count(run.console, message), 1u);
  EXPECT_TRUE(run.console.ends_with(message + "\n\n\n" + kStop));
  EXPECT_TRUE(read_file(dir / "caso1.ip").ends_with(message + "\r\n\r\n\r\n"));
  EXPECT_EQ(read_file(dir / "talven.flw"), "");
}

TEST(Failures, ZeroRotationTolerance) {
  RunDir dir;
  ProblemInput input = two_bus();
  input.epslgiv = 0.0;
  const RunResult run = run_problem(dir, input);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.console.find(" *** Error - Tolerance epslgiv is not positive in iteration 0 ***"),
            std::string::npos);
  EXPECT_NE(read_file(dir / "caso1.ip").find("epslgiv is not positive"), std::string::npos);
}

TEST(Failures, OldFlowFileIsNotLeftAsAResult) {
  RunDir dir;
  std::ofstream(dir / "talven.flw") << "an older result\n";
  ProblemInput input = two_bus();
  input.epslgiv = -1.0;
  run_problem(dir, input);
  EXPECT_EQ(read_file(dir / "talven.flw"), "");
}

}  // namespace
}  // namespace talven
