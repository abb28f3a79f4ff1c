// The supernodal LDLᵀ against a dense product: on patterns that make
// one-column and wide supernodes, chains of descendant updates, fill and
// blocks not a multiple of four wide, quasi-definite matrices M (angles
// positive, prices negative, as the reduced system) are factored and
// M·x = b is solved for b = M·x_true computed densely here; x must come
// back to 1e-10. Each pattern is factored twice with other values, as the
// iteration does, so that state left by one factorisation would show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "dc/supernodal_ldl.hpp"

namespace {

using corvo::robust::dc::SupernodalLdl;
using Edges = std::set<std::pair<int, int>>;  // (row, column), row < column

struct Pattern {
  const char* name;
  int size;
  Edges (*edges)(int n);
};

Edges path(int n) {
  Edges e;
  for (int k = 0; k + 1 < n; ++k) e.insert({k, k + 1});
  return e;
}

// Every unknown coupled to the last: a dense last row, no fill.
Edges arrow(int n) {
  Edges e;
  for (int k = 0; k + 1 < n; ++k) e.insert({k, n - 1});
  return e;
}

// A 7 × 7 grid of (angle, price) pairs in natural order: fill and
// supernodes several columns wide.
Edges grid(int n) {
  Edges e;
  const int side = 7;
  auto node = [&](int r, int c) { return 2 * (r * side + c); };
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      const int a = node(r, c);
      e.insert({a, a + 1});  // a node's angle and price
      if (c + 1 < side) {
        e.insert({a, node(r, c + 1) + 1});
        e.insert({a + 1, node(r, c + 1)});
      }
      if (r + 1 < side) {
        e.insert({a, node(r + 1, c) + 1});
        e.insert({a + 1, node(r + 1, c)});
      }
    }
  }
  (void)n;
  return e;
}

// One dense block 41 wide (ten blocks of four and one left over).
Edges dense(int n) {
  Edges e;
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < j; ++i) e.insert({i, j});
  }
  return e;
}

// Two dense blocks whose last unknowns are joined: updates from a wide
// descendant into a later supernode.
Edges two_blocks(int n) {
  Edges e;
  const int half = n / 2;
  for (int j = 0; j < n; ++j) {
    const int first = j < half ? 0 : half;
    for (int i = first; i < j; ++i) e.insert({i, j});
  }
  for (int i = half - 3; i < half; ++i) e.insert({i, n - 1});
  return e;
}

const Pattern kPatterns[] = {
    {"path", 30, path},       {"arrow", 25, arrow},           {"grid", 98, grid},
    {"dense", 41, dense},     {"two_blocks", 36, two_blocks},
};

// A quasi-definite matrix on the pattern: unknowns of even index are
// "angles" (positive diagonal), odd ones "prices" (negative), each
// diagonal larger in magnitude than the sum of its row's couplings.
std::vector<std::vector<double>> matrix_on(const Pattern& p, const Edges& edges, std::mt19937& random) {
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  const auto n = static_cast<std::size_t>(p.size);
  std::vector<std::vector<double>> m(n, std::vector<double>(n, 0.0));
  for (const auto& [i, j] : edges) {
    const double v = value(random);
    m[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = v;
    m[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = v;
  }
  for (std::size_t k = 0; k < n; ++k) {
    double row = 0.0;
    for (double v : m[k]) row += std::fabs(v);
    m[k][k] = (k % 2 == 0 ? 1.0 : -1.0) * (1.0 + row);
  }
  return m;
}

class SupernodalLdlTest : public testing::TestWithParam<Pattern> {};

TEST_P(SupernodalLdlTest, SolvesQuasiDefiniteSystems) {
  const Pattern& p = GetParam();
  const Edges edges = p.edges(p.size);
  const auto n = static_cast<std::size_t>(p.size);
  // The upper triangle, compressed by columns, diagonal included.
  std::vector<std::int32_t> column_start{0}, row_index;
  for (std::size_t j = 0; j < n; ++j) {
    for (std::size_t i = 0; i < j; ++i) {
      if (edges.count({static_cast<int>(i), static_cast<int>(j)}) != 0) row_index.push_back(static_cast<std::int32_t>(i));
    }
    row_index.push_back(static_cast<std::int32_t>(j));
    column_start.push_back(static_cast<std::int32_t>(row_index.size()));
  }
  SupernodalLdl ldl;
  ldl.analyse(column_start, row_index);

  std::mt19937 random(12345);
  for (int round = 0; round < 2; ++round) {
    const auto m = matrix_on(p, edges, random);
    std::vector<double> entries;
    for (std::size_t j = 0; j < n; ++j) {
      for (std::int32_t q = column_start[j]; q < column_start[j + 1]; ++q) {
        entries.push_back(m[static_cast<std::size_t>(row_index[static_cast<std::size_t>(q)])][j]);
      }
    }
    EXPECT_EQ(ldl.factor(entries, 1e-13), 0) << "no pivot of a quasi-definite matrix is that small";
    std::vector<double> expected(n), x(n, 0.0);
    for (std::size_t k = 0; k < n; ++k) expected[k] = 1.0 + 0.5 * std::sin(static_cast<double>(k + round));
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = 0; j < n; ++j) x[i] += m[i][j] * expected[j];
    }
    ldl.solve(x);
    for (std::size_t k = 0; k < n; ++k) EXPECT_NEAR(x[k], expected[k], 1e-10) << "unknown " << k << ", round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(DcOpf, SupernodalLdlTest, testing::ValuesIn(kPatterns),
                         [](const auto& info) { return std::string(info.param.name); });

// A zero pivot is replaced by the smallest allowed, keeping the count.
TEST(SupernodalLdl, ReplacesAZeroPivot) {
  const std::vector<std::int32_t> column_start{0, 1, 3}, row_index{0, 0, 1};
  SupernodalLdl ldl;
  ldl.analyse(column_start, row_index);
  const std::vector<double> entries{0.0, 1.0, 1.0};  // M = [0 1; 1 1]
  EXPECT_EQ(ldl.factor(entries, 1e-13), 1);
}

}  // namespace
