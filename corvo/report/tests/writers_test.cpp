// The report's formats on the hand-solved two-bus case (two_bus.hpp).
#include <gtest/gtest.h>

#include <sstream>

#include "corvo/report/writers.hpp"
#include "two_bus.hpp"

namespace corvo::report {
namespace {

Results optimum_results() {
  const dispatch::CaseData d = two_bus::case_data();
  return make_results("twobus", d, dispatch::build_dispatch_qp(d), two_bus::optimum(), ReportOptions{});
}

TEST(ReportWriters, PlainNumbers) {
  struct Row {
    double value;
    const char* text;
  };
  for (const Row& r : {Row{25.0, "25"}, Row{-0.125, "-0.125"}, Row{1e-7, "0.0000001"}, Row{1e21, "1000000000000000000000"},
                       Row{0.1, "0.1"}, Row{std::nan(""), ""}})
    EXPECT_EQ(plain_number(r.value), r.text) << r.value;
}

// lines.csv byte for byte: the flow (0 - (-0.125)) / 0.5 * 100 = 25 MW,
// limits +-0.25 pu = +-25 MW, loading 25/25 = 100 %, binding at the upper
// limit, shadow price = mu_upper = 1000 / 100 = 10 $/MWh, mu_lower 0.
TEST(ReportWriters, LinesCsvGolden) {
  const std::vector<CsvTable> tables = csv_tables(optimum_results());
  ASSERT_EQ(tables.size(), 7u);
  EXPECT_EQ(tables[3].file_name, "lines.csv");
  EXPECT_EQ(tables[3].content,
            "line,from,to,flow_mw,lower_mw,upper_mw,loading_percent,binding,shadow_price,mu_upper,mu_lower\r\n"
            "1,1,2,25,-25,25,100,upper,10,10,0\r\n");
  // Nothing dropped and nothing to relax: the header alone.
  EXPECT_EQ(tables[5].file_name, "dropped.csv");
  EXPECT_EQ(tables[5].content, "kind,element,reason\r\n");
  EXPECT_EQ(tables[6].file_name, "relaxation.csv");
  EXPECT_EQ(tables[6].content, "element,what,amount,unit\r\n");
}

TEST(ReportWriters, JsonCarriesTheVerdictAndTables) {
  const nlohmann::json j = to_json(optimum_results());
  EXPECT_EQ(j["optimality"]["verdict"], "optimal");
  EXPECT_EQ(j["summary"]["outcome"], "converged");
  EXPECT_EQ(j["summary"]["cost"], 750.0);
  EXPECT_EQ(j["buses"][1]["lmp"], 20.0);
  EXPECT_EQ(j["lines"][0]["binding"], "upper");
  EXPECT_TRUE(j["generators"][0]["at_limit"].is_null());
}

TEST(ReportWriters, TextEndsWithTheVerdict) {
  std::ostringstream out;
  write_text(out, optimum_results());
  const std::string text = out.str();
  EXPECT_NE(text.find("Case twobus: two buses, one congested line\n"), std::string::npos);
  EXPECT_NE(text.find("Total cost        750.0000 $/h without constant costs, 762.0000 $/h with them\n"),
            std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 17), "Verdict: optimal\n");
}

TEST(ReportWriters, TextNamesTheFailingConditions) {
  const dispatch::CaseData d = two_bus::case_data();
  QpSolution s = two_bus::optimum();
  s.outcome = Outcome::iteration_limit;
  s.x[1] += 0.0078125;
  std::ostringstream out;
  write_text(out, make_results("twobus", d, dispatch::build_dispatch_qp(d), s, ReportOptions{}));
  EXPECT_NE(out.str().find("Verdict: not optimal (failing: solver outcome, power balance)\n"),
            std::string::npos);
}

// A price part of -1e-12 $/MWh is shown as 0.0000, not -0.0000; a real
// negative value keeps its sign.
TEST(ReportWriters, TextShowsValuesThatRoundToZeroWithoutSign) {
  Results r;
  BusRow bus;
  bus.bus = 1;
  bus.congestion = -1e-12;
  bus.energy = -0.00005;
  bus.lmp = -0.0001;
  r.buses.push_back(bus);
  std::ostringstream out;
  write_text(out, r);
  EXPECT_EQ(out.str().find("-0.0000"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("-0.0001"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace corvo::report
