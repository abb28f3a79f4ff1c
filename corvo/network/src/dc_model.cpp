#include "corvo/network/dc_model.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "corvo/network/names.hpp"

namespace corvo::network {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
const double kNaN = std::nan("");

using robust::DcOpf;

// Union-find over buses with the angle each bus has above its root, for
// bus ties: a tie from f to t says θf − θt = shift.
class AngleGroups {
 public:
  explicit AngleGroups(std::size_t n) : parent_(n), above_root_(n, 0.0) {
    for (std::size_t i = 0; i < n; ++i) parent_[i] = static_cast<std::int32_t>(i);
  }

  std::int32_t root(std::int32_t i) {
    std::int32_t r = i;
    double above = 0.0;
    while (parent_[at(r)] != r) {
      above = above + above_root_[at(r)];
      r = parent_[at(r)];
    }
    // Point the walked chain straight at the root, keeping each angle.
    while (parent_[at(i)] != r) {
      const std::int32_t next = parent_[at(i)];
      const double next_above = above - above_root_[at(i)];
      parent_[at(i)] = r;
      above_root_[at(i)] = above;
      above = next_above;
      i = next;
    }
    return r;
  }

  double above_root(std::int32_t i) {
    root(i);
    return parent_[at(i)] == i ? 0.0 : above_root_[at(i)];
  }

  // Adds θa − θb = d; false when a and b are already joined with another d.
  bool join(std::int32_t a, std::int32_t b, double d) {
    const std::int32_t ra = root(a), rb = root(b);
    const double pa = above_root(a), pb = above_root(b);
    if (ra == rb) return std::fabs(pa - pb - d) <= 1e-9 * std::max(1.0, std::fabs(d));
    parent_[at(rb)] = ra;
    above_root_[at(rb)] = pa - pb - d;
    return true;
  }

 private:
  static std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }
  std::vector<std::int32_t> parent_;
  std::vector<double> above_root_;
};

// Plain union-find, for islands of nodes.
class Parts {
 public:
  explicit Parts(std::size_t n) : parent_(n) {
    for (std::size_t i = 0; i < n; ++i) parent_[i] = static_cast<std::int32_t>(i);
  }
  std::int32_t root(std::int32_t i) {
    while (parent_[static_cast<std::size_t>(i)] != i) {
      auto& p = parent_[static_cast<std::size_t>(i)];
      p = parent_[static_cast<std::size_t>(p)];
      i = p;
    }
    return i;
  }
  void join(std::int32_t a, std::int32_t b) {
    const std::int32_t ra = root(a), rb = root(b);
    if (ra != rb) parent_[static_cast<std::size_t>(std::max(ra, rb))] = std::min(ra, rb);
  }

 private:
  std::vector<std::int32_t> parent_;
};

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

bool is_tie(const Branch& b) { return b.x_pu == 0.0; }

void require_finite(const Network& net) {
  if (!std::isfinite(net.base_mva) || !(net.base_mva > 0.0))
    throw NetworkError(net.source + ": base power Sb = " + number_text(net.base_mva) + " MVA: Sb must be positive");
  for (std::size_t i = 0; i < net.buses.size(); ++i) {
    const Bus& b = net.buses[i];
    if (b.in_service && !(std::isfinite(b.load_mw) && std::isfinite(b.shunt_mw) && std::isfinite(b.angle_deg)))
      throw NetworkError(net.source + ": " + bus_name(net, static_cast<std::int32_t>(i)) +
                         ": a load, shunt or angle that is not finite");
  }
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    const Generator& g = net.generators[k];
    if (!g.in_service) continue;
    const CostCurve& c = g.cost;
    bool finite = std::isfinite(g.pmin_mw) && std::isfinite(g.pmax_mw) && std::isfinite(c.c2) &&
                  std::isfinite(c.c1) && std::isfinite(c.c0);
    for (const CostCurve::Point& p : c.points) finite = finite && std::isfinite(p.mw) && std::isfinite(p.cost);
    if (!finite)
      throw NetworkError(net.source + ": " + generator_name(net, static_cast<std::int32_t>(k)) +
                         ": a limit or cost that is not finite");
    // Our case file states q of ½·q·P², the others c2 of c2·P².
    const double stated = net.format == SourceFormat::case_file ? 2.0 * c.c2 : c.c2;
    if (c.model == CostCurve::Model::polynomial && c.c2 < 0.0)
      throw NetworkError(net.source + ": " + generator_name(net, static_cast<std::int32_t>(k)) +
                         ": negative quadratic cost " + number_text(stated) + " $/MW²h; the dispatch must be convex");
    if (c.model == CostCurve::Model::piecewise_linear && c.points.size() < 2)
      throw NetworkError(net.source + ": " + generator_name(net, static_cast<std::int32_t>(k)) +
                         ": a piecewise-linear cost needs at least two points");
  }
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    const Branch& b = net.branches[l];
    if (!b.in_service) continue;
    if (!(std::isfinite(b.x_pu) && std::isfinite(b.tap) && b.tap > 0.0 && std::isfinite(b.shift_deg) &&
          !std::isnan(b.flow_min_mw) && !std::isnan(b.flow_max_mw) && !std::isnan(b.angle_min_deg) &&
          !std::isnan(b.angle_max_deg)))
      throw NetworkError(net.source + ": " + branch_name(net, static_cast<std::int32_t>(l)) +
                         ": a reactance, tap ratio, shift or limit that is not a finite number");
    if (b.x_pu != 0.0 && !std::isfinite(1.0 / (b.x_pu * b.tap)))
      throw NetworkError(net.source + ": " + branch_name(net, static_cast<std::int32_t>(l)) + ": reactance " +
                         number_text(b.x_pu) + " pu is too small for its susceptance to be a finite number");
  }
}

class Builder {
 public:
  Builder(const Network& net, const DcOptions& options) : net_(net), options_(options) {}

  DcModel run() {
    require_finite(net_);
    m_.base_mva = net_.base_mva;
    m_.angle_limits_ignored = options_.ignore_angle_limits;
    choose_elements();
    join_ties();
    make_nodes_and_islands();
    add_branches();
    add_generators();
    return std::move(m_);
  }

 private:
  double sb() const { return net_.base_mva; }
  std::int32_t pbus(std::int32_t network_bus) const { return m_.bus_of[at(network_bus)]; }

  void drop(DroppedElement::Kind kind, std::size_t index, std::string reason) {
    m_.dropped.push_back({kind, static_cast<std::int32_t>(index), std::move(reason)});
  }

  void choose_elements() {
    const std::size_t n = net_.buses.size();
    m_.bus_of.assign(n, -1);
    DcOpf& p = m_.problem;
    for (std::size_t i = 0; i < n; ++i) {
      const Bus& b = net_.buses[i];
      if (!b.in_service) {
        drop(DroppedElement::Kind::bus, i, "isolated in the source (bus type 4)");
        continue;
      }
      m_.bus_of[i] = p.buses++;
      p.demand.push_back((b.load_mw + b.shunt_mw) / sb());
    }
    m_.generator_units.assign(net_.generators.size(), {});
    m_.branch_parts.assign(net_.branches.size(), {});
    active_branch_.assign(net_.branches.size(), false);
    kept_out_.assign(net_.branches.size(), false);
    for (std::size_t l = 0; l < net_.branches.size(); ++l) {
      const Branch& b = net_.branches[l];
      if (pbus(b.from) >= 0 && pbus(b.to) >= 0 && !b.in_service && options_.keep_pattern) {
        kept_out_[l] = true;
        drop(DroppedElement::Kind::branch, l, "out of service");
      } else if (!b.in_service) {
        drop(DroppedElement::Kind::branch, l, "out of service");
      } else if (pbus(b.from) < 0 || pbus(b.to) < 0) {
        const std::int32_t off = pbus(b.from) < 0 ? b.from : b.to;
        drop(DroppedElement::Kind::branch, l, "touches the isolated " + bus_name(net_, off));
      } else {
        active_branch_[l] = true;
      }
    }
  }

  void join_ties() {
    groups_ = std::make_unique<AngleGroups>(net_.buses.size());
    for (std::size_t l = 0; l < net_.branches.size(); ++l) {
      const Branch& b = net_.branches[l];
      if (!active_branch_[l] || !is_tie(b)) continue;
      if (!groups_->join(b.from, b.to, b.shift_deg * kRadiansPerDegree))
        m_.conflicts.push_back(branch_name(net_, static_cast<std::int32_t>(l)) +
                               ": bus ties (zero reactance) form a loop whose phase shifts do not add up to zero");
    }
  }

  void make_nodes_and_islands() {
    DcOpf& p = m_.problem;
    const std::size_t n = net_.buses.size();
    std::vector<std::int32_t> node_of_root(n, -1);
    p.node_of_bus.assign(at(p.buses), 0);
    for (std::size_t i = 0; i < n; ++i) {
      if (m_.bus_of[i] < 0) continue;
      const std::int32_t r = groups_->root(static_cast<std::int32_t>(i));
      if (node_of_root[at(r)] < 0) node_of_root[at(r)] = p.nodes++;
      p.node_of_bus[at(m_.bus_of[i])] = node_of_root[at(r)];
    }
    Parts islands(at(p.nodes));
    for (std::size_t l = 0; l < net_.branches.size(); ++l) {
      if (!active_branch_[l]) continue;
      const Branch& b = net_.branches[l];
      islands.join(node(b.from), node(b.to));
    }
    // The fixed node of each island: its first reference bus, else its
    // first bus; its angle above the node gives the island's offset.
    std::vector<std::int32_t> anchor_of_island(at(p.nodes), -1);
    std::vector<bool> anchored_by_reference(at(p.nodes), false);
    for (int pass = 0; pass < 2; ++pass) {
      for (std::size_t i = 0; i < n; ++i) {
        if (m_.bus_of[i] < 0) continue;
        const Bus& b = net_.buses[i];
        if (pass == 0 && !b.reference) continue;
        const std::int32_t island = islands.root(node(static_cast<std::int32_t>(i)));
        if (anchor_of_island[at(island)] >= 0) {
          if (pass == 0) extra_references_.push_back(static_cast<std::int32_t>(i));
          continue;
        }
        anchor_of_island[at(island)] = static_cast<std::int32_t>(i);
        anchored_by_reference[at(island)] = pass == 0;
      }
    }
    m_.angle_offset.assign(n, kNaN);
    m_.island_anchor.assign(n, -1);
    std::vector<double> island_offset(at(p.nodes), 0.0);
    for (std::int32_t island = 0; island < p.nodes; ++island) {
      const std::int32_t anchor = anchor_of_island[at(island)];
      if (anchor < 0) continue;
      p.fixed_nodes.push_back(node(anchor));
      const double angle = anchored_by_reference[at(island)] ? net_.buses[at(anchor)].angle_deg * kRadiansPerDegree : 0.0;
      island_offset[at(island)] = angle - groups_->above_root(anchor);
    }
    for (std::size_t i = 0; i < n; ++i) {
      if (m_.bus_of[i] < 0) continue;
      const auto bus = static_cast<std::int32_t>(i);
      const std::int32_t island = islands.root(node(bus));
      m_.angle_offset[i] = groups_->above_root(bus) + island_offset[at(island)];
      m_.island_anchor[i] = anchor_of_island[at(island)];
    }
    std::sort(p.fixed_nodes.begin(), p.fixed_nodes.end());
    fixed_anchor_of_island_ = std::move(anchor_of_island);
    islands_ = std::make_unique<Parts>(std::move(islands));
  }

  std::int32_t node(std::int32_t network_bus) const {
    return m_.problem.node_of_bus[at(pbus(network_bus))];
  }

  void add_problem_branch(std::int32_t from, std::int32_t to, double b, double lower, double upper,
                          BoundSource lower_source, BoundSource upper_source) {
    DcOpf& p = m_.problem;
    p.branch_from.push_back(pbus(from));
    p.branch_to.push_back(pbus(to));
    p.susceptance.push_back(b);
    p.diff_lower.push_back(lower);
    p.diff_upper.push_back(upper);
    m_.lower_source.push_back(lower_source);
    m_.upper_source.push_back(upper_source);
  }

  void add_branches() {
    for (std::size_t l = 0; l < net_.branches.size(); ++l) {
      if (kept_out_[l]) add_kept_out(l);
      if (!active_branch_[l]) continue;
      if (is_tie(net_.branches[l])) add_tie(l);
      else add_branch(l);
    }
    // A further reference bus of an island keeps its own angle: a fixed
    // difference from the island's fixed node, carried by a branch without
    // susceptance.
    for (std::int32_t bus : extra_references_) {
      const std::int32_t anchor = fixed_anchor_of_island_[at(islands_->root(node(bus)))];
      const double theta_node = net_.buses[at(bus)].angle_deg * kRadiansPerDegree - m_.angle_offset[at(bus)];
      if (node(bus) == node(anchor)) {
        if (std::fabs(theta_node) > 1e-9)
          m_.conflicts.push_back(bus_name(net_, bus) + " and " + bus_name(net_, anchor) +
                                 ": two reference buses joined by bus ties at different angles");
        continue;
      }
      add_problem_branch(anchor, bus, 0.0, -theta_node, -theta_node, BoundSource::none, BoundSource::none);
    }
  }

  // An out-of-service branch kept for the pattern carries nothing.
  void add_kept_out(std::size_t l) {
    const Branch& br = net_.branches[l];
    DcOpf& p = m_.problem;
    if (is_tie(br)) {
      p.unit_from.push_back(pbus(br.from));
      p.unit_to.push_back(pbus(br.to));
      p.unit_lower.push_back(0.0);
      p.unit_upper.push_back(0.0);
      p.linear_cost.push_back(0.0);
      p.quadratic_cost.push_back(0.0);
      return;
    }
    add_problem_branch(br.from, br.to, 0.0, -kUnlimited, kUnlimited, BoundSource::none, BoundSource::none);
  }

  void conflict_unless(bool holds, std::size_t l, const std::string& what) {
    if (!holds) m_.conflicts.push_back(branch_name(net_, static_cast<std::int32_t>(l)) + ": " + what);
  }

  void add_tie(std::size_t l) {
    const Branch& br = net_.branches[l];
    DcOpf& p = m_.problem;
    DcModel::BranchPart& part = m_.branch_parts[l];
    part.kind = DcModel::BranchPart::Kind::tie;
    part.index = static_cast<std::int32_t>(p.unit_to.size());
    p.unit_from.push_back(pbus(br.from));
    p.unit_to.push_back(pbus(br.to));
    p.unit_lower.push_back(br.flow_min_mw / sb());
    p.unit_upper.push_back(br.flow_max_mw / sb());
    p.linear_cost.push_back(0.0);
    p.quadratic_cost.push_back(0.0);
    if (!options_.ignore_angle_limits) {
      const double diff = br.shift_deg;
      conflict_unless(diff >= br.angle_min_deg && diff <= br.angle_max_deg, l,
                      "a bus tie whose fixed angle difference " + number_text(diff) +
                          "° lies outside its angle limits");
    }
  }

  void add_branch(std::size_t l) {
    const Branch& br = net_.branches[l];
    DcOpf& p = m_.problem;
    DcModel::BranchPart& part = m_.branch_parts[l];
    const double b = 1.0 / (br.x_pu * br.tap);
    const double offset_diff = m_.angle_offset[at(br.from)] - m_.angle_offset[at(br.to)];
    const double s = br.shift_deg * kRadiansPerDegree - offset_diff;
    part.susceptance = b;
    part.node_shift = s;
    const double amin = options_.ignore_angle_limits ? -kUnlimited : br.angle_min_deg * kRadiansPerDegree;
    const double amax = options_.ignore_angle_limits ? kUnlimited : br.angle_max_deg * kRadiansPerDegree;
    if (node(br.from) == node(br.to)) {
      // Both ends share one angle node: the flow is the shift term alone.
      part.kind = DcModel::BranchPart::Kind::constant_flow;
      part.constant_flow = -b * s;
      p.demand[at(pbus(br.from))] += part.constant_flow;
      p.demand[at(pbus(br.to))] -= part.constant_flow;
      const double mw = part.constant_flow * sb();
      conflict_unless(mw >= br.flow_min_mw && mw <= br.flow_max_mw, l,
                      "its buses share one angle through bus ties, so it carries a constant " + number_text(mw) +
                          " MW, outside its flow limits");
      conflict_unless(offset_diff >= amin && offset_diff <= amax, l,
                      "its buses share one angle through bus ties at an angle difference outside its angle limits");
      return;
    }
    part.kind = DcModel::BranchPart::Kind::branch;
    part.index = static_cast<std::int32_t>(p.branch_from.size());
    // flow = b·(θnode(f) − θnode(t) − s): the constant −b·s leaves the from
    // bus and enters the to bus.
    p.demand[at(pbus(br.from))] -= b * s;
    p.demand[at(pbus(br.to))] += b * s;
    // Flow limits as limits of the node angle difference (a negative
    // susceptance turns them round).
    double lower = br.flow_min_mw / (sb() * b) + s, upper = br.flow_max_mw / (sb() * b) + s;
    BoundSource lower_source = BoundSource::flow_min, upper_source = BoundSource::flow_max;
    if (b < 0.0) {
      std::swap(lower, upper);
      std::swap(lower_source, upper_source);
    }
    if (std::isinf(lower)) lower_source = BoundSource::none;
    if (std::isinf(upper)) upper_source = BoundSource::none;
    const double angle_lower = amin - offset_diff, angle_upper = amax - offset_diff;
    if (angle_lower > lower) {
      lower = angle_lower;
      lower_source = BoundSource::angle_min;
    }
    if (angle_upper < upper) {
      upper = angle_upper;
      upper_source = BoundSource::angle_max;
    }
    add_problem_branch(br.from, br.to, b, lower, upper, lower_source, upper_source);
  }

  void add_unit(std::int32_t bus, double lower, double upper, double linear, double quadratic) {
    DcOpf& p = m_.problem;
    p.unit_to.push_back(pbus(bus));
    p.unit_from.push_back(robust::kNoBus);
    p.unit_lower.push_back(lower);
    p.unit_upper.push_back(upper);
    p.linear_cost.push_back(linear);
    p.quadratic_cost.push_back(quadratic);
  }

  void add_generators() {
    for (std::size_t k = 0; k < net_.generators.size(); ++k) {
      const Generator& g = net_.generators[k];
      if (!g.in_service && options_.keep_pattern && pbus(g.bus) >= 0) {
        drop(DroppedElement::Kind::generator, k, "out of service");
        const std::size_t units = g.cost.model == CostCurve::Model::polynomial ? 1 : g.cost.points.size() - 1;
        for (std::size_t j = 0; j < units; ++j) add_unit(g.bus, 0.0, 0.0, 0.0, 0.0);
        continue;
      }
      if (!g.in_service) {
        drop(DroppedElement::Kind::generator, k, "out of service");
        continue;
      }
      if (pbus(g.bus) < 0) {
        drop(DroppedElement::Kind::generator, k, "at the isolated " + bus_name(net_, g.bus));
        continue;
      }
      DcModel::GeneratorUnits& u = m_.generator_units[k];
      u.first = static_cast<std::int32_t>(m_.problem.unit_to.size());
      if (g.cost.model == CostCurve::Model::polynomial) {
        add_unit(g.bus, g.pmin_mw / sb(), g.pmax_mw / sb(), g.cost.c1 * sb(), 2.0 * g.cost.c2 * sb() * sb());
        u.count = 1;
      } else {
        add_segments(g, u);
      }
    }
  }

  // The segments of a convex piecewise-linear cost between Pmin and Pmax,
  // above the fixed output Pmin; the end segments continue beyond the
  // first and last breakpoint.
  void add_segments(const Generator& g, DcModel::GeneratorUnits& u) {
    const auto& pts = g.cost.points;
    u.fixed_output = g.pmin_mw / sb();
    m_.problem.demand[at(pbus(g.bus))] -= u.fixed_output;
    for (std::size_t k = 0; k + 1 < pts.size(); ++k) {
      const double slope = (pts[k + 1].cost - pts[k].cost) / (pts[k + 1].mw - pts[k].mw);
      const double from = k == 0 ? g.pmin_mw : std::max(pts[k].mw, g.pmin_mw);
      const double to = k + 2 == pts.size() ? g.pmax_mw : std::min(pts[k + 1].mw, g.pmax_mw);
      if (!(to > from) && !options_.keep_pattern) continue;
      add_unit(g.bus, 0.0, std::max(to - from, 0.0) / sb(), slope * sb(), 0.0);
      ++u.count;
    }
  }

  const Network& net_;
  const DcOptions& options_;
  DcModel m_;
  std::vector<bool> active_branch_;
  std::vector<bool> kept_out_;  // out of service, kept for the pattern
  std::unique_ptr<AngleGroups> groups_;
  std::unique_ptr<Parts> islands_;
  std::vector<std::int32_t> fixed_anchor_of_island_;
  std::vector<std::int32_t> extra_references_;
};

}  // namespace

DcModel build_dc_model(const Network& net, const DcOptions& options) { return Builder(net, options).run(); }

NetworkSolution network_solution(const Network& net, const DcModel& m, const robust::Solution& s) {
  const double sb = m.base_mva;
  NetworkSolution out;
  const std::size_t n = net.buses.size();
  out.bus_angle_deg.assign(n, kNaN);
  out.bus_price.assign(n, kNaN);
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t b = m.bus_of[i];
    if (b < 0) continue;
    const double theta = s.angles[at(m.problem.node_of_bus[at(b)])] + m.angle_offset[i];
    out.bus_angle_deg[i] = theta / kRadiansPerDegree;
    out.bus_price[i] = s.prices[at(b)] / sb;
  }
  out.generator_mw.assign(net.generators.size(), kNaN);
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    const DcModel::GeneratorUnits& u = m.generator_units[k];
    if (u.first < 0) continue;
    double p = u.fixed_output;
    for (std::int32_t j = u.first; j < u.first + u.count; ++j) p = p + s.units[at(j)];
    out.generator_mw[k] = p * sb;
  }
  const std::size_t nl = net.branches.size();
  out.branch_flow_mw.assign(nl, kNaN);
  out.flow_mu_upper.assign(nl, kNaN);
  out.flow_mu_lower.assign(nl, kNaN);
  out.angle_mu_upper.assign(nl, kNaN);
  out.angle_mu_lower.assign(nl, kNaN);
  for (std::size_t l = 0; l < nl; ++l) {
    const DcModel::BranchPart& part = m.branch_parts[l];
    using Kind = DcModel::BranchPart::Kind;
    if (part.kind == Kind::dropped) continue;
    double flow_upper = 0.0, flow_lower = 0.0, angle_upper = 0.0, angle_lower = 0.0;
    if (part.kind == Kind::constant_flow) {
      out.branch_flow_mw[l] = part.constant_flow * sb;
    } else if (part.kind == Kind::tie) {
      out.branch_flow_mw[l] = s.units[at(part.index)] * sb;
      flow_upper = s.unit_upper_duals[at(part.index)] / sb;
      flow_lower = s.unit_lower_duals[at(part.index)] / sb;
    } else {
      const std::size_t p = at(part.index);
      const Branch& br = net.branches[l];
      const double diff = s.angles[at(m.problem.node_of_bus[at(m.bus_of[at(br.from)])])] -
                          s.angles[at(m.problem.node_of_bus[at(m.bus_of[at(br.to)])])];
      out.branch_flow_mw[l] = part.susceptance * (diff - part.node_shift) * sb;
      // A bound of the node angle difference moves by 1/(Sb·|b|) radians
      // per MW of rating, and by π/180 per degree of angle limit.
      const double per_mw = 1.0 / (sb * std::fabs(part.susceptance));
      auto assign = [&](BoundSource source, double mu) {
        switch (source) {
          case BoundSource::flow_max: flow_upper = mu * per_mw; break;
          case BoundSource::flow_min: flow_lower = mu * per_mw; break;
          case BoundSource::angle_max: angle_upper = mu * kRadiansPerDegree; break;
          case BoundSource::angle_min: angle_lower = mu * kRadiansPerDegree; break;
          case BoundSource::none: break;
        }
      };
      assign(m.lower_source[p], s.branch_lower_duals[p]);
      assign(m.upper_source[p], s.branch_upper_duals[p]);
    }
    out.flow_mu_upper[l] = flow_upper;
    out.flow_mu_lower[l] = flow_lower;
    out.angle_mu_upper[l] = angle_upper;
    out.angle_mu_lower[l] = angle_lower;
  }
  return out;
}

}  // namespace corvo::network
