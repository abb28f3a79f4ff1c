// The report as one JSON document. Numbers that are not finite (a
// loading against a zero limit, a diverged point) become null; texts are
// made valid UTF-8 (display_text.hpp), which the document must be.
#include <cmath>

#include "corvo/report/display_text.hpp"
#include "corvo/report/writers.hpp"

namespace corvo::report {
namespace {

using nlohmann::json;

json number(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

json text(const std::string& s) { return utf8_with_replacements(s); }

json texts(const std::vector<std::string>& list) {
  json a = json::array();
  for (const std::string& s : list) a.push_back(text(s));
  return a;
}

json limit_name(AtLimit a) { return a == AtLimit::none ? json(nullptr) : json(at_limit_name(a)); }

json summary_json(const Summary& s) {
  return {{"case", text(s.case_name)},
          {"title", case_title_utf8(s.title)},
          {"method", text(s.method)},
          {"outcome", outcome_name(s.outcome)},
          {"iterations", s.iterations},
          {"message", text(s.message)},
          {"base_mva", number(s.base_mva)},
          {"cost", number(s.cost)},
          {"constant_cost", number(s.constant_cost)},
          {"cost_with_constant", number(s.cost_with_constant)},
          {"total_load_mw", number(s.total_load_mw)},
          {"total_generation_mw", number(s.total_generation_mw)}};
}

json generators_json(const std::vector<GeneratorRow>& gens) {
  json a = json::array();
  for (const GeneratorRow& g : gens) {
    json row = {{"generator", g.generator},
                {"bus", g.bus},
                {"output_mw", number(g.output_mw)},
                {"lower_mw", number(g.lower_mw)},
                {"upper_mw", number(g.upper_mw)},
                {"incremental_cost", number(g.incremental_cost)},
                {"at_limit", limit_name(g.at_limit)}};
    if (!g.id.empty()) row["id"] = text(g.id);
    a.push_back(std::move(row));
  }
  return a;
}

json buses_json(const std::vector<BusRow>& buses) {
  json a = json::array();
  for (const BusRow& b : buses)
    a.push_back({{"bus", b.bus},
                 {"type", b.type},
                 {"angle_deg", number(b.angle_deg)},
                 {"load_mw", number(b.load_mw)},
                 {"generation_mw", number(b.generation_mw)},
                 {"lmp", number(b.lmp)},
                 {"energy", number(b.energy)},
                 {"congestion", number(b.congestion)}});
  return a;
}

json lines_json(const std::vector<LineRow>& lines, bool angle_limits) {
  json a = json::array();
  for (const LineRow& l : lines) {
    json row = {{"line", l.line},
                {"from", l.from},
                {"to", l.to},
                {"flow_mw", number(l.flow_mw)},
                {"lower_mw", number(l.lower_mw)},
                {"upper_mw", number(l.upper_mw)},
                {"loading_percent", number(l.loading_percent)},
                {"binding", limit_name(l.binding)},
                {"shadow_price", number(l.shadow_price)},
                {"mu_upper", number(l.mu_upper)},
                {"mu_lower", number(l.mu_lower)}};
    if (!l.circuit.empty()) row["circuit"] = text(l.circuit);
    if (angle_limits) {
      row["angle_deg"] = number(l.angle_deg);
      row["angle_min_deg"] = number(l.angle_min_deg);
      row["angle_max_deg"] = number(l.angle_max_deg);
      row["angle_binding"] = limit_name(l.angle_binding);
      row["angle_mu_upper"] = number(l.angle_mu_upper);
      row["angle_mu_lower"] = number(l.angle_mu_lower);
    }
    a.push_back(std::move(row));
  }
  return a;
}

json dropped_json(const std::vector<DroppedRow>& dropped) {
  json a = json::array();
  for (const DroppedRow& d : dropped) a.push_back({{"kind", text(d.kind)}, {"element", text(d.element)}, {"reason", text(d.reason)}});
  return a;
}

json relaxation_json(const std::vector<RelaxationRow>& relaxation) {
  json a = json::array();
  for (const RelaxationRow& r : relaxation)
    a.push_back(
        {{"element", text(r.element)}, {"what", text(r.what)}, {"amount", number(r.amount)}, {"unit", text(r.unit)}});
  return a;
}

json check_json(const OptimalityCheck& check, const Tolerances& tol, bool angles_free) {
  json conditions = json::array();
  for (const Condition& c : check.conditions)
    conditions.push_back({{"name", text(c.name)},
                          {"value", number(c.value)},
                          {"unit", text(c.unit)},
                          {"tolerance", number(c.tolerance)},
                          {"allowance", number(c.allowance)},
                          {"holds", c.holds},
                          {"where", text(c.where)}});
  return {{"verdict", check.optimal ? "optimal" : "not optimal"},
          {"conditions", conditions},
          {"failing", texts(check.failing)},
          {"notes", texts(check.notes)},
          {"angles_free", angles_free},
          {"binding_tolerance_mw", number(tol.binding_mw)}};
}

}  // namespace

nlohmann::json to_json(const Results& r) {
  return {{"summary", summary_json(r.summary)},
          {"generators", generators_json(r.generators)},
          {"buses", buses_json(r.buses)},
          {"lines", lines_json(r.lines, r.angle_limits)},
          {"dropped", dropped_json(r.dropped)},
          {"relaxation", relaxation_json(r.relaxation)},
          {"optimality", check_json(r.check, r.tolerances, r.angles_free)}};
}

}  // namespace corvo::report
