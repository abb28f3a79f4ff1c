// The public RAW samples solved end to end (RAW reader, costs file, the
// solve path of `corvo solve`) and compared with MATPOWER's DC optimal
// power flow of the same files in cases/raw/NAME.json: the optimal cost to
// 1e-6 relative, every output, flow and price to 1e-3 (both samples have
// quadratic costs on every generator and no binding limit, so the solution
// is unique), every element named in the source's terms.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>

#include "corvo/app/network_solve.hpp"
#include "corvo/network/raw_reader.hpp"

namespace corvo::network {
namespace {

const std::string kCases = CORVO_RAW_CASES;

class RawSolve : public testing::TestWithParam<const char*> {};

TEST_P(RawSolve, AgreesWithMatpower) {
  const std::string name = GetParam();
  RawOptions options;
  options.costs = read_generator_costs_file(kCases + "/" + name + ".costs.csv");
  const Network network = read_raw_file(kCases + "/" + name + ".raw", options);
  std::ifstream in(kCases + "/" + name + ".json");
  const nlohmann::json reference = nlohmann::json::parse(in);

  const app::NetworkSolveOutcome outcome = app::solve_network(network, {});
  ASSERT_TRUE(outcome.solved);
  const report::Results& results = outcome.results;
  EXPECT_TRUE(results.check.optimal);
  const double f = reference["f"].get<double>();
  EXPECT_NEAR(results.summary.cost_with_constant, f, 1e-6 * std::abs(f));

  // Generators by bus and machine id, with their record position.
  std::map<std::pair<std::int64_t, std::string>, const nlohmann::json*> gens;
  for (const auto& gen : reference["gen"]) gens[{gen["bus"].get<std::int64_t>(), gen["id"].get<std::string>()}] = &gen;
  ASSERT_EQ(results.generators.size(), gens.size());
  for (const report::GeneratorRow& row : results.generators) {
    SCOPED_TRACE("generator at bus " + std::to_string(row.bus) + " '" + row.id + "'");
    ASSERT_TRUE(gens.count({row.bus, row.id}));
    const nlohmann::json& gen = *gens.at({row.bus, row.id});
    EXPECT_EQ(row.generator, gen["k"].get<std::int64_t>());
    EXPECT_NEAR(row.output_mw, gen["pg_mw"].get<double>(), 1e-3);
  }

  // Branches by from bus, to bus and circuit (three-winding transformers:
  // winding bus to star bus); those out of service are dropped.
  std::map<std::tuple<std::int64_t, std::int64_t, std::string>, double> flows;
  std::size_t in_service = 0;
  for (const auto& branch : reference["branch"]) {
    if (branch["status"].get<int>() == 0) continue;
    ++in_service;
    flows[{branch["from"].get<std::int64_t>(), branch["to"].get<std::int64_t>(), branch["ckt"].get<std::string>()}] =
        branch["flow_mw"].get<double>();
  }
  ASSERT_EQ(results.lines.size(), in_service);
  for (const report::LineRow& row : results.lines) {
    SCOPED_TRACE("branch " + std::to_string(row.from) + "-" + std::to_string(row.to) + " '" + row.circuit + "'");
    ASSERT_TRUE(flows.count({row.from, row.to, row.circuit}));
    EXPECT_NEAR(row.flow_mw, flows.at({row.from, row.to, row.circuit}), 1e-3);
  }

  std::map<std::int64_t, double> lmp;
  for (const auto& bus : reference["bus"])
    if (bus["type"].get<int>() != 4) lmp[bus["bus"].get<std::int64_t>()] = bus["lmp"].get<double>();
  ASSERT_EQ(results.buses.size(), lmp.size());
  for (const report::BusRow& row : results.buses) {
    ASSERT_TRUE(lmp.count(row.bus)) << row.bus;
    EXPECT_NEAR(row.lmp, lmp.at(row.bus), 1e-3) << "bus " << row.bus;
  }
}

INSTANTIATE_TEST_SUITE_P(Public, RawSolve, testing::Values("pm_three_winding_test", "gc_ieee14_v34"));

}  // namespace
}  // namespace corvo::network
