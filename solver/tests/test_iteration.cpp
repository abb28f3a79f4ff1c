// The interior-point iteration: step ratios, step factor, both exits and
// the refusal to iterate on non-finite values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "talven/iteration.hpp"

namespace talven {
namespace {

TEST(StepRatio, RoundsToSinglePrecision) {
  bool found = false;
  const std::vector<double> dx{-1.0, 2.0, -0.5}, x{3.0, 1.0, 0.25};
  // Ratios 1/3 and 2: the maximum is 2, exact in single precision; the
  // first ratio was stored as float(1/3) before.
  EXPECT_EQ(step_ratio(dx, x, found), 2.0);
  EXPECT_TRUE(found);
  const std::vector<double> third{-1.0}, one{3.0};
  EXPECT_EQ(step_ratio(third, one, found), static_cast<double>(static_cast<float>(1.0 / 3.0)));
  EXPECT_NE(step_ratio(third, one, found), 1.0 / 3.0);
}

TEST(StepRatio, NoDecreaseKeepsStartValue) {
  bool found = true;
  const std::vector<double> dx{0.0, 1.0}, x{1.0, 1.0};
  EXPECT_EQ(step_ratio(dx, x, found), kNoRatio);
  EXPECT_FALSE(found);
}

TEST(StepFactor, LargerRatioDecides) {
  EXPECT_DOUBLE_EQ(step_factor(0.99, 2.0, 0.5, true), 0.495);
  EXPECT_DOUBLE_EQ(step_factor(0.99, 0.5, 2.0, true), 0.495);
  EXPECT_EQ(step_factor(0.99, kNoRatio, kNoRatio, false), 1.0);
}

// Records what the iteration reports.
struct Recorder : IterationObserver {
  struct Line {
    int k;
    double gap, primal, dual;
  };
  std::vector<Line> lines;
  std::vector<double> dx, dz, dy, x, alphas;
  int updates = 0;
  void iteration_line(int k, double gap, double p, double d) override { lines.push_back({k, gap, p, d}); }
  void dual_direction(std::span<const double> v) override { dy.assign(v.begin(), v.end()); }
  void primal_direction(std::span<const double> v) override { dx.assign(v.begin(), v.end()); }
  void slack_direction(std::span<const double> v) override { dz.assign(v.begin(), v.end()); }
  void primal_ratio(double a) override { alphas.push_back(a); }
  void dual_ratio(double a) override { alphas.push_back(a); }
  void updated(int, std::span<const double> v, std::span<const double>, std::span<const double>) override {
    x.assign(v.begin(), v.end());
    ++updates;
  }
};

// min 5 x subject to x = rhs, one variable and one constraint.
struct OneByOne {
  Matrix a{1, 1};
  std::vector<double> rhs{3.0}, c{5.0}, q{0.0};
  IterationParams params;
  IterationState state;
  OneByOne() {
    a(0, 0) = 1.0;
    params.rho = 0.99;
    params.epsln = 1.0e-10;
    params.sigma = 0.1;
    params.epslgiv = 1.0e-35;
    state.x = {1.0};
    state.y = {1.0};
    state.z = {1.0};
  }
  IterationOutcome run(IterationObserver& observer) {
    return interior_point({a, rhs, c, q}, params, state, observer);
  }
};

TEST(InteriorPoint, ConvergesAtZeroWhenGapIsSmall) {
  OneByOne p;
  p.state.z = {1.0e-12};  // gap 1e-12, residuals far from zero
  Recorder recorder;
  const IterationOutcome outcome = p.run(recorder);
  EXPECT_EQ(outcome.end, IterationEnd::Converged);
  EXPECT_EQ(p.state.k, 0);
  ASSERT_EQ(recorder.lines.size(), 1u);
  EXPECT_EQ(recorder.lines[0].primal, 0.0);
  EXPECT_EQ(recorder.lines[0].dual, 0.0);
}

TEST(InteriorPoint, ZeroIterationLimitAllowsOneStep) {
  OneByOne p;
  p.params.maxit = 0;
  Recorder recorder;
  const IterationOutcome outcome = p.run(recorder);
  EXPECT_EQ(outcome.end, IterationEnd::LimitExceeded);
  EXPECT_EQ(p.state.k, 1);
  ASSERT_EQ(recorder.lines.size(), 2u);
  // The second line shows the residual norms of the point before the step:
  // t = 3 - 1 = 2 and u = 5 - 1 - 1 = 3.
  EXPECT_EQ(recorder.lines[1].primal, 2.0);
  EXPECT_EQ(recorder.lines[1].dual, 3.0);
  EXPECT_EQ(recorder.updates, 0);  // print level 0
}

TEST(InteriorPoint, ConvergesOnSmallProblem) {
  OneByOne p;
  p.params.maxit = 50;
  Recorder recorder;
  const IterationOutcome outcome = p.run(recorder);
  ASSERT_EQ(outcome.end, IterationEnd::Converged);
  EXPECT_NEAR(p.state.x[0], 3.0, 1e-9);
  EXPECT_NEAR(p.state.y[0], 5.0, 1e-8);
  EXPECT_LE(p.state.gap, p.params.epsln);
}

TEST(InteriorPoint, FullNewtonStepWhenNothingDecreases) {
  // With sigma = 3 the centring target is mu = 3 and v = 2; the Newton
  // direction is dx = t = 2, dz = v - z dx = 0, dy = t + u - v = 3, none
  // of them negative: the step is taken whole.
  OneByOne p;
  p.params.sigma = 3.0;
  p.params.maxit = 0;
  p.params.iprint = 1;
  Recorder recorder;
  p.run(recorder);
  ASSERT_EQ(recorder.dx, std::vector<double>{2.0});
  ASSERT_EQ(recorder.dz, std::vector<double>{0.0});
  ASSERT_EQ(recorder.dy, std::vector<double>{3.0});
  EXPECT_EQ(recorder.alphas, (std::vector<double>{kNoRatio, kNoRatio}));
  EXPECT_EQ(recorder.x, std::vector<double>{3.0});
  EXPECT_EQ(p.state.y, std::vector<double>{4.0});
  EXPECT_EQ(p.state.z, std::vector<double>{1.0});
}

TEST(InteriorPoint, DampedStepUsesLargerRatio) {
  OneByOne p;
  p.params.maxit = 0;
  p.params.iprint = 1;
  Recorder recorder;
  p.run(recorder);
  ASSERT_EQ(recorder.alphas.size(), 2u);
  const double larger = std::max(recorder.alphas[0], recorder.alphas[1]);
  const double s = 0.99 / larger;
  EXPECT_EQ(recorder.x[0], 1.0 + s * recorder.dx[0]);
}

struct FailureCase {
  const char* name;
  double x, z, q;
  double epslgiv;
  const char* expected;
};

class InteriorPointFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(InteriorPointFailures, StopsWithMessage) {
  const FailureCase& c = GetParam();
  OneByOne p;
  p.params.epsln = -1.0;  // never converged by the gap alone
  p.params.maxit = 5;
  p.state.x = {c.x};
  p.state.z = {c.z};
  p.q = {c.q};
  p.params.epslgiv = c.epslgiv;
  Recorder recorder;
  const IterationOutcome outcome = p.run(recorder);
  EXPECT_EQ(outcome.end, IterationEnd::Failed);
  EXPECT_NE(outcome.message.find(c.expected), std::string::npos) << outcome.message;
}

INSTANTIATE_TEST_SUITE_P(
    NonFinite, InteriorPointFailures,
    ::testing::Values(
        FailureCase{"zero_x", 0.0, 1.0, 0.0, 1e-35, "Weight W(1) is zero or not finite in iteration 0"},
        FailureCase{"zero_denominator", 1.0, 1.0, -1.0, 1e-35, "Weight W(1) is zero or not finite"},
        FailureCase{"overflowing_gap", 1.0e300, 1.0e300, 0.0, 1e-35, "Duality gap is not finite"},
        FailureCase{"zero_tolerance", 1.0, 1.0, 0.0, 0.0, "epslgiv is not positive in iteration 0"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace talven
