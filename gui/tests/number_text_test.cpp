// Numbers as the forms show them (as a user types them, read back by the
// forms' own conversion) and as the result tables show them.
#include "corvo/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "corvo/number_conversion.hpp"

namespace {

struct FormCase {
  double value;
  const char* text;
};

TEST(NumberText, FormTexts) {
  const FormCase cases[] = {
      {100.0, "100"},        {0.0576, "0,0576"},    {-9999.0, "-9999"},   {0.99, "0,99"},
      {1e-10, "1E-10"},      {1e-6, "1E-6"},        {1e-5, "0,00001"},    {1.5e-8, "1,5E-8"},
      {100000.0, "100000"},  {1.5e15, "1,5E+15"},   {0.0, "0"},           {-0.25, "-0,25"},
      {123456.78, "123456,78"},
      // A value that per-unit conversion moved by one unit in the last
      // place shows the file's decimal text: 94.2 / 100 * 100.
      {94.2 / 100.0 * 100.0, "94,2"},
  };
  for (const FormCase& c : cases) {
    EXPECT_EQ(corvo::form_number_text(c.value, ','), c.text) << c.value;
  }
  EXPECT_EQ(corvo::form_number_text(0.0576, '.'), "0.0576");
  EXPECT_EQ(corvo::form_number_text(std::numeric_limits<double>::infinity(), ','), "");
}

// Whatever a form shows, its conversion reads back as the value rounded to
// the digits a case file holds.
TEST(NumberText, FormTextReadsBack) {
  for (const double value : {0.1, 1.0 / 3.0, 2.0 / 3.0 * 1e7, -7.25e-12, 6.02214076e23, 0.07}) {
    const std::string text = corvo::form_number_text(value, ',');
    EXPECT_EQ(corvo::StrToFloat(text, ','), corvo::round_to_significant(value, corvo::kCaseFileDigits))
        << text;
  }
}

TEST(NumberText, RoundingToSignificantDigits) {
  EXPECT_EQ(corvo::round_to_significant(1.0 / 3.0, 3), 0.333);
  EXPECT_EQ(corvo::round_to_significant(-2.5e-7 * 1.0000001, 2), -2.5e-7);
  EXPECT_EQ(corvo::round_to_significant(0.0, 5), 0.0);
  EXPECT_TRUE(std::isnan(corvo::round_to_significant(std::nan(""), 5)));
}

TEST(NumberText, TableTexts) {
  EXPECT_EQ(corvo::table_number_text(125947.877336, 2, ','), "125947,88");
  EXPECT_EQ(corvo::table_number_text(10.5, 4, ','), "10,5000");
  EXPECT_EQ(corvo::table_number_text(-0.00001, 2, ','), "0,00");
  EXPECT_EQ(corvo::table_number_text(-3.2, 1, ','), "-3,2");
  EXPECT_EQ(corvo::table_number_text(std::nan(""), 2, ','), "\u2014");
}

}  // namespace
