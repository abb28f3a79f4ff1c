// Rendering of output fields. Expected texts show blanks explicitly by
// their count so that a lost or extra column is caught.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "records/format.hpp"

namespace records {
namespace {

std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

struct RealCase {
  double value;
  int width;
  int digits;
  std::string expected;
};

class FixedRendering : public ::testing::TestWithParam<RealCase> {};

TEST_P(FixedRendering, MatchesRule) {
  const RealCase& c = GetParam();
  EXPECT_EQ(render_fixed(c.value, c.width, c.digits), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    F164, FixedRendering,
    ::testing::Values(
        RealCase{0.5, 16, 4, blanks(11) + ".5000"},       // no digit before the point
        RealCase{0.0, 16, 4, blanks(11) + ".0000"},
        RealCase{-0.0, 16, 4, blanks(11) + ".0000"},
        RealCase{-0.00003, 16, 4, blanks(11) + ".0000"},  // rounds to zero: no sign
        RealCase{-0.00005, 16, 4, blanks(10) + "-.0001"}, // 5 rounds away from zero
        RealCase{-1234.56789, 16, 4, blanks(6) + "-1234.5679"},
        RealCase{9.99995, 16, 4, blanks(9) + "10.0000"},  // the carry adds a digit
        RealCase{1.0e12, 16, 4, std::string(16, '*')},    // too wide
        RealCase{123456789012.5, 17, 4, "123456789012.5000"},
        RealCase{1.0e11, 16, 4, std::string(16, '*')},    // needs 17 columns
        RealCase{1.0e10, 16, 4, "10000000000.0000"},      // exactly 16 columns
        RealCase{-1.0e9, 16, 4, "-1000000000.0000"},
        RealCase{0.00004999, 16, 4, blanks(11) + ".0000"},
        RealCase{0.99999, 16, 4, blanks(10) + "1.0000"},
        RealCase{2.5, 5, 0, "   3."},
        RealCase{0.4, 5, 0, "   0."},
        // 1/3 has 17 digits 33333333333333331 (rounded); the 17th and later
        // digits only decide at the 17th place shown.
        RealCase{1.0 / 3.0, 24, 20, "   .33333333333333331000"},
        RealCase{0.125, 16, 2, blanks(13) + ".13"},
        RealCase{1e-300, 16, 4, blanks(11) + ".0000"},
        RealCase{std::numeric_limits<double>::infinity(), 16, 4, blanks(8) + "Infinity"},
        RealCase{-std::numeric_limits<double>::infinity(), 4, 2, "-Inf"},
        RealCase{std::numeric_limits<double>::quiet_NaN(), 16, 4, blanks(13) + "NaN"}));

class ExponentRendering : public ::testing::TestWithParam<RealCase> {};

TEST_P(ExponentRendering, MatchesRule) {
  const RealCase& c = GetParam();
  EXPECT_EQ(render_exponent(c.value, c.width, c.digits), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    D, ExponentRendering,
    ::testing::Values(
        RealCase{-1.0, 20, 13, " -.1000000000000D+01"},
        RealCase{1.0e-10, 10, 3, "  .100D-09"},
        RealCase{1.0e-150, 12, 5, "  .10000-149"},  // exponent beyond 99: no letter
        RealCase{1.0e200, 12, 5, "  .10000+201"},
        RealCase{12.345, 12, 5, "  .12345D+02"},
        RealCase{0.0, 12, 5, "  .00000D+00"},
        RealCase{-0.0, 12, 5, "  .00000D+00"},
        RealCase{100.0, 8, 2, " .10D+03"},
        RealCase{0.99996, 10, 4, " .1000D+01"},  // carry into the exponent
        RealCase{1.0e99, 10, 3, "  .100+100"},
        RealCase{-5.0e-324, 13, 4, "   -.4941-323"},
        RealCase{1.0e-10, 10, 4, " .1000D-09"},
        RealCase{-1.0e-10, 10, 4, "-.1000D-09"},
        RealCase{-1.0e-10, 9, 4, "*********"},
        RealCase{0.01, 10, 3, "  .100D-01"},
        RealCase{1.0e-35, 10, 3, "  .100D-34"},
        RealCase{2.0 / 3.0, 20, 13, "  .6666666666667D+00"},
        RealCase{0.15, 10, 1, "    .1D+00"}));  // 0.15 is 0.14999999999999999 to 17 digits

TEST(IntegerRendering, RightJustifiesOrFillsWithAsterisks) {
  EXPECT_EQ(render_integer(1000, 3), "***");
  EXPECT_EQ(render_integer(-5, 10), blanks(8) + "-5");
  EXPECT_EQ(render_integer(0, 3), "  0");
  EXPECT_EQ(render_integer(-100, 3), "***");
  EXPECT_EQ(render_integer(-2147483647 - 1, 11), "-2147483648");
}

TEST(TextRendering, WidthCutsOrPadsOnTheLeft) {
  EXPECT_EQ(render_text("LD", 2), "LD");
  EXPECT_EQ(render_text("ab", 0), "ab");
  EXPECT_EQ(render_text("abcdef", 3), "abc");
  EXPECT_EQ(render_text("ab", 4), "  ab");
  EXPECT_EQ(render_text("ab  ", 0), "ab  ");  // trailing blanks stay
}

}  // namespace
}  // namespace records
