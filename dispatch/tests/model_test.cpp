// Tests of the network model without any file: names, lists, Bmat, the
// F Matrix and the rows of the dispatch program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "dispatch/case_names.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/network_matrices.hpp"
#include "dispatch/per_unit.hpp"

namespace dispatch {
namespace {

using Ints = std::vector<std::int32_t>;
using Reals = std::vector<double>;

// ---- File names ------------------------------------------------------------

struct NameCase {
  std::string typed;
  std::string case_file, out_name, listing;  // trailing blanks dropped
};

std::string trimmed(std::string s) { return s.erase(s.find_last_not_of(' ') + 1); }

TEST(CaseNames, ExtensionGoesAtTheFirstBlankOfTheFirstTenCharacters) {
  const std::vector<NameCase> cases = {
      {"caso1", "caso1.dat", "caso1.out", "caso1.lst"},
      {"abcdefghi", "abcdefghi.dat", "abcdefghi.out", "abcdefghi.lst"},  // 9 characters
      {"caso1.dat", "caso1.dat.dat", "caso1.dat.out", "caso1.dat.lst"},
      {"", ".dat", ".out", ".lst"},                                               // an empty answer
      {"ab cdefghijkl", "ab.dat ghijkl", "ab.out ghijkl", "ab.lst ghijkl"},       // p..p+4 replaced
      {"abcdefghi jklmnopq", "abcdefghi.dat", "abcdefghi.out", "abcdefghi.lst"},  // cut to 14
  };
  for (const NameCase& c : cases) {
    const auto names = make_case_names(c.typed);
    ASSERT_TRUE(names) << c.typed;
    EXPECT_EQ(names->case_name.size(), kNameLength);
    EXPECT_EQ(trimmed(names->case_name), trimmed(c.typed.substr(0, 14))) << c.typed;
    EXPECT_EQ(trimmed(names->case_file), c.case_file) << c.typed;
    EXPECT_EQ(trimmed(names->out_name), c.out_name) << c.typed;
    EXPECT_EQ(trimmed(names->listing), c.listing) << c.typed;
  }
}

TEST(CaseNames, NameWithoutBlankInTheFirstTenCharactersIsRefused) {
  for (const char* typed : {"abcdefghij", "caso1caso1caso1", "0123456789 x"}) {
    EXPECT_FALSE(make_case_names(typed)) << typed;
  }
  EXPECT_EQ(extension_position("012345678 abcd"), 9u);
  EXPECT_EQ(extension_position("0123456789abcd"), std::nullopt);
}

// ---- Network lists -------------------------------------------------------

struct ListCase {
  const char* what;
  std::int32_t n;
  Ints se, re;
  Ints xadjcy, adjcy, xincd, incd;
};

TEST(NetworkLists, FollowTheLineOrderRule) {
  const std::vector<ListCase> cases = {
      {"one line 1-2", 2, {1}, {2}, {1, 3, 5}, {1, 2, 2, 1}, {1, 1, 2, 2, 3}, {1, 1}},
      {"lines 1-2, 1-3, 1-2: bus 2 gets two entries of bus 1",
       3,
       {1, 1, 1},
       {2, 3, 2},
       {1, 5, 7, 9},
       {1, 2, 3, 2, 2, 1, 3, 1},
       {1, 1, 2, 3, 4, 4, 6, 6, 7},
       {1, 2, 3, 1, 3, 2}},
      {"lines 1-2, 1-2, 1-3: one entry holds both lines",
       3,
       {1, 1, 1},
       {2, 2, 3},
       {1, 4, 6, 8},
       {1, 2, 3, 2, 1, 3, 1},
       {1, 1, 3, 4, 4, 6, 6, 7},
       {1, 2, 3, 1, 2, 3}},
      {"lines 1-2, 1-3, 2-1, 3-2: a line's far end is either end, bus 2 merges lines 1 and 3",
       3,
       {1, 1, 2, 3},
       {2, 3, 1, 2},
       {1, 5, 8, 11},
       {1, 2, 3, 2, 2, 1, 3, 3, 1, 2},
       {1, 1, 2, 3, 4, 4, 6, 7, 7, 8, 9},
       {1, 2, 3, 1, 3, 4, 2, 4}},
      {"self loop on bus 1 is recorded once",
       2,
       {1, 1},
       {1, 2},
       {1, 4, 6},
       {1, 1, 2, 2, 1},
       {1, 1, 2, 3, 3, 4},
       {1, 2, 2}},
      {"no lines", 2, {}, {}, {1, 2, 3}, {1, 2}, {1, 1, 1}, {}},
  };
  for (const ListCase& c : cases) {
    const NetworkLists lists = build_network_lists(c.n, c.se, c.re);
    EXPECT_EQ(lists.xadjcy, c.xadjcy) << c.what;
    EXPECT_EQ(lists.adjcy, c.adjcy) << c.what;
    EXPECT_EQ(lists.xincd, c.xincd) << c.what;
    EXPECT_EQ(lists.incd, c.incd) << c.what;
    EXPECT_EQ(lists.ninc(), lists.xincd.back() - 1) << c.what;
    EXPECT_EQ(lists.xadjcy.back(), lists.nadj() + 1) << c.what;
  }
}

TEST(NetworkLists, IsolatedBusIsTheFirstBusWithoutNeighbour) {
  EXPECT_EQ(first_isolated_bus(build_network_lists(2, Ints{1}, Ints{2}), 2), 0);
  EXPECT_EQ(first_isolated_bus(build_network_lists(3, Ints{1}, Ints{3}), 3), 2);
  EXPECT_EQ(first_isolated_bus(build_network_lists(2, Ints{}, Ints{}), 2), 1);
  // A line from a bus to itself gives the bus a neighbour entry.
  EXPECT_EQ(first_isolated_bus(build_network_lists(1, Ints{1}, Ints{1}), 1), 0);
}

// ---- Bmat and the F Matrix -------------------------------------------------

TEST(NetworkMatrices, ZeroReactanceIsFoundInLineOrder) {
  EXPECT_EQ(first_zero_reactance(Reals{0.1, 0.2}), 0);
  EXPECT_EQ(first_zero_reactance(Reals{0.1, 0.0, 0.0}), 2);
  EXPECT_EQ(first_zero_reactance(Reals{-0.1}), 0);  // negative reactances are used as given
  EXPECT_EQ(first_zero_reactance(Reals{}), 0);
}

TEST(NetworkMatrices, BmatInAdjacencyOrder) {
  struct BmatCase {
    const char* what;
    std::int32_t n;
    Ints se, re;
    Reals x, bmat;
  };
  const std::vector<BmatCase> cases = {
      {"two buses", 2, {1}, {2}, {0.1}, {10, -10, 10, -10}},
      {"adjacent parallel lines act as one line",
       2,
       {1, 1},
       {2, 2},
       {0.2, 0.2},
       {10, -10, 10, -10}},
      {"self loop: diagonal +y, self entry -y",
       2,
       {1, 1},
       {1, 2},
       {0.5, 0.1},
       {12, -2, -10, 10, -10}},
  };
  for (const BmatCase& c : cases) {
    const NetworkLists lists = build_network_lists(c.n, c.se, c.re);
    EXPECT_EQ(build_bmat(lists, c.x), c.bmat) << c.what;
  }
}

TEST(NetworkMatrices, AngleColumnsSkipTheReferenceBus) {
  EXPECT_EQ(angle_column(1, 3), 1);
  EXPECT_EQ(angle_column(3, 3), 0);
  EXPECT_EQ(angle_column(4, 3), 3);
}

TEST(NetworkMatrices, FMatrixRows) {
  const Ints se{1}, re{2};
  const Reals x{0.1};
  EXPECT_EQ(build_f_matrix(1, se, re, x)[0].dense(1), Reals{-10});  // reference bus 1
  EXPECT_EQ(build_f_matrix(2, se, re, x)[0].dense(1), Reals{10});   // reference bus 2
  // Both ends in one column: the value of re is assigned last and stands.
  EXPECT_EQ(build_f_matrix(2, Ints{1}, Ints{1}, x)[0].dense(1), Reals{-10});
  // One bus: rows with no columns.
  EXPECT_TRUE(build_f_matrix(1, Ints{1}, Ints{1}, x)[0].dense(0).empty());
}

// ---- The dispatch program --------------------------------------------------

// A case in MW that tests then convert to per unit like the reader does.
struct CaseBuilder {
  CaseData data;
  explicit CaseBuilder(double sb) { data.sb = sb; }
  CaseBuilder& line(std::int32_t s, std::int32_t r, double x, double up, double low) {
    data.se.push_back(s);
    data.re.push_back(r);
    data.x.push_back(x);
    data.line_upper.push_back(up);
    data.line_lower.push_back(low);
    return *this;
  }
  CaseBuilder& load_bus(double load) {
    data.bus_type.push_back(kLoadBus);
    data.load.push_back(load);
    data.bus_generator.push_back(0);
    return *this;
  }
  CaseBuilder& gen_bus(std::int32_t type, double load, double lin, double quad, double up,
                       double low) {
    data.bus_type.push_back(type);
    data.load.push_back(type == kNegativeGenerationBus ? 0.0 : load);
    data.bus_generator.push_back(static_cast<std::int32_t>(data.gen_upper.size()) + 1);
    if (type == kReferenceBus) data.nref = static_cast<std::int32_t>(data.bus_type.size());
    data.constant_cost.push_back(0.0);
    data.linear_cost.push_back(type == kNegativeGenerationBus ? -lin : lin);
    data.quadratic_cost.push_back(quad);
    data.gen_upper.push_back(up);
    data.gen_lower.push_back(low);
    return *this;
  }
  CaseData per_unit() {
    CaseData d = data;
    d.n = static_cast<std::int32_t>(d.bus_type.size());
    d.nl = static_cast<std::int32_t>(d.se.size());
    d.ngen = static_cast<std::int32_t>(d.gen_upper.size());
    convert_line_limits_to_per_unit(d);
    convert_loads_to_per_unit(d);
    convert_generators_to_per_unit(d);
    return d;
  }
};

DispatchQp build(const CaseData& d) {
  const NetworkLists lists = build_network_lists(d.n, d.se, d.re);
  return build_dispatch_qp(d, lists, build_bmat(lists, d.x));
}

std::vector<Reals> dense_rows(const DispatchQp& qp) {
  std::vector<Reals> rows;
  for (const SparseRow& r : qp.rows) rows.push_back(r.dense(static_cast<std::size_t>(qp.nvar)));
  return rows;
}

TEST(DispatchQp, TwoBusCase) {
  const CaseData d = CaseBuilder(100)
                         .line(1, 2, 0.1, 100, -100)
                         .gen_bus(kReferenceBus, 0, 10, 0.01, 200, 0)
                         .load_bus(50)
                         .per_unit();
  const DispatchQp qp = build(d);
  ASSERT_EQ(qp.m, 6);
  ASSERT_EQ(qp.nvar, 6);
  const std::vector<Reals> rows = {
      {10, 1, 0, 0, 0, 0},    // bus 1: -Bmat of bus 2's entry, generator
      {-10, 0, 0, 0, 0, 0},   // bus 2
      {0, -1, -1, 0, 0, 0},   // generator upper limit
      {0, 1, 0, -1, 0, 0},    // generator lower limit
      {10, 0, 0, 0, -1, 0},   // line upper limit (+y at the re end)
      {-10, 0, 0, 0, 0, -1},  // line lower limit
  };
  EXPECT_EQ(dense_rows(qp), rows);
  EXPECT_EQ(qp.b, (Reals{0, 0.5, -2, 0, -1, -1}));
  EXPECT_EQ(qp.c, (Reals{0, 1000, 0, 0, 0, 0}));
  EXPECT_EQ(qp.q, (Reals{0, 100, 0, 0, 0, 0}));
  EXPECT_EQ(qp.x0, (Reals{0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(qp.flags, (Ints{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(qp.lb, (Reals{-2.0}));
}

TEST(DispatchQp, RowsFollowTheTableInBlocks) {
  // Three buses, two generators, three lines, on 100 MVA:
  //   bus 1 reference, generator 1: 10 $/MWh, 0.02 $/MW2h, 10 to 150 MW
  //   bus 2 generation, load 20 MW, generator 2: 20 $/MWh, 5 to 80 MW
  //   bus 3 load 60 MW
  //   line 1: 1-2, x 0.1 (y 10), limits 50 / -40 MW
  //   line 2: 2-3, x 0.2 (y 5), limits 70 / -60 MW
  //   line 3: 3-1, x 0.25 (y 4), limits 90 / -80 MW
  // Columns: 1-2 angles of buses 2 and 3 (bus 1 is the reference), 3-4
  // generators, 5-6 their upper slacks, 7-8 their lower surpluses, 9-11
  // line upper slacks, 12-14 line lower surpluses.
  const CaseData d = CaseBuilder(100)
                         .line(1, 2, 0.1, 50, -40)
                         .line(2, 3, 0.2, 70, -60)
                         .line(3, 1, 0.25, 90, -80)
                         .gen_bus(kReferenceBus, 0, 10, 0.02, 150, 10)
                         .gen_bus(kGenerationBus, 20, 20, 0.0, 80, 5)
                         .load_bus(60)
                         .per_unit();
  const DispatchQp qp = build(d);
  ASSERT_EQ(qp.nvar, 2 + 3 * 2 + 2 * 3);
  ASSERT_EQ(qp.m, 3 + 2 * 2 + 2 * 3);
  // clang-format off
  const std::vector<Reals> rows = {
    // 1   2    3   4   5   6   7   8   9  10  11  12  13  14
    { 10,  4,   1,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0},  // 1 balance of bus 1: +y to buses 2, 3
    {-15,  5,   0,  1,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0},  // 2 balance of bus 2: -(10+5), +5 to bus 3
    {  5, -9,   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0},  // 3 balance of bus 3: +5 to bus 2, -(5+4)
    {  0,  0,  -1,  0, -1,  0,  0,  0,  0,  0,  0,  0,  0,  0},  // 4 = n+1: upper limit of generator 1
    {  0,  0,   0, -1,  0, -1,  0,  0,  0,  0,  0,  0,  0,  0},  // 5 = n+2: upper limit of generator 2
    {  0,  0,   1,  0,  0,  0, -1,  0,  0,  0,  0,  0,  0,  0},  // 6 = n+ngen+1: lower limit of generator 1
    {  0,  0,   0,  1,  0,  0,  0, -1,  0,  0,  0,  0,  0,  0},  // 7: lower limit of generator 2
    { 10,  0,   0,  0,  0,  0,  0,  0, -1,  0,  0,  0,  0,  0},  // 8 = n+2ngen+1: upper limit of line 1 (+y at re = 2)
    { -5,  5,   0,  0,  0,  0,  0,  0,  0, -1,  0,  0,  0,  0},  // 9: upper limit of line 2 (-y at se, +y at re)
    {  0, -4,   0,  0,  0,  0,  0,  0,  0,  0, -1,  0,  0,  0},  // 10: upper limit of line 3 (-y at se = 3)
    {-10,  0,   0,  0,  0,  0,  0,  0,  0,  0,  0, -1,  0,  0},  // 11 = n+2ngen+nl+1: lower limit of line 1
    {  5, -5,   0,  0,  0,  0,  0,  0,  0,  0,  0,  0, -1,  0},  // 12: lower limit of line 2
    {  0,  4,   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0, -1},  // 13: lower limit of line 3
  };
  // clang-format on
  EXPECT_EQ(dense_rows(qp), rows);
  // Loads, then -upper and lower of the generators, then -upper and lower
  // of the lines, all in per unit.
  EXPECT_EQ(qp.b, (Reals{0, 0.2, 0.6, -1.5, -0.8, 0.1, 0.05, -0.5, -0.7, -0.9, -0.4, -0.6, -0.8}));
  EXPECT_EQ(qp.c, (Reals{0, 0, 1000, 2000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(qp.q, (Reals{0, 0, 0.02 * 10000.0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(qp.x0, (Reals{0, 0, (0.1 + 1.5) / 2.0, (0.05 + 0.8) / 2.0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(qp.flags, (Ints{1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(qp.lb, (Reals{-2.0, -2.0}));
  // The row numbering helper agrees with the table.
  const QpRows r{3, 2, 3};
  EXPECT_EQ(r.gen_upper(2), 5);
  EXPECT_EQ(r.gen_lower(1), 6);
  EXPECT_EQ(r.line_upper(1), 8);
  EXPECT_EQ(r.line_lower(3), 13);
  EXPECT_EQ(r.count(), 13);
}

TEST(DispatchQp, NegativeGenerationBusWithdrawsAndCarriesTheNegatedCost) {
  const CaseData d = CaseBuilder(100)
                         .line(1, 2, 0.1, 100, -100)
                         .gen_bus(kReferenceBus, 0, 10, 0.0, 200, 0)
                         .gen_bus(kNegativeGenerationBus, 50, 10, 0.0, 30, 0)
                         .per_unit();
  const DispatchQp qp = build(d);
  EXPECT_EQ(qp.rows[1].at(QpColumns{2, 2, 1}.generator(2)), -1.0);
  EXPECT_EQ(qp.b[1], 0.0);  // the load of a negative generation bus is 0
  EXPECT_EQ(qp.c[2], -1000.0);
  EXPECT_EQ(qp.q, Reals(static_cast<std::size_t>(qp.nvar), 0.0));  // still written: all zeros
}

// Angles of the non-reference buses in the rows of a program.
double row_times_angles(const Reals& row, const Reals& theta) {
  double sum = 0.0;
  for (std::size_t j = 0; j < theta.size(); ++j) sum += row[j] * theta[j];
  return sum;
}

// Row i of Bmat (full n columns, summed over adjacency entries) times the
// angles of all buses, the reference angle being zero.
double bmat_row_times_angles(const CaseData& d, std::int32_t i, const Reals& theta) {
  const NetworkLists lists = build_network_lists(d.n, d.se, d.re);
  const Reals bmat = build_bmat(lists, d.x);
  double sum = 0.0;
  for (std::int32_t k = lists.xadjcy_at(i); k < lists.xadjcy_at(i + 1); ++k) {
    const std::int32_t c = angle_column(lists.adjcy_at(k), d.nref);
    if (c) sum += bmat[static_cast<std::size_t>(k) - 1] * theta[static_cast<std::size_t>(c) - 1];
  }
  return sum;
}

TEST(DispatchQp, NonConsecutiveParallelLinesGiveTheSameConstraintsAsAdjacentOnes) {
  // Lines 1-2, 1-3, 1-2 make bus 2 appear twice among the entries of bus
  // 1; with the lines 1-2, 1-2, 1-3 the two parallel lines share one entry.
  // Both must describe the same network.
  auto make = [](bool adjacent) {
    CaseBuilder b(100);
    if (adjacent) {
      b.line(1, 2, 0.25, 100, -100).line(1, 2, 0.5, 100, -100).line(1, 3, 0.2, 100, -100);
    } else {
      b.line(1, 2, 0.25, 100, -100).line(1, 3, 0.2, 100, -100).line(1, 2, 0.5, 100, -100);
    }
    return b.gen_bus(kReferenceBus, 0, 10, 0.01, 200, 0).load_bus(40).load_bus(30).per_unit();
  };
  const CaseData apart = make(false), together = make(true);
  const DispatchQp qa = build(apart), qt = build(together);
  const auto ra = dense_rows(qa), rt = dense_rows(qt);
  // Power-balance rows: identical (bus 1: 4 + 2 on bus 2's column, 5 on bus 3's).
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(ra[i], rt[i]) << "bus " << i + 1;
  EXPECT_EQ(ra[0][0], 6.0);
  EXPECT_EQ(ra[0][1], 5.0);
  // Line rows: the same flows, in the order of the lines (line 2 of one
  // case is line 3 of the other); the slack columns follow the line number.
  // After the 3 balance rows and the 2 generator rows come the 3 upper
  // limits, then the 3 lower limits.
  const std::size_t first_line_row = 3 + 2 * 1;
  const std::size_t other_line[3] = {0, 2, 1};
  for (std::size_t l = 0; l < 3; ++l) {
    for (std::size_t r = 0; r < 2; ++r) {
      const Reals& a = ra[first_line_row + 3 * r + l];
      const Reals& t = rt[first_line_row + 3 * r + other_line[l]];
      EXPECT_EQ(Reals(a.begin(), a.begin() + 2), Reals(t.begin(), t.begin() + 2))
          << "line " << l + 1;
    }
  }
  EXPECT_EQ(qa.b, qt.b);
  // Every power-balance row equals row i of Bmat times the angles.
  const Reals theta{0.03, -0.07};
  for (std::int32_t i = 1; i <= 3; ++i) {
    EXPECT_DOUBLE_EQ(row_times_angles(ra[static_cast<std::size_t>(i) - 1], theta),
                     -bmat_row_times_angles(apart, i, theta))
        << "bus " << i;
  }
}

TEST(DispatchQp, SelfLoopAddsNothingToTheBalanceNorToTheLineFlow) {
  // Bus 2 has a line to itself: its balance row gets diagonal + self entry
  // (y - y = 0) in its own column, and that line's flow rows no angle.
  const CaseData d = CaseBuilder(100)
                         .line(1, 2, 0.1, 100, -100)
                         .line(2, 2, 0.5, 100, -100)
                         .gen_bus(kReferenceBus, 0, 10, 0.01, 200, 0)
                         .load_bus(50)
                         .per_unit();
  const auto rows = dense_rows(build(d));
  EXPECT_EQ(rows[1][0], -10.0);        // only the line 1-2 remains
  EXPECT_EQ(rows[2 + 2 + 1][0], 0.0);  // upper limit row of line 2 (row 6)
  EXPECT_EQ(rows[2 + 2 + 3][0], 0.0);  // lower limit row of line 2 (row 8)
  EXPECT_EQ(rows[2 + 2 + 0][0], 10.0);   // upper limit of line 1: +y at re
  EXPECT_EQ(rows[2 + 2 + 2][0], -10.0);  // lower limit of line 1: -y at re
}

TEST(DispatchQp, SingleBusHasNoAngleColumnsAndNoLowerBounds) {
  const CaseData d = CaseBuilder(100)
                         .line(1, 1, 0.1, 100, -100)
                         .gen_bus(kReferenceBus, 20, 10, 0.01, 200, 0)
                         .per_unit();
  const DispatchQp qp = build(d);
  EXPECT_EQ(qp.nvar, 5);
  EXPECT_EQ(qp.m, 5);
  EXPECT_TRUE(qp.lb.empty());
  EXPECT_EQ(qp.flags, Ints(5, 0));
  EXPECT_EQ(dense_rows(qp)[0], (Reals{1, 0, 0, 0, 0}));
  EXPECT_EQ(qp.b[0], 0.2);
}

TEST(SparseRow, GatherStoresAFirstContributionUnchanged) {
  SparseRow row;
  row.gather(2, -0.0);
  EXPECT_TRUE(std::signbit(row.at(2)));  // not 0.0 + -0.0
  row.gather(2, 1.5);
  EXPECT_EQ(row.at(2), 1.5);
  row.assign(2, 7.0);
  EXPECT_EQ(row.at(2), 7.0);
  EXPECT_EQ(row.dense(3), (Reals{0, 7, 0}));
}

TEST(PerUnit, ConversionsOnTheBasePower) {
  CaseData d = CaseBuilder(50).gen_bus(kGenerationBus, 25, 3, 0.5, 100, 10).per_unit();
  EXPECT_EQ(d.load[0], 0.5);
  EXPECT_EQ(d.gen_upper[0], 2.0);
  EXPECT_EQ(d.gen_lower[0], 0.2);
  EXPECT_EQ(d.linear_cost[0], 150.0);
  EXPECT_EQ(d.quadratic_cost[0], 1250.0);
}

TEST(ToleranceDefaults, OnlyExactZerosAreReplaced) {
  AlgorithmParameters p;
  p.epslnp = 1.0e-300;
  apply_tolerance_defaults(p);
  EXPECT_EQ(p.epsln, 1.0E-8);
  EXPECT_EQ(p.epslim, 1.0E-10);
  EXPECT_EQ(p.epslnp, 1.0e-300);
  EXPECT_EQ(p.epslgiv, 1.0E-35);
}

}  // namespace
}  // namespace dispatch
