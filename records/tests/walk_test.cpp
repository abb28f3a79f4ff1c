// Walking templates: reuse, "/", "$", X and T, short records, items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/format.hpp"

namespace records {
namespace {

std::vector<std::string> write(std::string_view tmpl, std::vector<OutValue> items,
                               bool* keep_open = nullptr) {
  WrittenRecords w = write_records(Format::parse(tmpl), items);
  if (keep_open) *keep_open = w.keep_open;
  return w.records;
}

std::vector<OutValue> reals(int count, double start = 1.0) {
  std::vector<OutValue> v;
  for (int i = 0; i < count; ++i) v.emplace_back(start + i);
  return v;
}

TEST(Parse, TemplateEndsAtItsClosingParenthesis) {
  Format f = Format::parse("(5F16.4)(8I10)");
  EXPECT_EQ(f.text(), "(5F16.4)");
  EXPECT_EQ(f.elements().size(), 5u);
}

TEST(Parse, IsCaseInsensitive) {
  EXPECT_EQ(write("(a80)", {std::string("x")}), write("(A80)", {std::string("x")}));
  EXPECT_EQ(write("(2i5,d10.2)", {1, 2, 3.0}), write("(2I5,D10.2)", {1, 2, 3.0}));
}

TEST(Parse, RefusesMalformedTemplates) {
  for (const char* t : {"5F16.4", "(5F16)", "(I)", "(Q5)", "('abc)", "(2I10"}) {
    EXPECT_THROW(Format::parse(t), std::invalid_argument) << t;
  }
}

TEST(Write, ReuseStartsNewRecords) {
  auto lines = write("(5F16.4)", reals(12));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].size(), 32u);
  EXPECT_EQ(write("(5F16.4)", reals(5)).size(), 1u);
  EXPECT_EQ(write("(5F16.4)", reals(10)).size(), 2u);
}

TEST(Write, ReuseRepeatsLeadingSlashAndLabel) {
  std::vector<OutValue> items;
  for (int i = 1; i <= 20; ++i) items.emplace_back(i);
  auto lines = write("(/,1X,'xadjcy = ',15I4)", items);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1].substr(0, 10), " xadjcy = ");
  EXPECT_EQ(lines[1].size(), 10u + 60u);
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], " xadjcy =   16  17  18  19  20");
}

TEST(Write, EmptyItemListWalksToTheEnd) {
  auto lines = write("(/,/,' Cost Function:',/,/)", {});
  EXPECT_EQ(lines, (std::vector<std::string>{"", "", " Cost Function:", "", ""}));
}

TEST(Write, ItemsUsedUpStopAtTheNextField) {
  auto lines = write("(21X,'Convergence reached in ',I3,'  iterations',/,/)", {7});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(21, ' ') + "Convergence reached in   7  iterations");
  // A second field with no item left ends the walk before its label.
  EXPECT_EQ(write("(' a = ',I2,' b = ',I2)", {1}),
            (std::vector<std::string>{" a =  1 b = "}));
}

TEST(Write, TabPositionsTheSecondLabel) {
  auto lines = write(
      "(/,/,' maxit = ',I3,T25,'iprint = ',I2,/,' epsln = ',D10.3,T25,'epslgiv = ',D10.3,/,"
      "' epslnp = ',D10.3,T25,'epslim = ',D10.3,/,/)",
      {20, 0, 1e-10, 1e-35, 1e-6, 1e-10});
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[2], " maxit =  20" + std::string(12, ' ') + "iprint =  0");
  EXPECT_EQ(lines[3], " epsln =   .100D-09     epslgiv =   .100D-34");
  EXPECT_EQ(lines[4].find("epslim"), 24u);
}

TEST(Write, TabBackwardsOverwrites) {
  EXPECT_EQ(write("('abcdef',T3,'X')", {}), (std::vector<std::string>{"abXdef"}));
}

TEST(Write, FinalSkipAddsNoTrailingBlanks) {
  EXPECT_EQ(write("('ab',5X)", {}), (std::vector<std::string>{"ab"}));
  EXPECT_EQ(write("('ab',5X,'c')", {}), (std::vector<std::string>{"ab     c"}));
}

TEST(Write, RepeatedLiteral) {
  auto lines = write("(1X,20('='),4('*'))", {});
  EXPECT_EQ(lines[0], " " + std::string(20, '=') + "****");
}

TEST(Write, DollarKeepsTheRecordOpen) {
  bool open = false;
  auto lines = write("(/,/,/,10X,'Input name of data file:  ',/,10X,23('-'),/,/,/,20X,' File:____________',$)",
                     {}, &open);
  EXPECT_TRUE(open);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines.back(), std::string(20, ' ') + " File:____________");
  write("(' x')", {}, &open);
  EXPECT_FALSE(open);
}

TEST(Write, MixedDescriptorsAndText) {
  auto lines = write("(9X,A2,D13.4,1X,D13.4)", {std::string("LD"), 0.5, -10.0});
  EXPECT_EQ(lines[0], std::string(9, ' ') + "LD" + "    .5000D+00" + " " + "   -.1000D+02");
}

TEST(Write, WrongItemKindIsRefused) {
  EXPECT_THROW(write("(I5)", {1.5}), std::invalid_argument);
  EXPECT_THROW(write("(F5.1)", {1}), std::invalid_argument);
  EXPECT_THROW(write("('only text')", {1}), std::invalid_argument);
}

// ---- Reading ----------------------------------------------------------------

class Lines {
 public:
  explicit Lines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  std::function<std::optional<std::string>()> source() {
    return [this]() -> std::optional<std::string> {
      if (next_ == lines_.size()) return std::nullopt;
      return lines_[next_++];
    };
  }
  std::size_t taken() const { return next_; }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

TEST(Read, ShortRecordGivesZeros) {
  Lines lines({"         1         2    0.1000"});
  std::int32_t se = -1, re = -1;
  double x = -1, up = -1, low = -1;
  std::vector<InTarget> t{&se, &re, &x, &up, &low};
  read_records(Format::parse("(2I10,3D10.4)"), t, lines.source());
  EXPECT_EQ(se, 1);
  EXPECT_EQ(re, 2);
  EXPECT_EQ(x, 0.1);
  EXPECT_EQ(up, 0.0);
  EXPECT_EQ(low, 0.0);
}

TEST(Read, ReuseTakesFurtherRecords) {
  std::vector<std::string> text = {"", "", "", "next"};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < (r < 2 ? 8 : 4); ++c) text[r] += "        " + std::to_string(10 + r * 8 + c);
  }
  Lines lines(text);
  std::vector<std::int32_t> values(20);
  std::vector<InTarget> t;
  for (auto& v : values) t.emplace_back(&v);
  read_records(Format::parse("(8I10)"), t, lines.source());
  EXPECT_EQ(lines.taken(), 3u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(values[i], 10 + i);
}

TEST(Read, FewerTargetsSkipTheRestOfTheRecord) {
  Lines lines({"         1         2         3         4         5", "         9"});
  std::vector<std::int32_t> values(4);
  std::vector<InTarget> t;
  for (auto& v : values) t.emplace_back(&v);
  read_records(Format::parse("(8I10)"), t, lines.source());
  EXPECT_EQ(lines.taken(), 1u);
  EXPECT_EQ(values[3], 4);
}

TEST(Read, WholeLineTextIsCutOrPadded) {
  Lines lines({"caso1", "a_name_of_20_chars__"});
  std::string name(14, '?');
  std::vector<InTarget> t{&name};
  read_records(Format::parse("(a)"), t, lines.source());
  EXPECT_EQ(name, "caso1         ");
  read_records(Format::parse("(a)"), t, lines.source());
  EXPECT_EQ(name, "a_name_of_20_c");
}

TEST(Read, EndOfInputAndBadFieldsAreReported) {
  Lines empty({});
  std::int32_t v = 0;
  std::vector<InTarget> t{&v};
  EXPECT_THROW(read_records(Format::parse("(I5)"), t, empty.source()), EndOfInput);
  Lines bad({"    12   1.x"});
  double r = 0;
  std::vector<InTarget> t2{&v, &r};
  try {
    read_records(Format::parse("(I6,D6.2)"), t2, bad.source());
    FAIL();
  } catch (const FieldError& e) {
    EXPECT_EQ(e.first_column(), 7);
    EXPECT_EQ(e.field(), "   1.x");
  }
  EXPECT_EQ(v, 12);  // values read before the failure stay
}

TEST(Read, ListLongerThanTheFileEndsTheInput) {
  Lines lines({"         1"});
  std::vector<std::int32_t> values(9);
  std::vector<InTarget> t;
  for (auto& v : values) t.emplace_back(&v);
  EXPECT_THROW(read_records(Format::parse("(8I10)"), t, lines.source()), EndOfInput);
}

}  // namespace
}  // namespace records
