// Each pre-check on a small case that breaks exactly one rule (the limit
// checks also trip the balance checks they imply).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "case_builder.hpp"
#include "robust/prechecks.hpp"

namespace {

using dispatch::CaseData;
using namespace robust_test;

struct PrecheckCase {
  const char* name;
  std::function<CaseData()> make;
  std::vector<std::string> expected;
};

CaseData two_islands(bool generator_on_bus_3) {
  CaseData d = empty_case();
  add_bus(d, dispatch::kReferenceBus, 10.0, 10.0, 0.0, 200.0, 0.0);
  add_bus(d, dispatch::kLoadBus, 20.0);
  if (generator_on_bus_3) {
    add_bus(d, dispatch::kGenerationBus, 20.0, 12.0, 0.0, 25.0, 0.0);
  } else {
    add_bus(d, dispatch::kLoadBus, 20.0);
  }
  add_bus(d, dispatch::kLoadBus, 10.0);
  add_line(d, 1, 2, 0.1, 100.0, -100.0);
  add_line(d, 3, 4, 0.1, 100.0, -100.0);
  return d;
}

const PrecheckCase kPrechecks[] = {
    {"ValidCase", [] { return two_bus_case(); }, {}},
    {"GeneratorLowerAboveUpper",
     [] {
       CaseData d = two_bus_case();
       d.gen_lower[0] = 2.5;
       return d;
     },
     {"generator 1 at bus 1: lower limit 250.00 MW is above its upper limit 200.00 MW",
      "total minimum generation 250.00 MW is above the total load of 50.00 MW"}},
    {"LineLowerAboveUpper",
     [] {
       CaseData d = two_bus_case();
       d.line_lower[0] = 1.2;
       return d;
     },
     {"line 1 (bus 1 to bus 2): lower flow limit 120.00 MW is above its upper flow limit "
      "100.00 MW"}},
    {"CapacityBelowLoad",
     [] {
       CaseData d = two_bus_case();
       d.load[1] = 2.5;
       return d;
     },
     {"total generation capacity 200.00 MW is below the total load of 250.00 MW"}},
    {"MinimumGenerationAboveLoad",
     [] {
       CaseData d = two_bus_case();
       d.gen_lower[0] = 0.6;
       return d;
     },
     {"total minimum generation 60.00 MW is above the total load of 50.00 MW"}},
    {"LoadWithoutGenerator", [] { return two_islands(false); },
     {"buses 3 and 4 carry 30.00 MW of load but no generator is connected to them"}},
    {"IslandCapacityBelowItsLoad", [] { return two_islands(true); },
     {"total generation capacity 25.00 MW is below the total load of 30.00 MW in the part of "
      "the network formed by buses 3 and 4"}},
    {"NegativeGenerationCountsAsLoad",
     [] {
       // Bus 2 withdraws 60 to 80 MW; the generator gives at most 50 MW.
       CaseData d = empty_case();
       add_bus(d, dispatch::kReferenceBus, 0.0, 10.0, 0.0, 50.0, 0.0);
       add_bus(d, dispatch::kNegativeGenerationBus, 0.0, 5.0, 0.0, 80.0, 60.0);
       add_line(d, 1, 2, 0.1, 100.0, -100.0);
       return d;
     },
     {"total generation capacity -10.00 MW is below the total load of 0.00 MW"}},
};

class PrecheckTest : public testing::TestWithParam<PrecheckCase> {};

TEST_P(PrecheckTest, NamesEveryProblem) {
  EXPECT_EQ(corvo::robust::precheck_case(GetParam().make()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Robust, PrecheckTest, testing::ValuesIn(kPrechecks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
