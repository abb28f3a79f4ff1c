#include "corvo/app/case_map_labels.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "corvo/app/input_error.hpp"

namespace corvo::app {
namespace {

std::size_t at(std::int64_t one_based) { return static_cast<std::size_t>(one_based - 1); }

void require_size(std::size_t rows, std::size_t entries, const char* what) {
  if (rows != entries)
    throw InputError(std::string("the case map has ") + std::to_string(entries) + " " + what + ", the case " +
                     std::to_string(rows) + " (was the case file changed after the import?)");
}

}  // namespace

void apply_case_map(report::Results& r, const import::CaseMap& map) {
  require_size(r.buses.size(), map.buses.size(), "buses");
  require_size(r.generators.size(), map.generators.size(), "generators");
  require_size(r.lines.size(), map.lines.size(), "lines");
  // Our bus number -> the source's.
  std::vector<std::int64_t> source_bus(map.buses.size());
  for (std::size_t i = 0; i < map.buses.size(); ++i) source_bus[i] = map.buses[i].source_bus;

  std::vector<report::GeneratorRow> generators;
  std::map<std::int64_t, double> generation;  // per source bus
  double moved_constant = 0.0;                 // constant cost the shifts of lower limits added
  for (report::GeneratorRow g : r.generators) {
    const import::MapEntry& e = map.generators[at(g.generator)];
    moved_constant += e.constant_cost_offset;
    if (e.added) continue;
    g.generator = e.source_row;
    g.bus = e.source_bus;
    g.id = e.source_id;
    g.output_mw -= e.offset_mw;
    g.lower_mw -= e.offset_mw;
    g.upper_mw -= e.offset_mw;
    generation[g.bus] += g.output_mw;
    generators.push_back(g);
  }
  std::stable_sort(generators.begin(), generators.end(),
                   [](const report::GeneratorRow& a, const report::GeneratorRow& b) { return a.generator < b.generator; });
  r.generators = std::move(generators);
  // The shift P = P' + Pmin moved part of a generator's cost into its
  // constant: the source's split is the other way round.
  r.summary.constant_cost -= moved_constant;
  r.summary.cost += moved_constant;

  std::vector<report::BusRow> buses;
  double total_load = 0.0, total_generation = 0.0;
  for (report::BusRow b : r.buses) {
    const import::MapEntry& e = map.buses[at(b.bus)];
    if (e.added) continue;
    b.bus = e.source_bus;
    b.load_mw -= e.offset_mw;
    b.generation_mw = generation.count(b.bus) ? generation[b.bus] : 0.0;
    total_load += b.load_mw;
    total_generation += b.generation_mw;
    buses.push_back(b);
  }
  r.buses = std::move(buses);
  r.summary.total_load_mw = total_load;
  r.summary.total_generation_mw = total_generation;

  std::vector<report::LineRow> lines;
  for (report::LineRow l : r.lines) {
    const import::MapEntry& e = map.lines[at(l.line)];
    if (e.added) continue;
    l.line = e.source_row;
    l.circuit = e.source_id;
    l.from = source_bus[at(l.from)];
    l.to = source_bus[at(l.to)];
    l.flow_mw -= e.offset_mw;
    l.lower_mw = e.no_limit ? -std::numeric_limits<double>::infinity() : l.lower_mw - e.offset_mw;
    l.upper_mw = e.no_limit ? std::numeric_limits<double>::infinity() : l.upper_mw - e.offset_mw;
    const double limit = l.flow_mw >= 0.0 ? l.upper_mw : -l.lower_mw;
    l.loading_percent = std::isfinite(limit) && limit != 0.0 ? std::fabs(l.flow_mw) / std::fabs(limit) * 100.0 : NAN;
    lines.push_back(l);
  }
  r.lines = std::move(lines);
}

}  // namespace corvo::app
