// The case file's records, byte for byte.
//
// Each expected text follows from the record's printf format: "%10d" puts
// an integer at the right of 10 columns, "%10.2f" a real with two decimals,
// "% 10.2f" and "% 10.6f" the same with a blank where a plus sign would
// stand, "% 10.1E" one digit, one decimal and a signed two-digit exponent;
// every record ends with CR LF ("\r\n"), as in every file the programs write.
#include "corvo/case_file_writer.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "case_builder.hpp"

namespace {

using corvo::render_case_file;
using corvo_test::blank_case;

// The parameter records with the default texts: 100 and 150; 500 and 500;
// maxit 20 in columns 9-10, iprint 0 in column 20, four tolerances; rho,
// bigm and sigma.
const std::string kDefaultParameterRecords =
    "       100       150\r\n"
    "       500       500\r\n"
    "        20         0   1.0E-10   1.0E-35   1.0E-06   1.0E-10\r\n"
    "      0.99   1.0E+05   1.0E-01\r\n";

// The lines of `text` from the `first`-th (1-based), `count` of them.
std::string records(const std::string& text, int first, int count) {
  std::size_t begin = 0;
  for (int i = 1; i < first; ++i) begin = text.find('\n', begin) + 1;
  std::size_t end = begin;
  for (int i = 0; i < count; ++i) end = text.find('\n', end) + 1;
  return text.substr(begin, end - begin);
}

TEST(CaseFileWriter, TwoBusCaseWhole) {
  const std::string expected =
      "Caso exemplo\r\n"
      "         2         1    100.00\r\n"
      "         1         2      0.10    100.00   -100.00\r\n"
      "         2         0\r\n"
      "      0.00      0.00     10.00  0.010000    200.00      0.00\r\n"
      "     50.00\r\n" +
      kDefaultParameterRecords;
  EXPECT_EQ(render_case_file("Caso exemplo", corvo_test::two_bus_case()), expected);
}

TEST(CaseFileWriter, SizesRecord) {
  const std::string text = render_case_file("t", blank_case(3, 2));
  EXPECT_EQ(records(text, 2, 1), "         3         2    100.00\r\n");
}

TEST(CaseFileWriter, EmptyTitleIsAnEmptyLine) {
  EXPECT_EQ(records(render_case_file("", blank_case(1, 0)), 1, 1), "\r\n");
}

TEST(CaseFileWriter, TitleOfEightyCharactersFits) {
  const std::string title(80, 'T');
  EXPECT_EQ(records(render_case_file(title, blank_case(1, 0)), 1, 1), title + "\r\n");
}

struct BusTypeCase {
  int n;
  std::string expected;
};

class BusTypeRecords : public testing::TestWithParam<BusTypeCase> {};

// Types 1, 2, 3, ... (mod 4) so that every position is visible; eight per
// record, the last record holding the rest.
TEST_P(BusTypeRecords, EightPerRecord) {
  const int n = GetParam().n;
  corvo::CaseData c = blank_case(n, 0);
  for (int i = 0; i < n; ++i) c.bus_type[i] = (i + 1) % 4;
  const std::string text = render_case_file("t", c);
  const int type_records = (n + 7) / 8;
  EXPECT_EQ(records(text, 3, type_records), GetParam().expected);
}

const std::string kEightTypes =
    "         1         2         3         0"
    "         1         2         3         0\r\n";

INSTANTIATE_TEST_SUITE_P(Counts, BusTypeRecords,
                         testing::Values(BusTypeCase{1, "         1\r\n"},
                                         BusTypeCase{8, kEightTypes},
                                         BusTypeCase{9, kEightTypes + "         1\r\n"},
                                         BusTypeCase{16, kEightTypes + kEightTypes}));

// A load bus carries its load alone in columns 1-10; generation, reference
// and negative generation buses carry six fields in columns 1-60.
TEST(CaseFileWriter, ShortAndLongBusRecords) {
  corvo::CaseData c = blank_case(4, 0);
  c.bus_type = {0, 1, 2, 3};
  c.load = {50.0, 10.0, 0.0, 50.0};
  c.constant_cost = {9.0, 5.0, 0.0, 1.5};
  c.linear_cost = {9.0, 10.0, 12.5, 10.0};
  c.quadratic_cost = {9.0, 0.01, 0.002, 0.0};
  c.gen_upper = {9.0, 200.0, 150.0, 30.0};
  c.gen_lower = {9.0, 0.0, 10.0, 0.0};
  const std::string text = render_case_file("t", c);
  EXPECT_EQ(records(text, 4, 4),
            "     50.00\r\n"
            "     10.00      5.00     10.00  0.010000    200.00      0.00\r\n"
            "      0.00      0.00     12.50  0.002000    150.00     10.00\r\n"
            "     50.00      1.50     10.00  0.000000     30.00      0.00\r\n");
}

// Any type other than 0 takes the long record, even one outside 0..3.
TEST(CaseFileWriter, UnknownTypeTakesLongRecord) {
  corvo::CaseData c = blank_case(1, 0);
  c.bus_type = {7};
  EXPECT_EQ(records(render_case_file("t", c), 4, 1),
            "      0.00      0.00      0.00  0.000000      0.00      0.00\r\n");
}

TEST(CaseFileWriter, ReactanceHasTwoDecimals) {
  corvo::CaseData c = blank_case(2, 1);
  c.x = {0.0576};
  c.line_upper = {100.0};
  c.line_lower = {-50.5};
  EXPECT_EQ(records(render_case_file("t", c), 3, 1),
            "         1         2      0.06    100.00    -50.50\r\n");
}

TEST(CaseFileWriter, DefaultParameterRecords) {
  const std::string text = render_case_file("t", blank_case(1, 0));
  EXPECT_EQ(records(text, 5, 4), kDefaultParameterRecords);
}

// Rendering field by field gives what one printf of the whole format gives.
TEST(CaseFileWriter, SameBytesAsTheWholeFormat) {
  corvo::CaseData c = blank_case(2, 1);
  c.se = {12};
  c.re = {345};
  c.x = {-0.125};
  c.line_upper = {999999.99};
  c.line_lower = {-999999.99};
  char expected[128];
  std::snprintf(expected, sizeof expected, "%10d%10d% 10.2f% 10.2f% 10.2f\r\n", 12, 345, -0.125,
                999999.99, -999999.99);
  EXPECT_EQ(records(render_case_file("t", c), 3, 1), expected);

  c.parameters.maxit = 99;
  c.parameters.iprint = 9;
  c.parameters.epsln = 1.5e-8;
  c.parameters.epslgiv = 0.0;
  c.parameters.epslnp = 1.0e-150;
  c.parameters.epslim = -2.25e3;
  std::snprintf(expected, sizeof expected, "        %2d         %1d% 10.1E% 10.1E% 10.1E% 10.1E\r\n",
                99, 9, 1.5e-8, 0.0, 1.0e-150, -2.25e3);
  EXPECT_EQ(records(render_case_file("t", c), 9, 1), expected);  // after 2 buses
}

struct TooWide {
  const char* what;
  void (*change)(corvo::CaseData&);
  const char* message;
};

class TooWideValue : public testing::TestWithParam<TooWide> {};

// A value that would need more columns than its field would shift the rest
// of its record; the case is refused with the item named.
TEST_P(TooWideValue, IsRefused) {
  corvo::CaseData c = corvo_test::two_bus_case();
  GetParam().change(c);
  try {
    render_case_file("t", c);
    FAIL() << "rendered " << GetParam().what;
  } catch (const corvo::CaseFileLayoutError& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TooWideValue,
    testing::Values(
        TooWide{"Sb", [](corvo::CaseData& c) { c.Sb = 10000000.0; },
                "Potência Base (MVA): o valor 10000000.00 não cabe nas 10 colunas do arquivo "
                "de dados"},
        TooWide{"load", [](corvo::CaseData& c) { c.load[1] = 1000000.0; },
                "Barra 2, Carga (MW): o valor 1000000.00 não cabe nas 10 colunas do arquivo de "
                "dados"},
        TooWide{"rounded load", [](corvo::CaseData& c) { c.load[1] = 999999.996; },
                "Barra 2, Carga (MW): o valor 1000000.00 não cabe nas 10 colunas do arquivo de "
                "dados"},
        TooWide{"quadratic", [](corvo::CaseData& c) { c.quadratic_cost[0] = 100.0; },
                "Barra 1, Coef. Quadrático da F. C. ($/MW2h): o valor 100.000000 não cabe nas "
                "10 colunas do arquivo de dados"},
        TooWide{"line limit", [](corvo::CaseData& c) { c.line_lower[0] = -1000000.0; },
                "Ramo 1, Limite Mínimo (MW): o valor -1000000.00 não cabe nas 10 colunas do "
                "arquivo de dados"},
        TooWide{"bus number", [](corvo::CaseData& c) { c.se[0] = -2147483647 - 1; },
                "Ramo 1, Barra de Origem: o valor -2147483648 não cabe nas 10 colunas do "
                "arquivo de dados"},
        TooWide{"maxit", [](corvo::CaseData& c) { c.parameters.maxit = 100; },
                "maxit: o valor 100 não cabe nas 2 colunas do arquivo de dados"},
        TooWide{"maxit negative", [](corvo::CaseData& c) { c.parameters.maxit = -10; },
                "maxit: o valor -10 não cabe nas 2 colunas do arquivo de dados"},
        TooWide{"iprint", [](corvo::CaseData& c) { c.parameters.iprint = 10; },
                "iprint: o valor 10 não cabe nas 1 colunas do arquivo de dados"},
        TooWide{"rho", [](corvo::CaseData& c) { c.parameters.rho = 1.0e6; },
                "rho: o valor 1000000.00 não cabe nas 10 colunas do arquivo de dados"}));

TEST(CaseFileWriter, WidestValuesStillFit) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.Sb = 9999999.99;
  c.load[1] = -999999.99;
  c.quadratic_cost[0] = -99.999999;
  c.parameters.maxit = -9;
  c.parameters.nbmax = 2147483647;
  EXPECT_NO_THROW(render_case_file("t", c));
}

TEST(CaseFileWriter, TitleTooLongOrWithLineBreakIsRefused) {
  const corvo::CaseData c = blank_case(1, 0);
  EXPECT_THROW(render_case_file(std::string(81, 'T'), c), corvo::CaseFileLayoutError);
  EXPECT_THROW(render_case_file("a\nb", c), corvo::CaseFileLayoutError);
  EXPECT_THROW(render_case_file("a\rb", c), corvo::CaseFileLayoutError);
}

TEST(CaseFileWriter, ArraysMustMatchCounts) {
  corvo::CaseData c = blank_case(2, 1);
  c.load.pop_back();
  EXPECT_THROW(render_case_file("t", c), std::invalid_argument);
  corvo::CaseData no_bus = blank_case(1, 0);
  corvo::set_bus_count(no_bus, 0);
  EXPECT_THROW(render_case_file("t", no_bus), std::invalid_argument);
}

}  // namespace
