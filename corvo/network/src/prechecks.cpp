#include "corvo/network/prechecks.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "corvo/network/names.hpp"

namespace corvo::network {
namespace {

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

// Power that fits between limits is compared with this slack (per unit).
constexpr double kBalanceSlack = 1e-9;

std::string mw(double per_unit, double sb) { return number_text(per_unit * sb) + " MW"; }

void limit_problems(const Network& net, const DcModel& model, std::vector<std::string>& out) {
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    const Generator& g = net.generators[k];
    if (model.generator_units[k].first < 0 || !(g.pmin_mw > g.pmax_mw)) continue;
    out.push_back(generator_name(net, static_cast<std::int32_t>(k)) + ": lower limit " + number_text(g.pmin_mw) +
                  " MW above its upper limit " + number_text(g.pmax_mw) + " MW" +
                  (net.format == SourceFormat::case_file && g.pmax_mw < 0.0
                       ? " (a case file's generator output cannot be negative)"
                       : ""));
  }
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    const DcModel::BranchPart& part = model.branch_parts[l];
    const Branch& b = net.branches[l];
    const std::string name = branch_name(net, static_cast<std::int32_t>(l));
    if (part.kind == DcModel::BranchPart::Kind::dropped) continue;
    if (b.flow_min_mw > b.flow_max_mw) {
      out.push_back(name + ": lower flow limit " + number_text(b.flow_min_mw) + " MW above its upper limit " +
                    number_text(b.flow_max_mw) + " MW");
    } else if (b.angle_min_deg > b.angle_max_deg) {
      out.push_back(name + ": lower angle limit " + number_text(b.angle_min_deg) + "° above its upper limit " +
                    number_text(b.angle_max_deg) + "°");
    } else if (part.kind == DcModel::BranchPart::Kind::branch &&
               model.problem.diff_lower[at(part.index)] > model.problem.diff_upper[at(part.index)]) {
      out.push_back(name + ": its flow limits and its angle-difference limits leave no flow that meets both");
    }
  }
}

// Union-find over problem buses.
struct Joins {
  std::vector<std::int32_t> parent;
  explicit Joins(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
  std::int32_t root(std::int32_t i) {
    while (parent[at(i)] != i) i = parent[at(i)] = parent[at(parent[at(i)])];
    return i;
  }
  void join(std::int32_t a, std::int32_t b) {
    a = root(a);
    b = root(b);
    if (a != b) parent[at(std::max(a, b))] = std::min(a, b);
  }
};

struct Part {
  double demand = 0.0;  // per unit, fixed transfers included
  double lowest = 0.0;  // Σ lower bounds of the part's generating units
  double highest = 0.0;
  bool has_unit = false;
  std::vector<std::int32_t> buses;         // network buses, in order
  std::vector<std::int32_t> fixed_lines;   // network branches with a fixed flow at its edge
};

std::string part_name(const Network& net, const Part& part, std::size_t parts) {
  if (parts == 1) return "the network";
  std::string s = part.buses.size() == 1 ? "bus " : "buses ";
  const std::size_t shown = std::min<std::size_t>(part.buses.size(), 6);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) s += ", ";
    s += std::to_string(net.buses[at(part.buses[i])].number);
  }
  if (part.buses.size() > shown) s += " and " + std::to_string(part.buses.size() - shown) + " more";
  if (!part.fixed_lines.empty()) {
    s += " (cut off by ";
    for (std::size_t i = 0; i < std::min<std::size_t>(part.fixed_lines.size(), 4); ++i)
      s += (i > 0 ? ", " : "") + branch_name(net, part.fixed_lines[i]);
    if (part.fixed_lines.size() > 4) s += " and " + std::to_string(part.fixed_lines.size() - 4) + " more";
    s += ", whose limits fix their flow)";
  }
  return s;
}

void balance_problems(const Network& net, const DcModel& model, std::vector<std::string>& out) {
  const robust::DcOpf& p = model.problem;
  const double sb = model.base_mva;
  Joins joins(at(p.buses));
  std::vector<double> demand = p.demand;
  // Buses joined by ties share a node and are one part.
  std::vector<std::int32_t> first_of_node(at(p.nodes), -1);
  for (std::int32_t i = 0; i < p.buses; ++i) {
    auto& first = first_of_node[at(p.node_of_bus[at(i)])];
    if (first < 0) first = i;
    else joins.join(first, i);
  }
  // Branches that can carry a varying flow join parts; a fixed one moves
  // its flow from one part to the other.
  std::vector<std::int32_t> fixed_branch;  // network branch indexes
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    const DcModel::BranchPart& part = model.branch_parts[l];
    if (part.kind != DcModel::BranchPart::Kind::branch) continue;
    const std::size_t k = at(part.index);
    const std::int32_t f = p.branch_from[k], t = p.branch_to[k];
    if (p.diff_lower[k] < p.diff_upper[k]) {
      joins.join(f, t);
    } else if (p.diff_lower[k] == p.diff_upper[k]) {
      const double flow = part.susceptance * (p.diff_lower[k] - part.node_shift);
      demand[at(f)] += flow;
      demand[at(t)] -= flow;
      fixed_branch.push_back(static_cast<std::int32_t>(l));
    }
  }
  for (std::size_t j = 0; j < p.unit_to.size(); ++j)
    if (p.unit_from[j] != robust::kNoBus && p.unit_lower[j] < p.unit_upper[j]) joins.join(p.unit_from[j], p.unit_to[j]);
  std::vector<std::int32_t> part_of(at(p.buses), -1);
  std::vector<Part> parts;
  for (std::size_t i = 0; i < net.buses.size(); ++i) {
    const std::int32_t b = model.bus_of[i];
    if (b < 0) continue;
    const std::int32_t r = joins.root(b);
    if (part_of[at(r)] < 0) {
      part_of[at(r)] = static_cast<std::int32_t>(parts.size());
      parts.emplace_back();
    }
    Part& part = parts[at(part_of[at(r)])];
    part.buses.push_back(static_cast<std::int32_t>(i));
    part.demand += demand[at(b)];
  }
  auto part_at = [&](std::int32_t bus) -> Part& { return parts[at(part_of[at(joins.root(bus))])]; };
  for (std::size_t j = 0; j < p.unit_to.size(); ++j) {
    if (p.unit_from[j] != robust::kNoBus) {
      if (p.unit_lower[j] == p.unit_upper[j]) {  // a tie of fixed flow
        part_at(p.unit_from[j]).demand += p.unit_lower[j];
        part_at(p.unit_to[j]).demand -= p.unit_lower[j];
      }
      continue;
    }
    Part& part = part_at(p.unit_to[j]);
    part.has_unit = true;
    part.lowest += p.unit_lower[j];
    part.highest += p.unit_upper[j];
  }
  for (std::int32_t l : fixed_branch) {
    const Branch& br = net.branches[at(l)];
    part_at(model.bus_of[at(br.from)]).fixed_lines.push_back(l);
    Part& to = part_at(model.bus_of[at(br.to)]);
    if (&to != &part_at(model.bus_of[at(br.from)])) to.fixed_lines.push_back(l);
  }
  // Fixed outputs under piecewise costs already left the demand.
  for (std::size_t k = 0; k < net.generators.size(); ++k)
    if (model.generator_units[k].first >= 0 && model.generator_units[k].count == 0)
      part_at(model.bus_of[at(net.generators[k].bus)]).has_unit = true;
  for (const Part& part : parts) {
    const double slack = kBalanceSlack * std::max(1.0, std::fabs(part.demand));
    const std::string name = part_name(net, part, parts.size());
    if (!part.has_unit && std::fabs(part.demand) > slack) {
      out.push_back(name + ": load of " + mw(part.demand, sb) + " but no generator");
    } else if (part.demand > part.highest + slack) {
      out.push_back(name + ": load of " + mw(part.demand, sb) + " above the generation capacity of " +
                    mw(part.highest, sb));
    } else if (part.demand < part.lowest - slack) {
      out.push_back(name + ": minimum generation of " + mw(part.lowest, sb) + " above the load of " +
                    mw(part.demand, sb));
    }
  }
}

}  // namespace

std::vector<std::string> precheck(const Network& net, const DcModel& model) {
  std::vector<std::string> out = model.conflicts;
  limit_problems(net, model, out);
  balance_problems(net, model, out);
  return out;
}

}  // namespace corvo::network
