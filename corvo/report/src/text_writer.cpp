// The text report: a summary, then one aligned table per kind of element,
// then the optimality check and the verdict.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "corvo/report/display_text.hpp"
#include "corvo/report/writers.hpp"

namespace corvo::report {
namespace {

using Row = std::vector<std::string>;

std::string fixed(double v, int decimals) {
  if (!std::isfinite(v)) return "-";
  char buf[64];
  const int len = std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  // Values too large for a table are shown in exponent form.
  if (len < 0 || len > 20) std::snprintf(buf, sizeof buf, "%.6e", v);
  // A value that rounds to zero is shown without a sign: "-0.0000" says
  // nothing more than "0.0000" and draws the eye for no reason.
  std::string text = buf;
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

// A text from the user's files as the console should get it: valid UTF-8,
// control characters escaped.
std::string shown(const std::string& s) { return controls_escaped(utf8_with_replacements(s)); }

std::string scientific(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3e", v);
  return buf;
}

// Columns aligned to their widest cell, two blanks apart: numbers to the
// right, the columns flagged in `left` (texts) to the left.
void write_table(std::ostream& out, const Row& header, const std::vector<Row>& rows,
                 const std::vector<bool>& left = {}) {
  std::vector<std::size_t> width(header.size(), 0);
  auto widen = [&](const Row& r) {
    for (std::size_t c = 0; c < r.size(); ++c) width[c] = std::max(width[c], r[c].size());
  };
  widen(header);
  for (const Row& r : rows) widen(r);
  auto print = [&](const Row& r) {
    std::string line;
    for (std::size_t c = 0; c < r.size(); ++c) {
      const std::string pad(width[c] - r[c].size(), ' ');
      line += "  " + (c < left.size() && left[c] ? r[c] + pad : pad + r[c]);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << '\n';
  };
  print(header);
  for (const Row& r : rows) print(r);
}

std::string outcome_text(const Summary& s) {
  switch (s.outcome) {
    case Outcome::converged: return "converged in " + std::to_string(s.iterations) + " iterations";
    case Outcome::iteration_limit:
      return "stopped at the iteration limit (" + std::to_string(s.iterations) + " iterations)";
    case Outcome::stopped: return "stopped: " + shown(s.message);
    case Outcome::infeasible: return "infeasible: " + shown(s.message);
  }
  return "";
}

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

void write_summary(std::ostream& out, const Summary& s) {
  out << "Case " << shown(s.case_name) << ": " << controls_escaped(case_title_utf8(trimmed(s.title))) << '\n';
  out << "Solver " << shown(s.method) << ": " << outcome_text(s) << '\n';
  out << "Base power        " << fixed(s.base_mva, 2) << " MVA\n";
  out << "Total cost        " << fixed(s.cost, 4) << " $/h without constant costs, " << fixed(s.cost_with_constant, 4)
      << " $/h with them\n";
  out << "Total load        " << fixed(s.total_load_mw, 4) << " MW\n";
  out << "Total generation  " << fixed(s.total_generation_mw, 4) << " MW\n";
}

void write_generators(std::ostream& out, const std::vector<GeneratorRow>& gens) {
  out << "\nGenerators\n";
  bool ids = false;
  for (const GeneratorRow& g : gens) ids = ids || !g.id.empty();
  std::vector<Row> rows;
  for (const GeneratorRow& g : gens) {
    rows.push_back({std::to_string(g.generator), std::to_string(g.bus), fixed(g.output_mw, 4), fixed(g.lower_mw, 2),
                    fixed(g.upper_mw, 2), fixed(g.incremental_cost, 4), at_limit_name(g.at_limit)});
    if (ids) rows.back().insert(rows.back().begin() + 2, shown(g.id));
  }
  Row header{"gen", "bus", "output MW", "lower MW", "upper MW", "inc. cost $/MWh", "at limit"};
  if (ids) header.insert(header.begin() + 2, "id");
  write_table(out, header, rows);
}

void write_buses(std::ostream& out, const std::vector<BusRow>& buses) {
  out << "\nBuses\n";
  std::vector<Row> rows;
  for (const BusRow& b : buses)
    rows.push_back({std::to_string(b.bus), std::to_string(b.type), fixed(b.angle_deg, 4), fixed(b.load_mw, 2),
                    fixed(b.generation_mw, 4), fixed(b.lmp, 4), fixed(b.energy, 4), fixed(b.congestion, 4)});
  write_table(out, {"bus", "type", "angle deg", "load MW", "gen MW", "LMP $/MWh", "energy", "congestion"}, rows);
}

// The multiplier of the angle limit that binds, $/h per degree.
double angle_shadow_price(const LineRow& l) {
  if (l.angle_binding == AtLimit::upper) return l.angle_mu_upper;
  if (l.angle_binding == AtLimit::lower) return l.angle_mu_lower;
  return 0.0;
}

void write_lines(std::ostream& out, const std::vector<LineRow>& lines, bool angle_limits) {
  out << "\nLines\n";
  bool circuits = false;
  for (const LineRow& l : lines) circuits = circuits || !l.circuit.empty();
  std::vector<Row> rows;
  for (const LineRow& l : lines) {
    rows.push_back({std::to_string(l.line), std::to_string(l.from), std::to_string(l.to), fixed(l.flow_mw, 4),
                    fixed(l.lower_mw, 2), fixed(l.upper_mw, 2), fixed(l.loading_percent, 1), at_limit_name(l.binding),
                    fixed(l.shadow_price, 4)});
    if (circuits) rows.back().insert(rows.back().begin() + 3, shown(l.circuit));
    if (angle_limits)
      rows.back().insert(rows.back().end(), {fixed(l.angle_deg, 4), at_limit_name(l.angle_binding),
                                             fixed(angle_shadow_price(l), 4)});
  }
  Row header{"line", "from", "to", "flow MW", "lower MW", "upper MW", "loading %", "binding", "shadow $/MWh"};
  if (circuits) header.insert(header.begin() + 3, "ckt");
  if (angle_limits) header.insert(header.end(), {"angle deg", "angle binding", "angle $/h/deg"});
  write_table(out, header, rows);
}

void write_dropped(std::ostream& out, const std::vector<DroppedRow>& dropped) {
  if (dropped.empty()) return;
  out << "\nNot in the dispatch\n";
  std::vector<Row> rows;
  for (const DroppedRow& d : dropped) rows.push_back({shown(d.element), shown(d.reason)});
  write_table(out, {"element", "reason"}, rows, {true, true});
}

void write_relaxation(std::ostream& out, const std::vector<RelaxationRow>& relaxation) {
  if (relaxation.empty()) return;
  out << "\nNo dispatch meets every limit. The least relaxation that gives one:\n";
  std::vector<Row> rows;
  for (const RelaxationRow& r : relaxation)
    rows.push_back({shown(r.element), shown(r.what), fixed(r.amount, 4), shown(r.unit)});
  write_table(out, {"element", "relaxation", "amount", "unit"}, rows, {true, true, false, true});
}

void write_check(std::ostream& out, const OptimalityCheck& check) {
  out << "\nOptimality check\n";
  std::vector<Row> rows;
  for (const Condition& c : check.conditions) {
    if (c.name == "solver outcome") {
      rows.push_back({shown(c.name), "", "", "", c.holds ? "holds" : "FAILS", shown(c.where)});
      continue;
    }
    rows.push_back({shown(c.name), std::isnan(c.value) ? "not finite" : scientific(c.value), shown(c.unit),
                    "<= " + scientific(c.tolerance), c.holds ? "holds" : "FAILS", shown(c.where)});
  }
  write_table(out, {"condition", "largest", "unit", "tolerance", "", "where"}, rows,
              {true, false, false, false, false, true});
  for (const std::string& note : check.notes) out << "Note: " << shown(note) << '\n';
  out << "\nVerdict: " << (check.optimal ? "optimal" : "not optimal");
  if (!check.optimal) {
    out << " (failing:";
    for (std::size_t i = 0; i < check.failing.size(); ++i) out << (i ? ", " : " ") << shown(check.failing[i]);
    out << ')';
  }
  out << '\n';
}

}  // namespace

void write_text(std::ostream& out, const Results& r) {
  write_summary(out, r.summary);
  if (r.summary.outcome == Outcome::infeasible) {
    write_relaxation(out, r.relaxation);
    write_dropped(out, r.dropped);
    write_check(out, r.check);
    return;
  }
  write_generators(out, r.generators);
  write_buses(out, r.buses);
  write_lines(out, r.lines, r.angle_limits);
  write_dropped(out, r.dropped);
  write_check(out, r.check);
}

}  // namespace corvo::report
