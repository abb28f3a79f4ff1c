#include "case_to_dc_opf.hpp"

#include <numeric>
#include <vector>

namespace corvo::robust::testing {
namespace {

std::size_t at(std::int32_t one_based) { return static_cast<std::size_t>(one_based - 1); }

// The root of bus i's island (union-find with path halving).
std::int32_t root(std::vector<std::int32_t>& parent, std::int32_t i) {
  while (parent[static_cast<std::size_t>(i)] != i) {
    auto& p = parent[static_cast<std::size_t>(i)];
    p = parent[static_cast<std::size_t>(p)];
    i = p;
  }
  return i;
}

}  // namespace

DcOpf dc_opf_from_case(const dispatch::CaseData& d) {
  DcOpf p;
  p.buses = p.nodes = d.n;
  p.node_of_bus.resize(static_cast<std::size_t>(d.n));
  std::iota(p.node_of_bus.begin(), p.node_of_bus.end(), 0);
  p.demand = d.load;

  std::vector<std::int32_t> parent(static_cast<std::size_t>(d.n));
  std::iota(parent.begin(), parent.end(), 0);
  for (std::int32_t l = 1; l <= d.nl; ++l) {
    const std::int32_t from = d.se[at(l)] - 1, to = d.re[at(l)] - 1;
    const double x = d.x[at(l)];
    p.branch_from.push_back(from);
    p.branch_to.push_back(to);
    p.susceptance.push_back(1.0 / x);
    // A negative reactance (series compensation) turns the flow limits
    // around: flow = (θf − θt)/x.
    const double a = d.line_lower[at(l)] * x, b = d.line_upper[at(l)] * x;
    p.diff_lower.push_back(x > 0.0 ? a : b);
    p.diff_upper.push_back(x > 0.0 ? b : a);
    parent[static_cast<std::size_t>(root(parent, from))] = root(parent, to);
  }
  // The reference bus fixes its island first; every other island its lowest bus.
  std::vector<char> island_fixed(static_cast<std::size_t>(d.n), 0);
  if (d.nref >= 1) {
    island_fixed[static_cast<std::size_t>(root(parent, d.nref - 1))] = 1;
    p.fixed_nodes.push_back(d.nref - 1);
  }
  for (std::int32_t i = 0; i < d.n; ++i) {
    char& fixed = island_fixed[static_cast<std::size_t>(root(parent, i))];
    if (!fixed) {
      fixed = 1;
      p.fixed_nodes.push_back(i);
    }
  }

  for (std::int32_t i = 1; i <= d.n; ++i) {
    const std::int32_t g = d.bus_generator[at(i)];
    if (g == 0) continue;
    const bool withdraws = d.bus_type[at(i)] == dispatch::kNegativeGenerationBus;
    p.unit_to.push_back(i - 1);
    p.unit_from.push_back(kNoBus);
    p.unit_lower.push_back(withdraws ? -d.gen_upper[at(g)] : d.gen_lower[at(g)]);
    p.unit_upper.push_back(withdraws ? -d.gen_lower[at(g)] : d.gen_upper[at(g)]);
    p.linear_cost.push_back(withdraws ? -d.linear_cost[at(g)] : d.linear_cost[at(g)]);
    p.quadratic_cost.push_back(d.quadratic_cost[at(g)]);
  }
  return p;
}

}  // namespace corvo::robust::testing
