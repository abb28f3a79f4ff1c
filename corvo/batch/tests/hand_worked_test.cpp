// The three-bus network of data/three_bus.m under a table of scenarios,
// each worked by hand.
//
// Every branch has x = 0.1 pu on 100 MVA (1000 MW per radian) and the
// three form a loop, so a transfer between two buses splits 2/3 on the
// branch that joins them and 1/3 round the other two. With bus 1 as the
// reference, the flow on branch 1 (1→2) is
//   f1 = −2/3·(P2 − L2) + 1/3·L3            (P1 balances at bus 1)
// and branch 2 (1→3) and branch 3 (2→3) follow from the bus balances:
//   f2 = P1 − f1,  f3 = L3 − f2.
// Unit 1 (bus 1): 10 $/MWh, 10..200 MW, 100 $/h constant cost; unit 2
// (bus 2): 20 $/MWh, 0..200 MW. Loads L2 = 30, L3 = 60 MW. Ratings:
// branch 1 70 MW, branch 2 80 MW, branch 3 100 MW. Costs are linear, so
// each price is the cost of the unit that serves one more MW there.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>

#include "corvo/app/case_input.hpp"
#include "corvo/batch/apply_scenario.hpp"
#include "corvo/batch/scenario_file.hpp"
#include "corvo/batch/scenario_solver.hpp"

namespace {

using corvo::batch::ScenarioResult;
using corvo::batch::ScenarioStatus;
using corvo::report::AtLimit;

const std::string kThreeBus = std::string(CORVO_BATCH_TEST_DATA) + "/three_bus.m";

constexpr const char* kScenarios =
    "scenario,load_scale,load:3,gen_max:1,gen_min:2,gen_cost:2,gen_status:1,gen_status:2,branch_status:1,"
    "branch_status:2,branch_status:3,rate:1\n"
    "base,,,,,,,,,,,\n"
    "loads,2,75,,,,,,,,,\n"
    "unit_out,,,,,,0,,,,,\n"
    "line_out,,,,,,,,,0,,\n"
    "rate,,,,,,,,,,,35\n"
    "cap,,,60,,,,,,,,\n"
    "must_run,,,,30,,,,,,,\n"
    "cheap,,,,,5,,,,,,\n"
    "islanded,,,,,,,,0,,0,\n"
    "infeasible,,,,,,,0,,0,,\n"
    "no_units,,,,,,0,0,,,,\n"
    "min_above_max,,,,250,,,,,,,\n";

struct Expected {
  const char* name;
  ScenarioStatus status;
  double cost;  // $/h without the constant cost; NaN: no cost
  double cost_with_constant;
  std::map<int, double> output;   // generator row -> MW (a unit out of service has no row)
  std::map<int, double> price;    // bus -> $/MWh
  std::map<int, double> energy;   // bus -> $/MWh (the price at its island's reference)
  std::map<int, double> flow;     // branch row -> MW (a branch out of service has no row)
  std::map<int, AtLimit> binding; // branch rows at a limit
  std::map<int, double> shadow;   // branch row -> $/MWh
  std::map<int, AtLimit> at_limit;  // generator rows at a limit
  const char* reason_part;        // a piece of the reason of a failed scenario
};

const double kNone = std::nan("");

const Expected kTable[] = {
    // base: unit 1 (cheaper) serves all 90 MW; f1 = 2/3·30 + 1/3·60 = 40,
    // f2 = 90 − 40 = 50, f3 = 60 − 50 = 10; no limit binds, every price is
    // 10; cost 900, with unit 1's 100 $/h constant 1000.
    {"base", ScenarioStatus::converged, 900, 1000, {{1, 90}, {2, 0}}, {{1, 10}, {2, 10}, {3, 10}},
     {{1, 10}, {2, 10}, {3, 10}}, {{1, 40}, {2, 50}, {3, 10}}, {}, {{1, 0}, {2, 0}, {3, 0}},
     {{2, AtLimit::lower}}, ""},
    // loads: load_scale 2 doubles the loads the row does not set (L2 =
    // 60), load:3 = 75 is taken as given. P1 = 135: f1 = 2/3·60 + 1/3·75 =
    // 65 (< 70), f2 = 70 (< 80), f3 = 5. Prices 10, cost 1350.
    {"loads", ScenarioStatus::converged, 1350, 1450, {{1, 135}, {2, 0}}, {{1, 10}, {2, 10}, {3, 10}},
     {{1, 10}, {2, 10}, {3, 10}}, {{1, 65}, {2, 70}, {3, 5}}, {}, {}, {{2, AtLimit::lower}}, ""},
    // unit_out: unit 1 out (below its 10 MW minimum, at 0): unit 2 serves
    // 90 MW at 20 $/MWh. f1 = −2/3·(90 − 30) + 20 = −20, f2 = 0 + 20 = 20,
    // f3 = 40. Cost 1800 and no constant cost (the unit is out).
    {"unit_out", ScenarioStatus::converged, 1800, 1800, {{2, 90}}, {{1, 20}, {2, 20}, {3, 20}},
     {{1, 20}, {2, 20}, {3, 20}}, {{1, -20}, {2, 20}, {3, 40}}, {}, {}, {}, ""},
    // line_out: branch 2 (1-3) out: everything from bus 1 crosses branch 1,
    // rated 70, so P1 = 70 and unit 2 makes the other 20 MW. Prices split:
    // 10 at bus 1, 20 at buses 2 and 3 (fed by unit 2). Branch 1's
    // multiplier: a MW more of rating replaces 20 $/MWh by 10: 10 $/MWh.
    // f3 = 60. Cost 700 + 400 = 1100.
    {"line_out", ScenarioStatus::converged, 1100, 1200, {{1, 70}, {2, 20}}, {{1, 10}, {2, 20}, {3, 20}},
     {{1, 10}, {2, 10}, {3, 10}}, {{1, 70}, {3, 60}}, {{1, AtLimit::upper}}, {{1, 10}}, {}, ""},
    // rate: branch 1 rated 35 instead of 40 MW of base flow: 40 − 2/3·P2 =
    // 35, P2 = 7.5, P1 = 82.5. λ2 = 20 (unit 2 marginal). A MW more at bus
    // 3 adds 1/3 MW to f1, offset by 1/2 MW more of P2 (and 1/2 of P1):
    // λ3 = 10 + 5 = 15. Branch 1's multiplier μ: λ2 − λ1 = 2/3·μ, μ = 15.
    // f2 = 82.5 − 35 = 47.5, f3 = 12.5. Cost 825 + 150 = 975.
    {"rate", ScenarioStatus::converged, 975, 1075, {{1, 82.5}, {2, 7.5}}, {{1, 10}, {2, 20}, {3, 15}},
     {{1, 10}, {2, 10}, {3, 10}}, {{1, 35}, {2, 47.5}, {3, 12.5}}, {{1, AtLimit::upper}}, {{1, 15}}, {}, ""},
    // cap: unit 1 limited to 60 MW; unit 2 makes 30 at 20 $/MWh, the price
    // everywhere. f1 = −2/3·0 + 20 = 20, f2 = 40, f3 = 20. Cost 600 + 600.
    {"cap", ScenarioStatus::converged, 1200, 1300, {{1, 60}, {2, 30}}, {{1, 20}, {2, 20}, {3, 20}},
     {{1, 20}, {2, 20}, {3, 20}}, {{1, 20}, {2, 40}, {3, 20}}, {}, {}, {{1, AtLimit::upper}}, ""},
    // must_run: unit 2 at least 30 MW: it makes exactly 30, unit 1 the
    // rest (60) and sets the price, 10. Flows as in "cap".
    {"must_run", ScenarioStatus::converged, 1200, 1300, {{1, 60}, {2, 30}}, {{1, 10}, {2, 10}, {3, 10}},
     {{1, 10}, {2, 10}, {3, 10}}, {{1, 20}, {2, 40}, {3, 20}}, {}, {}, {{2, AtLimit::lower}}, ""},
    // cheap: unit 2 at 5 $/MWh: unit 1 at its minimum 10 MW, unit 2 makes
    // 80. f1 = −2/3·50 + 20 = −40/3, f2 = 10 + 40/3 = 70/3, f3 = 60 − 70/3
    // = 110/3. Price 5; cost 100 + 400 = 500.
    {"cheap", ScenarioStatus::converged, 500, 600, {{1, 10}, {2, 80}}, {{1, 5}, {2, 5}, {3, 5}},
     {{1, 5}, {2, 5}, {3, 5}}, {{1, -40.0 / 3}, {2, 70.0 / 3}, {3, 110.0 / 3}}, {}, {}, {{1, AtLimit::lower}}, ""},
    // islanded: branches 1 and 3 out leave bus 2 on its own with unit 2
    // and its 30 MW (price 20, its own reference); buses 1 and 3 keep
    // unit 1, which sends 60 MW over branch 2 (price 10). Cost 600 + 600.
    {"islanded", ScenarioStatus::converged, 1200, 1300, {{1, 60}, {2, 30}}, {{1, 10}, {2, 20}, {3, 10}},
     {{1, 10}, {2, 20}, {3, 10}}, {{2, 60}}, {}, {}, {}, ""},
    // infeasible: unit 2 out and branch 2 out: the 90 MW of buses 2 and 3
    // must cross branch 1, rated 70. Capacity (200 MW) is enough, so no
    // pre-check sees it; the method proves it.
    {"infeasible", ScenarioStatus::infeasible, kNone, kNone, {}, {}, {}, {}, {}, {}, {}, "infeasible"},
    // no_units: both units out: load without generation, a pre-check.
    {"no_units", ScenarioStatus::precheck_failed, kNone, kNone, {}, {}, {}, {}, {}, {}, {}, "generation capacity of 0 MW"},
    // min_above_max: unit 2's minimum 250 above its 200 MW maximum.
    {"min_above_max", ScenarioStatus::precheck_failed, kNone, kNone, {}, {}, {}, {}, {}, {}, {}, "generator 2"},
};

constexpr double kMw = 1e-5;
constexpr double kPrice = 1e-5;

// Solves every scenario of kScenarios with the given method.
std::map<std::string, ScenarioResult> solve_all(const corvo::network::Network& net, const std::string& method) {
  const auto scenarios = corvo::batch::read_scenarios(kScenarios, "hand.csv", net);
  corvo::batch::SolveSettings settings;
  settings.method = method;
  const corvo::batch::ScenarioSolver solver(net, settings);
  corvo::batch::ThreadWorkspaces workspaces;
  std::map<std::string, ScenarioResult> results;
  for (const auto& s : scenarios) results[s.name] = solver.solve(s, workspaces);
  return results;
}

class HandWorked : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    input_ = new corvo::app::CaseInput(corvo::app::load_case_input(kThreeBus));
    results_ = new std::map<std::string, ScenarioResult>(solve_all(input_->network, "robust"));
  }
  static void TearDownTestSuite() {
    delete results_;
    delete input_;
  }
  static const ScenarioResult& result(const std::string& name) { return results_->at(name); }
  static std::int64_t generator_row(std::int32_t k) { return input_->network.generators[static_cast<std::size_t>(k)].source.row; }
  static std::int64_t branch_row(std::int32_t l) { return input_->network.branches[static_cast<std::size_t>(l)].source.row; }
  static std::int64_t bus_number(std::int32_t i) { return input_->network.buses[static_cast<std::size_t>(i)].number; }

  // Every value of `r` against the hand-worked row.
  static void expect_as_worked(const ScenarioResult& r, const Expected& want) {
    EXPECT_EQ(r.scenario, want.name);
    EXPECT_TRUE(r.optimal) << r.reason;
    EXPECT_TRUE(r.reason.empty()) << r.reason;
    EXPECT_NEAR(r.cost, want.cost, 1e-4);
    EXPECT_NEAR(r.cost_with_constant, want.cost_with_constant, 1e-4);
    ASSERT_EQ(r.generators.size(), want.output.size());
    for (const auto& g : r.generators) {
      const auto row = static_cast<int>(generator_row(g.generator));
      EXPECT_NEAR(g.output_mw, want.output.at(row), kMw) << "generator " << row;
      const auto at = want.at_limit.find(row);
      EXPECT_EQ(g.at_limit, at == want.at_limit.end() ? AtLimit::none : at->second) << "generator " << row;
    }
    ASSERT_EQ(r.buses.size(), 3u);
    for (const auto& b : r.buses) {
      const auto bus = static_cast<int>(bus_number(b.bus));
      EXPECT_NEAR(b.lmp, want.price.at(bus), kPrice) << "bus " << bus;
      EXPECT_NEAR(b.energy, want.energy.at(bus), kPrice) << "bus " << bus;
      EXPECT_NEAR(b.congestion, want.price.at(bus) - want.energy.at(bus), kPrice) << "bus " << bus;
    }
    ASSERT_EQ(r.lines.size(), want.flow.size());
    for (const auto& l : r.lines) {
      const auto row = static_cast<int>(branch_row(l.branch));
      EXPECT_NEAR(l.flow_mw, want.flow.at(row), kMw) << "branch " << row;
      const auto binding = want.binding.find(row);
      EXPECT_EQ(l.binding, binding == want.binding.end() ? AtLimit::none : binding->second) << "branch " << row;
      const auto shadow = want.shadow.find(row);
      EXPECT_NEAR(l.shadow_price, shadow == want.shadow.end() ? 0.0 : shadow->second, kPrice) << "branch " << row;
    }
  }

  static corvo::app::CaseInput* input_;
  static std::map<std::string, ScenarioResult>* results_;
};

corvo::app::CaseInput* HandWorked::input_ = nullptr;
std::map<std::string, ScenarioResult>* HandWorked::results_ = nullptr;

TEST_F(HandWorked, EveryScenarioNumberByNumber) {
  ASSERT_EQ(results_->size(), std::size(kTable));
  for (const Expected& want : kTable) {
    SCOPED_TRACE(want.name);
    const ScenarioResult& r = result(want.name);
    EXPECT_EQ(r.status, want.status) << corvo::batch::status_name(r.status) << ": " << r.reason;
    if (want.status == ScenarioStatus::converged) {
      expect_as_worked(r, want);
      continue;
    }
    EXPECT_EQ(r.scenario, want.name);
    EXPECT_FALSE(r.optimal);
    EXPECT_TRUE(std::isnan(r.cost));
    EXPECT_NE(r.reason.find(want.reason_part), std::string::npos) << r.reason;
    EXPECT_TRUE(r.buses.empty() && r.generators.empty() && r.lines.empty());
    if (want.status != ScenarioStatus::infeasible) {
      EXPECT_TRUE(r.relaxation.empty());
      continue;
    }
    // The least relaxation relaxes limits before it leaves load unserved,
    // and unit 2, out of service, is no limit to relax: branch 1 must
    // carry 90 − 70 = 20 MW more than its rating.
    ASSERT_EQ(r.relaxation.size(), 1u);
    EXPECT_EQ(r.relaxation[0].element, "branch 1 (bus 1-2)");
    EXPECT_EQ(r.relaxation[0].what, "flow above its upper limit");
    EXPECT_NEAR(r.relaxation[0].amount, 20.0, kMw);
    EXPECT_EQ(r.relaxation[0].unit, "MW");
  }
}

// The classic method, on our case file's model of each scenario, finds the
// same dispatches; on the infeasible scenario it stops at its iteration
// limit (it has no test of infeasibility), and our case file cannot hold
// the islanded one.
TEST_F(HandWorked, ClassicMethodAgrees) {
  const std::map<std::string, ScenarioResult> classic = solve_all(input_->network, "classic");
  for (const Expected& want : kTable) {
    SCOPED_TRACE(want.name);
    const ScenarioResult& r = classic.at(want.name);
    if (std::string(want.name) == "islanded") {
      EXPECT_EQ(r.status, ScenarioStatus::stopped);
      EXPECT_NE(r.reason.find("the network falls into 2 islands"), std::string::npos) << r.reason;
    } else if (want.status == ScenarioStatus::converged) {
      EXPECT_EQ(r.status, ScenarioStatus::converged) << r.reason;
      expect_as_worked(r, want);
    } else {
      EXPECT_FALSE(r.optimal);
      EXPECT_EQ(r.status, want.status == ScenarioStatus::infeasible ? ScenarioStatus::iteration_limit : want.status);
    }
  }
}

// Loading is the flow as a percentage of the limit in its direction.
TEST_F(HandWorked, LoadingOfEachBranch) {
  const ScenarioResult& r = result("rate");
  const std::map<int, double> want{{1, 100.0}, {2, 47.5 / 80 * 100}, {3, 12.5}};
  for (const auto& l : r.lines)
    EXPECT_NEAR(l.loading_percent, want.at(static_cast<int>(branch_row(l.branch))), 1e-4);
}

// The scenarios that switch elements keep the base network's pattern (and
// so reuse its analysis and start from its solution); one that islands a
// bus does not.
TEST_F(HandWorked, SwitchingKeepsThePatternIslandingDoesNot) {
  const auto scenarios = corvo::batch::read_scenarios(kScenarios, "hand.csv", input_->network);
  corvo::network::DcOptions options;
  options.keep_pattern = true;
  const auto base = corvo::network::build_dc_model(input_->network, options);
  for (const auto& s : scenarios) {
    if (s.name == "no_units" || s.name == "min_above_max") continue;
    const auto model = corvo::network::build_dc_model(corvo::batch::scenario_network(input_->network, s), options);
    EXPECT_EQ(corvo::batch::same_pattern(base.problem, model.problem), s.name != "islanded") << s.name;
  }
}

}  // namespace
