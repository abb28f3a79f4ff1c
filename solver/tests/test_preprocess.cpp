// Preparation of the problem and post-processing of the solution.
#include <gtest/gtest.h>

#include <vector>

#include "talven/preprocess.hpp"
#include "talven/solution.hpp"

namespace talven {
namespace {

TEST(NegativeList, AnyNonZeroFlagMarks) {
  const std::vector<std::int32_t> flags{1, 0, -1, 7, 0};
  EXPECT_EQ(negative_list(flags), (std::vector<int>{0, 2, 3}));
  const std::vector<std::int32_t> none{0, 0};
  EXPECT_TRUE(negative_list(none).empty());
}

TEST(ShiftedRhs, SubtractsBoundTimesCoefficient) {
  Matrix a(2, 3);
  a(0, 0) = 2.0;
  a(0, 2) = 1.0;
  a(1, 1) = 4.0;
  a(1, 2) = -3.0;
  const std::vector<double> b{1.0, 2.0};
  const std::vector<int> list{0, 2};
  const std::vector<double> lb{-2.0, 0.5};
  EXPECT_EQ(shifted_rhs(a, b, list, lb), (std::vector<double>{1.0 + 4.0 - 0.5, 2.0 - 0.0 + 1.5}));
  EXPECT_EQ(shifted_rhs(a, b, {}, {}), b);
}

struct StartCase {
  double read;
  double used;
};

class StartTable : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartTable, ReplacesSmallValuesByOne) {
  std::vector<double> x{GetParam().read}, z{GetParam().read}, y{-3.0, 0.0};
  prepare_start(x, y, z);
  EXPECT_EQ(x[0], GetParam().used);
  EXPECT_EQ(z[0], GetParam().used);
  EXPECT_EQ(y, (std::vector<double>{1.0, 1.0}));
}

INSTANTIATE_TEST_SUITE_P(Values, StartTable,
                         ::testing::Values(StartCase{1.0e-6, 1.0}, StartCase{-1.0e-6, 1.0},
                                           StartCase{0.0, 1.0}, StartCase{-0.5, -0.5},
                                           StartCase{1.1e-6, 1.1e-6}, StartCase{2.0, 2.0}));

TEST(Solution, RestoresBoundsInListOrder) {
  std::vector<double> x{2.0, 1.0, 4.0};
  const std::vector<int> list{0, 2};
  const std::vector<double> lb{-5.0, -1.0};
  restore_bounds(x, list, lb);
  EXPECT_EQ(x, (std::vector<double>{-3.0, 1.0, 3.0}));
}

TEST(Solution, CostSumsQuadraticAndLinearTerms) {
  const std::vector<double> x{0.5, 2.0}, c{1000.0, 1.0}, q{100.0, 0.0};
  EXPECT_EQ(cost_value(x, c, q), 0.25 * 100.0 * 0.5 + 500.0 + 2.0);
}

TEST(Solution, CleansValuesUpToThreshold) {
  std::vector<double> v{1.0e-6, -1.0e-6, 1.5e-6, -0.3, 0.0};
  clean_small(v, 1.0e-6);
  EXPECT_EQ(v, (std::vector<double>{0.0, 0.0, 1.5e-6, -0.3, 0.0}));
}

}  // namespace
}  // namespace talven
