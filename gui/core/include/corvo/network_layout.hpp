// Positions of the buses of a network for its picture, laid out by
// Graphviz's force-directed engines through their library.
//
// A layout depends only on the network's shape (the number of buses and
// which buses each line joins), so the editor computes it once per network
// and keeps it while the case is solved again and again.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvo {

// The shape that a layout depends on: bus count and the end buses of every
// line, numbered from 1 as in the case.
struct NetworkShape {
  std::int32_t buses = 0;
  std::vector<std::int32_t> from;
  std::vector<std::int32_t> to;

  friend bool operator==(const NetworkShape&, const NetworkShape&) = default;
};

struct Point {
  double x = 0.0;
  double y = 0.0;
};

struct NetworkLayout {
  std::string engine;                // "neato" or "sfdp"
  std::vector<Point> bus_positions;  // entry i for bus i + 1, in points, y up
  double width = 0.0;                // bounding box, in points, from (0, 0)
  double height = 0.0;
};

// A layout Graphviz could not make.
class LayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Networks up to this many buses are laid out by neato (stress
// majorisation, the most even drawing, cost growing with the square of
// the bus count); larger ones by sfdp (multilevel, near-linear).
inline constexpr std::int32_t kNeatoLimit = 400;

// Lays the network out. Deterministic: the same shape gives the same
// positions on every run. Lines whose ends are not buses of the network are
// left out of the layout. Thread-safe (Graphviz itself is not: calls are
// made one at a time).
NetworkLayout layout_network(const NetworkShape& shape);

}  // namespace corvo
