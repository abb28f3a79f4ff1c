#include "dispatch/network_lists.hpp"

#include <cstddef>
#include <vector>

namespace dispatch {

namespace {

// The lines that reach each bus, in increasing line order (a counting
// sort): lines_of[start[i - 1] .. start[i] - 1] are bus i's, 0-based. A
// line from a bus to itself is listed once; a line end outside 1..n is
// not listed.
void lines_by_bus(std::int32_t n, std::span<const std::int32_t> se, std::span<const std::int32_t> re,
                  std::vector<std::size_t>& start, std::vector<std::int32_t>& lines_of) {
  const auto buses = static_cast<std::size_t>(n);
  auto in_range = [n](std::int32_t bus) { return bus >= 1 && bus <= n; };
  start.assign(buses + 1, 0);
  for (std::size_t l = 0; l < se.size(); ++l) {
    if (in_range(se[l])) ++start[static_cast<std::size_t>(se[l])];
    if (in_range(re[l]) && re[l] != se[l]) ++start[static_cast<std::size_t>(re[l])];
  }
  for (std::size_t i = 1; i <= buses; ++i) start[i] += start[i - 1];
  lines_of.resize(start[buses]);
  std::vector<std::size_t> next(start.begin(), start.end() - 1);
  for (std::size_t l = 0; l < se.size(); ++l) {
    if (in_range(se[l])) lines_of[next[static_cast<std::size_t>(se[l]) - 1]++] = static_cast<std::int32_t>(l);
    if (in_range(re[l]) && re[l] != se[l])
      lines_of[next[static_cast<std::size_t>(re[l]) - 1]++] = static_cast<std::int32_t>(l);
  }
}

}  // namespace

// For each bus the lines are taken in line order, and a neighbour gets a
// new adjacency entry whenever it differs from the previous line's far
// end. The lines of each bus come from lines_by_bus, so the lists cost
// O(buses + lines) rather than a scan of every line per bus.
NetworkLists build_network_lists(std::int32_t n, std::span<const std::int32_t> se,
                                 std::span<const std::int32_t> re) {
  NetworkLists lists;
  std::vector<std::size_t> start;
  std::vector<std::int32_t> lines_of;
  lines_by_bus(n, se, re, start, lines_of);
  lists.xadjcy.reserve(static_cast<std::size_t>(n) + 1);
  // k and p are the next adjacency and incidence positions (1-based).
  auto next_k = [&] { return static_cast<std::int32_t>(lists.adjcy.size()) + 1; };
  auto next_p = [&] { return static_cast<std::int32_t>(lists.incd.size()) + 1; };

  for (std::int32_t i = 1; i <= n; ++i) {
    lists.xadjcy.push_back(next_k());
    lists.xincd.push_back(next_p());
    lists.adjcy.push_back(i);

    std::int32_t last_neighbour = 0;
    const auto bus = static_cast<std::size_t>(i);
    for (std::size_t q = start[bus - 1]; q < start[bus]; ++q) {
      const auto l = static_cast<std::size_t>(lines_of[q]);
      const std::int32_t far_end = se[l] == i ? re[l] : se[l];
      if (far_end != last_neighbour) {
        lists.xincd.push_back(next_p());
        lists.adjcy.push_back(far_end);
        last_neighbour = far_end;
      }
      lists.incd.push_back(static_cast<std::int32_t>(l) + 1);
    }
  }
  lists.xadjcy.push_back(next_k());
  lists.xincd.push_back(next_p());
  return lists;
}

std::int32_t first_isolated_bus(const NetworkLists& lists, std::int32_t n) {
  for (std::int32_t i = 1; i <= n; ++i) {
    if (lists.xadjcy_at(i + 1) - 1 < lists.xadjcy_at(i) + 1) return i;
  }
  return 0;
}

}  // namespace dispatch
