// The layout of the network picture by Graphviz.
#include "corvo/network_layout.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double distance(const corvo::Point& a, const corvo::Point& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// A chain of buses 1-2-3-...-n.
corvo::NetworkShape chain(std::int32_t n) {
  corvo::NetworkShape shape;
  shape.buses = n;
  for (std::int32_t bus = 1; bus < n; ++bus) {
    shape.from.push_back(bus);
    shape.to.push_back(bus + 1);
  }
  return shape;
}

TEST(NetworkLayout, EveryBusInsideTheBox) {
  const corvo::NetworkLayout layout = corvo::layout_network(chain(12));
  EXPECT_EQ(layout.engine, "neato");
  ASSERT_EQ(layout.bus_positions.size(), 12u);
  for (const corvo::Point& p : layout.bus_positions) {
    EXPECT_GE(p.x, 0.0);
    EXPECT_GE(p.y, 0.0);
    EXPECT_LE(p.x, layout.width);
    EXPECT_LE(p.y, layout.height);
  }
}

// A force-directed drawing stretches a chain: neighbours close, its ends
// far apart.
TEST(NetworkLayout, NeighboursCloserThanTheEnds) {
  const corvo::NetworkLayout layout = corvo::layout_network(chain(8));
  const auto& p = layout.bus_positions;
  EXPECT_LT(distance(p[0], p[1]) * 3.0, distance(p[0], p[7]));
}

TEST(NetworkLayout, SameShapeSamePositions) {
  corvo::NetworkShape shape = chain(30);
  shape.from.push_back(1);
  shape.to.push_back(30);
  const corvo::NetworkLayout first = corvo::layout_network(shape);
  const corvo::NetworkLayout second = corvo::layout_network(shape);
  ASSERT_EQ(first.bus_positions.size(), second.bus_positions.size());
  for (std::size_t i = 0; i < first.bus_positions.size(); ++i) {
    EXPECT_EQ(first.bus_positions[i].x, second.bus_positions[i].x);
    EXPECT_EQ(first.bus_positions[i].y, second.bus_positions[i].y);
  }
}

TEST(NetworkLayout, LargeNetworksUseSfdpAndStrayLinesAreLeftOut) {
  corvo::NetworkShape shape = chain(corvo::kNeatoLimit + 1);
  shape.from.push_back(0);
  shape.to.push_back(5000);
  const corvo::NetworkLayout layout = corvo::layout_network(shape);
  EXPECT_EQ(layout.engine, "sfdp");
  EXPECT_EQ(layout.bus_positions.size(), static_cast<std::size_t>(corvo::kNeatoLimit + 1));
}

TEST(NetworkLayout, NoBusNoLayout) {
  EXPECT_THROW(corvo::layout_network(corvo::NetworkShape{}), corvo::LayoutError);
}

}  // namespace
