// The colours of the network picture.
#include "corvo/colour_scale.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using corvo::PriceRange;
using corvo::Rgb;

TEST(ColourScale, RangeSkipsValuesThatAreNotFinite) {
  const std::vector<double> prices{12.0, std::nan(""), 30.5, -4.0};
  const PriceRange range = corvo::price_range(prices);
  EXPECT_EQ(range.low, -4.0);
  EXPECT_EQ(range.high, 30.5);
  EXPECT_EQ(corvo::price_range(std::vector<double>{}).high, 0.0);
}

TEST(ColourScale, Positions) {
  const PriceRange range{10.0, 30.0};
  EXPECT_EQ(corvo::scale_position(range, 10.0), 0.0);
  EXPECT_EQ(corvo::scale_position(range, 25.0), 0.75);
  EXPECT_EQ(corvo::scale_position(range, 40.0), 1.0);
  EXPECT_EQ(corvo::scale_position(range, 0.0), 0.0);
  // One price for the whole network (no congestion): the middle.
  EXPECT_EQ(corvo::scale_position({20.0, 20.0}, 20.0), 0.5);
}

// The ends and the middle of the published viridis map: #440154, #21918C,
// #FDE725.
TEST(ColourScale, ViridisEndsAndMiddle) {
  EXPECT_EQ(corvo::scale_colour(0.0), (Rgb{0x44, 0x01, 0x54}));
  EXPECT_EQ(corvo::scale_colour(0.5), (Rgb{0x21, 0x91, 0x8C}));
  EXPECT_EQ(corvo::scale_colour(1.0), (Rgb{0xFD, 0xE7, 0x25}));
  EXPECT_EQ(corvo::price_colour({10.0, 30.0}, 30.0), (Rgb{0xFD, 0xE7, 0x25}));
}

// Dearer is lighter all along the scale, so the order of prices reads in
// grey too.
TEST(ColourScale, LightnessGrowsWithPrice) {
  double previous = -1.0;
  for (int step = 0; step <= 20; ++step) {
    const Rgb c = corvo::scale_colour(step / 20.0);
    const double lightness = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    EXPECT_GT(lightness, previous) << step;
    previous = lightness;
  }
}

struct TickCase {
  PriceRange range;
  int count;
  std::vector<double> ticks;
};

TEST(ColourScale, LegendTicks) {
  const TickCase cases[] = {
      {{10.5, 42.3}, 5, {20.0, 30.0, 40.0}},
      {{0.0, 1.0}, 6, {0.0, 0.2, 0.4, 0.6000000000000001, 0.8, 1.0}},
      {{-3.0, 3.0}, 4, {-2.0, 0.0, 2.0}},
      {{39.38, 39.38}, 5, {39.38}},
  };
  for (const TickCase& c : cases) {
    EXPECT_EQ(corvo::legend_ticks(c.range, c.count), c.ticks) << c.range.low << " " << c.range.high;
  }
}

TEST(ColourScale, LineStrokes) {
  using corvo::report::AtLimit;
  const corvo::LineStroke idle = corvo::line_stroke(0.0, AtLimit::none);
  const corvo::LineStroke half = corvo::line_stroke(50.0, AtLimit::none);
  const corvo::LineStroke full = corvo::line_stroke(100.0, AtLimit::none);
  const corvo::LineStroke binding = corvo::line_stroke(100.0, AtLimit::upper);
  const corvo::LineStroke no_limit = corvo::line_stroke(std::nan(""), AtLimit::none);
  EXPECT_LT(idle.width, half.width);
  EXPECT_LT(half.width, full.width);
  EXPECT_LT(full.width, binding.width);
  EXPECT_TRUE(binding.binding);
  EXPECT_FALSE(full.binding);
  EXPECT_EQ(binding.colour, (Rgb{215, 25, 28}));
  EXPECT_EQ(no_limit.colour, idle.colour);
  EXPECT_EQ(no_limit.width, idle.width);
  EXPECT_EQ(corvo::line_stroke(250.0, AtLimit::none).width, full.width);
  EXPECT_EQ(corvo::line_stroke(-100.0, AtLimit::lower).binding, true);
}

}  // namespace
