// The optimality check: the hand-solved optimum passes; each kind of fault
// makes the named condition fail, whatever the solver claims.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "corvo/report/optimality.hpp"
#include "two_bus.hpp"

namespace corvo::report {
namespace {

OptimalityCheck check(const QpSolution& s, bool angles_free = false) {
  const dispatch::CaseData d = two_bus::case_data();
  ReportOptions options;
  options.angles_free = angles_free;
  return check_optimality(d, dispatch::build_dispatch_qp(d), s, options);
}

bool fails(const OptimalityCheck& c, const std::string& name) {
  return std::find(c.failing.begin(), c.failing.end(), name) != c.failing.end();
}

const Condition& condition(const OptimalityCheck& c, const std::string& name) {
  for (const Condition& k : c.conditions)
    if (k.name == name) return k;
  throw std::runtime_error("no condition " + name);
}

TEST(ReportOptimality, HandSolvedOptimumIsOptimal) {
  const OptimalityCheck c = check(two_bus::optimum());
  EXPECT_TRUE(c.optimal);
  EXPECT_TRUE(c.failing.empty());
  for (const Condition& k : c.conditions) EXPECT_EQ(k.value, k.name == "solver outcome" ? 7.0 : 0.0) << k.name;
}

TEST(ReportOptimality, FreeAnglesHaveNoBoundCondition) {
  const OptimalityCheck c = check(two_bus::optimum(), true);
  EXPECT_TRUE(c.optimal);
  for (const Condition& k : c.conditions) EXPECT_NE(k.name, "angle bound");
}

TEST(ReportOptimality, ReducedCostsOfTheOptimum) {
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(two_bus::case_data());
  const QpSolution s = two_bus::optimum();
  const std::vector<double> d = reduced_costs(qp, s.x, s.y);
  // Only the line's upper slack has a reduced cost: 0 - (-1) * 1000.
  EXPECT_EQ(d, (std::vector<double>{0, 0, 0, 0, 0, 0, 0, 1000, 0}));
}

struct Fault {
  const char* name;
  std::function<void(QpSolution&)> apply;
  bool angles_free;
  const char* failing;  // a condition that must fail
  double value;         // its expected largest offence, worked out by hand (NaN: not checked)
  const char* where;
};

const double kAny = std::numeric_limits<double>::quiet_NaN();

class ReportFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(ReportFaults, AreNotOptimal) {
  const Fault& f = GetParam();
  QpSolution s = two_bus::optimum();
  f.apply(s);
  const OptimalityCheck c = check(s, f.angles_free);
  EXPECT_FALSE(c.optimal);
  EXPECT_TRUE(fails(c, f.failing)) << f.failing;
  const Condition& k = condition(c, f.failing);
  if (!std::isnan(f.value)) {
    EXPECT_NEAR(k.value, f.value, 1e-9);
  }
  EXPECT_EQ(k.where, f.where);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportFaults,
    ::testing::Values(
        // The solver's word is not enough, and not needed: a correct point
        // stopped at the limit is still not reported optimal.
        Fault{"iteration_limit", [](QpSolution& s) { s.outcome = Outcome::iteration_limit; }, false,
              "solver outcome", 7.0, "stopped at the iteration limit after 7 iterations"},
        // Output 1 raised by 1/128 pu: bus 1 is 0.78125 MW out of balance.
        Fault{"extra_generation", [](QpSolution& s) { s.x[1] += 0.0078125; }, false, "power balance", 0.78125,
              "bus 1"},
        // Output 1 at -1/128 pu: 0.78125 MW below zero (found before its
        // lower limit row, which shows as much).
        Fault{"negative_output", [](QpSolution& s) { s.x[1] = -0.0078125; }, false, "limits", 0.78125,
              "generator 1 (bus 1) output below 0"},
        // Angle 2 at -0.1875: flow 0.375 pu, 12.5 MW over the limit, with
        // both buses balanced (outputs 0.375 and 0.125). The slack values
        // given are ignored: the check takes them as the rows imply them.
        Fault{"overloaded_line",
              [](QpSolution& s) {
                s.x[0] = -0.1875;
                s.x[1] = 0.375;
                s.x[2] = 0.125;
              },
              false, "limits", 12.5, "line 1 (1-2) above its upper limit"},
        // A negative line price: the slack's reduced cost 0 - (-1)(-1000)
        // is -1000, -10 $/MWh.
        Fault{"negative_price", [](QpSolution& s) { s.y[6] = -1000.0; }, false, "dual feasibility", 10.0,
              "line 1 (1-2) slack below its upper limit"},
        // A price on the slack lower limit whose surplus is 0.5 pu: the
        // product 0.5 * 500 = 250 $/h.
        Fault{"slack_price", [](QpSolution& s) { s.y[7] = 500.0; }, true, "complementarity", 250.0,
              "line 1 (1-2) surplus above its lower limit"},
        // An angle below the bound of the classic program.
        Fault{"angle_below_bound", [](QpSolution& s) { s.x[0] = -2.5; }, false, "angle bound", 0.5,
              "angle of bus 2"},
        // A value that is not finite fails, however the other values look.
        Fault{"not_finite", [](QpSolution& s) { s.x[1] = std::nan(""); }, false, "power balance", kAny, "bus 1"}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

// A value read from a file stands for a small range: a mismatch that the
// rounding of the values explains is no fault, but the allowance counts at
// most as much as the tolerance, so that values known only coarsely (a
// solver that writes everything below a large threshold as zero) never
// hide a real violation.
struct Rounding {
  const char* name;
  std::function<void(QpSolution&)> apply;
  double relative_precision;
  double zero_threshold;
  const char* condition;
  bool holds;
  double value;  // the condition's largest offence, by hand
};

class ReportRounding : public ::testing::TestWithParam<Rounding> {};

TEST_P(ReportRounding, AllowsNoMoreThanTheTolerance) {
  const Rounding& r = GetParam();
  const dispatch::CaseData d = two_bus::case_data();
  QpSolution s = two_bus::optimum();
  r.apply(s);
  s.relative_precision = r.relative_precision;
  s.zero_threshold = r.zero_threshold;
  ReportOptions options;
  options.tolerances.balance_mw = 1e-5;  // tight, so that the rounding of 6 digits matters
  const OptimalityCheck c = check_optimality(d, dispatch::build_dispatch_qp(d), s, options);
  const Condition& k = condition(c, r.condition);
  EXPECT_EQ(k.holds, r.holds);
  EXPECT_NEAR(k.value, r.value, 1e-9 * std::max(1.0, r.value));
  EXPECT_LE(k.allowance, k.tolerance);
  EXPECT_EQ(c.optimal, r.holds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportRounding,
    ::testing::Values(
        // Bus 1's row is P1 + 2*angle2 = 0.25 - 0.25. P1 off by 0.5e-6
        // relative leaves 1.25e-7 pu = 1.25e-5 MW, above the tolerance of
        // 1e-5 MW; values known to 1e-6 relative explain up to
        // 1e-6 * (0.25 + 0.25) * 100 = 5e-5 MW, counted as 1e-5: it holds.
        Rounding{"RoundingExplainsAMismatch", [](QpSolution& s) { s.x[1] = 0.25 * (1.0 + 0.5e-6); }, 1e-6, 0.0,
                 "power balance", true, 1.25e-5},
        Rounding{"ExactValuesDoNot", [](QpSolution& s) { s.x[1] = 0.25 * (1.0 + 0.5e-6); }, 0.0, 0.0,
                 "power balance", false, 1.25e-5},
        // Twice as far off, 2.5e-5 MW: more than the tolerance plus at most
        // the tolerance again, whatever the precision says.
        Rounding{"NoMoreThanTheToleranceAgain", [](QpSolution& s) { s.x[1] = 0.25 * (1.0 + 1e-6); }, 1e-6, 0.0,
                 "power balance", false, 2.5e-5},
        // The price of bus 1 cleaned away: the angle column's reduced cost
        // becomes 0 - (2*0 - 2*2000 + 2*1000) = 2000 pu, and its distance
        // from the bound, -0.125 - (-2) = 1.875, makes 3750 $/h (output 1's
        // 1000 pu times 0.25 pu, 250 $/h, is less). A zero that may stand for
        // anything up to 1e3 does not excuse it.
        Rounding{"CleanedPrice", [](QpSolution& s) { s.y[0] = 0.0; }, 0.0, 1e3, "complementarity", false, 3750.0},
        // Every value cleaned to zero by a threshold of 1e6 pu (a case
        // parameter epslnp of 1e6): no generation, and bus 2's load of
        // 0.5 pu = 50 MW unserved.
        Rounding{"EverythingCleaned",
                 [](QpSolution& s) {
                   std::fill(s.x.begin(), s.x.end(), 0.0);
                   std::fill(s.y.begin(), s.y.end(), 0.0);
                 },
                 0.0, 1e6, "power balance", false, 50.0}),
    [](const auto& info) { return std::string(info.param.name); });

// A point known only coarsely says so when it fails.
TEST(ReportOptimality, CoarseZerosAreNamedWhenThePointFails) {
  const dispatch::CaseData d = two_bus::case_data();
  QpSolution s = two_bus::optimum();
  s.y[0] = 0.0;
  s.zero_threshold = 0.1;
  const OptimalityCheck c = check_optimality(d, dispatch::build_dispatch_qp(d), s, ReportOptions{});
  ASSERT_FALSE(c.optimal);
  ASSERT_EQ(c.notes.size(), 1u);
  EXPECT_EQ(c.notes[0],
            "values up to 0.1 per unit (10 MW) were written as zero: the point is known too coarsely to be "
            "verified");
}

TEST(ReportOptimality, AngleAtTheClassicBoundIsNoted) {
  QpSolution s = two_bus::optimum();
  s.x[0] = -2.0;
  const OptimalityCheck c = check(s, true);
  ASSERT_EQ(c.notes.size(), 1u);
  EXPECT_EQ(c.notes[0], "the angle of bus 2 is at or below -2 rad, the angle bound of the classic program");
}

}  // namespace
}  // namespace corvo::report
