// The result tables in the spreadsheet dialect of a Portuguese locale: the
// same fields as `corvo report --format csv`, ";" between them and a
// decimal comma in numbers.
#include "corvo/results_csv.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DialectCase {
  const char* what;
  const char* plain;
  const char* semicolon;
};

const DialectCase kCases[] = {
    {"header", "bus,type,lmp\r\n", "bus;type;lmp\r\n"},
    {"numbers", "3,0,10.5\r\n", "3;0;10,5\r\n"},
    {"negative and integral", "-0.25,-7,100\r\n", "-0,25;-7;100\r\n"},
    {"empty field of a value not finite", "1,,2.5\r\n", "1;;2,5\r\n"},
    {"texts stay", "lower,not optimal,yes\r\n", "lower;not optimal;yes\r\n"},
    {"quoted comma no longer needs quotes", "\"bus 3, line 2\",1.5\r\n", "bus 3, line 2;1,5\r\n"},
    {"a semicolon in a text is quoted", "a;b,1\r\n", "\"a;b\";1\r\n"},
    {"a quote in a text", "\"say \"\"x\"\"\",2\r\n", "\"say \"\"x\"\"\";2\r\n"},
    {"not numbers", "1.2.3,.5,5.,-\r\n", "1.2.3;.5;5.;-\r\n"},
    {"several records", "a,b\r\n1.5,2\r\n", "a;b\r\n1,5;2\r\n"},
};

TEST(ResultsCsv, SemicolonCommaDialect) {
  for (const DialectCase& c : kCases) {
    EXPECT_EQ(corvo::semicolon_comma_csv(c.plain), c.semicolon) << c.what;
  }
}

TEST(ResultsCsv, PlainDialectIsTheReportsOwn) {
  corvo::report::Results results;
  results.summary.case_name = "caso1";
  results.summary.cost = 512.5;
  results.buses.push_back({1, 2, 0.0, 0.0, 50.0, 10.5, 10.5, 0.0});
  const auto report_tables = corvo::report::csv_tables(results);
  const auto plain = corvo::results_csv_tables(results, corvo::CsvDialect::comma_point);
  const auto semicolon = corvo::results_csv_tables(results, corvo::CsvDialect::semicolon_comma);
  ASSERT_EQ(plain.size(), report_tables.size());
  ASSERT_EQ(semicolon.size(), report_tables.size());
  for (std::size_t t = 0; t < plain.size(); ++t) {
    EXPECT_EQ(plain[t].file_name, report_tables[t].file_name);
    EXPECT_EQ(plain[t].content, report_tables[t].content);
    EXPECT_EQ(semicolon[t].file_name, report_tables[t].file_name);
  }
  EXPECT_EQ(semicolon[2].file_name, "buses.csv");
  EXPECT_NE(semicolon[2].content.find("\r\n1;2;0;0;50;10,5;10,5;0\r\n"), std::string::npos)
      << semicolon[2].content;
}

}  // namespace
