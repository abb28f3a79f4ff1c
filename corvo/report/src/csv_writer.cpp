// The report as CSV tables: a header row, then one record per element;
// numbers in plain decimal notation with a point, texts without commas.
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "corvo/report/display_text.hpp"
#include "corvo/report/writers.hpp"

namespace corvo::report {
namespace {

using Row = std::vector<std::string>;

std::string csv(const Row& header, const std::vector<Row>& rows) {
  std::string out;
  auto add = [&](const Row& r) {
    for (std::size_t c = 0; c < r.size(); ++c) out += (c ? "," : "") + r[c];
    out += "\r\n";
  };
  add(header);
  for (const Row& r : rows) add(r);
  return out;
}

// Texts as valid UTF-8 without control characters (a line break would
// end the record); a text with a comma or a quote is quoted.
std::string text(const std::string& raw) {
  const std::string s = controls_escaped(utf8_with_replacements(raw));
  if (s.find_first_of(",\"") == std::string::npos) return s;
  std::string q = "\"";
  for (char ch : s) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return q + "\"";
}

std::string n(double v) { return plain_number(v); }
std::string i(std::int64_t v) { return std::to_string(v); }

CsvTable summary_table(const Summary& s) {
  const Row header{"case", "method", "outcome", "iterations", "base_mva", "cost", "constant_cost",
                   "cost_with_constant", "total_load_mw", "total_generation_mw"};
  return {"summary.csv", csv(header, {{text(s.case_name), text(s.method), outcome_name(s.outcome), i(s.iterations),
                                       n(s.base_mva), n(s.cost), n(s.constant_cost), n(s.cost_with_constant),
                                       n(s.total_load_mw), n(s.total_generation_mw)}})};
}

// A PSS/E RAW source names machines and circuits by ids: the tables then
// carry an id column.
bool any_id(const std::vector<GeneratorRow>& gens) {
  for (const GeneratorRow& g : gens)
    if (!g.id.empty()) return true;
  return false;
}

bool any_circuit(const std::vector<LineRow>& lines) {
  for (const LineRow& l : lines)
    if (!l.circuit.empty()) return true;
  return false;
}

CsvTable generators_table(const std::vector<GeneratorRow>& gens) {
  const bool ids = any_id(gens);
  std::vector<Row> rows;
  for (const GeneratorRow& g : gens) {
    rows.push_back({i(g.generator), i(g.bus), n(g.output_mw), n(g.lower_mw), n(g.upper_mw), n(g.incremental_cost),
                    at_limit_name(g.at_limit)});
    if (ids) rows.back().push_back(text(g.id));
  }
  Row header{"generator", "bus", "output_mw", "lower_mw", "upper_mw", "incremental_cost", "at_limit"};
  if (ids) header.push_back("id");
  return {"generators.csv", csv(header, rows)};
}

CsvTable buses_table(const std::vector<BusRow>& buses) {
  std::vector<Row> rows;
  for (const BusRow& b : buses)
    rows.push_back({i(b.bus), i(b.type), n(b.angle_deg), n(b.load_mw), n(b.generation_mw), n(b.lmp), n(b.energy),
                    n(b.congestion)});
  return {"buses.csv",
          csv({"bus", "type", "angle_deg", "load_mw", "generation_mw", "lmp", "energy", "congestion"}, rows)};
}

CsvTable lines_table(const std::vector<LineRow>& lines, bool angle_limits) {
  const bool circuits = any_circuit(lines);
  std::vector<Row> rows;
  for (const LineRow& l : lines) {
    rows.push_back({i(l.line), i(l.from), i(l.to), n(l.flow_mw), n(l.lower_mw), n(l.upper_mw), n(l.loading_percent),
                    at_limit_name(l.binding), n(l.shadow_price), n(l.mu_upper), n(l.mu_lower)});
    Row& row = rows.back();
    if (circuits) row.push_back(text(l.circuit));
    if (angle_limits)
      row.insert(row.end(), {n(l.angle_deg), n(l.angle_min_deg), n(l.angle_max_deg), at_limit_name(l.angle_binding),
                             n(l.angle_mu_upper), n(l.angle_mu_lower)});
  }
  Row header{"line", "from", "to", "flow_mw", "lower_mw", "upper_mw", "loading_percent", "binding",
             "shadow_price", "mu_upper", "mu_lower"};
  if (circuits) header.push_back("circuit");
  if (angle_limits)
    header.insert(header.end(), {"angle_deg", "angle_min_deg", "angle_max_deg", "angle_binding", "angle_mu_upper",
                                 "angle_mu_lower"});
  return {"lines.csv", csv(header, rows)};
}

CsvTable dropped_table(const std::vector<DroppedRow>& dropped) {
  std::vector<Row> rows;
  for (const DroppedRow& d : dropped) rows.push_back({text(d.kind), text(d.element), text(d.reason)});
  return {"dropped.csv", csv({"kind", "element", "reason"}, rows)};
}

CsvTable relaxation_table(const std::vector<RelaxationRow>& relaxation) {
  std::vector<Row> rows;
  for (const RelaxationRow& r : relaxation) rows.push_back({text(r.element), text(r.what), n(r.amount), text(r.unit)});
  return {"relaxation.csv", csv({"element", "what", "amount", "unit"}, rows)};
}

CsvTable check_table(const OptimalityCheck& check) {
  std::vector<Row> rows;
  for (const Condition& c : check.conditions)
    rows.push_back({text(c.name), n(c.value), text(c.unit), n(c.tolerance), c.holds ? "yes" : "no", text(c.where)});
  rows.push_back({"verdict", "", "", "", check.optimal ? "yes" : "no", check.optimal ? "optimal" : "not optimal"});
  return {"optimality.csv", csv({"condition", "value", "unit", "tolerance", "holds", "where"}, rows)};
}

}  // namespace

std::string plain_number(double value) {
  if (!std::isfinite(value)) return {};
  // Fixed notation of a double needs at most 309 digits before the point
  // and 1074 after it.
  char buf[1100];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  return std::string(buf, res.ptr);
}

std::vector<CsvTable> csv_tables(const Results& r) {
  return {summary_table(r.summary), generators_table(r.generators), buses_table(r.buses),
          lines_table(r.lines, r.angle_limits), check_table(r.check), dropped_table(r.dropped),
          relaxation_table(r.relaxation)};
}

}  // namespace corvo::report
