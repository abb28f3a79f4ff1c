// The pieces that make a batch's output independent of its threads and
// processes: the pool hands results back in the jobs' order, and a result
// travels between processes with every bit of every value.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "corvo/batch/ordered_pool.hpp"
#include "corvo/batch/progress.hpp"
#include "corvo/batch/result_bytes.hpp"

namespace {

using corvo::batch::OrderedPool;

// Jobs that finish out of order (later jobs quicker) come back in order,
// and no job starts more than `window` jobs ahead of the last one taken.
TEST(OrderedPool, ResultsInOrderWithinTheWindow) {
  for (int threads : {1, 2, 5}) {
    std::atomic<std::size_t> taken{0}, furthest_ahead{0};
    const std::size_t window = 3;
    OrderedPool<std::size_t> pool(40, threads, window, [&](std::size_t job, int worker) {
      EXPECT_LT(worker, threads);
      const std::size_t ahead = job - std::min(job, taken.load());
      std::size_t seen = furthest_ahead.load();
      while (ahead > seen && !furthest_ahead.compare_exchange_weak(seen, ahead)) {
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200 * ((40 - job) % 7)));
      return job * job;
    });
    for (std::size_t job = 0; job < 40; ++job) {
      EXPECT_EQ(pool.next(), job * job) << threads << " threads";
      taken = job + 1;
    }
    EXPECT_LE(furthest_ahead.load(), window) << threads << " threads";
  }
}

TEST(OrderedPool, AJobsExceptionReachesTheTaker) {
  OrderedPool<int> pool(10, 3, 4, [](std::size_t job, int) {
    if (job == 2) throw std::runtime_error("job 2 failed");
    return static_cast<int>(job);
  });
  EXPECT_EQ(pool.next(), 0);
  EXPECT_EQ(pool.next(), 1);
  EXPECT_THROW(pool.next(), std::runtime_error);
}

TEST(OrderedPool, NoJobs) { OrderedPool<int> pool(0, 2, 4, [](std::size_t, int) { return 1; }); }

corvo::batch::ScenarioResult sample() {
  corvo::batch::ScenarioResult r;
  r.scenario = "hour 17, \"peak\"";
  r.status = corvo::batch::ScenarioStatus::infeasible;
  r.optimal = false;
  r.cost = 0.1 + 0.2;  // a value whose last bit matters
  r.cost_with_constant = std::nan("");
  r.iterations = 37;
  r.seconds = 1e-300;
  r.reason = "infeasible: the iterates diverge";
  r.buses = {{0, 1.5, -0.0, 3.0}, {7, 2.0 / 3.0, 1e308, -4.9e-324}};
  r.generators = {{3, 12.25, corvo::report::AtLimit::upper}};
  r.lines = {{1, -7.0, std::nan(""), corvo::report::AtLimit::lower, 15.0}};
  r.relaxation = {{"bus 4", "load not served", 20.0, "MW"}, {"", "", 0.0, ""}};
  return r;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ResultBytes, EveryValueComesBackWithItsBits) {
  const corvo::batch::ScenarioResult a = sample();
  const corvo::batch::ScenarioResult b = corvo::batch::from_bytes(corvo::batch::to_bytes(a));
  EXPECT_EQ(b.scenario, a.scenario);
  EXPECT_EQ(b.status, a.status);
  EXPECT_EQ(b.optimal, a.optimal);
  EXPECT_TRUE(same_bits(b.cost, a.cost));
  EXPECT_TRUE(same_bits(b.cost_with_constant, a.cost_with_constant));
  EXPECT_EQ(b.iterations, a.iterations);
  EXPECT_TRUE(same_bits(b.seconds, a.seconds));
  EXPECT_EQ(b.reason, a.reason);
  ASSERT_EQ(b.buses.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(b.buses[i].bus, a.buses[i].bus);
    EXPECT_TRUE(same_bits(b.buses[i].lmp, a.buses[i].lmp));
    EXPECT_TRUE(same_bits(b.buses[i].energy, a.buses[i].energy));
    EXPECT_TRUE(same_bits(b.buses[i].congestion, a.buses[i].congestion));
  }
  ASSERT_EQ(b.generators.size(), 1u);
  EXPECT_EQ(b.generators[0].generator, 3);
  EXPECT_EQ(b.generators[0].at_limit, corvo::report::AtLimit::upper);
  ASSERT_EQ(b.lines.size(), 1u);
  EXPECT_TRUE(std::isnan(b.lines[0].loading_percent));
  EXPECT_EQ(b.lines[0].binding, corvo::report::AtLimit::lower);
  EXPECT_EQ(b.lines[0].shadow_price, 15.0);
  ASSERT_EQ(b.relaxation.size(), 2u);
  EXPECT_EQ(b.relaxation[0].what, "load not served");
  EXPECT_EQ(b.relaxation[0].amount, 20.0);
}

TEST(ResultBytes, BytesCutShortOrLeftOverAreRefused) {
  const std::string bytes = corvo::batch::to_bytes(sample());
  for (std::size_t n : {std::size_t{0}, std::size_t{5}, bytes.size() / 2, bytes.size() - 1})
    EXPECT_THROW(corvo::batch::from_bytes(std::string_view(bytes).substr(0, n)), std::runtime_error) << n;
  EXPECT_THROW(corvo::batch::from_bytes(bytes + "x"), std::runtime_error);
}

TEST(Progress, TextGivesDoneFailedRateAndTimeLeft) {
  EXPECT_EQ(corvo::batch::progress_text(0, 0, 8760, 0.0), "0/8760 scenarios  0 failed");
  // 120 in 10 s: 12/s; 8640 left take 720 s.
  EXPECT_EQ(corvo::batch::progress_text(120, 2, 8760, 10.0), "120/8760 scenarios  2 failed  12.0/s  12m 00s left");
  EXPECT_EQ(corvo::batch::progress_text(8760, 3, 8760, 3650.0), "8760/8760 scenarios  3 failed  2.4/s  1h 00m in all");
}

}  // namespace
