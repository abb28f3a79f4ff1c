// The robust method on cases small enough to solve by hand.
#include <gtest/gtest.h>

#include <vector>

#include "case_builder.hpp"
#include "robust/prechecks.hpp"
#include "robust/solver.hpp"

namespace {

using corvo::robust::slack::Status;
using namespace robust_test;

// Two buses: the generator serves the 50 MW load, P = 0.5 pu,
// cost = 10·50 + 0.5·0.01·50² = 512.5 $/h, price = 10 + 0.01·50 = 10.5
// $/MWh at both buses (y = 1050 per unit), line flow 0.5 pu = 10·(0 − θ2),
// so θ2 = −0.05 rad.
TEST(RobustSmall, TwoBusCaseSolvedByHand) {
  const dispatch::CaseData d = two_bus_case();
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(d);
  const corvo::robust::slack::Solution s = corvo::robust::slack::solve_dispatch_qp(qp);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  const dispatch::QpColumns cols{d.n, d.ngen, d.nl};
  EXPECT_NEAR(s.cost, 512.5, 1e-6);
  EXPECT_NEAR(s.x[0], -0.05, 1e-9);
  EXPECT_NEAR(s.x[cols.generator(1) - 1], 0.5, 1e-9);
  EXPECT_NEAR(s.x[cols.gen_upper_slack(1) - 1], 1.5, 1e-9);
  EXPECT_NEAR(s.x[cols.line_upper_slack(1) - 1], 0.5, 1e-9);
  EXPECT_NEAR(s.x[cols.line_lower_surplus(1) - 1], 1.5, 1e-9);
  EXPECT_NEAR(s.y[0], 1050.0, 1e-4);
  EXPECT_NEAR(s.y[1], 1050.0, 1e-4);
  EXPECT_EQ(s.z[0], 0.0);  // the free angle has no dual slack
}

// The cost of a given point, by hand: 1000·0.5 + 0.5·100·0.25 = 512.5.
TEST(RobustSmall, CostFunction) {
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(two_bus_case());
  const std::vector<double> x = {-0.05, 0.5, 1.5, 0.5, 0.5, 1.5};
  EXPECT_DOUBLE_EQ(corvo::robust::slack::dispatch_cost(qp, x), 512.5);
}

// The line can carry only 30 MW of the 50 MW load: every pre-check
// passes, and the iterates diverge.
TEST(RobustSmall, LoadBehindATooWeakLineIsInfeasible) {
  dispatch::CaseData d = two_bus_case();
  d.line_upper[0] = 0.3;
  d.line_lower[0] = -0.3;
  ASSERT_TRUE(corvo::robust::precheck_case(d).empty());
  const corvo::robust::slack::Solution s =
      corvo::robust::slack::solve_dispatch_qp(dispatch::build_dispatch_qp(d));
  EXPECT_EQ(s.status, Status::infeasible) << s.message;
}

// A second part of the network without the reference bus: its angles are
// fixed only up to a common shift, so the rows are dependent. Each part
// serves its own load, 30 MW at 10 $/MWh and 30 MW at 12 $/MWh: 660 $/h.
TEST(RobustSmall, PartWithoutReferenceBus) {
  dispatch::CaseData d = empty_case();
  add_bus(d, dispatch::kReferenceBus, 10.0, 10.0, 0.0, 200.0, 0.0);
  add_bus(d, dispatch::kLoadBus, 20.0);
  add_bus(d, dispatch::kGenerationBus, 20.0, 12.0, 0.0, 50.0, 0.0);
  add_bus(d, dispatch::kLoadBus, 10.0);
  add_line(d, 1, 2, 0.1, 100.0, -100.0);
  add_line(d, 3, 4, 0.1, 100.0, -100.0);
  ASSERT_TRUE(corvo::robust::precheck_case(d).empty());
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(d);
  const corvo::robust::slack::Solution s = corvo::robust::slack::solve_dispatch_qp(qp);
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_NEAR(s.cost, 660.0, 1e-6);
  // Flow 3 -> 4 is 10 MW = 0.1 pu = 10·(θ3 − θ4), whatever the shift.
  EXPECT_NEAR(s.x[1] - s.x[2], 0.01, 1e-9);
}

// The log callback sees every iteration once, in order, ending with the
// converged one.
TEST(RobustSmall, IterationLogCallback) {
  std::vector<corvo::robust::slack::IterationReport> log;
  corvo::robust::slack::Options options;
  options.on_iteration = [&log](const corvo::robust::slack::IterationReport& r) { log.push_back(r); };
  const corvo::robust::slack::Solution s =
      corvo::robust::slack::solve_dispatch_qp(dispatch::build_dispatch_qp(two_bus_case()), options);
  ASSERT_EQ(s.status, Status::optimal);
  ASSERT_EQ(log.size(), static_cast<std::size_t>(s.iterations) + 1);
  for (std::size_t k = 0; k < log.size(); ++k) EXPECT_EQ(log[k].iteration, static_cast<int>(k));
  EXPECT_LE(log.back().relative_gap, 1e-8);
  EXPECT_LE(log.back().primal_residual, 1e-8);
}

// An angle beyond −2 rad is solved, and reported as one the classic
// program would have bound: 50 MW over a line of x = 5 needs θ2 = −2.5.
TEST(RobustSmall, AngleBeyondTheClassicBound) {
  dispatch::CaseData d = two_bus_case();
  d.x[0] = 5.0;
  const corvo::robust::slack::Solution s =
      corvo::robust::slack::solve_dispatch_qp(dispatch::build_dispatch_qp(d));
  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_NEAR(s.x[0], -2.5, 1e-9);
  EXPECT_EQ(s.angles_at_classic_bound, std::vector<std::int32_t>{1});
}

}  // namespace
