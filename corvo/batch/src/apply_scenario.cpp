#include "corvo/batch/apply_scenario.hpp"

#include <vector>

namespace corvo::batch {
namespace {

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

void set_generator(network::Generator& g, ChangeKind kind, double value) {
  switch (kind) {
    case ChangeKind::gen_max: (g.withdraws ? g.pmin_mw : g.pmax_mw) = g.withdraws ? -value : value; break;
    case ChangeKind::gen_min: (g.withdraws ? g.pmax_mw : g.pmin_mw) = g.withdraws ? -value : value; break;
    case ChangeKind::gen_cost: g.cost.c1 = g.withdraws ? -value : value; break;
    case ChangeKind::gen_status: g.in_service = value != 0.0; break;
    default: break;
  }
}

void set_branch(network::Branch& b, ChangeKind kind, double value) {
  if (kind == ChangeKind::branch_status) b.in_service = value != 0.0;
  if (kind == ChangeKind::rate) {
    b.flow_min_mw = -value;
    b.flow_max_mw = value;
  }
}

}  // namespace

network::Network scenario_network(const network::Network& base, const Scenario& scenario) {
  network::Network net = base;
  std::vector<bool> load_given(net.buses.size(), false);
  for (const Change& c : scenario.changes) {
    if (c.kind == ChangeKind::load) {
      net.buses[at(c.element)].load_mw = c.value;
      load_given[at(c.element)] = true;
    } else if (c.kind == ChangeKind::branch_status || c.kind == ChangeKind::rate) {
      set_branch(net.branches[at(c.element)], c.kind, c.value);
    } else {
      set_generator(net.generators[at(c.element)], c.kind, c.value);
    }
  }
  if (scenario.load_scale) {
    for (std::size_t i = 0; i < net.buses.size(); ++i)
      if (!load_given[i]) net.buses[i].load_mw = net.buses[i].load_mw * *scenario.load_scale;
  }
  return net;
}

}  // namespace corvo::batch
