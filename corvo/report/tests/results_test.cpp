// The report's tables on the hand-solved two-bus case (two_bus.hpp).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "corvo/report/results.hpp"
#include "two_bus.hpp"

namespace corvo::report {
namespace {

Results two_bus_results(const QpSolution& s, bool angles_free = false) {
  const dispatch::CaseData d = two_bus::case_data();
  ReportOptions options;
  options.angles_free = angles_free;
  return make_results("twobus", d, dispatch::build_dispatch_qp(d), s, options);
}

TEST(ReportResults, ProgramHasTheExpectedShape) {
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(two_bus::case_data());
  EXPECT_EQ(qp.nvar, 9);
  EXPECT_EQ(qp.m, 8);
}

TEST(ReportResults, SummaryInUnitsOfTheCase) {
  const Summary s = two_bus_results(two_bus::optimum()).summary;
  EXPECT_EQ(s.case_name, "twobus");
  EXPECT_EQ(s.outcome, Outcome::converged);
  EXPECT_EQ(s.iterations, 7);
  EXPECT_DOUBLE_EQ(s.cost, 750.0);               // 1000*0.25 + 2000*0.25
  EXPECT_DOUBLE_EQ(s.constant_cost, 12.0);       // 5 + 7
  EXPECT_DOUBLE_EQ(s.cost_with_constant, 762.0);
  EXPECT_DOUBLE_EQ(s.total_load_mw, 50.0);
  EXPECT_DOUBLE_EQ(s.total_generation_mw, 50.0);
}

TEST(ReportResults, GeneratorsInMegawattsWithIncrementalCost) {
  const std::vector<GeneratorRow> g = two_bus_results(two_bus::optimum()).generators;
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[0].bus, 1);
  EXPECT_DOUBLE_EQ(g[0].output_mw, 25.0);
  EXPECT_DOUBLE_EQ(g[0].upper_mw, 200.0);
  EXPECT_DOUBLE_EQ(g[0].incremental_cost, 10.0);
  EXPECT_EQ(g[0].at_limit, AtLimit::none);
  EXPECT_EQ(g[1].bus, 2);
  EXPECT_DOUBLE_EQ(g[1].incremental_cost, 20.0);
}

TEST(ReportResults, PricesSplitIntoEnergyAndCongestion) {
  const std::vector<BusRow> b = two_bus_results(two_bus::optimum()).buses;
  ASSERT_EQ(b.size(), 2u);
  EXPECT_DOUBLE_EQ(b[0].lmp, 10.0);
  EXPECT_DOUBLE_EQ(b[1].lmp, 20.0);
  EXPECT_DOUBLE_EQ(b[1].energy, 10.0);
  EXPECT_DOUBLE_EQ(b[1].congestion, 10.0);
  EXPECT_DOUBLE_EQ(b[0].congestion, 0.0);
  EXPECT_DOUBLE_EQ(b[0].angle_deg, 0.0);
  EXPECT_NEAR(b[1].angle_deg, -0.125 * 180.0 / std::numbers::pi, 1e-12);
  EXPECT_DOUBLE_EQ(b[1].load_mw, 50.0);
  EXPECT_DOUBLE_EQ(b[1].generation_mw, 25.0);
}

TEST(ReportResults, BindingLineWithShadowPrice) {
  const std::vector<LineRow> l = two_bus_results(two_bus::optimum()).lines;
  ASSERT_EQ(l.size(), 1u);
  EXPECT_DOUBLE_EQ(l[0].flow_mw, 25.0);
  EXPECT_DOUBLE_EQ(l[0].loading_percent, 100.0);
  EXPECT_EQ(l[0].binding, AtLimit::upper);
  EXPECT_DOUBLE_EQ(l[0].shadow_price, 10.0);
}

TEST(ReportResults, NegativeGenerationBusWithdrawsItsOutput) {
  dispatch::CaseData d = two_bus::case_data();
  d.bus_type[1] = dispatch::kNegativeGenerationBus;
  QpSolution s = two_bus::optimum();
  const Results r = make_results("t", d, dispatch::build_dispatch_qp(d), s, ReportOptions{});
  EXPECT_DOUBLE_EQ(r.buses[1].generation_mw, -25.0);
  EXPECT_DOUBLE_EQ(r.summary.total_generation_mw, 0.0);
}

TEST(ReportResults, SolutionSizesMustMatchTheProgram) {
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(two_bus::case_data());
  QpSolution s = two_bus::optimum();
  EXPECT_EQ(solution_size_error(qp, s), "");
  s.y.pop_back();
  EXPECT_EQ(solution_size_error(qp, s),
            "the solution has 9 variables and 7 constraints, the case's program 9 variables and 8 constraints");
}

TEST(ReportResults, ExitStatusFollowsTheVerdict) {
  EXPECT_EQ(exit_status(two_bus_results(two_bus::optimum())), 0);
  QpSolution s = two_bus::optimum();
  s.outcome = Outcome::iteration_limit;
  EXPECT_EQ(exit_status(two_bus_results(s)), 1);
}

}  // namespace
}  // namespace corvo::report
