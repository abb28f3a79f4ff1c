// Small DC dispatch problems written by hand for the tests of
// solve_dc_opf, in per unit (costs in $/h per unit of power).
#pragma once

#include <cstdint>
#include <limits>

#include "robust/dc_opf.hpp"

namespace dc_test {

using corvo::robust::DcOpf;
using corvo::robust::kNoBus;

inline constexpr double kInf = std::numeric_limits<double>::infinity();

// `buses` buses on their own nodes; `fixed` lists the fixed nodes.
inline DcOpf network(std::int32_t buses, std::initializer_list<std::int32_t> fixed) {
  DcOpf p;
  p.buses = p.nodes = buses;
  for (std::int32_t i = 0; i < buses; ++i) p.node_of_bus.push_back(i);
  p.fixed_nodes = fixed;
  p.demand.assign(static_cast<std::size_t>(buses), 0.0);
  return p;
}

inline void branch(DcOpf& p, std::int32_t from, std::int32_t to, double b, double lower = -kInf,
                   double upper = kInf) {
  p.branch_from.push_back(from);
  p.branch_to.push_back(to);
  p.susceptance.push_back(b);
  p.diff_lower.push_back(lower);
  p.diff_upper.push_back(upper);
}

inline void unit(DcOpf& p, std::int32_t to, double lower, double upper, double linear,
                 double quadratic = 0.0, std::int32_t from = kNoBus) {
  p.unit_to.push_back(to);
  p.unit_from.push_back(from);
  p.unit_lower.push_back(lower);
  p.unit_upper.push_back(upper);
  p.linear_cost.push_back(linear);
  p.quadratic_cost.push_back(quadratic);
}

}  // namespace dc_test
