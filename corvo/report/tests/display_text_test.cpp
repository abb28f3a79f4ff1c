// Texts from the user's files in the three formats: titles in Latin-1 or
// cut UTF-8, file names that are not UTF-8, control characters; and
// numbers that are not finite or very large.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

#include "corvo/report/display_text.hpp"
#include "corvo/report/writers.hpp"
#include "two_bus.hpp"

namespace corvo::report {
namespace {

struct Conversion {
  const char* name;
  std::string in;
  std::string out;
};

// Expected texts are written out byte by byte from the UTF-8 and Latin-1
// code tables: "ç" is E7 in Latin-1 and C3 A7 in UTF-8, "ã" E3 / C3 A3,
// "é" E9 / C3 A9, "À" C0 / C3 80, "¯" AF / C2 AF, "€" is E2 82 AC.
class CaseTitles : public ::testing::TestWithParam<Conversion> {};

TEST_P(CaseTitles, BecomeValidUtf8) { EXPECT_EQ(case_title_utf8(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseTitles,
    ::testing::Values(Conversion{"Latin1", "Cora\xE7\xE3o", "Cora\xC3\xA7\xC3\xA3o"},
                      Conversion{"Latin1AtTheEnd", "Caf\xE9", "Caf\xC3\xA9"},
                      Conversion{"Utf8", "Cora\xC3\xA7\xC3\xA3o", "Cora\xC3\xA7\xC3\xA3o"},
                      // 79 characters and the first byte of "ç": cut at the 80 columns.
                      Conversion{"Utf8CutAt80", std::string(79, 'a') + "\xC3", std::string(79, 'a')},
                      Conversion{"Utf8CutAfterOtherUtf8", "a\xC3\xA7\xC3\xA3o \xE2\x82", "a\xC3\xA7\xC3\xA3o "},
                      // An overlong form is not UTF-8: read as Latin-1.
                      Conversion{"Overlong", "\xC0\xAF", "\xC3\x80\xC2\xAF"}),
    [](const auto& info) { return std::string(info.param.name); });

class AnyTexts : public ::testing::TestWithParam<Conversion> {};

TEST_P(AnyTexts, BecomeValidUtf8WithReplacements) { EXPECT_EQ(utf8_with_replacements(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Cases, AnyTexts,
    ::testing::Values(Conversion{"StrayByte", "caso\xFF.dat", "caso\xEF\xBF\xBD.dat"},
                      // A UTF-16 surrogate encoded as UTF-8 is not valid: three bytes, three replacements.
                      Conversion{"Surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                      Conversion{"FourBytes", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
                      Conversion{"CutAtTheEnd", "ab\xE2\x82", "ab\xEF\xBF\xBD\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayText, ControlCharactersAreEscaped) {
  // TAB, ESC [31m (red), DEL, and U+0085 (NEL, C2 85); "é" stays.
  EXPECT_EQ(controls_escaped("a\tb\x1B[31m\x7F\xC2\x85\xC3\xA9"), "a\\u0009b\\u001B[31m\\u007F\\u0085\xC3\xA9");
}

// ---- The writers ---------------------------------------------------------

Results two_bus_results(const std::string& case_name, const std::string& title) {
  dispatch::CaseData d = two_bus::case_data();
  d.title = title;
  return make_results(case_name, d, dispatch::build_dispatch_qp(d), two_bus::optimum(), ReportOptions{});
}

struct TitleCase {
  const char* name;
  std::string case_name;
  std::string title;
  std::string json_case;   // what the JSON document holds, as UTF-8
  std::string json_title;
  std::string text_line;   // the first line of the text report
  std::string csv_case;    // the case field of summary.csv
};

class WritersTakeAnyText : public ::testing::TestWithParam<TitleCase> {};

TEST_P(WritersTakeAnyText, InEveryFormat) {
  const TitleCase& c = GetParam();
  const Results r = two_bus_results(c.case_name, c.title);
  const std::string document = to_json(r).dump(1);  // throws on text that is not UTF-8
  const nlohmann::json j = nlohmann::json::parse(document);
  EXPECT_EQ(j["summary"]["case"], c.json_case);
  EXPECT_EQ(j["summary"]["title"], c.json_title);
  EXPECT_EQ(document.find('\x1B'), std::string::npos);
  std::ostringstream text;
  write_text(text, r);
  EXPECT_EQ(text.str().substr(0, text.str().find('\n')), c.text_line);
  const std::string summary = csv_tables(r)[0].content;
  const std::string record = summary.substr(summary.find("\r\n") + 2);
  EXPECT_EQ(record.substr(0, record.find(',')), c.csv_case);
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WritersTakeAnyText,
    ::testing::Values(
        TitleCase{"Latin1Title", "caso1", "Cora\xE7\xE3o", "caso1", "Cora\xC3\xA7\xC3\xA3o",
                  "Case caso1: Cora\xC3\xA7\xC3\xA3o", "caso1"},
        TitleCase{"Utf8TitleCutAt80", "caso1", std::string(79, 'a') + "\xC3", "caso1", std::string(79, 'a'),
                  "Case caso1: " + std::string(79, 'a'), "caso1"},
        TitleCase{"CaseNameNotUtf8", "caso\xFF", "t", "caso\xEF\xBF\xBD", "t", "Case caso\xEF\xBF\xBD: t",
                  "caso\xEF\xBF\xBD"},
        TitleCase{"ControlCharacters", "a\nb", "red \x1B[31m\x01", "a\nb", "red \x1B[31m\x01",
                  "Case a\\u000Ab: red \\u001B[31m\\u0001", "a\\u000Ab"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every number of the document is finite or null, whatever the results
// hold.
void expect_finite_numbers(const nlohmann::json& j, const std::string& where) {
  if (j.is_number_float()) EXPECT_TRUE(std::isfinite(j.get<double>())) << where;
  if (j.is_structured())
    for (auto it = j.begin(); it != j.end(); ++it)
      expect_finite_numbers(*it, where + "/" + (j.is_object() ? it.key() : std::string("[]")));
}

TEST(WritersTakeAnyNumber, NonFiniteBecomesNullAndHugeStaysShort) {
  Results r = two_bus_results("twobus", "t");
  r.summary.cost = std::nan("");
  r.summary.total_load_mw = 1e300;
  r.generators[0].output_mw = INFINITY;
  r.buses[0].lmp = -INFINITY;
  r.lines[0].flow_mw = -1e300;
  r.check.conditions[1].value = std::nan("");
  const nlohmann::json j = nlohmann::json::parse(to_json(r).dump());
  expect_finite_numbers(j, "");
  EXPECT_TRUE(j["summary"]["cost"].is_null());
  EXPECT_TRUE(j["generators"][0]["output_mw"].is_null());
  // The text tables show 1e300 in exponent form, never as 301 digits.
  std::ostringstream text;
  write_text(text, r);
  EXPECT_FALSE(std::regex_search(text.str(), std::regex("[0-9]{21}"))) << text.str();
  EXPECT_NE(text.str().find("1.000000e+300 MW"), std::string::npos) << text.str();
}

}  // namespace
}  // namespace corvo::report
