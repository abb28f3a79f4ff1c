// The reference optimum of each bundled case, put into the variables of the
// problem file that orsa writes, must satisfy every constraint of that file
// and cost exactly the reference optimum. This checks the rows, right-hand
// sides and cost vectors of orsa.ip against an independent solution,
// whatever the solver makes of them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fixed_fields.hpp"

namespace {

namespace fs = std::filesystem;

const fs::path kOrsa = ORSA_EXE;
const fs::path kCases = CORVO_CASES_DIR;

using fixed_fields::FieldReader;
using fixed_fields::read_file;
using fixed_fields::records_of;

struct ProblemFile {
  std::size_t m = 0, nvar = 0;
  std::vector<double> c, q, b;
  std::vector<std::vector<double>> rows;
};

ProblemFile read_problem(const fs::path& path) {
  const std::vector<std::string> recs = records_of(read_file(path));
  ProblemFile p;
  const std::vector<int> sizes = FieldReader(recs, 2).integers(2, 8, 10);
  p.m = static_cast<std::size_t>(sizes[0]);
  p.nvar = static_cast<std::size_t>(sizes[1]);
  FieldReader in(recs, 3);
  p.c = in.reals(p.nvar, 4, 20);
  p.q = in.reals(p.nvar, 4, 20);
  for (std::size_t i = 0; i < p.m; ++i) p.rows.push_back(in.reals(p.nvar, 4, 20));
  p.b = in.reals(p.m, 4, 20);
  return p;
}

// n, nl, ngen and nref from the flow data file: record 3 holds n and nl;
// after the two line-limit lists (six per record) and the bus types
// (sixteen per record) comes the record with ngen and nref.
struct NetworkSizes {
  std::size_t n = 0, nl = 0, ngen = 0;
  int nref = 0;
};

NetworkSizes read_sizes(const fs::path& path) {
  const std::vector<std::string> recs = records_of(read_file(path));
  NetworkSizes s;
  const std::vector<int> nnl = FieldReader(recs, 2).integers(2, 2, 5);
  s.n = static_cast<std::size_t>(nnl[0]);
  s.nl = static_cast<std::size_t>(nnl[1]);
  const std::size_t limit_records = (s.nl + 5) / 6;
  const std::size_t type_records = (s.n + 15) / 16;
  const std::vector<int> gen =
      FieldReader(recs, 3 + 2 * limit_records + type_records).integers(2, 16, 5);
  s.ngen = static_cast<std::size_t>(gen[0]);
  s.nref = gen[1];
  return s;
}

// The reference solution of one case from cases/reference_solutions.txt.
struct Reference {
  std::vector<double> pg, angles, flows;
};

Reference read_reference(const std::string& name) {
  std::ifstream in(kCases / "reference_solutions.txt");
  Reference r;
  std::string line;
  bool in_case = false;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "case") {
      std::string which;
      words >> which;
      in_case = which == name;
      continue;
    }
    if (!in_case) continue;
    std::vector<double>* target = key == "pg"       ? &r.pg
                                  : key == "angles" ? &r.angles
                                  : key == "flows"  ? &r.flows
                                                    : nullptr;
    for (double v; target != nullptr && words >> v;) target->push_back(v);
  }
  return r;
}

double dot(const std::vector<double>& a, const std::vector<double>& x) {
  double s = 0.0;
  for (std::size_t j = 0; j < x.size(); ++j) s += a[j] * x[j];
  return s;
}

struct ReferenceCase {
  const char* name;
  const char* file;
  double sb;
  double reference_cost;  // optimal cost without constant costs, $/h
};

void PrintTo(const ReferenceCase& c, std::ostream* os) { *os << c.name; }

const ReferenceCase kTable[] = {
    {"ieee9", "ieee9.dat", 100, 4131.026608},
    {"ieee14", "ieee14.dat", 100, 7642.603500},
    {"ieee30", "ieee30.dat", 100, 565.205966},
    {"ieee39", "ieee39.dat", 100, 41261.940786},
    {"ieee57", "ieee57.dat", 100, 41006.676646},
    {"ieee9t", "variants/ieee9t.dat", 100, 4143.598118},
    {"ieee30t", "variants/ieee30t.dat", 100, 568.980320},
    {"ieee39t", "variants/ieee39t.dat", 100, 41682.471357},
    {"ieee118", "large/ieee118.dat", 100, 125947.877321},
};

class ReferencePoint : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferencePoint, SatisfiesTheProblemFileAndCostsTheReferenceOptimum) {
  const ReferenceCase& c = GetParam();
  std::string pattern = (fs::temp_directory_path() / "refpoint_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;
  fs::copy_file(kCases / c.file, dir / (std::string(c.name) + ".dat"));
  const std::string command = "cd '" + dir.string() + "' && printf '%s\\n' " + c.name + " | '" +
                              kOrsa.string() + "' > orsa.out 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);

  const ProblemFile p = read_problem(dir / "orsa.ip");
  const NetworkSizes s = read_sizes(dir / "orsa.flw");
  const Reference r = read_reference(c.name);
  fs::remove_all(dir);
  ASSERT_EQ(r.pg.size(), s.ngen);
  ASSERT_EQ(r.angles.size(), s.n);
  ASSERT_EQ(r.flows.size(), s.nl);
  ASSERT_EQ(p.nvar, s.n - 1 + 3 * s.ngen + 2 * s.nl);
  ASSERT_EQ(p.m, s.n + 2 * s.ngen + 2 * s.nl);

  // Angles (reference bus left out) and outputs in per unit; every slack
  // and surplus then follows from its own row, whose slack coefficient is -1.
  std::vector<double> x(p.nvar, 0.0);
  for (std::size_t i = 1; i <= s.n; ++i) {
    const int bus = static_cast<int>(i);
    if (bus == s.nref) continue;
    const std::size_t column = bus < s.nref ? i : i - 1;
    x[column - 1] = r.angles[i - 1] - r.angles[static_cast<std::size_t>(s.nref) - 1];
    EXPECT_GE(x[column - 1], -2.0) << "angle of bus " << i;
  }
  for (std::size_t k = 0; k < s.ngen; ++k) x[s.n - 1 + k] = r.pg[k] / c.sb;
  const std::size_t first_slack = s.n - 1 + s.ngen;
  for (std::size_t i = s.n; i < p.m; ++i) {
    // The limit rows come in the blocks of the slack columns (generator
    // uppers, generator lowers, line uppers, line lowers), so the slack of
    // the r-th limit row is the r-th slack column.
    const std::size_t slack = first_slack + (i - s.n);
    ASSERT_EQ(p.rows[i][slack], -1.0) << "row " << i + 1;
    x[slack] = dot(p.rows[i], x) - p.b[i];
    EXPECT_GE(x[slack], -1e-9) << "limit of row " << i + 1 << " is broken";
  }
  // Power balance at every bus.
  for (std::size_t i = 0; i < s.n; ++i) {
    EXPECT_NEAR(dot(p.rows[i], x), p.b[i], 1e-9) << "balance of bus " << i + 1;
  }
  // The upper-limit row of a line holds minus its flow in the angle columns.
  for (std::size_t l = 0; l < s.nl; ++l) {
    std::vector<double> angles(x.begin(), x.begin() + static_cast<long>(s.n - 1));
    const std::vector<double>& upper = p.rows[s.n + 2 * s.ngen + l];
    EXPECT_NEAR(-dot(upper, angles) * c.sb, r.flows[l], 1e-6) << "flow of line " << l + 1;
  }
  double cost = 0.0;
  for (std::size_t j = 0; j < p.nvar; ++j) cost += x[j] * x[j] * p.q[j] * 0.5 + p.c[j] * x[j];
  EXPECT_NEAR(cost, c.reference_cost, 1e-9 * c.reference_cost);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReferencePoint, ::testing::ValuesIn(kTable),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
