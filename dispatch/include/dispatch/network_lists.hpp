// Adjacency and incidence lists of the network graph.
//
// For bus i (numbered from 1), the adjacency positions xadjcy(i) ..
// xadjcy(i+1)-1 hold first i itself (the diagonal entry), then its
// neighbour buses in the order of the first line that reaches them. For
// adjacency position k, the lines joining the owner of k to adjcy(k) are
// incd(xincd(k)) .. incd(xincd(k+1)-1). All stored values are 1-based
// positions, bus numbers and line numbers, exactly as they are written to
// the flow data file; element j of a vector holds entry j+1.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace dispatch {

struct NetworkLists {
  std::vector<std::int32_t> xadjcy;  // n+1 entries
  std::vector<std::int32_t> adjcy;   // nadj entries
  std::vector<std::int32_t> xincd;   // nadj+1 entries
  std::vector<std::int32_t> incd;    // ninc entries

  std::int32_t nadj() const { return static_cast<std::int32_t>(adjcy.size()); }
  std::int32_t ninc() const { return static_cast<std::int32_t>(incd.size()); }

  // 1-based accessors, as the lists are described.
  std::int32_t xadjcy_at(std::int32_t i) const { return xadjcy[static_cast<std::size_t>(i) - 1]; }
  std::int32_t adjcy_at(std::int32_t k) const { return adjcy[static_cast<std::size_t>(k) - 1]; }
  std::int32_t xincd_at(std::int32_t k) const { return xincd[static_cast<std::size_t>(k) - 1]; }
  std::int32_t incd_at(std::int32_t p) const { return incd[static_cast<std::size_t>(p) - 1]; }
};

// Builds the lists of buses 1..n from the end buses of lines 1..nl.
// A new neighbour entry opens whenever a line of bus i reaches a bus other
// than the previous line's far end, so parallel lines share one entry only
// when they follow each other among the lines of that bus. A line from a
// bus to itself is recorded once.
NetworkLists build_network_lists(std::int32_t n, std::span<const std::int32_t> se,
                                 std::span<const std::int32_t> re);

// First bus (1-based) with no neighbour entry, or 0 when every bus has one.
std::int32_t first_isolated_bus(const NetworkLists& lists, std::int32_t n);

}  // namespace dispatch
