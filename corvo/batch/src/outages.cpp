#include "corvo/batch/outages.hpp"

#include <algorithm>

#include "corvo/batch/element_refs.hpp"

namespace corvo::batch {
namespace {

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

bool counts(const network::Network& net, const network::Branch& b) {
  return b.in_service && net.buses[at(b.from)].in_service && net.buses[at(b.to)].in_service && b.from != b.to;
}

}  // namespace

// Bridges by Tarjan's low-link numbers, with an explicit stack (a radial
// feeder of many thousand buses would overflow the call stack). An edge is
// skipped only as the very edge the search came in by, so a parallel
// branch counts as a second path.
std::vector<bool> islanding_branches(const network::Network& net) {
  const std::size_t n = net.buses.size();
  std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> adjacent(n);  // (neighbour, branch)
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    const network::Branch& b = net.branches[l];
    if (!counts(net, b)) continue;
    adjacent[at(b.from)].push_back({b.to, static_cast<std::int32_t>(l)});
    adjacent[at(b.to)].push_back({b.from, static_cast<std::int32_t>(l)});
  }
  std::vector<bool> bridge(net.branches.size(), false);
  std::vector<std::int32_t> order(n, -1), low(n, 0);
  std::int32_t counter = 0;
  struct Frame {
    std::int32_t bus;
    std::int32_t via;  // the branch the search came in by, -1 at a root
    std::size_t next;  // next adjacency entry to look at
  };
  std::vector<Frame> stack;
  for (std::size_t root = 0; root < n; ++root) {
    if (order[root] >= 0 || !net.buses[root].in_service) continue;
    order[root] = low[root] = counter++;
    stack.push_back({static_cast<std::int32_t>(root), -1, 0});
    while (!stack.empty()) {
      Frame& f = stack.back();
      const auto& edges = adjacent[at(f.bus)];
      if (f.next < edges.size()) {
        const auto [other, branch] = edges[f.next++];
        if (branch == f.via) continue;
        if (order[at(other)] < 0) {
          order[at(other)] = low[at(other)] = counter++;
          stack.push_back({other, branch, 0});
        } else {
          low[at(f.bus)] = std::min(low[at(f.bus)], order[at(other)]);
        }
        continue;
      }
      const Frame done = f;
      stack.pop_back();
      if (stack.empty()) break;
      const std::int32_t parent = stack.back().bus;
      low[at(parent)] = std::min(low[at(parent)], low[at(done.bus)]);
      if (low[at(done.bus)] > order[at(parent)]) bridge[at(done.via)] = true;
    }
  }
  return bridge;
}

OutageList single_branch_outages(const network::Network& net) {
  OutageList list;
  const std::vector<bool> bridge = islanding_branches(net);
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    const auto branch = static_cast<std::int32_t>(l);
    if (!counts(net, net.branches[l])) continue;
    if (bridge[l]) {
      list.islanding.push_back(branch);
      continue;
    }
    Scenario s;
    s.name = "out:" + branch_ref(net, branch);
    s.changes.push_back({ChangeKind::branch_status, branch, 0.0});
    list.scenarios.push_back(std::move(s));
  }
  return list;
}

}  // namespace corvo::batch
