// The colours and strokes of the network picture: buses coloured by their
// nodal price on one scale for the whole network, lines drawn by how much
// of their limit they carry.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "corvo/report/results.hpp"

namespace corvo {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The prices the colour scale spans, in $/MWh.
struct PriceRange {
  double low = 0.0;
  double high = 0.0;
};

// The least and the greatest finite price (0 to 0 when there is none).
PriceRange price_range(std::span<const double> prices);

// Where `price` lies on the scale, from 0 (low) to 1 (high); prices beyond
// the range are held at its ends, and a range of one price puts every
// price in the middle.
double scale_position(const PriceRange& range, double price);

// The colour at a position of the scale: viridis (dark blue-violet for the
// cheapest energy, through teal and green, to yellow for the dearest),
// which stays readable to colour-blind readers and in grey.
Rgb scale_colour(double position);

Rgb price_colour(const PriceRange& range, double price);

// Round values for the legend: from the first multiple of a 1, 2 or 5
// step at or above `low` to the last at or below `high`, about `count` of
// them; the price itself when the range holds a single price.
std::vector<double> legend_ticks(const PriceRange& range, int count);

// How a line is drawn.
struct LineStroke {
  double width = 1.0;  // in pixels at zoom 1
  Rgb colour;
  bool binding = false;
};

// Grey and thin for an idle line, thicker and warmer up to a full one;
// a line at one of its limits in red and thickest of all. A loading that
// is not finite (a zero limit) is drawn as an idle line.
LineStroke line_stroke(double loading_percent, report::AtLimit binding);

}  // namespace corvo
