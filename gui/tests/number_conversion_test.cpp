// The forms' text-to-number conversions with the comma as decimal separator.
#include "corvo/number_conversion.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

using corvo::ConversionError;
using corvo::StrToFloat;
using corvo::StrToInt;

struct IntegerCase {
  const char* text;
  std::int32_t value;
};

class AcceptedInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(AcceptedInteger, Converts) { EXPECT_EQ(StrToInt(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(Texts, AcceptedInteger,
                         testing::Values(IntegerCase{"0", 0}, IntegerCase{"3", 3},
                                         IntegerCase{"100", 100}, IntegerCase{"-100", -100},
                                         IntegerCase{"+7", 7}, IntegerCase{" 12 ", 12},
                                         IntegerCase{"007", 7},
                                         IntegerCase{"2147483647", 2147483647},
                                         IntegerCase{"-2147483648", -2147483647 - 1}));

class RefusedInteger : public testing::TestWithParam<const char*> {};

TEST_P(RefusedInteger, RaisesErrorQuotingTheText) {
  const std::string text = GetParam();
  try {
    StrToInt(text);
    FAIL() << "accepted '" << text << "'";
  } catch (const ConversionError& error) {
    EXPECT_EQ(error.text(), text);
    EXPECT_EQ(std::string(error.what()), "'" + text + "' não é um valor inteiro válido");
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedInteger,
                         testing::Values("", "   ", "-", "+", "1,5", "1.5", "1E+5", "12a", "a12",
                                         "1 2", "--1", "2147483648", "-2147483649",
                                         "99999999999999999999999"));

struct RealCase {
  const char* text;
  double value;
};

class AcceptedReal : public testing::TestWithParam<RealCase> {};

// The expected values are the doubles nearest to the decimal texts, which
// is what an exact conversion gives.
TEST_P(AcceptedReal, ConvertsWithCommaSeparator) {
  EXPECT_EQ(StrToFloat(GetParam().text, ','), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, AcceptedReal,
                         testing::Values(RealCase{"100", 100.0}, RealCase{"100,5", 100.5},
                                         RealCase{"0,1", 0.1}, RealCase{"-100", -100.0},
                                         RealCase{"+2,5", 2.5}, RealCase{",5", 0.5},
                                         RealCase{"5,", 5.0}, RealCase{"1E+5", 1.0e5},
                                         RealCase{"1E-10", 1.0e-10}, RealCase{"1E-35", 1.0e-35},
                                         RealCase{"1e3", 1000.0}, RealCase{"1,5E-8", 1.5e-8},
                                         RealCase{"0,99", 0.99}, RealCase{"0,0576", 0.0576},
                                         RealCase{" 3,25 ", 3.25}, RealCase{"-0,01", -0.01}));

class RefusedReal : public testing::TestWithParam<const char*> {};

TEST_P(RefusedReal, RaisesErrorQuotingTheText) {
  const std::string text = GetParam();
  try {
    StrToFloat(text, ',');
    FAIL() << "accepted '" << text << "'";
  } catch (const ConversionError& error) {
    EXPECT_EQ(error.text(), text);
    EXPECT_EQ(std::string(error.what()), "'" + text + "' não é um valor real válido");
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedReal,
                         testing::Values("", " ", "0.1", "0.05", "100.5", ",", "-", "E5", "1E",
                                         "1E+", "1,2,3", "1D5", "1 000", "abc", "inf", "nan",
                                         "0x10", "1E999", "--1"));

TEST(StrToFloat, SeparatorIsTheCallersChoice) {
  EXPECT_EQ(StrToFloat("0.5", '.'), 0.5);
  EXPECT_THROW(StrToFloat("0,5", '.'), ConversionError);
}

TEST(StrToFloat, NegativeZeroKeepsItsSign) { EXPECT_TRUE(std::signbit(StrToFloat("-0", ','))); }

}  // namespace
