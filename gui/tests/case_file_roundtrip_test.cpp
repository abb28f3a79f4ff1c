// Every case the writer renders reads back through the record layer, under
// the templates the dispatch builder reads the case file with, to the
// values as written: each real equals the decimal text printf wrote for it
// and lies within half a unit of its last written digit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "case_builder.hpp"
#include "corvo/case_file_writer.hpp"
#include "records/records.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kCaseUnit = 3;

// The case as read back, in the reader's order.
struct ReadCase {
  std::string title = std::string(corvo::kTitleWidth, ' ');
  std::int32_t n = 0, nl = 0;
  double Sb = 0.0;
  std::vector<std::int32_t> se, re;
  std::vector<double> x, line_upper, line_lower;
  std::vector<std::int32_t> bus_type;
  std::vector<std::vector<double>> bus_fields;  // 1 or 6 per bus
  std::int32_t nbmax = 0, nlmax = 0, ndc = 0, ndp = 0, maxit = 0, iprint = 0;
  double epsln = 0, epslgiv = 0, epslnp = 0, epslim = 0, rho = 0, bigm = 0, sigma = 0;
};

ReadCase read_back(const fs::path& file) {
  records::Records io;
  io.open(kCaseUnit, file.string(), records::Status::Old);
  ReadCase r;
  io.read(kCaseUnit, "(a80)", r.title);
  io.read(kCaseUnit, "(2I10,D10.2)", r.n, r.nl, r.Sb);
  for (std::int32_t l = 0; l < r.nl; ++l) {
    std::int32_t se = 0, re = 0;
    double x = 0, upper = 0, lower = 0;
    io.read(kCaseUnit, "(2I10,3D10.4)", se, re, x, upper, lower);
    r.se.push_back(se);
    r.re.push_back(re);
    r.x.push_back(x);
    r.line_upper.push_back(upper);
    r.line_lower.push_back(lower);
  }
  r.bus_type.assign(static_cast<std::size_t>(r.n), 0);
  io.read(kCaseUnit, "(8I10)", r.bus_type);
  for (std::int32_t type : r.bus_type) {
    std::vector<double> fields(type == 0 ? 1 : 6, 0.0);
    io.read(kCaseUnit, "(8D10.4)", fields);
    r.bus_fields.push_back(fields);
  }
  io.read(kCaseUnit, "(8I10)", r.nbmax, r.nlmax);
  io.read(kCaseUnit, "(8I10)", r.ndc, r.ndp);
  io.read(kCaseUnit, "(2I10,4D10.3)", r.maxit, r.iprint, r.epsln, r.epslgiv, r.epslnp, r.epslim);
  io.read(kCaseUnit, "(8D10.4)", r.rho, r.bigm, r.sigma);
  return r;
}

// `value` as the writer's conversion wrote it, read back exactly.
double as_written(const char* conversion, double value) {
  char text[64];
  std::snprintf(text, sizeof text, conversion, value);
  return std::strtod(text, nullptr);
}

// Checks a value read back against the value the writer was given.
void expect_written(double read, double given, const char* conversion, const std::string& what) {
  EXPECT_EQ(read, as_written(conversion, given)) << what << " given " << given;
  const std::string c = conversion;
  if (c == "%.2f" || c == "%.6f") {
    const double unit = c == "%.2f" ? 0.01 : 1e-6;
    EXPECT_LE(std::fabs(read - given), unit / 2 * (1 + 1e-9) + std::fabs(given) * 1e-15) << what;
  } else {  // one decimal of mantissa: within 5 % of the value
    EXPECT_LE(std::fabs(read - given), std::fabs(given) * 0.05 * (1 + 1e-9)) << what;
  }
}

void expect_round_trip(const std::string& title, const corvo::CaseData& c, const fs::path& file) {
  {
    std::ofstream out(file, std::ios::binary);
    out << corvo::render_case_file(title, c);
  }
  const ReadCase r = read_back(file);
  std::string padded_title = title;
  padded_title.resize(corvo::kTitleWidth, ' ');
  EXPECT_EQ(r.title, padded_title);
  EXPECT_EQ(r.n, c.n);
  EXPECT_EQ(r.nl, c.nl);
  expect_written(r.Sb, c.Sb, "%.2f", "Sb");
  EXPECT_EQ(r.se, c.se);
  EXPECT_EQ(r.re, c.re);
  for (std::size_t l = 0; l < c.se.size(); ++l) {
    const std::string line = "line " + std::to_string(l + 1);
    expect_written(r.x[l], c.x[l], "%.2f", line + " x");
    expect_written(r.line_upper[l], c.line_upper[l], "%.2f", line + " upper");
    expect_written(r.line_lower[l], c.line_lower[l], "%.2f", line + " lower");
  }
  EXPECT_EQ(r.bus_type, c.bus_type);
  for (std::size_t i = 0; i < c.bus_type.size() && i < r.bus_fields.size(); ++i) {
    const std::string bus = "bus " + std::to_string(i + 1);
    const std::vector<double>& f = r.bus_fields[i];
    expect_written(f[0], c.load[i], "%.2f", bus + " load");
    if (c.bus_type[i] == 0) continue;
    expect_written(f[1], c.constant_cost[i], "%.2f", bus + " constant");
    expect_written(f[2], c.linear_cost[i], "%.2f", bus + " linear");
    expect_written(f[3], c.quadratic_cost[i], "%.6f", bus + " quadratic");
    expect_written(f[4], c.gen_upper[i], "%.2f", bus + " upper");
    expect_written(f[5], c.gen_lower[i], "%.2f", bus + " lower");
  }
  const corvo::AlgorithmParameters& p = c.parameters;
  EXPECT_EQ(r.nbmax, p.nbmax);
  EXPECT_EQ(r.nlmax, p.nlmax);
  EXPECT_EQ(r.ndc, p.ndc);
  EXPECT_EQ(r.ndp, p.ndp);
  EXPECT_EQ(r.maxit, p.maxit);
  EXPECT_EQ(r.iprint, p.iprint);
  expect_written(r.epsln, p.epsln, "%.1E", "epsln");
  expect_written(r.epslgiv, p.epslgiv, "%.1E", "epslgiv");
  expect_written(r.epslnp, p.epslnp, "%.1E", "epslnp");
  expect_written(r.epslim, p.epslim, "%.1E", "epslim");
  expect_written(r.rho, p.rho, "%.2f", "rho");
  expect_written(r.bigm, p.bigm, "%.1E", "bigm");
  expect_written(r.sigma, p.sigma, "%.1E", "sigma");
}

class RoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    file_ = fs::temp_directory_path() /
            ("corvo_roundtrip_" + std::to_string(::getpid()) + "_" +
             testing::UnitTest::GetInstance()->current_test_info()->name() + ".dat");
  }
  void TearDown() override { fs::remove(file_); }
  fs::path file_;
};

TEST_F(RoundTrip, TwoBusExample) {
  expect_round_trip("Caso exemplo", corvo_test::two_bus_case(), file_);
}

TEST_F(RoundTrip, EmptyTitleAndSingleBus) {
  expect_round_trip("", corvo_test::blank_case(1, 0), file_);
}

// The widest values the columns hold, on every kind of field.
TEST_F(RoundTrip, WidestValues) {
  corvo::CaseData c = corvo_test::blank_case(9, 2);
  c.Sb = 9999999.99;
  c.se = {2147483647, -999999999};
  c.re = {1, 999};
  c.x = {999999.99, -999999.99};
  c.line_upper = {0.005, -0.004};
  c.line_lower = {-0.0, 123456.785};
  c.bus_type = {1, 2, 3, 0, 1, 2, 3, 0, 1};
  for (std::size_t i = 0; i < 9; ++i) {
    const double sign = i % 2 ? -1.0 : 1.0;
    c.load[i] = sign * 999999.99;
    c.constant_cost[i] = -sign * 999999.99;
    c.linear_cost[i] = 0.01 * static_cast<double>(i);
    c.quadratic_cost[i] = sign * 99.999999;
    c.gen_upper[i] = 999999.994;
    c.gen_lower[i] = -999999.994;
  }
  c.parameters.nbmax = 2147483647;
  c.parameters.nlmax = -999999999;
  c.parameters.ndc = 0;
  c.parameters.ndp = 500;
  c.parameters.maxit = 99;
  c.parameters.iprint = 9;
  c.parameters.epsln = 9.96e99;  // written 1.0E+100
  c.parameters.epslgiv = 1.0e-150;
  c.parameters.epslnp = -2.5e-7;
  c.parameters.epslim = 0.0;
  c.parameters.rho = -999999.99;
  c.parameters.bigm = 1.0e300;
  c.parameters.sigma = -1.0e-300;
  expect_round_trip(std::string(80, '#'), c, file_);
}

TEST_F(RoundTrip, NegativeSmallCounts) {
  corvo::CaseData c = corvo_test::blank_case(16, 1);
  c.parameters.maxit = -9;
  expect_round_trip("  leading blanks", c, file_);
}

// Random cases within the widths, from a fixed seed.
TEST_F(RoundTrip, RandomCases) {
  std::mt19937_64 random(20240611);
  const auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  const auto integer = [&](std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(random);
  };
  const auto tolerance = [&] {
    return (integer(0, 1) ? 1.0 : -1.0) * std::pow(10.0, uniform(-300.0, 300.0));
  };
  for (int trial = 0; trial < 200; ++trial) {
    corvo::CaseData c = corvo_test::blank_case(integer(1, 40), integer(0, 30));
    c.Sb = uniform(0.0, 9999999.99);
    for (std::size_t l = 0; l < c.se.size(); ++l) {
      c.se[l] = integer(-999999999, 2147483647);
      c.re[l] = integer(1, 999);
      c.x[l] = uniform(-999999.99, 999999.99) / std::pow(10.0, integer(0, 8));
      c.line_upper[l] = uniform(-999999.99, 999999.99);
      c.line_lower[l] = uniform(-999999.99, 999999.99);
    }
    for (std::size_t i = 0; i < c.bus_type.size(); ++i) {
      c.bus_type[i] = integer(0, 3);
      c.load[i] = uniform(-999999.99, 999999.99);
      c.constant_cost[i] = uniform(-999999.99, 999999.99);
      c.linear_cost[i] = uniform(-9999.99, 9999.99);
      c.quadratic_cost[i] = uniform(-99.999999, 99.999999) / std::pow(10.0, integer(0, 6));
      c.gen_upper[i] = uniform(0.0, 999999.99);
      c.gen_lower[i] = uniform(-999999.99, 0.0);
    }
    corvo::AlgorithmParameters& p = c.parameters;
    p.nbmax = integer(0, 2147483647);
    p.nlmax = integer(-999999999, 0);
    p.ndc = integer(0, 1000);
    p.ndp = integer(0, 1000);
    p.maxit = integer(-9, 99);
    p.iprint = integer(0, 9);
    p.epsln = tolerance();
    p.epslgiv = tolerance();
    p.epslnp = tolerance();
    p.epslim = tolerance();
    p.rho = uniform(-999999.99, 999999.99);
    p.bigm = tolerance();
    p.sigma = tolerance();
    std::string title;
    for (int k = integer(0, 80); k > 0; --k) title += static_cast<char>(integer(32, 126));
    SCOPED_TRACE("trial " + std::to_string(trial));
    expect_round_trip(title, c, file_);
    if (HasFailure()) break;
  }
}

}  // namespace
