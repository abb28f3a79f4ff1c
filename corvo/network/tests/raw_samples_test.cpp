// The public RAW samples in cases/raw against MATPOWER's conversion and DC
// optimal power flow of the same files (cases/raw/NAME.json): the counts,
// every branch's reactance, ratio, shift and rating as psse2mpc converted
// them, and the solution's flows, which must follow from its angles through
// our branches, and balance at every bus with our loads.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <numbers>
#include <string>

#include "corvo/network/raw_reader.hpp"

namespace corvo::network {
namespace {

const std::string kCases = CORVO_RAW_CASES;

nlohmann::json load_json(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  return nlohmann::json::parse(in);
}

Network read_sample(const std::string& name) {
  RawOptions options;
  options.costs = read_generator_costs_file(kCases + "/" + name + ".costs.csv");
  return read_raw_file(kCases + "/" + name + ".raw", options);
}

std::map<std::int64_t, std::size_t> index_by_number(const Network& network) {
  std::map<std::int64_t, std::size_t> index;
  for (std::size_t b = 0; b < network.buses.size(); ++b) index[network.buses[b].number] = b;
  return index;
}

class RawSample : public testing::TestWithParam<const char*> {};

TEST_P(RawSample, CountsBusesAndGeneratorsAsMatpower) {
  const Network network = read_sample(GetParam());
  const nlohmann::json reference = load_json(kCases + "/" + GetParam() + ".json");
  EXPECT_EQ(network.format, SourceFormat::psse_raw);
  EXPECT_EQ(network.name, GetParam());
  EXPECT_EQ(network.base_mva, reference["baseMVA"].get<double>());
  ASSERT_EQ(network.buses.size(), reference["bus"].size());
  ASSERT_EQ(network.generators.size(), reference["gen"].size());
  ASSERT_EQ(network.branches.size(), reference["branch"].size());

  const auto index = index_by_number(network);
  for (const auto& bus : reference["bus"]) {
    SCOPED_TRACE("bus " + std::to_string(bus["bus"].get<std::int64_t>()));
    ASSERT_TRUE(index.count(bus["bus"].get<std::int64_t>()));
    const Bus& ours = network.buses[index.at(bus["bus"].get<std::int64_t>())];
    const int type = bus["type"].get<int>();
    EXPECT_EQ(ours.reference, type == 3);
    EXPECT_EQ(ours.in_service, type != 4);
    EXPECT_NEAR(ours.load_mw, bus["pd_mw"].get<double>(), 1e-12);
    EXPECT_NEAR(ours.shunt_mw, bus["gs_mw"].get<double>(), 1e-12);
  }
  // Generators in file order, each with its machine id and the cost of the
  // costs file, which the reference lists beside it.
  for (std::size_t g = 0; g < network.generators.size(); ++g) {
    const auto& gen = reference["gen"][g];
    const Generator& ours = network.generators[g];
    SCOPED_TRACE("generator " + std::to_string(g + 1));
    EXPECT_EQ(network.buses[static_cast<std::size_t>(ours.bus)].number, gen["bus"].get<std::int64_t>());
    EXPECT_EQ(ours.source.row, gen["k"].get<std::int64_t>());
    EXPECT_EQ(ours.source.id, gen["id"].get<std::string>());
    EXPECT_EQ(ours.in_service, gen["status"].get<int>() == 1);
    EXPECT_EQ(ours.pmin_mw, gen["pmin_mw"].get<double>());
    EXPECT_EQ(ours.pmax_mw, gen["pmax_mw"].get<double>());
    EXPECT_EQ(ours.cost.c2, gen["c2"].get<double>());
    EXPECT_EQ(ours.cost.c1, gen["c1"].get<double>());
    EXPECT_EQ(ours.cost.c0, gen["c0"].get<double>());
  }
}

TEST_P(RawSample, BranchesAreMatpowersConversion) {
  const Network network = read_sample(GetParam());
  const nlohmann::json reference = load_json(kCases + "/" + GetParam() + ".json");
  for (std::size_t k = 0; k < network.branches.size(); ++k) {
    const auto& branch = reference["branch"][k];
    const Branch& ours = network.branches[k];
    SCOPED_TRACE("branch " + std::to_string(k + 1));
    EXPECT_EQ(network.buses[static_cast<std::size_t>(ours.from)].number, branch["from"].get<std::int64_t>());
    EXPECT_EQ(network.buses[static_cast<std::size_t>(ours.to)].number, branch["to"].get<std::int64_t>());
    EXPECT_EQ(ours.source.id, branch["ckt"].get<std::string>());
    EXPECT_EQ(ours.in_service, branch["status"].get<int>() == 1);
    EXPECT_NEAR(ours.x_pu, branch["x_pu"].get<double>(), 1e-15);
    // MATPOWER writes a ratio of 1 as 0.
    const double tap = branch["tap"].get<double>();
    EXPECT_NEAR(ours.tap, tap == 0.0 ? 1.0 : tap, 1e-15);
    EXPECT_EQ(ours.shift_deg, branch["shift_deg"].get<double>());
    const double rate = branch["rate_a_mva"].get<double>();
    EXPECT_EQ(ours.flow_max_mw, rate == 0.0 ? kUnlimited : rate);
    EXPECT_EQ(ours.flow_min_mw, rate == 0.0 ? -kUnlimited : -rate);
    // RAW branches carry no angle-difference limits.
    EXPECT_EQ(ours.angle_min_deg, -kUnlimited);
    EXPECT_EQ(ours.angle_max_deg, kUnlimited);
  }
}

// The reference solution's flows follow from its angles through our
// branches, flow = (θf − θt − shift)/(x·tap)·base, and with its outputs and
// our loads every bus balances: an independent check of the reactances,
// ratios, shifts, loads and shunts we derive.
TEST_P(RawSample, ReferenceSolutionHoldsOnOurNetwork) {
  const Network network = read_sample(GetParam());
  const nlohmann::json reference = load_json(kCases + "/" + GetParam() + ".json");
  std::map<std::int64_t, double> angle_deg;
  for (const auto& bus : reference["bus"]) angle_deg[bus["bus"].get<std::int64_t>()] = bus["va_deg"].get<double>();
  std::vector<double> injection(network.buses.size(), 0.0);  // MW leaving each bus through branches
  for (std::size_t k = 0; k < network.branches.size(); ++k) {
    const Branch& branch = network.branches[k];
    const double flow = reference["branch"][k]["flow_mw"].get<double>();
    SCOPED_TRACE("branch " + std::to_string(k + 1));
    if (!branch.in_service) {
      EXPECT_EQ(flow, 0.0);
      continue;
    }
    const double theta_f = angle_deg.at(network.buses[static_cast<std::size_t>(branch.from)].number);
    const double theta_t = angle_deg.at(network.buses[static_cast<std::size_t>(branch.to)].number);
    const double expected =
        (theta_f - theta_t - branch.shift_deg) * std::numbers::pi / 180.0 / (branch.x_pu * branch.tap) * network.base_mva;
    EXPECT_NEAR(flow, expected, 1e-6);
    injection[static_cast<std::size_t>(branch.from)] += flow;
    injection[static_cast<std::size_t>(branch.to)] -= flow;
  }
  std::vector<double> generation(network.buses.size(), 0.0);
  for (std::size_t g = 0; g < network.generators.size(); ++g)
    generation[static_cast<std::size_t>(network.generators[g].bus)] += reference["gen"][g]["pg_mw"].get<double>();
  for (std::size_t b = 0; b < network.buses.size(); ++b) {
    const Bus& bus = network.buses[b];
    if (!bus.in_service) continue;
    SCOPED_TRACE("bus " + std::to_string(bus.number));
    EXPECT_NEAR(generation[b] - bus.load_mw - bus.shunt_mw, injection[b], 1e-6);
  }
}

INSTANTIATE_TEST_SUITE_P(Public, RawSample, testing::Values("pm_three_winding_test", "gc_ieee14_v34"));

TEST(RawSampleNotes, SkippedSectionsAndStarBusesAreNoted) {
  const Network v33 = read_sample("pm_three_winding_test");
  EXPECT_EQ(v33.title,
            "A Frankenstein network for testing three-winding transformers / developed by Carleton Coffrin "
            "(cjc@lanl.gov) & David Fobes (dfobes@lanl.gov) April 2018");
  ASSERT_EQ(v33.notes.size(), 1u);
  EXPECT_EQ(v33.notes[0],
            "three-winding transformers: star buses 10001 to 10005 added, one per transformer in file order, each "
            "joined to its three winding buses");

  const Network v34 = read_sample("gc_ieee14_v34");
  const std::vector<std::string> expected = {
      "system-wide data: 17 records skipped (solution settings and rating names)",
      "area data: 1 record skipped (not used by the DC dispatch)",
      "zone data: 1 record skipped (not used by the DC dispatch)",
      "owner data: 1 record skipped (not used by the DC dispatch)",
  };
  EXPECT_EQ(v34.notes, expected);
}

}  // namespace
}  // namespace corvo::network
