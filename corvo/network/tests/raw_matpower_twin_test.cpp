// Each hand-written RAW file against its MATPOWER twin beside it (NAME.m,
// the same network written as MATPOWER holds it after psse2mpc): both
// readers must give one network, element by element, in every field the
// DC dispatch uses. (The MATPOWER reader leaves the values of an element out
// of service unread, so those are compared for elements in service.)
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "corvo/import/matpower_case.hpp"
#include "corvo/network/matpower_reader.hpp"
#include "corvo/network/raw_reader.hpp"

namespace corvo::network {
namespace {

const std::string kData = CORVO_RAW_TEST_DATA;

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The twins write reactances and ratios with 15 significant digits.
void expect_close(double ours, double twin, const char* what) {
  EXPECT_NEAR(ours, twin, 1e-13 * std::max(1.0, std::abs(twin))) << what;
}

class RawMatpowerTwin : public testing::TestWithParam<const char*> {};

TEST_P(RawMatpowerTwin, SameNetwork) {
  const std::string name = GetParam();
  RawOptions options;
  options.costs = read_generator_costs_file(kData + "/" + name + ".costs.csv");
  const Network raw = read_raw_file(kData + "/" + name + ".raw", options);
  const std::string m_path = kData + "/" + name + ".m";
  const Network twin = read_matpower(import::parse_matpower(read_text(m_path), m_path), m_path, name);

  EXPECT_EQ(raw.base_mva, twin.base_mva);
  ASSERT_EQ(raw.buses.size(), twin.buses.size());
  for (std::size_t b = 0; b < raw.buses.size(); ++b) {
    SCOPED_TRACE("bus " + std::to_string(twin.buses[b].number));
    EXPECT_EQ(raw.buses[b].number, twin.buses[b].number);
    EXPECT_DOUBLE_EQ(raw.buses[b].load_mw, twin.buses[b].load_mw);
    EXPECT_DOUBLE_EQ(raw.buses[b].shunt_mw, twin.buses[b].shunt_mw);
    EXPECT_EQ(raw.buses[b].angle_deg, twin.buses[b].angle_deg);
    EXPECT_EQ(raw.buses[b].reference, twin.buses[b].reference);
    EXPECT_EQ(raw.buses[b].in_service, twin.buses[b].in_service);
  }
  ASSERT_EQ(raw.generators.size(), twin.generators.size());
  for (std::size_t g = 0; g < raw.generators.size(); ++g) {
    const Generator& ours = raw.generators[g];
    const Generator& theirs = twin.generators[g];
    SCOPED_TRACE("generator " + std::to_string(g + 1));
    EXPECT_EQ(ours.bus, theirs.bus);
    EXPECT_EQ(ours.in_service, theirs.in_service);
    EXPECT_EQ(ours.source.row, theirs.source.row);  // both file order
    if (!theirs.in_service) continue;
    EXPECT_EQ(ours.pmin_mw, theirs.pmin_mw);
    EXPECT_EQ(ours.pmax_mw, theirs.pmax_mw);
    EXPECT_EQ(ours.cost.model, theirs.cost.model);
    EXPECT_EQ(ours.cost.c2, theirs.cost.c2);
    EXPECT_EQ(ours.cost.c1, theirs.cost.c1);
    EXPECT_EQ(ours.cost.c0, theirs.cost.c0);
  }
  ASSERT_EQ(raw.branches.size(), twin.branches.size());
  for (std::size_t k = 0; k < raw.branches.size(); ++k) {
    const Branch& ours = raw.branches[k];
    const Branch& theirs = twin.branches[k];
    SCOPED_TRACE("branch " + std::to_string(k + 1));
    EXPECT_EQ(ours.from, theirs.from);
    EXPECT_EQ(ours.to, theirs.to);
    EXPECT_EQ(ours.in_service, theirs.in_service);
    if (!theirs.in_service) continue;
    expect_close(ours.x_pu, theirs.x_pu, "x");
    expect_close(ours.tap, theirs.tap, "tap");
    EXPECT_EQ(ours.shift_deg, theirs.shift_deg);
    EXPECT_EQ(ours.flow_min_mw, theirs.flow_min_mw);
    EXPECT_EQ(ours.flow_max_mw, theirs.flow_max_mw);
    EXPECT_EQ(ours.angle_min_deg, theirs.angle_min_deg);
    EXPECT_EQ(ours.angle_max_deg, theirs.angle_max_deg);
  }
}

INSTANTIATE_TEST_SUITE_P(HandWritten, RawMatpowerTwin,
                         testing::Values("v33_elements", "v33_two_winding", "v33_three_winding", "v35_network"));

}  // namespace
}  // namespace corvo::network
