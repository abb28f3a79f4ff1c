// The mapping rules, applied in this order: out-of-service generators and
// branches and isolated buses (type 4) are dropped; buses are renumbered
// 1..n in increasing order of their MATPOWER numbers; the load is Pd plus
// the shunt conductance Gs (MW at 1 pu voltage); every extra generator of a
// bus gets its own bus joined to it by a line of negligible reactance; a
// negative lower limit is shifted into the load and the costs; costs
// c2 P^2 + c1 P + c0 become q = 2 c2, c1 and c0; the tap ratio is folded
// into the reactance and phase shifts are dropped; rateA 0 means no limit.
#include "corvo/import/case_mapping.hpp"

#include <algorithm>
#include <cmath>
#include <map>

namespace corvo::import {
namespace {

// Columns of the MATPOWER tables (0-based).
enum BusColumn { BUS_I = 0, BUS_TYPE = 1, PD = 2, GS = 4 };
enum GenColumn { GEN_BUS = 0, GEN_STATUS = 7, PMAX = 8, PMIN = 9 };
enum BranchColumn { F_BUS = 0, T_BUS = 1, BR_X = 3, RATE_A = 5, TAP = 8, SHIFT = 9, BR_STATUS = 10 };
enum CostColumn { MODEL = 0, STARTUP = 1, SHUTDOWN = 2, NCOST = 3, COST = 4 };

constexpr int kIsolatedBus = 4;
constexpr int kReferenceBus = 3;

std::string number_text(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

void require_columns(const Matrix& m, std::size_t columns, const std::string& source, const std::string& table) {
  if (!m.empty() && m.columns() < columns)
      throw ImportError(source + ": mpc." + table + " has " + std::to_string(m.columns()) + " columns, at least " +
                        std::to_string(columns) + " are needed");
}

std::int32_t whole(double v, const std::string& source, const std::string& what) {
  if (!(v == std::floor(v)) || std::fabs(v) > 2e9) throw ImportError(source + ": " + what + " " + number_text(v) + " is not a whole number");
  return static_cast<std::int32_t>(v);
}

struct Cost {
  double c0 = 0.0, c1 = 0.0, c2 = 0.0;
};

// The polynomial of generator row g (0-based), or a refusal naming it.
Cost polynomial_cost(const MatpowerCase& mc, std::size_t g, const std::string& who, const std::string& source) {
  if (g >= mc.gencost.size()) throw ImportError(source + ": " + who + " has no row in mpc.gencost");
  const std::span<const double> row = mc.gencost[g];
  if (row.size() < COST) throw ImportError(source + ": mpc.gencost row " + std::to_string(g + 1) + " is too short");
  if (row[MODEL] == 1)
    throw ImportError(source + ": " + who + " has a piecewise-linear cost, which our case model cannot hold");
  if (row[MODEL] != 2) throw ImportError(source + ": " + who + " has an unknown cost model " + number_text(row[MODEL]));
  const int ncost = whole(row[NCOST], source, "the number of cost coefficients of " + who);
  if (ncost < 0 || row.size() < COST + static_cast<std::size_t>(ncost))
    throw ImportError(source + ": mpc.gencost row " + std::to_string(g + 1) + " lacks its " + std::to_string(ncost) +
                      " coefficients");
  // Coefficients run from the highest power down to c0.
  Cost c;
  for (int k = 0; k < ncost; ++k) {
    const int power = ncost - 1 - k;
    const double v = row[COST + static_cast<std::size_t>(k)];
    if (power >= 3 && v != 0.0)
      throw ImportError(source + ": " + who + " has a cost polynomial of degree " + std::to_string(power) +
                        ", our case model holds degree two at most");
    if (power == 2) c.c2 = v;
    if (power == 1) c.c1 = v;
    if (power == 0) c.c0 = v;
  }
  return c;
}

struct Generator {
  std::size_t row = 0;     // in mpc.gen
  std::int32_t bus = 0;    // MATPOWER number
  std::string who;         // "generator 2 (bus 30)"
};

class Mapper {
 public:
  Mapper(const MatpowerCase& mc, const std::string& source) : mc_(mc), source_(source) {}

  ImportedCase run() {
    require_columns(mc_.bus, GS + 1, source_, "bus");
    require_columns(mc_.gen, PMIN + 1, source_, "gen");
    require_columns(mc_.branch, BR_STATUS + 1, source_, "branch");
    out_.sb = mc_.base_mva;
    out_.title = title();
    number_buses();
    collect_generators();
    place_generators();
    map_branches();
    join_extra_generators();
    return std::move(out_);
  }

 private:
  void note(const std::string& s) { out_.mappings.push_back(s); }

  std::string title() const {
    std::string t = mc_.name.empty() ? "MATPOWER case" : "MATPOWER " + mc_.name;
    if (!mc_.description.empty()) {
      // Runs of blanks in the description become one.
      std::string d;
      for (char c : mc_.description)
        if (!(c == ' ' || c == '\t') || (!d.empty() && d.back() != ' ')) d += (c == '\t' ? ' ' : c);
      t += ": " + d;
    }
    return t.substr(0, 80);
  }

  void number_buses() {
    std::vector<std::pair<std::int32_t, std::size_t>> order;
    int dropped = 0;
    for (std::size_t r = 0; r < mc_.bus.size(); ++r) {
      const std::int32_t number = whole(mc_.bus[r][BUS_I], source_, "bus number");
      if (source_number_.count(number) || isolated_.count(number))
        throw ImportError(source_ + ": bus number " + std::to_string(number) + " appears twice in mpc.bus");
      if (mc_.bus[r][BUS_TYPE] == kIsolatedBus) {
        isolated_[number] = r;
        ++dropped;
        continue;
      }
      source_number_[number] = r;
      order.push_back({number, r});
    }
    std::sort(order.begin(), order.end());
    int gs_buses = 0;
    for (const auto& [number, r] : order) {
      ImportedBus b;
      b.load = mc_.bus[r][PD] + mc_.bus[r][GS];
      if (mc_.bus[r][GS] != 0.0) ++gs_buses;
      b.source = "bus " + std::to_string(number);
      new_number_[number] = static_cast<std::int32_t>(out_.buses.size()) + 1;
      out_.buses.push_back(b);
    }
    if (dropped) note(std::to_string(dropped) + " isolated bus(es) (type 4) dropped with their load");
    if (gs_buses) note("shunt conductance added to the load of " + std::to_string(gs_buses) + " bus(es)");
    bool renumbered = false;
    for (const auto& [number, n] : new_number_) renumbered = renumbered || number != n;
    if (renumbered) note("buses renumbered 1.." + std::to_string(out_.buses.size()) + " in order of their numbers");
    choose_reference();
  }

  void choose_reference() {
    std::vector<std::int32_t> refs;
    for (const auto& [number, r] : source_number_)
      if (mc_.bus[r][BUS_TYPE] == kReferenceBus) refs.push_back(number);
    if (refs.empty()) throw ImportError(source_ + ": no reference bus (type 3) in mpc.bus");
    reference_ = refs.front();
    if (refs.size() > 1)
      note(std::to_string(refs.size()) + " reference buses; bus " + std::to_string(reference_) +
           " is the reference, the others are ordinary buses");
  }

  void collect_generators() {
    int off = 0;
    for (std::size_t g = 0; g < mc_.gen.size(); ++g) {
      const std::int32_t bus = whole(mc_.gen[g][GEN_BUS], source_, "generator bus");
      const std::string who = "generator " + std::to_string(g + 1) + " (bus " + std::to_string(bus) + ")";
      if (mc_.gen[g][GEN_STATUS] <= 0) {
        ++off;
        continue;
      }
      if (isolated_.count(bus)) {
        note(who + " is on an isolated bus: dropped");
        continue;
      }
      if (!source_number_.count(bus)) throw ImportError(source_ + ": " + who + " is on a bus that mpc.bus lacks");
      generators_.push_back({g, bus, who});
    }
    if (off) note(std::to_string(off) + " out-of-service generator(s) dropped");
  }

  // Fills the generator fields of bus `b` from generator `gen`, shifting a
  // negative lower limit into the load and the costs.
  void set_generator(ImportedBus& b, const Generator& gen) {
    const std::span<const double> row = mc_.gen[gen.row];
    Cost c = polynomial_cost(mc_, gen.row, gen.who, source_);
    double pmin = row[PMIN];
    double pmax = row[PMAX];
    if (pmax < pmin)
      throw ImportError(source_ + ": " + gen.who + " has an upper limit " + number_text(pmax) + " MW below its lower limit " +
                        number_text(pmin) + " MW");
    if (pmin < 0.0) {
      // P = P' + pmin with P' >= 0: the bus sees the load raised by -pmin,
      // and c2 P^2 + c1 P + c0 = c2 P'^2 + (c1 + 2 c2 pmin) P' + (c2 pmin^2 + c1 pmin + c0).
      b.load = b.load - pmin;
      c = Cost{c.c2 * pmin * pmin + c.c1 * pmin + c.c0, c.c1 + 2.0 * c.c2 * pmin, c.c2};
      pmax = pmax - pmin;
      note(gen.who + ": negative lower limit " + number_text(pmin) + " MW shifted into the load and the costs; " +
           "its output is reported " + number_text(-pmin) + " MW above the true output");
      pmin = 0.0;
    }
    b.constant_cost = c.c0;
    b.linear_cost = c.c1;
    b.quadratic_cost = 2.0 * c.c2;
    b.upper = pmax;
    b.lower = pmin;
    b.type = 1;
    b.source = gen.who;
  }

  void place_generators() {
    std::map<std::int32_t, int> count;
    for (const Generator& gen : generators_) {
      const std::int32_t first = ++count[gen.bus];
      if (first == 1) {
        set_generator(out_.buses[static_cast<std::size_t>(new_number_[gen.bus]) - 1], gen);
        continue;
      }
      ImportedBus own;
      own.source = gen.who;
      set_generator(own, gen);
      out_.buses.push_back(own);
      const auto own_number = static_cast<std::int32_t>(out_.buses.size());
      extra_.push_back({new_number_[gen.bus], own_number});
      note(gen.who + " shares its bus: moved to its own bus " + std::to_string(own_number) + ", joined to bus " +
           std::to_string(new_number_[gen.bus]) + " by a line of reactance " + number_text(kJoiningReactance) +
           " pu and no limit");
    }
    ImportedBus& ref = out_.buses[static_cast<std::size_t>(new_number_[reference_]) - 1];
    if (ref.type == 0)
      note("the reference bus " + std::to_string(reference_) +
           " has no generator: it gets one with limits 0 and 0 MW and no cost");
    ref.type = 2;
    int startup = 0;
    for (const Generator& gen : generators_)
      if (mc_.gencost[gen.row][STARTUP] != 0.0 || mc_.gencost[gen.row][SHUTDOWN] != 0.0) ++startup;
    if (startup) note("start-up and shut-down costs of " + std::to_string(startup) + " generator(s) ignored");
    if (mc_.gencost.size() > mc_.gen.size()) note("reactive power costs (rows of mpc.gencost after the generators) ignored");
  }

  void map_branches() {
    int off = 0, taps = 0, unlimited = 0;
    for (std::size_t l = 0; l < mc_.branch.size(); ++l) {
      const std::span<const double> row = mc_.branch[l];
      const std::int32_t f = whole(row[F_BUS], source_, "branch end bus");
      const std::int32_t t = whole(row[T_BUS], source_, "branch end bus");
      const std::string who = "branch " + std::to_string(l + 1) + " (bus " + std::to_string(f) + "-" + std::to_string(t) + ")";
      if (row[BR_STATUS] == 0) {
        ++off;
        continue;
      }
      if (isolated_.count(f) || isolated_.count(t)) {
        note(who + " reaches an isolated bus: dropped");
        continue;
      }
      if (!source_number_.count(f) || !source_number_.count(t))
        throw ImportError(source_ + ": " + who + " reaches a bus that mpc.bus lacks");
      ImportedLine line;
      line.se = new_number_[f];
      line.re = new_number_[t];
      line.source = who;
      const double tap = row[TAP] == 0.0 ? 1.0 : row[TAP];
      if (tap != 1.0) ++taps;
      line.x = row[BR_X] * tap;
      if (line.x == 0.0) throw ImportError(source_ + ": " + who + " has zero reactance, which the DC model cannot hold");
      if (row[SHIFT] != 0.0) note("warning: phase shift " + number_text(row[SHIFT]) + " deg of " + who + " dropped");
      if (row[RATE_A] < 0.0) throw ImportError(source_ + ": " + who + " has a negative rateA");
      const double limit = row[RATE_A] == 0.0 ? kNoLimitMw : row[RATE_A];
      if (row[RATE_A] == 0.0) ++unlimited;
      line.upper = limit;
      line.lower = -limit;
      out_.lines.push_back(line);
    }
    if (off) note(std::to_string(off) + " out-of-service branch(es) dropped");
    if (taps) note("tap ratio folded into the reactance of " + std::to_string(taps) + " branch(es)");
    if (unlimited)
      note(std::to_string(unlimited) + " branch(es) without rating (rateA 0) get +/-" + number_text(kNoLimitMw) + " MW");
  }

  void join_extra_generators() {
    for (const auto& [bus, own] : extra_) {
      ImportedLine line;
      line.se = bus;
      line.re = own;
      line.x = kJoiningReactance;
      line.upper = kNoLimitMw;
      line.lower = -kNoLimitMw;
      line.source = "line joining bus " + std::to_string(own) + " to bus " + std::to_string(bus);
      out_.lines.push_back(line);
    }
  }

  const MatpowerCase& mc_;
  const std::string& source_;
  ImportedCase out_;
  std::map<std::int32_t, std::size_t> source_number_;  // MATPOWER number -> row of mpc.bus
  std::map<std::int32_t, std::size_t> isolated_;
  std::map<std::int32_t, std::int32_t> new_number_;
  std::int32_t reference_ = 0;
  std::vector<Generator> generators_;
  std::vector<std::pair<std::int32_t, std::int32_t>> extra_;  // (bus, own bus)
};

}  // namespace

ImportedCase map_matpower_case(const MatpowerCase& mc, const std::string& source) {
  return Mapper(mc, source).run();
}

}  // namespace corvo::import
