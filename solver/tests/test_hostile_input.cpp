// Problem files that once made talven run away or report success at a
// point that solves nothing: the frozen iterate of the interleaved ieee9t
// problem, a zero step, negative starting points, and sizes that the file
// cannot back.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

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

// The console ends with the error message "(/,/,' *** Error - ',A,' ***',/,/)"
// and the stop.
std::string console_error(const std::string& text) {
  return " *** Error - " + text + " ***\n\n\n" + kStop;
}

// ---- The frozen iterate ---------------------------------------------------------

// ieee9t as orsa wrote it before the limit rows were grouped in blocks
// (rows interleaved), with iprint 1. From iteration 93 on a slack z(j) is
// zero or denormal, the dual ratio -(dz(j)/z(j)) overflows to Infinity and
// the step factor rho/Infinity is 0: the iterate would stay frozen until
// the iteration limit, whatever it is.
TEST(FrozenIterate, InterleavedIeee9tStopsAtTheInfiniteRatio) {
  RunDir dir;
  std::string problem = read_file(std::string(TALVEN_FIXTURES_DIR) + "/ieee9t_interleaved_orsa.ip");
  // maxit (columns 21-30 of the parameter record) from 99 to 99999.
  const std::string record = "  .990D+00  .100D-07        99  .100D+06";
  ASSERT_EQ(count(problem, record), 1u);
  problem.replace(problem.find(record), record.size(), "  .990D+00  .100D-07     99999  .100D+06");
  std::ofstream(dir / "orsa.ip", std::ios::binary) << problem;

  const RunResult run = run_in(dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.console.ends_with(
      console_error("Step ratio Alphad is not finite in iteration 93")))
      << run.console.substr(run.console.size() > 400 ? run.console.size() - 400 : 0);
  EXPECT_EQ(count(run.console, "Iteration  "), 94u);  // iterations 0 to 93
  const std::string report = read_file(dir / "ieee9t.ip");
  EXPECT_EQ(count(report, " Alphad =     Infinity"), 1u);
  EXPECT_EQ(read_file(dir / "talven.flw"), "");
}

TEST(FrozenIterate, ZeroStepFactorStops) {
  // rho = 0 makes the step factor rho / max(Alphap, Alphad) exactly 0 in
  // the first pass (two_bus decreases some component, so a ratio exists).
  RunDir dir;
  ProblemInput input = two_bus();
  input.rho = 0.0;
  input.maxit = 99;
  const RunResult run = run_problem(dir, input);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.console.ends_with(console_error("Step factor is zero in iteration 0")))
      << run.console;
  EXPECT_EQ(count(run.console, "Iteration  "), 1u);
}

// ---- Negative starting points ---------------------------------------------------------

TEST(NegativeStart, NegativeGapIsNotConvergence) {
  // x(2) = -1D+296 with z(2) = 1 after the start rules: the gap is about
  // -1D+296, below epsln, and the indices are 0 at k = 0. That used to be
  // "Convergence reached in 0 iterations" with the cost written as Infinity.
  RunDir dir;
  ProblemInput input = two_bus();
  input.x[1] = -1.0e296;
  const RunResult run = run_problem(dir, input);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console.find("Convergence reached"), std::string::npos) << run.console;
  EXPECT_EQ(run.console.find("Infinity"), std::string::npos);
  EXPECT_EQ(count(run.console, " *** Error - "), 1u) << run.console;
  EXPECT_EQ(read_file(dir / "talven.flw"), "");
}

TEST(NegativeStart, NegativeStartThatStillSolvesIteratesOn) {
  // min x + 0.5 x^2 subject to x = 1, x >= 0: the only feasible point is
  // x = 1. A start of x = -0.5 gives the gap 1 * (-0.5) < 0 at k = 0,
  // which is not convergence; the iteration goes on to x = 1.
  RunDir dir;
  ProblemInput input = testing::one_variable(1.0, 0.0);
  input.flags = {0};
  input.lb.clear();
  input.x = {-0.5};
  const RunResult run = run_problem(dir, input);
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.console.find("Convergence reached in   0  iterations"), std::string::npos);
  EXPECT_NE(run.console.find("Convergence reached in"), std::string::npos) << run.console;
  EXPECT_EQ(testing::count(read_file(dir / "caso1.ip"), "Primal Solution Vector:"), 1u);
  EXPECT_NE(read_file(dir / "caso1.ip").find("Primal Solution Vector:\r\n\r\n\r\n          1.0000"),
            std::string::npos);
}

// ---- Sizes ---------------------------------------------------------------------------

struct SizeCase {
  const char* name;
  std::string sizes;     // the size record
  std::string expected;  // part of the report on standard error or console
  int status;
};

class ProblemSizes : public ::testing::TestWithParam<SizeCase> {};

// Records that the sizes announce, at the least (no lower bounds):
// (m + 4) ceil(n/4) + 2 ceil(m/4) + ceil(n/8) + 2. For m = n = 1000000000
// that is 1000000004 * 250000000 + 500000000 + 125000000 + 2.
TEST_P(ProblemSizes, AreCheckedBeforeStorageIsSized) {
  RunDir dir;
  std::ofstream(dir / "orsa.ip", std::ios::binary)
      << "caso1         \r\n" << std::string(80, 'T') << "\r\n" << GetParam().sizes << "\r\n";
  const RunResult run = run_in(dir);
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_NE((run.errors + run.console).find(GetParam().expected), std::string::npos)
      << run.errors << run.console;
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, ProblemSizes,
    ::testing::Values(
        SizeCase{"HugeBoth", "10000000001000000000       500       500",
                 "record 3: m = 1000000000 constraints and n = 1000000000 primal variables need "
                 "at least 250000001625000002 more records, but the file has only 0 bytes left",
                 records::kRunTimeErrorStatus},
        // m = 1, n = 4: (1 + 4) * 1 + 2 * 1 + 1 + 2 = 10 records.
        SizeCase{"SmallButMissing", "         1         4       500       500",
                 "need at least 10 more records", records::kRunTimeErrorStatus},
        SizeCase{"NegativeConstraints", "        -5         4       500       500",
                 "The problem needs at least one constraint and one primal variable", 0},
        SizeCase{"NegativeVariables", "         1-2147483647       500       500",
                 "The problem needs at least one constraint and one primal variable", 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace talven
