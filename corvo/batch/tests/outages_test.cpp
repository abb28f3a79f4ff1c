// N-1 outages: which branches island part of the network (bridges of its
// graph), on small networks drawn in the comments.
#include <gtest/gtest.h>

#include <algorithm>

#include "corvo/app/case_input.hpp"
#include "corvo/batch/outages.hpp"

namespace {

namespace network = corvo::network;

struct Edge {
  int from, to;  // bus indexes
  bool in_service = true;
};

network::Network graph(int buses, const std::vector<Edge>& edges) {
  network::Network net;
  net.format = network::SourceFormat::matpower;
  for (int i = 0; i < buses; ++i) {
    network::Bus b;
    b.number = 10 * (i + 1);
    net.buses.push_back(b);
  }
  for (std::size_t k = 0; k < edges.size(); ++k) {
    network::Branch br;
    br.from = edges[k].from;
    br.to = edges[k].to;
    br.x_pu = 0.1;
    br.in_service = edges[k].in_service;
    br.source.row = static_cast<std::int64_t>(k + 1);
    net.branches.push_back(br);
  }
  return net;
}

std::vector<bool> bridges(const network::Network& net) { return corvo::batch::islanding_branches(net); }

TEST(Outages, BridgesOfSmallNetworks) {
  struct Case {
    const char* picture;
    int buses;
    std::vector<Edge> edges;
    std::vector<bool> islanding;
  };
  const Case table[] = {
      // 0-1-2 in a loop: no branch islands.
      {"loop", 3, {{0, 1}, {1, 2}, {2, 0}}, {false, false, false}},
      // 0-1-2 loop, 3 hangs from 2, 4 from 3: the two radial branches.
      {"loop with a feeder", 5, {{0, 1}, {1, 2}, {2, 0}, {2, 3}, {3, 4}}, {false, false, false, true, true}},
      // Two parallel branches 0=1 do not island; 1-2 alone does.
      {"parallel pair", 3, {{0, 1}, {0, 1}, {1, 2}}, {false, false, true}},
      // A loop whose third branch is out of service: the other two are
      // radial now, and the branch out of service is not an outage.
      {"loop opened", 3, {{0, 1}, {1, 2}, {2, 0, false}}, {true, true, false}},
      // Two loops joined by one branch (2-3): that one.
      {"two loops", 6, {{0, 1}, {1, 2}, {2, 0}, {2, 3}, {3, 4}, {4, 5}, {5, 3}},
       {false, false, false, true, false, false, false}},
      // Two islands already; within each, a loop and a radial branch.
      {"two islands", 5, {{0, 1}, {1, 2}, {2, 0}, {3, 4}}, {false, false, false, true}},
  };
  for (const Case& c : table) EXPECT_EQ(bridges(graph(c.buses, c.edges)), c.islanding) << c.picture;
}

// A bus out of service takes its branches out of the graph: with bus 0
// out, the loop 0-1-2 is open and 1-2 radial too.
TEST(Outages, BusOutOfService) {
  network::Network net = graph(4, {{0, 1}, {1, 2}, {2, 0}, {2, 3}});
  EXPECT_EQ(bridges(net), (std::vector<bool>{false, false, false, true}));
  net.buses[0].in_service = false;
  EXPECT_EQ(bridges(net), (std::vector<bool>{false, true, false, true}));
}

// A feeder of 100 000 buses: the search does not recurse.
TEST(Outages, LongFeeder) {
  std::vector<Edge> edges;
  for (int i = 0; i + 1 < 100000; ++i) edges.push_back({i, i + 1});
  const std::vector<bool> b = bridges(graph(100000, edges));
  EXPECT_EQ(std::count(b.begin(), b.end(), true), 99999);
}

// The scenarios: one per branch that may go out, named after it, each
// taking exactly that branch out.
TEST(Outages, ScenariosNameTheirBranch) {
  const auto input = corvo::app::load_case_input(std::string(CORVO_CASES_DIR) + "/matpower/case9.m");
  const corvo::batch::OutageList list = corvo::batch::single_branch_outages(input.network);
  // case9: a loop of six branches through buses 4..9, and three
  // generator step-up branches (1-4, 3-6, 8-2), which island their
  // generator bus.
  ASSERT_EQ(list.scenarios.size(), 6u);
  ASSERT_EQ(list.islanding.size(), 3u);
  for (const auto& s : list.scenarios) {
    ASSERT_EQ(s.changes.size(), 1u);
    const auto& c = s.changes[0];
    EXPECT_EQ(c.kind, corvo::batch::ChangeKind::branch_status);
    EXPECT_EQ(c.value, 0.0);
    EXPECT_EQ(s.name, "out:" + std::to_string(input.network.branches[static_cast<std::size_t>(c.element)].source.row));
  }
  for (std::int32_t l : list.islanding) {
    const auto& b = input.network.branches[static_cast<std::size_t>(l)];
    const auto f = input.network.buses[static_cast<std::size_t>(b.from)].number;
    const auto t = input.network.buses[static_cast<std::size_t>(b.to)].number;
    EXPECT_TRUE(f <= 3 || t <= 3) << f << "-" << t;
  }
}

}  // namespace
