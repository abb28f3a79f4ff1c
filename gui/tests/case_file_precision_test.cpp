// The writer's two precisions: the formats as they are, and the formats
// with more decimals where a value needs them. Every value the formats
// hold exactly is written byte for byte the same in both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_builder.hpp"
#include "corvo/case_file_writer.hpp"
#include "two_bus_file.h"

namespace {

using corvo::FieldPrecision;

std::string record(const std::string& file, int number) {
  std::size_t start = 0;
  for (int r = 1; r < number; ++r) start = file.find("\r\n", start) + 2;
  return file.substr(start, file.find("\r\n", start) - start);
}

TEST(CaseFilePrecision, ValuesTheFormatsHoldAreWrittenAsTheFormatsWriteThem) {
  const corvo::CaseData c = corvo_test::two_bus_case();
  const corvo::RenderedCaseFile kept = corvo::render_case_file("Caso exemplo", c, FieldPrecision::keep_values);
  EXPECT_EQ(kept.text, kTwoBusFile);
  EXPECT_TRUE(kept.rounded.empty());
}

struct LineField {
  double x;
  const char* as_formatted;  // columns 21-30 of the line record
  const char* kept;
};

// Reactances of public networks: the formats give two decimals; kept, each
// gets the fewest more that give it back, within the field's 10 columns
// and a blank before it.
const LineField kReactances[] = {
    {0.0576, "      0.06", "    0.0576"},
    {0.0037, "      0.00", "    0.0037"},
    {-0.0037, "     -0.00", "   -0.0037"},
    {0.05917, "      0.06", "   0.05917"},
    {0.1, "      0.10", "      0.10"},
    // Needs more decimals than 10 columns hold: as many as fit.
    {1.0 / 3.0, "      0.33", " 0.3333333"},
};

TEST(CaseFilePrecision, ReactancesKeepTheirDigits) {
  for (const LineField& f : kReactances) {
    corvo::CaseData c = corvo_test::two_bus_case();
    c.x = {f.x};
    const std::string formatted = corvo::render_case_file("t", c, FieldPrecision::as_formatted).text;
    const std::string kept = corvo::render_case_file("t", c, FieldPrecision::keep_values).text;
    EXPECT_EQ(record(formatted, 3).substr(20, 10), f.as_formatted) << f.x;
    EXPECT_EQ(record(kept, 3).substr(20, 10), f.kept) << f.x;
    // Nothing else moves.
    EXPECT_EQ(record(kept, 3).substr(0, 20), record(formatted, 3).substr(0, 20));
    EXPECT_EQ(record(kept, 3).substr(30), record(formatted, 3).substr(30));
  }
}

TEST(CaseFilePrecision, RoundedValuesAreNamed) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.x = {0.0576};
  c.quadratic_cost = {0.0123456789, 0.0};
  const corvo::RenderedCaseFile formatted = corvo::render_case_file("t", c, FieldPrecision::as_formatted);
  EXPECT_EQ(formatted.rounded,
            (std::vector<std::string>{"Ramo 1, Reatância Série (p.u.): 0,0576 gravado como 0.06",
                                      "Barra 1, Coef. Quadrático da F. C. ($/MW2h): 0,0123456789 gravado como 0.012346"}));
  const corvo::RenderedCaseFile kept = corvo::render_case_file("t", c, FieldPrecision::keep_values);
  EXPECT_EQ(kept.rounded, (std::vector<std::string>{
                              "Barra 1, Coef. Quadrático da F. C. ($/MW2h): 0,0123456789 gravado como 0.0123457"}));
}

// The parameter records keep their layout; a tolerance typed with two
// digits gets its second one.
TEST(CaseFilePrecision, ParametersKeepTheirDigits) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.parameters.epsln = 1.25e-8;
  c.parameters.rho = 0.995;
  const std::string kept = corvo::render_case_file("t", c, FieldPrecision::keep_values).text;
  EXPECT_EQ(record(kept, 9), "        20         0  1.25E-08   1.0E-35   1.0E-06   1.0E-10");
  EXPECT_EQ(record(kept, 10), "     0.995   1.0E+05   1.0E-01");
}

TEST(CaseFilePrecision, TooWideIsStillRefused) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.load = {0.0, 12345678.0};
  EXPECT_THROW(corvo::render_case_file("t", c, FieldPrecision::keep_values), corvo::CaseFileLayoutError);
}

}  // namespace
