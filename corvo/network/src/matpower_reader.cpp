#include "corvo/network/matpower_reader.hpp"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "corvo/network/names.hpp"

namespace corvo::network {
namespace {

using import::MatpowerCase;
using import::Matrix;

// Columns of the MATPOWER tables (0-based), with the names MATPOWER gives them.
enum BusColumn { BUS_I = 0, BUS_TYPE = 1, PD = 2, GS = 4, VA = 8 };
enum GenColumn { GEN_BUS = 0, GEN_STATUS = 7, PMAX = 8, PMIN = 9 };
enum BranchColumn { F_BUS = 0, T_BUS = 1, BR_X = 3, RATE_A = 5, TAP = 8, SHIFT = 9, BR_STATUS = 10,
                    ANGMIN = 11, ANGMAX = 12 };
enum CostColumn { MODEL = 0, STARTUP = 1, SHUTDOWN = 2, NCOST = 3, COST = 4 };

const char* const kBusColumnNames[] = {"BUS_I", "BUS_TYPE", "PD", "QD", "GS", "BS", "BUS_AREA", "VM", "VA"};
const char* const kGenColumnNames[] = {"GEN_BUS", "PG", "QG", "QMAX", "QMIN", "VG", "MBASE", "GEN_STATUS",
                                       "PMAX", "PMIN"};
const char* const kBranchColumnNames[] = {"F_BUS", "T_BUS", "BR_R", "BR_X", "BR_B", "RATE_A", "RATE_B",
                                          "RATE_C", "TAP", "SHIFT", "BR_STATUS", "ANGMIN", "ANGMAX"};

constexpr double kPwlModel = 1.0;
constexpr double kPolynomialModel = 2.0;
// MATPOWER takes ratings from 1e10 MW up as no limit.
constexpr double kNoRatingFrom = 1e10;

// One table of the case, for reading fields with messages that name the
// file, the table, the row (1-based, as MATPOWER users count) and column.
class Table {
 public:
  Table(const Matrix& m, const char* name, const char* const* column_names, std::size_t named,
        const std::string& source)
      : m_(m), name_(name), columns_(column_names), named_(named), source_(source) {}

  std::size_t rows() const { return m_.size(); }
  std::size_t columns() const { return m_.columns(); }

  [[noreturn]] void fail(std::size_t row, std::size_t column, const std::string& what) const {
    throw NetworkError(source_ + ": mpc." + name_ + " row " + std::to_string(row + 1) + ", " +
                       column_name(column) + ": " + what);
  }

  void require_columns(std::size_t needed) const {
    if (!m_.empty() && m_.columns() < needed)
      throw NetworkError(source_ + ": mpc." + name_ + " has " + std::to_string(m_.columns()) +
                         " columns, at least " + std::to_string(needed) + " are needed");
  }

  double finite(std::size_t row, std::size_t column) const {
    const double v = m_[row][column];
    if (!std::isfinite(v)) fail(row, column, number_text(v) + " is not a finite number");
    return v;
  }

  std::int64_t whole(std::size_t row, std::size_t column) const {
    const double v = finite(row, column);
    if (v != std::floor(v) || std::fabs(v) > 9e15) fail(row, column, number_text(v) + " is not a whole number");
    return static_cast<std::int64_t>(v);
  }

  double optional(std::size_t row, std::size_t column, double absent) const {
    return column < m_.columns() ? finite(row, column) : absent;
  }

 private:
  std::string column_name(std::size_t column) const {
    if (column < named_) return std::string("column ") + std::to_string(column + 1) + " (" + columns_[column] + ")";
    return "column " + std::to_string(column + 1);
  }

  const Matrix& m_;
  const char* name_;
  const char* const* columns_;
  std::size_t named_;
  const std::string& source_;
};

class Reader {
 public:
  Reader(const MatpowerCase& mc, const std::string& source)
      : mc_(mc), source_(source), bus_(mc.bus, "bus", kBusColumnNames, std::size(kBusColumnNames), source),
        gen_(mc.gen, "gen", kGenColumnNames, std::size(kGenColumnNames), source),
        branch_(mc.branch, "branch", kBranchColumnNames, std::size(kBranchColumnNames), source),
        cost_(mc.gencost, "gencost", nullptr, 0, source) {}

  Network run(const std::string& name) {
    refuse_unmodelled();
    if (!std::isfinite(mc_.base_mva) || !(mc_.base_mva > 0.0))
      throw NetworkError(source_ + ": mpc.baseMVA " + number_text(mc_.base_mva) + ": the base power must be positive");
    net_.name = name;
    net_.source = source_;
    net_.title = title();
    net_.format = SourceFormat::matpower;
    net_.base_mva = mc_.base_mva;
    read_buses();
    read_generators();
    read_branches();
    return std::move(net_);
  }

 private:
  void refuse_unmodelled() const {
    for (const std::string& m : mc_.other_matrices)
      if (m == "dcline")
        throw NetworkError(source_ + ": mpc.dcline: DC lines are not modelled; remove them, or model each as a "
                                     "pair of generators at its two buses");
  }

  std::string title() const {
    std::string t = mc_.name.empty() ? "MATPOWER case" : "MATPOWER " + mc_.name;
    if (mc_.description.empty()) return t;
    // Runs of blanks in the description become one.
    std::string d;
    for (char c : mc_.description)
      if (!(c == ' ' || c == '\t') || (!d.empty() && d.back() != ' ')) d += (c == '\t' ? ' ' : c);
    return t + ": " + d;
  }

  void read_buses() {
    if (bus_.rows() == 0) throw NetworkError(source_ + ": mpc.bus is missing or empty");
    bus_.require_columns(GS + 1);
    net_.buses.reserve(bus_.rows());
    for (std::size_t r = 0; r < bus_.rows(); ++r) {
      Bus b;
      b.number = bus_.whole(r, BUS_I);
      const std::int64_t type = bus_.whole(r, BUS_TYPE);
      if (type < 1 || type > 4)
        bus_.fail(r, BUS_TYPE, std::to_string(type) + " is not a bus type (1 PQ, 2 PV, 3 reference, 4 isolated)");
      b.reference = type == 3;
      b.in_service = type != 4;
      b.load_mw = bus_.finite(r, PD);
      b.shunt_mw = bus_.finite(r, GS);
      b.angle_deg = bus_.optional(r, VA, 0.0);
      if (!index_.emplace(b.number, static_cast<std::int32_t>(r)).second)
        bus_.fail(r, BUS_I, "bus " + std::to_string(b.number) + " appears twice in mpc.bus");
      net_.buses.push_back(std::move(b));
    }
  }

  std::int32_t bus_index(const Table& t, std::size_t row, std::size_t column) const {
    const std::int64_t number = t.whole(row, column);
    const auto it = index_.find(number);
    if (it == index_.end()) t.fail(row, column, "bus " + std::to_string(number) + " is not in mpc.bus");
    return it->second;
  }

  void read_generators() {
    if (gen_.rows() == 0) throw NetworkError(source_ + ": mpc.gen is missing or empty: the case has no generator");
    gen_.require_columns(PMIN + 1);
    net_.generators.reserve(gen_.rows());
    std::size_t startup = 0;
    for (std::size_t r = 0; r < gen_.rows(); ++r) {
      Generator g;
      g.source.row = static_cast<std::int64_t>(r + 1);
      g.bus = bus_index(gen_, r, GEN_BUS);
      g.in_service = gen_.finite(r, GEN_STATUS) > 0.0;
      if (g.in_service) {
        g.pmax_mw = gen_.finite(r, PMAX);
        g.pmin_mw = gen_.finite(r, PMIN);
        g.cost = read_cost(r);
        if (cost_.finite(r, STARTUP) != 0.0 || cost_.finite(r, SHUTDOWN) != 0.0) ++startup;
      }
      net_.generators.push_back(std::move(g));
    }
    if (startup > 0)
      net_.notes.push_back("start-up and shut-down costs of " + std::to_string(startup) +
                           " generators ignored (a dispatch has no start-ups)");
    if (cost_.rows() > gen_.rows())
      net_.notes.push_back("reactive power costs (rows of mpc.gencost after the generators) ignored");
  }

  CostCurve read_cost(std::size_t r) const {
    const std::string who = "generator " + std::to_string(r + 1) + " (bus " +
                            std::to_string(net_.buses[static_cast<std::size_t>(bus_index(gen_, r, GEN_BUS))].number) +
                            ")";
    if (r >= cost_.rows()) throw NetworkError(source_ + ": " + who + " has no row in mpc.gencost");
    cost_.require_columns(COST);
    const double model = cost_.finite(r, MODEL);
    const std::int64_t ncost = cost_.whole(r, NCOST);
    if (ncost < 0) cost_.fail(r, NCOST, std::to_string(ncost) + " is not a number of coefficients");
    if (model == kPolynomialModel) return polynomial(r, static_cast<std::size_t>(ncost), who);
    if (model == kPwlModel) return piecewise(r, static_cast<std::size_t>(ncost), who);
    cost_.fail(r, MODEL, number_text(model) + " is not a cost model (1 piecewise linear, 2 polynomial)");
  }

  void require_values(std::size_t r, std::size_t values) const {
    if (cost_.columns() < COST + values)
      throw NetworkError(source_ + ": mpc.gencost row " + std::to_string(r + 1) + " lacks its " +
                         std::to_string(values) + " cost values (the matrix has " +
                         std::to_string(cost_.columns()) + " columns)");
  }

  // Coefficients run from the highest power down to c0.
  CostCurve polynomial(std::size_t r, std::size_t ncost, const std::string& who) const {
    require_values(r, ncost);
    CostCurve c;
    for (std::size_t k = 0; k < ncost; ++k) {
      const std::size_t power = ncost - 1 - k;
      const double v = cost_.finite(r, COST + k);
      if (power >= 3 && v != 0.0)
        throw NetworkError(source_ + ": " + who + ": a cost polynomial of degree " + std::to_string(power) +
                           "; the DC dispatch takes degree two at most");
      if (power == 2) c.c2 = v;
      if (power == 1) c.c1 = v;
      if (power == 0) c.c0 = v;
    }
    if (c.c2 < 0.0)
      throw NetworkError(source_ + ": " + who + ": negative quadratic cost " + number_text(c.c2) +
                         " $/MW²h; the dispatch must be convex");
    return c;
  }

  // Breakpoints x1 y1 x2 y2 ...; the slopes must not decrease.
  CostCurve piecewise(std::size_t r, std::size_t points, const std::string& who) const {
    require_values(r, 2 * points);
    if (points < 2)
      throw NetworkError(source_ + ": " + who + ": a piecewise-linear cost needs at least two points, it has " +
                         std::to_string(points));
    CostCurve c;
    c.model = CostCurve::Model::piecewise_linear;
    for (std::size_t k = 0; k < points; ++k)
      c.points.push_back({cost_.finite(r, COST + 2 * k), cost_.finite(r, COST + 2 * k + 1)});
    double last_slope = -kUnlimited;
    for (std::size_t k = 1; k < points; ++k) {
      const double dx = c.points[k].mw - c.points[k - 1].mw;
      if (!(dx > 0.0))
        throw NetworkError(source_ + ": " + who + ": the breakpoints of its piecewise-linear cost do not increase "
                           "(point " + std::to_string(k + 1) + " at " + number_text(c.points[k].mw) + " MW)");
      const double slope = (c.points[k].cost - c.points[k - 1].cost) / dx;
      if (slope < last_slope - 1e-9 * std::max(1.0, std::fabs(last_slope)))
        throw NetworkError(source_ + ": " + who + ": its piecewise-linear cost is not convex (the slope falls from " +
                           number_text(last_slope) + " to " + number_text(slope) + " $/MWh at point " +
                           std::to_string(k) + "); the dispatch must be convex");
      last_slope = slope;
    }
    return c;
  }

  void read_branches() {
    branch_.require_columns(BR_STATUS + 1);
    net_.branches.reserve(branch_.rows());
    for (std::size_t r = 0; r < branch_.rows(); ++r) {
      Branch b;
      b.source.row = static_cast<std::int64_t>(r + 1);
      b.from = bus_index(branch_, r, F_BUS);
      b.to = bus_index(branch_, r, T_BUS);
      b.in_service = branch_.finite(r, BR_STATUS) != 0.0;
      if (b.in_service) read_branch_values(r, b);
      net_.branches.push_back(std::move(b));
    }
  }

  void read_branch_values(std::size_t r, Branch& b) const {
    b.x_pu = branch_.finite(r, BR_X);
    const double tap = branch_.finite(r, TAP);
    if (tap < 0.0) branch_.fail(r, TAP, number_text(tap) + ": a tap ratio cannot be negative");
    b.tap = tap == 0.0 ? 1.0 : tap;
    b.shift_deg = branch_.finite(r, SHIFT);
    const double rate = branch_.finite(r, RATE_A);
    if (rate < 0.0) branch_.fail(r, RATE_A, number_text(rate) + ": a rating cannot be negative (0 means none)");
    if (rate != 0.0 && rate < kNoRatingFrom) {
      b.flow_min_mw = -rate;
      b.flow_max_mw = rate;
    }
    // MATPOWER limits the angle difference of a branch whose ANGMIN or
    // ANGMAX is non-zero and tighter than ±360°; a zero end of such a
    // branch is no limit.
    const double angmin = branch_.optional(r, ANGMIN, 0.0);
    const double angmax = branch_.optional(r, ANGMAX, 0.0);
    const bool limited = (angmin != 0.0 && angmin > -360.0) || (angmax != 0.0 && angmax < 360.0);
    if (limited) {
      if (angmin != 0.0) b.angle_min_deg = angmin;
      if (angmax != 0.0) b.angle_max_deg = angmax;
    }
  }

  const MatpowerCase& mc_;
  const std::string& source_;
  Table bus_, gen_, branch_, cost_;
  std::unordered_map<std::int64_t, std::int32_t> index_;
  Network net_;
};

}  // namespace

Network read_matpower(const MatpowerCase& mc, const std::string& source, const std::string& name) {
  return Reader(mc, source).run(name);
}

}  // namespace corvo::network
