// resid and infnorm on small hand-checked data.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "talven/residuals.hpp"

namespace talven {
namespace {

Matrix two_by_three() {
  // Constraint 1: x1 + 2 x2; constraint 2: -x2 + 3 x3.
  Matrix a(2, 3);
  a(0, 0) = 1.0;
  a(0, 1) = 2.0;
  a(1, 1) = -1.0;
  a(1, 2) = 3.0;
  return a;
}

TEST(Resid, EvaluatesAllThreeResiduals) {
  const Matrix a = two_by_three();
  const std::vector<double> x{1.0, 2.0, 3.0}, y{0.5, -1.0}, z{0.25, 0.5, 1.0};
  const std::vector<double> rhs{6.0, 10.0}, c{1.0, 2.0, 3.0}, q{2.0, 0.0, 1.0};
  std::vector<double> t(2), u(3), v(3);
  resid({a, x, y, z, rhs, c, q, 0.5}, t, u, v);
  // t = rhs - A x
  EXPECT_EQ(t[0], 6.0 - 1.0 - 4.0);
  EXPECT_EQ(t[1], 10.0 + 2.0 - 9.0);
  // u = c - z + q x - A' y
  EXPECT_EQ(u[0], 1.0 - 0.25 + 2.0 - 0.5);
  EXPECT_EQ(u[1], 2.0 - 0.5 + 0.0 - 1.0 - 1.0);
  EXPECT_EQ(u[2], 3.0 - 1.0 + 3.0 + 3.0);
  // v = mu - z x
  EXPECT_EQ(v[0], 0.5 - 0.25);
  EXPECT_EQ(v[1], 0.5 - 1.0);
  EXPECT_EQ(v[2], 0.5 - 3.0);
}

TEST(Resid, SubtractsTermsInIncreasingOrder) {
  // 1 - 1e16 + 1e16 evaluated left to right is 0, not 1.
  Matrix a(1, 2);
  a(0, 0) = 1.0e16;
  a(0, 1) = -1.0e16;
  const std::vector<double> x{1.0, 1.0}, y{1.0}, z{0.0, 0.0}, rhs{1.0}, c{0.0, 0.0}, q{0.0, 0.0};
  std::vector<double> t(1), u(2), v(2);
  resid({a, x, y, z, rhs, c, q, 0.0}, t, u, v);
  EXPECT_EQ(t[0], 0.0);
}

struct NormCase {
  int count;
  std::vector<double> values;
  double expected;
};

class InfnormTable : public ::testing::TestWithParam<NormCase> {};

TEST_P(InfnormTable, LargestMagnitude) {
  const NormCase& c = GetParam();
  EXPECT_EQ(infnorm(c.count, c.values), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, InfnormTable,
                         ::testing::Values(NormCase{0, {5.0}, 0.0},                // empty count
                                           NormCase{2, {-3.0, 2.0, 9.0}, 3.0},     // only count entries
                                           NormCase{3, {-0.0, 0.0, -0.0}, 0.0},    // zeros
                                           NormCase{3, {1.0, -4.0, 4.0}, 4.0},     // ties
                                           NormCase{1, {-1.0e-300}, 1.0e-300}));  // tiny

}  // namespace
}  // namespace talven
