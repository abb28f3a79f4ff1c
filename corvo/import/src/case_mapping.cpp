// The mapping rules of case_mapping.hpp, applied in this order: the DC
// model chooses the elements that take part; buses are numbered; each
// generator is placed (its bus, or a bus of its own) with a negative lower
// limit shifted; each branch becomes a line with the shifter's injection
// folded into its buses' loads and its limits; own buses are joined.
#include "corvo/import/case_mapping.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "corvo/network/dc_model.hpp"
#include "corvo/network/matpower_reader.hpp"
#include "corvo/network/names.hpp"

namespace corvo::import {
namespace {

using network::Network;
using network::number_text;

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// The smallest stand-in for "no limit", as the bundled cases write it.
constexpr double kSmallestStandIn = 9999.0;
// The largest magnitude that 10 columns hold with two decimals.
constexpr double kLargestField = 9999999.99;

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

// The title cut to 80 bytes without splitting a UTF-8 character.
std::string title_of(const std::string& title) {
  if (title.size() <= 80) return title;
  std::size_t end = 80;
  while (end > 0 && (static_cast<unsigned char>(title[end]) & 0xC0) == 0x80) --end;
  return title.substr(0, end);
}

// A limit that no flow can reach: every load and every generator's
// largest output and every shifter's injection together, rounded up to
// 1, 2 or 5 times a power of ten, and never below 9999 MW.
double stand_in_limit(const Network& net, const network::DcModel& model, const std::vector<double>& shift_mw) {
  double total = 0.0;
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    if (model.bus_of[i] >= 0) total += std::fabs(net.buses[i].load_mw + net.buses[i].shunt_mw);
  for (std::size_t k = 0; k < net.generators.size(); ++k)
    if (model.generator_units[k].first >= 0)
      total += std::max(std::fabs(net.generators[k].pmin_mw), std::fabs(net.generators[k].pmax_mw));
  for (double s : shift_mw) total += std::fabs(s);
  if (total <= kSmallestStandIn) return kSmallestStandIn;
  const double decade = std::pow(10.0, std::floor(std::log10(total)));
  for (double step : {1.0, 2.0, 5.0, 10.0})
    if (step * decade >= total) return step * decade;
  return 10.0 * decade;
}

class Mapper {
 public:
  explicit Mapper(const Network& net) : net_(net), model_(network::build_dc_model(net)) {}

  ImportedCase run() {
    refuse_what_cannot_be_held();
    out_.sb = net_.base_mva;
    out_.title = title_of(net_.title);
    for (const std::string& n : net_.notes) note(n);
    note_dropped();
    number_buses();
    compute_shifts();
    stand_in_ = stand_in_limit(net_, model_, shift_mw_);
    place_generators();
    map_branches();
    join_own_buses();
    number_generators();
    return std::move(out_);
  }

 private:
  void note(const std::string& s) { out_.mappings.push_back(s); }

  [[noreturn]] void refuse(const std::string& what) const {
    throw ImportError(net_.source + ": " + what);
  }

  void refuse_what_cannot_be_held() const {
    if (!model_.conflicts.empty()) refuse(model_.conflicts.front());
    for (std::size_t l = 0; l < net_.branches.size(); ++l)
      if (model_.branch_parts[l].kind == network::DcModel::BranchPart::Kind::tie)
        refuse(network::branch_name(net_, static_cast<std::int32_t>(l)) +
               ": a bus tie of zero reactance, which our case file cannot hold (corvo solve models it)");
    for (std::size_t k = 0; k < net_.generators.size(); ++k)
      if (model_.generator_units[k].first >= 0 &&
          net_.generators[k].cost.model == network::CostCurve::Model::piecewise_linear)
        refuse(network::generator_name(net_, static_cast<std::int32_t>(k)) +
               ": a piecewise-linear cost, which our case file cannot hold (corvo solve takes it)");
    if (model_.problem.fixed_nodes.size() > 1)
      refuse("the network falls into " + std::to_string(model_.problem.fixed_nodes.size()) +
             " islands; our case file holds one connected network (corvo solve takes islands)");
    if (model_.problem.buses == 0) refuse("no bus in service");
  }

  void note_dropped() {
    std::size_t buses = 0, generators = 0, branches = 0;
    for (const network::DroppedElement& d : model_.dropped) {
      if (d.kind == network::DroppedElement::Kind::bus) ++buses;
      if (d.kind == network::DroppedElement::Kind::generator) ++generators;
      if (d.kind == network::DroppedElement::Kind::branch) ++branches;
    }
    if (buses) note(std::to_string(buses) + " isolated bus(es) dropped with their load");
    if (generators) note(std::to_string(generators) + " generator(s) out of service or on isolated buses dropped");
    if (branches) note(std::to_string(branches) + " branch(es) out of service or touching isolated buses dropped");
  }

  void number_buses() {
    std::vector<std::pair<std::int64_t, std::int32_t>> order;
    for (std::size_t i = 0; i < net_.buses.size(); ++i)
      if (model_.bus_of[i] >= 0) order.push_back({net_.buses[i].number, static_cast<std::int32_t>(i)});
    std::sort(order.begin(), order.end());
    new_number_.assign(net_.buses.size(), 0);
    bool renumbered = false;
    int shunts = 0;
    for (const auto& [number, i] : order) {
      const network::Bus& b = net_.buses[at(i)];
      ImportedBus ib;
      ib.load = b.load_mw + b.shunt_mw;
      if (b.shunt_mw != 0.0) ++shunts;
      ib.source = network::bus_name(net_, i);
      out_.buses.push_back(ib);
      new_number_[at(i)] = static_cast<std::int32_t>(out_.buses.size());
      renumbered = renumbered || number != new_number_[at(i)];
      out_.map.buses.push_back({0, number, "", false, 0.0});
    }
    if (shunts) note("shunt conductance added to the load of " + std::to_string(shunts) + " bus(es)");
    if (renumbered) note("buses renumbered 1.." + std::to_string(out_.buses.size()) + " in order of their numbers");
    const std::int32_t anchor = model_.island_anchor[at(order.front().second)];
    reference_ = anchor;
    if (!net_.buses[at(anchor)].reference) note("no reference bus: " + network::bus_name(net_, anchor) + " is the reference");
    int refs = 0;
    for (const auto& [number, i] : order) refs += net_.buses[at(i)].reference ? 1 : 0;
    if (refs > 1)
      note(std::to_string(refs) + " reference buses; " + network::bus_name(net_, anchor) +
           " is the reference, the others are ordinary buses");
  }

  // The constant part of each shifter's flow, b·shift, in MW.
  void compute_shifts() {
    shift_mw_.assign(net_.branches.size(), 0.0);
    for (std::size_t l = 0; l < net_.branches.size(); ++l) {
      const network::Branch& b = net_.branches[l];
      if (model_.branch_parts[l].kind == network::DcModel::BranchPart::Kind::dropped || b.shift_deg == 0.0) continue;
      shift_mw_[l] = b.shift_deg * kRadiansPerDegree / (b.x_pu * b.tap) * net_.base_mva;
    }
  }

  ImportedBus& bus_at(std::int32_t network_bus) { return out_.buses[at(new_number_[at(network_bus)] - 1)]; }

  void set_generator(ImportedBus& b, std::size_t k, MapEntry& entry) {
    const network::Generator& g = net_.generators[k];
    const std::string who = network::generator_name(net_, static_cast<std::int32_t>(k));
    double c2 = g.cost.c2, c1 = g.cost.c1, c0 = g.cost.c0, pmin = g.pmin_mw, pmax = g.pmax_mw;
    if (pmax < pmin)
      throw ImportError(net_.source + ": " + who + ": upper limit " + number_text(pmax) + " MW below its lower limit " +
                        number_text(pmin) + " MW");
    if (pmin < 0.0) {
      // P = P' + pmin with P' >= 0: the bus sees the load raised by -pmin,
      // and c2 P² + c1 P + c0 = c2 P'² + (c1 + 2 c2 pmin) P' + (c2 pmin² + c1 pmin + c0).
      b.load = b.load - pmin;
      c0 = c2 * pmin * pmin + c1 * pmin + c0;
      c1 = c1 + 2.0 * c2 * pmin;
      pmax = pmax - pmin;
      entry.offset_mw = -pmin;
      entry.constant_cost_offset = c0 - g.cost.c0;
      note(who + ": negative lower limit " + number_text(pmin) + " MW shifted into the load and the costs; " +
           "orsa's output is " + number_text(-pmin) + " MW above the true output (corvo report with the map shows "
           "the true one)");
      pmin = 0.0;
    }
    b.constant_cost = c0;
    b.linear_cost = c1;
    b.quadratic_cost = 2.0 * c2;
    b.upper = pmax;
    b.lower = pmin;
    b.type = 1;
    b.source = who;
  }

  void place_generators() {
    std::vector<int> placed(net_.buses.size(), 0);
    for (std::size_t k = 0; k < net_.generators.size(); ++k) {
      if (model_.generator_units[k].first < 0) continue;
      const network::Generator& g = net_.generators[k];
      MapEntry entry{g.source.row, net_.buses[at(g.bus)].number, g.source.id, false, 0.0};
      if (placed[at(g.bus)]++ == 0) {
        set_generator(bus_at(g.bus), k, entry);
        generator_at_[new_number_[at(g.bus)]] = entry;
        continue;
      }
      ImportedBus own;
      own.source = network::generator_name(net_, static_cast<std::int32_t>(k));
      set_generator(own, k, entry);
      // The own bus's load is the shifted lower limit alone.
      out_.buses.push_back(own);
      const auto own_number = static_cast<std::int32_t>(out_.buses.size());
      out_.map.buses.push_back({0, net_.buses[at(g.bus)].number, "", true, own.load});
      generator_at_[own_number] = entry;
      own_buses_.push_back({new_number_[at(g.bus)], own_number});
      note(own.source + " shares its bus: moved to its own bus " + std::to_string(own_number) + ", joined to bus " +
           std::to_string(new_number_[at(g.bus)]) + " by a line of reactance " + number_text(kJoiningReactance) +
           " pu and no limit");
    }
    ImportedBus& ref = bus_at(reference_);
    if (ref.type == 0) {
      note("the reference " + network::bus_name(net_, reference_) +
           " has no generator: it gets one with limits 0 and 0 MW and no cost");
      generator_at_[new_number_[at(reference_)]] = {0, net_.buses[at(reference_)].number, "", true, 0.0};
    }
    ref.type = 2;
    // The load added for shifted lower limits, per bus.
    for (std::size_t i = 0; i < net_.buses.size(); ++i) {
      if (model_.bus_of[i] < 0) continue;
      const network::Bus& b = net_.buses[i];
      MapEntry& e = out_.map.buses[at(new_number_[i] - 1)];
      e.offset_mw = bus_at(static_cast<std::int32_t>(i)).load - (b.load_mw + b.shunt_mw);
    }
  }

  void map_branches() {
    int taps = 0, unlimited = 0, shifters = 0, angle_limited = 0;
    out_.map.lines.clear();
    for (std::size_t l = 0; l < net_.branches.size(); ++l) {
      if (model_.branch_parts[l].kind == network::DcModel::BranchPart::Kind::dropped) continue;
      const network::Branch& b = net_.branches[l];
      ImportedLine line;
      line.se = new_number_[at(b.from)];
      line.re = new_number_[at(b.to)];
      line.source = network::branch_name(net_, static_cast<std::int32_t>(l));
      if (b.tap != 1.0) ++taps;
      line.x = b.x_pu * b.tap;
      const double off = shift_mw_[l];
      const bool limited_below = std::isfinite(b.flow_min_mw), limited_above = std::isfinite(b.flow_max_mw);
      if (!limited_below || !limited_above) ++unlimited;
      line.lower = (limited_below ? b.flow_min_mw : -stand_in_) + off;
      line.upper = (limited_above ? b.flow_max_mw : stand_in_) + off;
      if (off != 0.0) {
        ++shifters;
        // The case file's flow b·(θf − θt) is the true flow plus `off`: the
        // from bus sends `off` more, the to bus receives it.
        ImportedBus& from = out_.buses[at(line.se - 1)];
        ImportedBus& to = out_.buses[at(line.re - 1)];
        from.load -= off;
        to.load += off;
        out_.map.buses[at(line.se - 1)].offset_mw -= off;
        out_.map.buses[at(line.re - 1)].offset_mw += off;
        note(line.source + ": phase shift " + number_text(b.shift_deg) + "° folded in as " + number_text(off) +
             " MW leaving bus " + std::to_string(net_.buses[at(b.from)].number) + " and entering bus " +
             std::to_string(net_.buses[at(b.to)].number) + ", and its limits moved by as much; orsa's flow on it "
             "is the true flow plus " + number_text(off) + " MW");
      }
      if (std::isfinite(b.angle_min_deg) || std::isfinite(b.angle_max_deg)) ++angle_limited;
      out_.lines.push_back(line);
      out_.map.lines.push_back({b.source.row, 0, b.source.id, false, off, !limited_below && !limited_above});
    }
    if (taps) note("tap ratio folded into the reactance of " + std::to_string(taps) + " branch(es)");
    if (unlimited)
      note(std::to_string(unlimited) + " branch(es) without a flow limit get +/-" + number_text(stand_in_) +
           " MW, more than any flow of the case can reach");
    if (stand_in_ > kLargestField)
      note("warning: the stand-in for no limit, " + number_text(stand_in_) +
           " MW, does not fit the case file's columns; the case cannot be written");
    if (angle_limited)
      note("warning: the angle-difference limits of " + std::to_string(angle_limited) +
           " branch(es) dropped (the case file holds none), so the optimum may be lower than the source's");
    (void)shifters;
  }

  void join_own_buses() {
    for (const auto& [bus, own] : own_buses_) {
      ImportedLine line;
      line.se = bus;
      line.re = own;
      line.x = kJoiningReactance;
      line.upper = stand_in_;
      line.lower = -stand_in_;
      line.source = "line joining bus " + std::to_string(own) + " to bus " + std::to_string(bus);
      out_.lines.push_back(line);
      out_.map.lines.push_back({0, 0, "", true, 0.0, true});
    }
  }

  // Generators are numbered in bus order, as orsa numbers them.
  void number_generators() {
    for (std::size_t i = 0; i < out_.buses.size(); ++i)
      if (out_.buses[i].type != 0) out_.map.generators.push_back(generator_at_.at(static_cast<std::int32_t>(i + 1)));
  }

  const Network& net_;
  network::DcModel model_;
  ImportedCase out_;
  std::vector<std::int32_t> new_number_;  // per network bus, 1-based; 0 when dropped
  std::int32_t reference_ = 0;
  std::vector<double> shift_mw_;
  double stand_in_ = kSmallestStandIn;
  std::map<std::int32_t, MapEntry> generator_at_;  // our bus number -> its generator's entry
  std::vector<std::pair<std::int32_t, std::int32_t>> own_buses_;  // (bus, own bus)
};

}  // namespace

ImportedCase map_network(const Network& net) {
  try {
    return Mapper(net).run();
  } catch (const network::NetworkError& e) {
    throw ImportError(e.what());
  }
}

ImportedCase map_matpower_case(const MatpowerCase& mc, const std::string& source) {
  try {
    const std::string name = mc.name.empty() ? source : mc.name;
    return map_network(network::read_matpower(mc, source, name));
  } catch (const network::NetworkError& e) {
    throw ImportError(e.what());
  }
}

}  // namespace corvo::import
