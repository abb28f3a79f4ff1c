// Conversion of input fields.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "records/format.hpp"

namespace records {
namespace {

struct RealField {
  std::string field;
  int digits;
  double expected;
};

class RealConversion : public ::testing::TestWithParam<RealField> {};

TEST_P(RealConversion, ReadsValue) {
  const RealField& c = GetParam();
  EXPECT_EQ(convert_real(c.field, c.digits), c.expected) << "[" << c.field << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RealConversion,
    ::testing::Values(RealField{"   1.0E-10", 3, 1.0e-10}, RealField{"   1.0D-10", 3, 1.0e-10},
                      RealField{"   1.0d-10", 3, 1.0e-10}, RealField{"   1.0e-10", 3, 1.0e-10},
                      RealField{"       100", 4, 0.01},      // implied point: last 4 digits
                      RealField{"    2.5000", 4, 2.5},       // a point takes precedence
                      RealField{"          ", 4, 0.0},       // blank field is zero
                      RealField{"", 4, 0.0},
                      RealField{"     1.5-3", 4, 0.0015},    // bare sign starts the exponent
                      RealField{"     1.5+3", 4, 1500.0},
                      RealField{"  1 . 5 E 2", 4, 150.0},    // blanks inside are ignored
                      RealField{"\t-2.25", 2, -2.25},
                      RealField{"     -.5  ", 4, -0.5},
                      RealField{"        5.", 4, 5.0},
                      RealField{"      15E1", 1, 15.0},      // implied point, then exponent
                      RealField{"     +0.99", 2, 0.99},
                      RealField{"  1.0E+05", 3, 1.0e5},
                      RealField{"  1.0E-400", 3, 0.0},       // underflow gives zero
                      RealField{" 0.1000000000000D+01", 13, 1.0},
                      RealField{" -.1000000000000D+01", 13, -1.0},
                      RealField{"  .10000-149", 5, 1.0e-150}));

class BadRealField : public ::testing::TestWithParam<std::string> {};

TEST_P(BadRealField, IsRefused) {
  EXPECT_THROW(convert_real(GetParam(), 4), FieldError) << "[" << GetParam() << "]";
}

INSTANTIATE_TEST_SUITE_P(Fields, BadRealField,
                         ::testing::Values("1.2.3", "abc", "1,5", "1.5E", "1.5E+", "-", ".",
                                           "1.5X3", "1.0E-1x", "1.0E999", "--1", "1e5.0"));

TEST(IntegerConversion, ReadsSignedDigits) {
  EXPECT_EQ(convert_integer("        12"), 12);
  EXPECT_EQ(convert_integer("       -12"), -12);
  EXPECT_EQ(convert_integer("  +7"), 7);
  EXPECT_EQ(convert_integer("          "), 0);
  EXPECT_EQ(convert_integer(" 1 2 "), 12);
  EXPECT_EQ(convert_integer("2147483647"), 2147483647);
  EXPECT_EQ(convert_integer("-2147483648"), -2147483647 - 1);
}

TEST(IntegerConversion, RefusesPointsExponentsAndOverflow) {
  for (const char* field : {"1.0", "1E2", "12a", "-", "2147483648", "-2147483649",
                            "99999999999999999999"}) {
    EXPECT_THROW(convert_integer(field), FieldError) << field;
  }
}

TEST(IntegerConversion, ErrorQuotesTheField) {
  try {
    convert_integer("  1x");
    FAIL();
  } catch (const FieldError& e) {
    EXPECT_EQ(e.field(), "  1x");
    EXPECT_NE(std::string(e.what()).find("'x'"), std::string::npos);
  }
}

TEST(TextConversion, PadsOrKeepsTheRightmostCharacters) {
  EXPECT_EQ(convert_text("caso1", 14), "caso1         ");
  EXPECT_EQ(convert_text("abcdef", 3), "def");
}

}  // namespace
}  // namespace records
