// The scenario file: what it accepts, what each column does to the
// network, and a table of files it refuses, each refusal naming the line,
// the column and what is wrong.
#include <gtest/gtest.h>

#include "corvo/app/case_input.hpp"
#include "corvo/batch/apply_scenario.hpp"
#include "corvo/batch/element_refs.hpp"
#include "corvo/batch/scenario_file.hpp"

namespace {

using corvo::batch::ChangeKind;
using corvo::batch::read_scenarios;
using corvo::batch::ScenarioFileError;
namespace network = corvo::network;

const std::string kData = CORVO_BATCH_TEST_DATA;
const std::string kCases = CORVO_CASES_DIR;
const std::string kRaw = CORVO_RAW_TEST_DATA;

const network::Network& three_bus() {
  static const corvo::app::CaseInput input = corvo::app::load_case_input(kData + "/three_bus.m");
  return input.network;
}

const network::Network& raw_network() {
  static const corvo::app::CaseInput input = [] {
    corvo::app::InputOptions options;
    options.costs = kRaw + "/v33_elements.costs.csv";
    return corvo::app::load_case_input(kRaw + "/v33_elements.raw", options);
  }();
  return input.network;
}

const network::Network& piecewise_network() {
  static const corvo::app::CaseInput input = corvo::app::load_case_input(kCases + "/matpower/case30pwl.m");
  return input.network;
}

std::string refusal(const std::string& text, const network::Network& net) {
  try {
    read_scenarios(text, "s.csv", net);
  } catch (const ScenarioFileError& e) {
    return e.what();
  }
  return "(accepted)";
}

struct Refused {
  const char* text;
  const char* message;  // the whole message, or a part of it when `part`
  bool part = false;
};

TEST(ScenarioFile, RefusalsNameLineColumnAndProblem) {
  const Refused table[] = {
      {"", "s.csv: the file is empty; it needs a header and a row per scenario"},
      {"scenario\n\n", "s.csv: a header and no scenario"},
      {"load:2\n1\n", "s.csv: line 1: no column 'scenario' (the scenarios' names) in the header"},
      {"name,load:2\na,1\n", "s.csv: line 1, column 1 (name): unknown column; the columns are scenario, load_scale", true},
      {"scenario,lod:2\na,1\n", "s.csv: line 1, column 2 (lod:2): unknown column; the columns are scenario, load_scale", true},
      {"scenario,load:9\na,1\n", "s.csv: line 1, column 2 (load:9): the network has no bus 9"},
      {"scenario,load:x\na,1\n", "s.csv: line 1, column 2 (load:x): 'x' is not a bus number"},
      {"scenario,load:-2\na,1\n", "s.csv: line 1, column 2 (load:-2): '-2' is not a bus number"},
      {"scenario,load:\na,1\n", "s.csv: line 1, column 2 (load:): the column names no element (load:BUS)"},
      {"scenario,gen_max:3\na,1\n", "s.csv: line 1, column 2 (gen_max:3): the network has no generator at row 3"},
      {"scenario,gen_status:1.5\na,1\n", "s.csv: line 1, column 2 (gen_status:1.5): '1.5' is not a generator row (a whole number)"},
      {"scenario,rate:4\na,1\n", "s.csv: line 1, column 2 (rate:4): the network has no branch at row 4"},
      {"scenario,branch_status\na,1\n", "s.csv: line 1, column 2 (branch_status): the column names no element (branch_status:BRANCH)"},
      {"scenario,load:2,load:02\na,1,2\n", "s.csv: line 1, column 3 (load:02): the same as column 2 (load:2)"},
      {"scenario,load_scale,scenario\na,1,b\n", "s.csv: line 1, column 3 (scenario): the same as column 1 (scenario)"},
      {"scenario,,load:2\na,,1\n", "s.csv: line 1, column 2 (''): an empty column name", true},
      {"scenario,load:2\na,abc\n", "s.csv: line 2, column 2 (load:2): 'abc' is not a finite number"},
      {"scenario,load:2\na,1.5.2\n", "s.csv: line 2, column 2 (load:2): '1.5.2' is not a finite number"},
      {"scenario,load:2\na,inf\n", "s.csv: line 2, column 2 (load:2): 'inf' is not a finite number"},
      {"scenario,load:2\na,nan\n", "s.csv: line 2, column 2 (load:2): 'nan' is not a finite number"},
      {"scenario,load:2\na,1e999\n", "s.csv: line 2, column 2 (load:2): '1e999' is not a finite number"},
      {"scenario,load:2\na,0x10\n", "s.csv: line 2, column 2 (load:2): '0x10' is not a finite number"},
      {"scenario,load:2\na,1,2\n", "s.csv: line 2: 3 cells; the header has 2 columns"},
      {"scenario,load:2\n\na\n", "s.csv: line 3: 1 cell; the header has 2 columns"},
      {"scenario,gen_status:1\na,2\n", "s.csv: line 2, column 2 (gen_status:1): '2': a status is 1 (in service) or 0 (out)"},
      {"scenario,branch_status:3\na,0.5\n", "s.csv: line 2, column 2 (branch_status:3): '0.5': a status is 1 (in service) or 0 (out)"},
      {"scenario,rate:1\na,0\n", "s.csv: line 2, column 2 (rate:1): '0': a rate is a limit in MW above 0"},
      {"scenario,rate:1\na,-5\n", "s.csv: line 2, column 2 (rate:1): '-5': a rate is a limit in MW above 0"},
      {"scenario,load_scale\na,-1\n", "s.csv: line 2, column 2 (load_scale): a load scale is a factor of 0 or more"},
      {"scenario,load:2\n,5\n", "s.csv: line 2, column 1 (scenario): the scenario has no name"},
      {"scenario,load:2\na,1\n\na,2\n", "s.csv: line 4: scenario 'a' again (first on line 2)"},
      {"scenario,load:2\n\"a,1\n", "s.csv: line 2: a quoted cell without its closing quote"},
  };
  for (const Refused& r : table) {
    const std::string got = refusal(r.text, three_bus());
    if (r.part)
      EXPECT_NE(got.find(r.message), std::string::npos) << "file:\n" << r.text << "\ngot: " << got;
    else
      EXPECT_EQ(got, r.message) << "file:\n" << r.text;
  }
}

TEST(ScenarioFile, RefusalsOfElementsInRawAndPiecewiseNetworks) {
  const Refused raw[] = {
      {"scenario,gen_max:1\na,5\n", "s.csv: line 1, column 2 (gen_max:1): '1' is not a generator of a RAW network (BUS:ID, e.g. 101:1)"},
      {"scenario,gen_max:1:9\na,5\n", "s.csv: line 1, column 2 (gen_max:1:9): the network has no generator at bus 1 with machine id '9'"},
      {"scenario,rate:1\na,5\n", "s.csv: line 1, column 2 (rate:1): '1' is not a branch of a RAW network (FROM-TO:CKT, e.g. 101-102:1)"},
      {"scenario,rate:1-2:7\na,5\n", "s.csv: line 1, column 2 (rate:1-2:7): the network has no branch between buses 1 and 2 with circuit '7'"},
  };
  for (const Refused& r : raw) EXPECT_EQ(refusal(r.text, raw_network()), r.message);
  EXPECT_NE(refusal("scenario,gen_cost:1\na,5\n", piecewise_network())
                .find("column 2 (gen_cost:1): generator 1 (bus 1) has a piecewise-linear cost"),
            std::string::npos);
}

TEST(ScenarioFile, RawElementsByBusAndIdOrEndsAndCircuit) {
  const network::Network& net = raw_network();
  const corvo::batch::ElementIndex index(net);
  // Generators 1:1, 1:2, 2:A, 2:B, 4:1 in file order; branch 3 is the
  // line 2-3 circuit 2 (metered at bus 3).
  EXPECT_EQ(index.generator("2:B").index, 3);
  EXPECT_EQ(index.generator("1:2").index, 1);
  EXPECT_EQ(index.branch("2-3:2").index, 2);
  EXPECT_EQ(index.branch("3-2:2").index, 2) << "either order of the buses";
  EXPECT_EQ(corvo::batch::generator_ref(net, 3), "2:B");
  EXPECT_EQ(corvo::batch::branch_ref(net, 2), "2-3:2");
  const auto s = read_scenarios("scenario,gen_status:2:A,branch_status:3-2:2\nx,1,0\n", "s.csv", net);
  ASSERT_EQ(s[0].changes.size(), 2u);
  EXPECT_EQ(s[0].changes[0].element, 2);
  EXPECT_EQ(s[0].changes[1].element, 2);
}

// A byte order mark, CR LF, blank lines, blanks around cells, a quoted
// name holding a comma and a quote, a leading plus, empty cells.
TEST(ScenarioFile, AcceptsWhatSpreadsheetsWrite) {
  const std::string text =
      "\xEF\xBB\xBFscenario , load_scale,load:3 ,gen_status:2\r\n"
      "\r\n"
      "\"peak, \"\"winter\"\"\",+1.25,,0\r\n"
      "night, 0.5 , 40,\r\n";
  const auto s = read_scenarios(text, "s.csv", three_bus());
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].name, "peak, \"winter\"");
  ASSERT_TRUE(s[0].load_scale.has_value());
  EXPECT_EQ(*s[0].load_scale, 1.25);
  ASSERT_EQ(s[0].changes.size(), 1u);
  EXPECT_EQ(s[0].changes[0].kind, ChangeKind::gen_status);
  EXPECT_EQ(s[0].changes[0].element, 1);
  EXPECT_EQ(s[0].changes[0].value, 0.0);
  EXPECT_EQ(s[1].name, "night");
  ASSERT_EQ(s[1].changes.size(), 1u);
  EXPECT_EQ(s[1].changes[0].kind, ChangeKind::load);
  EXPECT_EQ(s[1].changes[0].element, 2);
  EXPECT_EQ(s[1].changes[0].value, 40.0);
}

// What each column does to a copy of the network.
TEST(ApplyScenario, EachColumnChangesItsElement) {
  network::Network net;
  net.buses.resize(3);
  net.buses[0].load_mw = 10;
  net.buses[1].load_mw = 20;
  net.buses[1].shunt_mw = 4;
  net.buses[2].load_mw = -6;
  net.generators.resize(2);
  net.generators[0].pmin_mw = 1;
  net.generators[0].pmax_mw = 9;
  net.generators[0].cost.c1 = 3;
  // A case file's consumer: it withdraws 2..8 MW at 7 $/MWh, which the
  // network holds as an output of -8..-2 MW at -7 $/MWh.
  net.generators[1].withdraws = true;
  net.generators[1].pmin_mw = -8;
  net.generators[1].pmax_mw = -2;
  net.generators[1].cost.c1 = -7;
  net.branches.resize(1);
  net.branches[0].flow_min_mw = -50;
  net.branches[0].flow_max_mw = 50;
  corvo::batch::Scenario s;
  s.load_scale = 3;
  s.changes = {{ChangeKind::load, 0, 12},      {ChangeKind::gen_max, 0, 11},   {ChangeKind::gen_min, 0, 2},
               {ChangeKind::gen_cost, 0, 4},   {ChangeKind::gen_max, 1, 5},    {ChangeKind::gen_min, 1, 1},
               {ChangeKind::gen_cost, 1, 6},   {ChangeKind::gen_status, 1, 0}, {ChangeKind::rate, 0, 30},
               {ChangeKind::branch_status, 0, 0}};
  const network::Network out = corvo::batch::scenario_network(net, s);
  EXPECT_EQ(out.buses[0].load_mw, 12) << "a load given is not scaled";
  EXPECT_EQ(out.buses[1].load_mw, 60) << "the others are";
  EXPECT_EQ(out.buses[1].shunt_mw, 4) << "a shunt is not a load";
  EXPECT_EQ(out.buses[2].load_mw, -18);
  EXPECT_EQ(out.generators[0].pmax_mw, 11);
  EXPECT_EQ(out.generators[0].pmin_mw, 2);
  EXPECT_EQ(out.generators[0].cost.c1, 4);
  EXPECT_TRUE(out.generators[0].in_service);
  // The consumer as its case file states it: withdrawal 1..5 MW at 6.
  EXPECT_EQ(out.generators[1].pmin_mw, -5);
  EXPECT_EQ(out.generators[1].pmax_mw, -1);
  EXPECT_EQ(out.generators[1].cost.c1, -6);
  EXPECT_FALSE(out.generators[1].in_service);
  EXPECT_EQ(out.branches[0].flow_min_mw, -30);
  EXPECT_EQ(out.branches[0].flow_max_mw, 30);
  EXPECT_FALSE(out.branches[0].in_service);
  EXPECT_EQ(net.buses[1].load_mw, 20) << "the base network is not touched";
}

}  // namespace
