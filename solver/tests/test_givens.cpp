// givrot, givfac, the substitutions and givwls.
//
// The column ranges that givrot keeps per row let it pass over exact zeros;
// the test `MatchesPlainRotationsBitForBit` checks against a plain
// transcription of the rotation (every column of every pivot visited) that
// the results are the same to the last bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "talven/givens.hpp"

namespace talven {
namespace {

// Counts the reports givwls hands to its observer.
struct CountingObserver : GivensObserver {
  int observations_calls = 0;
  int factor_calls = 0;
  std::vector<int> rotated_rows;
  std::vector<double> rotation_ssr;
  double factor_ssr = -1.0;
  void observations(int, int, const StoreDims&, const Matrix&, std::span<const double>) override {
    ++observations_calls;
  }
  void factor(const Matrix&, std::span<const double>, double ssr, const Matrix&) override {
    ++factor_calls;
    factor_ssr = ssr;
  }
  void rotation(int row, const Matrix& f, double ssr) override {
    rotated_rows.push_back(row);
    rotation_ssr.push_back(ssr);
    EXPECT_EQ(f.rows(), f.cols());
  }
};

// One solve with every operand in one place.
struct Solve {
  Matrix a;
  std::vector<double> t, u, v, x, w;
  int iprint = 0;
  double epslgiv = 1.0e-35;
  std::vector<double> dy, d;
  double ssr = 0.0;

  std::optional<GivensFault> run(GivensObserver& observer) {
    dy.assign(a.rows(), -99.0);
    return givwls({a, t, u, v, x, w, iprint, epslgiv, StoreDims{500, 500, 1000}}, ssr, observer, dy, d);
  }
  std::optional<GivensFault> run() {
    GivensObserver quiet;
    return run(quiet);
  }
};

Solve one_by_one(double h, double w) {
  Solve s;
  s.a = Matrix(1, 1);
  s.a(0, 0) = h;
  s.t = {5.0};
  s.u = {0.75};
  s.v = {0.2};
  s.x = {0.4};
  s.w = {w};
  return s;
}

TEST(Givwls, OneMeasurementOneState) {
  Solve s = one_by_one(2.0, 3.0);
  ASSERT_FALSE(s.run());
  // d(1) = w h^2, T1 = 1/h, d(2) = 0 and the row is absorbed at pivot 1.
  EXPECT_EQ(s.d[0], 12.0);
  EXPECT_EQ(s.d[1], 0.0);
  EXPECT_EQ(s.ssr, 0.0);
  // dy = t/(w h^2) + (u - v/x)/h
  EXPECT_NEAR(s.dy[0], 5.0 / 12.0 + (0.75 - 0.5) / 2.0, 1e-15);
}

TEST(Givwls, ZeroColumnLeavesStateUntouched) {
  // State 2 appears in no measurement.
  Solve s;
  s.a = Matrix(2, 2);
  s.a(0, 0) = 1.0;
  s.a(0, 1) = 2.0;
  s.t = {1.0, 7.0};
  s.u = {0.5, -0.5};
  s.v = {0.1, 0.2};
  s.x = {1.0, 2.0};
  s.w = {1.0, 0.5};
  ASSERT_FALSE(s.run());
  EXPECT_EQ(s.d[1], 0.0);
  EXPECT_EQ(s.dy[1], 0.0);

  GivensObserver quiet;
  GivensFactor factor;
  double ssr = 0.0;
  ASSERT_FALSE(givfac(s.a, s.w, 0, 1.0e-35, ssr, quiet, factor));
  EXPECT_EQ(factor.u(1, 0), 0.0);
  EXPECT_EQ(factor.u(1, 1), 1.0);
  EXPECT_EQ(factor.t1(1, 0), 0.0);
  EXPECT_EQ(factor.t1(1, 1), 0.0);
  // Measurement 2 meets the filled pivot 1 and goes on to the empty pivot
  // of its identity column, so the sum of squared residuals is d(3) > 0.
  EXPECT_GT(ssr, 0.0);
}

TEST(Givwls, SkipsRowsWithNegligibleWeight) {
  Solve s;
  s.a = Matrix(1, 2);
  s.a(0, 0) = 1.0;
  s.a(0, 1) = 1.0;
  s.t = {2.0};
  s.u = {0.0, 0.0};
  s.v = {0.0, 0.0};
  s.x = {1.0, 1.0};
  s.w = {1.0e-40, 2.0};  // row 1 below epslgiv, but not zero
  s.iprint = 3;
  CountingObserver observer;
  ASSERT_FALSE(s.run(observer));
  EXPECT_EQ(observer.rotated_rows, std::vector<int>{2});
  // Only measurement 2 counts: dy = t / (w2 * 1^2).
  EXPECT_EQ(s.dy[0], 1.0);

  GivensFactor factor;
  double ssr = 0.0;
  ASSERT_FALSE(givfac(s.a, s.w, 0, 1.0e-35, ssr, observer, factor));
  EXPECT_EQ(factor.t1(0, 0), 0.0);
}

TEST(Givwls, AllWeightsNegligibleKeepsPreviousSum) {
  Solve s;
  s.a = Matrix(2, 2);
  s.a(0, 0) = 1.0;
  s.a(1, 1) = 1.0;
  s.t = {3.0, 4.0};
  s.u = {1.0, 1.0};
  s.v = {1.0, 1.0};
  s.x = {1.0, 1.0};
  s.w = {1.0e-36, -1.0e-36};
  s.iprint = 2;
  s.ssr = 7.5;  // left by an earlier call
  CountingObserver observer;
  ASSERT_FALSE(s.run(observer));
  EXPECT_EQ(s.dy, (std::vector<double>{0.0, 0.0}));
  EXPECT_EQ(s.ssr, 7.5);
  EXPECT_EQ(observer.factor_ssr, 7.5);
}

TEST(Givrot, ToleranceBoundaries) {
  const double eps = 0.5;
  // An entry equal to epslgiv is passed over: the row moves on to the
  // identity pivot 2.
  {
    WorkingFactor factor(2);
    RowBuffer row{{0.5, 1.0}, 0, 1};
    double w = 1.0;
    ASSERT_FALSE(givrot(factor, w, row, eps, 1));
    EXPECT_EQ(factor.d[0], 0.0);
    EXPECT_EQ(factor.d[1], 1.0);
  }
  // A carried weight equal to epslgiv lets the row go on.
  {
    WorkingFactor factor(2);
    factor.d[0] = 1.0;  // pivot 1 already holds information of weight 1
    RowBuffer row{{1.0, 1.0}, 0, 1};
    double w = 1.0;  // d' = 2, c = 0.5, w' = 0.5 = epslgiv: goes on
    ASSERT_FALSE(givrot(factor, w, row, eps, 1));
    EXPECT_EQ(factor.d[0], 2.0);
    EXPECT_EQ(factor.d[1], 0.5);
    EXPECT_EQ(factor.f(0, 1), 0.5);
  }
  // A carried weight below epslgiv drops the rest of the row.
  {
    WorkingFactor factor(2);
    factor.d[0] = 1.0;
    RowBuffer row{{1.0, 1.0}, 0, 1};
    double w = 0.9;  // w' = 0.9 / 1.9 * 0.9... below 0.5
    ASSERT_FALSE(givrot(factor, w, row, eps, 1));
    EXPECT_EQ(factor.d[1], 0.0);
  }
}

TEST(Givwls, WeightEqualToToleranceIsAccepted) {
  Solve s = one_by_one(1.0, 0.25);
  s.epslgiv = 0.25;
  s.iprint = 3;
  CountingObserver observer;
  ASSERT_FALSE(s.run(observer));
  EXPECT_EQ(observer.rotated_rows, std::vector<int>{1});
}

TEST(Givwls, PrintLevels) {
  struct Level {
    int iprint;
    int observations;
    int factors;
    std::size_t rotations;
  };
  for (const Level level : {Level{0, 0, 0, 0}, Level{1, 0, 0, 0}, Level{2, 1, 1, 0}, Level{3, 0, 0, 2},
                            Level{4, 0, 0, 2}}) {
    Solve s;
    s.a = Matrix(1, 2);
    s.a(0, 0) = 1.0;
    s.a(0, 1) = 3.0;
    s.t = {1.0};
    s.u = {0.0, 0.0};
    s.v = {0.0, 0.0};
    s.x = {1.0, 1.0};
    s.w = {1.0, 1.0};
    s.iprint = level.iprint;
    CountingObserver observer;
    ASSERT_FALSE(s.run(observer));
    EXPECT_EQ(observer.observations_calls, level.observations) << level.iprint;
    EXPECT_EQ(observer.factor_calls, level.factors) << level.iprint;
    EXPECT_EQ(observer.rotated_rows.size(), level.rotations) << level.iprint;
  }
}

TEST(Givwls, TraceReportsRunningSumAfterEveryRow) {
  // Two measurements of one state: the second leaves a residual in d(2).
  Solve s;
  s.a = Matrix(1, 2);
  s.a(0, 0) = 1.0;
  s.a(0, 1) = 1.0;
  s.t = {0.0};
  s.u = {0.0, 0.0};
  s.v = {0.0, 0.0};
  s.x = {1.0, 1.0};
  s.w = {1.0, 1.0};
  s.iprint = 3;
  CountingObserver observer;
  ASSERT_FALSE(s.run(observer));
  ASSERT_EQ(observer.rotation_ssr.size(), 2u);
  EXPECT_EQ(observer.rotation_ssr[0], 0.0);
  EXPECT_EQ(observer.rotation_ssr[1], 0.5);  // d(2) = 1 * 1/2
  EXPECT_EQ(s.ssr, 0.5);
}

struct FaultCase {
  const char* name;
  int rows, cols;
  double epslgiv;
  double w0;
  double x0;
  const char* expected;
};

class GivwlsFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(GivwlsFaults, RefusesWhatWouldDivideByZero) {
  const FaultCase& c = GetParam();
  Solve s;
  s.a = Matrix(c.rows, c.cols);
  for (int i = 0; i < std::min(c.rows, c.cols); ++i) s.a(i, i) = 1.0;
  s.t.assign(c.rows, 1.0);
  s.u.assign(c.cols, 0.0);
  s.v.assign(c.cols, 0.0);
  s.x.assign(c.cols, 1.0);
  s.w.assign(c.cols, 1.0);
  if (c.cols > 0) {
    s.w[0] = c.w0;
    s.x[0] = c.x0;
  }
  s.epslgiv = c.epslgiv;
  s.iprint = 2;
  CountingObserver observer;
  const auto fault = s.run(observer);
  ASSERT_TRUE(fault) << c.name;
  EXPECT_NE(fault->message.find(c.expected), std::string::npos) << fault->message;
  EXPECT_EQ(observer.observations_calls, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, GivwlsFaults,
    ::testing::Values(FaultCase{"zero tolerance", 2, 2, 0.0, 1.0, 1.0, "epslgiv is not positive"},
                      FaultCase{"negative tolerance", 2, 2, -1.0, 1.0, 1.0, "epslgiv is not positive"},
                      FaultCase{"nan tolerance", 2, 2, std::nan(""), 1.0, 1.0, "epslgiv is not positive"},
                      FaultCase{"zero weight", 2, 2, 1e-35, 0.0, 1.0, "W(1) is zero"},
                      FaultCase{"infinite weight", 2, 2, 1e-35, INFINITY, 1.0, "W(1) is zero"},
                      FaultCase{"zero divisor", 2, 2, 1e-35, 1.0, 0.0, "x(1) is zero"},
                      FaultCase{"no state", 0, 2, 1e-35, 1.0, 1.0, "at least one"},
                      FaultCase{"no measurement", 2, 0, 1e-35, 1.0, 1.0, "at least one"}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == ' ') ch = '_';
      }
      return name;
    });

TEST(Givrot, ZeroPivotWeightIsAFault) {
  // A negative carried weight that cancels the pivot's weight exactly.
  WorkingFactor factor(2);
  factor.d[0] = 1.0;
  RowBuffer row{{1.0, 1.0}, 0, 1};
  double w = -1.0;
  const auto fault = givrot(factor, w, row, 1.0e-35, 4);
  ASSERT_TRUE(fault);
  EXPECT_NE(fault->message.find("measurement 4 at pivot 1"), std::string::npos) << fault->message;
}

TEST(Substitutions, SolveWithUnitTriangle) {
  Matrix u(3, 3);
  for (int i = 0; i < 3; ++i) u(i, i) = 1.0;
  u(0, 1) = 2.0;
  u(0, 2) = -1.0;
  u(1, 2) = 3.0;
  const std::vector<double> b{1.0, 2.0, 3.0};
  std::vector<double> y(3);
  utsolve(u, b, y);  // U' y = b
  EXPECT_EQ(y, (std::vector<double>{1.0, 0.0, 4.0}));
  usolve(u, b, y);  // U y = b
  EXPECT_EQ(y, (std::vector<double>{18.0, -7.0, 3.0}));
}

// ---- Comparison with the plain rotations ----------------------------------

// givrot as a straight transcription: every pivot, every column.
void plain_givrot(int order, std::vector<double>& d, Matrix& f, double w, std::vector<double>& a,
                  double eps) {
  for (int i = 0; i < order; ++i) {
    const double xi = a[i];
    if (std::fabs(xi) <= eps) continue;
    const double dnew = (w * xi) * xi + d[i];
    const double cbar = d[i] / dnew;
    const double wnew = cbar * w;
    const double sbar = (w * xi) / dnew;
    a[i] = 0.0;
    for (int k = i + 1; k < order; ++k) {
      const double a_old = a[k];
      a[k] = a_old - f(i, k) * xi;
      f(i, k) = f(i, k) * cbar + a_old * sbar;
    }
    d[i] = dnew;
    if (std::fabs(wnew) < eps) return;
    if (i == order - 1) return;
    w = wnew;
  }
}

// givwls as a straight transcription on top of plain_givrot.
std::vector<double> plain_givwls(const Matrix& h, const Solve& s, std::vector<double>& d, double& ssr) {
  const int m = h.rows();
  const int n = h.cols();
  const int order = n + m;
  Matrix f(order, order);
  for (int i = 0; i < order; ++i) f(i, i) = 1.0;
  d.assign(order, 0.0);
  for (int j = 0; j < n; ++j) {
    if (std::fabs(s.w[j]) < s.epslgiv) continue;
    std::vector<double> a(order, 0.0);
    for (int i = 0; i < m; ++i) a[i] = h(i, j);
    a[m + j] = 1.0;
    plain_givrot(order, d, f, s.w[j], a, s.epslgiv);
    ssr = d[m];
  }
  Matrix u(m, m), t1(m, n);
  for (int i = 0; i < m; ++i) {
    for (int k = 0; k < m; ++k) u(i, k) = f(i, k);
    for (int k = 0; k < n; ++k) t1(i, k) = f(i, m + k);
  }
  std::vector<double> y(m), p(n), q(n), r(m), dy(m);
  utsolve(u, s.t, y);
  for (int j = 0; j < n; ++j) {
    p[j] = 0.0;
    for (int k = 0; k < m; ++k) p[j] = p[j] + (t1(k, j) / s.w[j]) * y[k];
  }
  for (int j = 0; j < n; ++j) q[j] = (p[j] + s.u[j]) - s.v[j] / s.x[j];
  for (int k = 0; k < m; ++k) {
    r[k] = 0.0;
    for (int j = 0; j < n; ++j) r[k] = r[k] + t1(k, j) * q[j];
  }
  usolve(u, r, dy);
  return dy;
}

// A sparse matrix like a network's: a few entries per variable.
Solve random_sparse(int m, int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> value(-3.0, 3.0);
  std::uniform_int_distribution<int> pick(0, m - 1);
  Solve s;
  s.a = Matrix(m, n);
  for (int j = 0; j < n; ++j) {
    const int entries = 1 + j % 3;
    for (int e = 0; e < entries; ++e) s.a(pick(gen), j) = value(gen);
  }
  std::uniform_real_distribution<double> positive(0.1, 5.0);
  for (int i = 0; i < m; ++i) s.t.push_back(value(gen));
  for (int j = 0; j < n; ++j) {
    s.u.push_back(value(gen));
    s.v.push_back(value(gen));
    s.x.push_back(positive(gen));
    // Some weights below the tolerance, so that rows are skipped.
    s.w.push_back(j % 7 == 3 ? 1.0e-40 : positive(gen));
  }
  return s;
}

TEST(Givwls, MatchesPlainRotationsBitForBit) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    for (auto [m, n] : {std::pair{5, 8}, std::pair{12, 20}, std::pair{30, 33}}) {
      Solve s = random_sparse(m, n, seed * 100 + m);
      std::vector<double> plain_d;
      double plain_ssr = 0.0;
      const std::vector<double> expected = plain_givwls(s.a, s, plain_d, plain_ssr);
      ASSERT_FALSE(s.run());
      ASSERT_EQ(s.dy.size(), expected.size());
      for (int i = 0; i < m; ++i) EXPECT_EQ(s.dy[i], expected[i]) << "seed " << seed << " i " << i;
      EXPECT_EQ(s.d, plain_d);
      EXPECT_EQ(s.ssr, plain_ssr);
    }
  }
}

TEST(Givwls, SolvesTheNormalEquations) {
  Solve s = random_sparse(10, 25, 77);
  for (double& w : s.w) w = std::fabs(w) < 1e-30 ? 1.0 : w;  // accept every row
  ASSERT_FALSE(s.run());
  const int m = s.a.rows();
  const int n = s.a.cols();
  // Residual of (A W A') dy = t + A W (u - v/x).
  for (int i = 0; i < m; ++i) {
    double lhs = 0.0;
    double rhs = s.t[i];
    for (int j = 0; j < n; ++j) {
      double ady = 0.0;
      for (int k = 0; k < m; ++k) ady += s.a(k, j) * s.dy[k];
      lhs += s.a(i, j) * s.w[j] * ady;
      rhs += s.a(i, j) * s.w[j] * (s.u[j] - s.v[j] / s.x[j]);
    }
    // Rows of a state that no measurement sees are zero on both sides.
    EXPECT_NEAR(lhs, rhs, 1e-9 * (1.0 + std::fabs(rhs))) << i;
  }
}

}  // namespace
}  // namespace talven
