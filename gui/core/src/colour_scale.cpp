#include "corvo/colour_scale.hpp"

#include <algorithm>
#include <cmath>

namespace corvo {

namespace {

// Eleven samples of the viridis colour map, evenly spaced from 0 to 1.
constexpr Rgb kViridis[] = {
    {68, 1, 84},    {72, 36, 117},  {65, 68, 135},   {53, 95, 141},  {42, 120, 142}, {33, 145, 140},
    {34, 168, 132}, {68, 191, 112}, {122, 209, 81},  {189, 223, 38}, {253, 231, 37},
};
constexpr int kSamples = static_cast<int>(std::size(kViridis));

std::uint8_t mix(std::uint8_t a, std::uint8_t b, double t) {
  return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

Rgb mix(const Rgb& a, const Rgb& b, double t) {
  return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}

}  // namespace

PriceRange price_range(std::span<const double> prices) {
  PriceRange range;
  bool any = false;
  for (const double price : prices) {
    if (!std::isfinite(price)) continue;
    if (!any) {
      range = {price, price};
      any = true;
    }
    range.low = std::min(range.low, price);
    range.high = std::max(range.high, price);
  }
  return range;
}

double scale_position(const PriceRange& range, double price) {
  if (!std::isfinite(price) || !(range.high > range.low)) return 0.5;
  return std::clamp((price - range.low) / (range.high - range.low), 0.0, 1.0);
}

Rgb scale_colour(double position) {
  const double scaled = std::clamp(position, 0.0, 1.0) * (kSamples - 1);
  const int below = std::min(static_cast<int>(scaled), kSamples - 2);
  return mix(kViridis[below], kViridis[below + 1], scaled - below);
}

Rgb price_colour(const PriceRange& range, double price) {
  return scale_colour(scale_position(range, price));
}

std::vector<double> legend_ticks(const PriceRange& range, int count) {
  if (!(range.high > range.low) || count < 2) return {range.low};
  const double rough = (range.high - range.low) / (count - 1);
  const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
  double step = magnitude;
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * magnitude;
    if (step >= rough) break;
  }
  std::vector<double> ticks;
  // Whole multiples of the step, computed from their index so that the
  // ticks carry no sum of rounding errors.
  const auto first = static_cast<long long>(std::ceil(range.low / step - 1e-9));
  const auto last = static_cast<long long>(std::floor(range.high / step + 1e-9));
  for (long long k = first; k <= last; ++k) ticks.push_back(static_cast<double>(k) * step);
  return ticks;
}

LineStroke line_stroke(double loading_percent, report::AtLimit binding) {
  constexpr Rgb kIdle{190, 190, 190};
  constexpr Rgb kFull{230, 120, 20};
  constexpr Rgb kBinding{215, 25, 28};
  if (binding != report::AtLimit::none) return {5.0, kBinding, true};
  if (!std::isfinite(loading_percent)) return {1.0, kIdle, false};
  const double load = std::clamp(loading_percent / 100.0, 0.0, 1.0);
  return {1.0 + 2.5 * load, mix(kIdle, kFull, load), false};
}

}  // namespace corvo
