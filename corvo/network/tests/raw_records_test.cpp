// The record layer of RAW files: how a line is cut into fields, and how
// numbers are read. Expected fields are read off each line by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvo/network/raw_reader.hpp"
#include "raw_records.hpp"

namespace corvo::network::raw {
namespace {

struct Split {
  const char* line;
  std::vector<std::string> texts;
  std::vector<bool> quoted;
};

class SplitFields : public testing::TestWithParam<Split> {};

TEST_P(SplitFields, CutsAsTheFormatSays) {
  const Split& split = GetParam();
  const std::vector<Field> fields = split_fields(split.line, "f.raw", 1);
  ASSERT_EQ(fields.size(), split.texts.size()) << split.line;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    EXPECT_EQ(fields[k].text, split.texts[k]) << split.line << " field " << k + 1;
    EXPECT_EQ(fields[k].quoted, split.quoted[k]) << split.line << " field " << k + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitFields,
    testing::Values(
        // A quoted text keeps its commas, slashes and blanks; the comment goes.
        Split{"1,'A, B/C ',  2.5 / a comment, with 'quotes'", {"1", "A, B/C ", "2.5"}, {false, true, false}},
        // Blanks alone separate fields.
        Split{"  1  2\t3", {"1", "2", "3"}, {false, false, false}},
        // Two commas with nothing or blanks between: an empty field (its default).
        Split{"1,,3", {"1", "", "3"}, {false, false, false}},
        Split{"1, ,3", {"1", "", "3"}, {false, false, false}},
        // A comma at the end leaves one more empty field.
        Split{"1,2,", {"1", "2", ""}, {false, false, false}},
        Split{"1,2, / comment", {"1", "2", ""}, {false, false, false}},
        Split{"'x' 'y'", {"x", "y"}, {true, true}},
        Split{"RATING, 1, \"RATE1 \", \"it's\"", {"RATING", "1", "RATE1 ", "it's"}, {false, false, true, true}},
        Split{"'BETA / \"B\"', 1", {"BETA / \"B\"", "1"}, {true, false}},
        Split{"0 / END OF BUS DATA, BEGIN LOAD DATA", {"0"}, {false}},
        Split{"   / only a comment", {}, {}},
        Split{"", {}, {}}));

TEST(SplitFields, RefusesAnOpenQuote) {
  try {
    split_fields("1,'A", "f.raw", 7);
    FAIL();
  } catch (const RawError& e) {
    EXPECT_STREQ(e.what(), "f.raw: line 7: field 2: a text without its closing quote");
  }
}

TEST(SplitFields, SectionAndDataEnds) {
  EXPECT_TRUE(is_section_end(split_fields("0 / END", "f", 1)));
  EXPECT_TRUE(is_section_end(split_fields("0", "f", 1)));
  EXPECT_FALSE(is_section_end(split_fields("'0'", "f", 1)));     // a quoted text is not the end
  EXPECT_FALSE(is_section_end(split_fields("0.0, 0.0", "f", 1)));  // a continuation of numbers
  EXPECT_TRUE(is_data_end(split_fields("Q", "f", 1)));
  EXPECT_FALSE(is_data_end(split_fields("'Q'", "f", 1)));
}

TEST(Numbers, RealsAsRawFilesWriteThem) {
  EXPECT_EQ(parse_real("1.5E-2"), 0.015);
  EXPECT_EQ(parse_real("1.0D+02"), 100.0);  // the Fortran exponent
  EXPECT_EQ(parse_real("+3"), 3.0);
  EXPECT_EQ(parse_real(" -0.5 "), -0.5);
  EXPECT_EQ(parse_real(".5"), 0.5);
  for (const char* bad : {"", "abc", "inf", "nan", "1e400", "1.2.3", "5O.0", "0x10"})
    EXPECT_FALSE(parse_real(bad).has_value()) << bad;
}

TEST(Numbers, IntegersAlsoWrittenAsIntegralReals) {
  EXPECT_EQ(parse_integer("12"), 12);
  EXPECT_EQ(parse_integer("-3"), -3);
  EXPECT_EQ(parse_integer("2.0"), 2);
  EXPECT_EQ(parse_integer("1.00000"), 1);
  for (const char* bad : {"", "2.5", "one", "1e300"}) EXPECT_FALSE(parse_integer(bad).has_value()) << bad;
}

TEST(Lines, CutAtLineFeedsWithoutCarriageReturnsOrByteOrderMark) {
  const Lines lines("\xEF\xBB\xBF" "a\r\nb\n\nc");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], "b");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "c");
}

}  // namespace
}  // namespace corvo::network::raw
