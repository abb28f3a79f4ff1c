// The pre-checks, each naming what makes the dispatch impossible.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "corvo/network/case_file_network.hpp"
#include "corvo/network/prechecks.hpp"
#include "dispatch/case_loader.hpp"
#include "network_text.hpp"

namespace corvo::network {
namespace {

using network_text::matpower;
using network_text::read;

struct Case {
  const char* name;
  std::string text;
  const char* problem;  // the first problem, whole
};

class Precheck : public ::testing::TestWithParam<Case> {};

TEST_P(Precheck, NamesTheProblem) {
  const Network net = read(GetParam().text);
  const std::vector<std::string> problems = precheck(net, build_dc_model(net));
  ASSERT_FALSE(problems.empty());
  EXPECT_EQ(problems.front(), GetParam().problem);
}

const std::string kTwoBuses = "1 3 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 1 50 0 0 0 1 1 0 230 1 1.1 0.9";

INSTANTIATE_TEST_SUITE_P(
    Cases, Precheck,
    ::testing::Values(
        // 0..40 MW against 50 MW of load.
        Case{"capacity", matpower(kTwoBuses, "1 0 0 0 0 1 100 1 40 0", "1 2 0 0.1 0 0 0 0 0 0 1", "2 0 0 2 10 0"),
             "the network: load of 50 MW above the generation capacity of 40 MW"},
        // Negative limits are a generator's own (it absorbs 10..20 MW): 50 MW
        // of load cannot be met.
        Case{"negative_limits",
             matpower(kTwoBuses, "1 0 0 0 0 1 100 1 -10 -20", "1 2 0 0.1 0 0 0 0 0 0 1", "2 0 0 2 10 0"),
             "the network: load of 50 MW above the generation capacity of -10 MW"},
        Case{"minimum", matpower(kTwoBuses, "1 0 0 0 0 1 100 1 200 60", "1 2 0 0.1 0 0 0 0 0 0 1", "2 0 0 2 10 0"),
             "the network: minimum generation of 60 MW above the load of 50 MW"},
        Case{"crossed", matpower(kTwoBuses, "1 0 0 0 0 1 100 1 20 60", "1 2 0 0.1 0 0 0 0 0 0 1", "2 0 0 2 10 0"),
             "generator 1 (bus 1): lower limit 60 MW above its upper limit 20 MW"},
        // Bus 2 reached through a tie and, in parallel, a shifter of 5°: the
        // shifter carries a constant -b·φ = -10·(π/36)·100 = -87.2665 MW,
        // beyond its 50 MW rating.
        Case{"constant_flow",
             matpower(kTwoBuses, "1 0 0 0 0 1 100 1 200 0",
                      "1 2 0 0 0 0 0 0 0 0 1; 1 2 0 0.1 0 50 0 0 0 5 1", "2 0 0 2 10 0"),
             "branch 2 (bus 1-2): its buses share one angle through bus ties, so it carries a constant -87.2665 MW, "
             "outside its flow limits"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Our case file says 0 MW for a limit of 0 (not "none"): lines whose limits
// are both 0 MW fix their flow at 0, and bus 2 is cut off with its load.
TEST(Precheck, LinesOfZeroLimitsCutABusOff) {
  Network net;
  net.format = SourceFormat::case_file;
  net.base_mva = 100.0;
  net.buses = {Bus{1, "", 0.0, 0.0, 0.0, true, true, 2}, Bus{2, "", 50.0, 0.0, 0.0, false, true, 0}};
  Generator g;
  g.pmax_mw = 200.0;
  g.source.row = 1;
  net.generators = {g};
  Branch b;
  b.from = 0;
  b.to = 1;
  b.x_pu = 0.1;
  b.flow_min_mw = 0.0;
  b.flow_max_mw = 0.0;
  b.source.row = 1;
  net.branches = {b, b};
  net.branches[1].source.row = 2;
  const std::vector<std::string> problems = precheck(net, build_dc_model(net));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0],
            "bus 2 (cut off by line 1 (bus 1-2), line 2 (bus 1-2), whose limits fix their flow): load of 50 MW but no "
            "generator");
}

// Our case file's negative generation bus (type 3) withdraws 60 to 80 MW;
// the generator of bus 1 gives at most 50 MW: the network needs at least
// 60 MW and can give 50.
TEST(Precheck, NegativeGenerationBusCountsAsLoad) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "corvo_precheck_ng.dat";
  std::ofstream(file, std::ios::binary) << "Negative generation\n"
                                           "         2         1    100.00\n"
                                           "         1         2      0.10    100.00   -100.00\n"
                                           "         2         3\n"
                                           "      0.00      0.00     10.00  0.000000     50.00      0.00\n"
                                           "      0.00      0.00      5.00  0.000000     80.00     60.00\n"
                                           "       100       150\n       500       500\n"
                                           "        99         0   1.0E-08   1.0E-35   1.0E-06   1.0E-10\n"
                                           "      0.99   1.0E+05   1.0E-01\n";
  const Network net = network_from_case(dispatch::load_case_file(file), "ng");
  std::filesystem::remove(file);
  const std::vector<std::string> problems = precheck(net, build_dc_model(net));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "the network: load of 0 MW above the generation capacity of -10 MW");
}

TEST(Precheck, SolvableCaseHasNone) {
  const Network net =
      read(matpower(kTwoBuses, "1 0 0 0 0 1 100 1 200 0", "1 2 0 0.1 0 0 0 0 0 0 1", "2 0 0 2 10 0"));
  EXPECT_TRUE(precheck(net, build_dc_model(net)).empty());
}

}  // namespace
}  // namespace corvo::network
