// The case file text of an imported case.
#include <gtest/gtest.h>

#include "corvo/import/case_file_text.hpp"
#include "tiny_case.hpp"

namespace corvo::import {
namespace {

struct FieldCase {
  double value;
  int min_decimals;
  const char* field;
};

// The shortest text with at least the given decimals that reads back
// exactly; otherwise as many decimals as fit in 9 columns (a blank in
// front), the zero before the point dropped when that gains a decimal;
// 10 columns only when 9 cannot hold the minimum decimals.
TEST(CaseFileText, RealFields) {
  for (const FieldCase& c : {FieldCase{0.22, 6, "  0.220000"}, FieldCase{250.0, 2, "    250.00"},
                             FieldCase{-0.5, 2, "     -0.50"}, FieldCase{0.0860585198, 6, " .08605852"},
                             FieldCase{0.0576, 6, "  0.057600"}, FieldCase{1234567.5, 2, "1234567.50"},
                             FieldCase{123456.75, 2, " 123456.75"}, FieldCase{-0.123456789, 2, " -.1234568"},
                             FieldCase{0.123456789, 2, " .12345679"}, FieldCase{1.0 / 3.0, 6, " .33333333"}})
    EXPECT_EQ(real_field(c.value, c.min_decimals, "v"), c.field) << c.value;
}

TEST(CaseFileText, ValueTooWideIsAnErrorNamingIt) {
  try {
    real_field(12345678.0, 2, "bus 3: load");
    FAIL();
  } catch (const ImportError& e) {
    EXPECT_STREQ(e.what(), "bus 3: load = 12345678.00 does not fit in 10 columns with 2 decimals");
  }
}

// The tiny case byte for byte: title from the function name and the first
// comment; sizes; the branch with reactance 0.1 (six decimals) and rateA 0
// written as +-9999; bus types 2 (reference with generator) and 0; the
// generator's record load 0, constant 0, linear 10, quadratic 2*0.005 =
// 0.01 (six decimals), limits 200 and 0; the load bus's 50 MW; then the
// parameter records of the bundled cases. Every record ends with CR LF.
TEST(CaseFileText, TinyCaseGolden) {
  const ImportedCase c = map_matpower_case(parse_matpower(tiny_case::text(), "t.m"), "t.m");
  EXPECT_EQ(case_file_text(c),
            "MATPOWER tiny: TINY two buses\r\n"
            "         2         1    100.00\r\n"
            "         1         2  0.100000   9999.00  -9999.00\r\n"
            "         2         0\r\n"
            "      0.00      0.00     10.00  0.010000    200.00      0.00\r\n"
            "     50.00\r\n"
            "       100       150\r\n"
            "       500       500\r\n"
            "        99         0   1.0E-08   1.0E-35   1.0E-06   1.0E-10\r\n"
            "      0.99   1.0E+05   1.0E-01\r\n");
}

}  // namespace
}  // namespace corvo::import
