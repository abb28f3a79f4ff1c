#include "corvo/batch/scenario_file.hpp"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>

#include "corvo/batch/element_refs.hpp"
#include "corvo/network/names.hpp"
#include "csv_cells.hpp"

namespace corvo::batch {
namespace {

const char* const kColumnList =
    "scenario, load_scale, load:BUS, gen_max:GEN, gen_min:GEN, gen_cost:GEN, gen_status:GEN, "
    "branch_status:BRANCH, rate:BRANCH";

enum class Role { name, load_scale, change };

struct Column {
  Role role = Role::change;
  ChangeKind kind = ChangeKind::load;
  std::int32_t element = -1;
  std::string header;
};

enum class Target { bus, generator, branch };

struct KindInfo {
  const char* name;
  ChangeKind kind;
  Target target;
};

constexpr KindInfo kKinds[] = {
    {"load", ChangeKind::load, Target::bus},
    {"gen_max", ChangeKind::gen_max, Target::generator},
    {"gen_min", ChangeKind::gen_min, Target::generator},
    {"gen_cost", ChangeKind::gen_cost, Target::generator},
    {"gen_status", ChangeKind::gen_status, Target::generator},
    {"branch_status", ChangeKind::branch_status, Target::branch},
    {"rate", ChangeKind::rate, Target::branch},
};

// Where a problem is, in the words of every message.
struct Place {
  const std::string& source;
  std::size_t line = 0;

  [[noreturn]] void fail(const std::string& what) const {
    throw ScenarioFileError(source + ": line " + std::to_string(line) + ": " + what);
  }
  [[noreturn]] void fail(std::size_t column, const std::string& header, const std::string& what) const {
    throw ScenarioFileError(source + ": line " + std::to_string(line) + ", column " + std::to_string(column + 1) +
                            " (" + header + "): " + what);
  }
};

std::vector<std::string> cells_of(std::string_view line, const Place& place) {
  std::optional<std::vector<std::string>> cells = csv_cells(line);
  if (!cells) place.fail("a quoted cell without its closing quote");
  return std::move(*cells);
}

Column change_column(const std::string& header, const ElementIndex& index, const network::Network& net,
                     std::size_t c, const Place& place) {
  const std::size_t colon = header.find(':');
  const std::string kind_text = header.substr(0, colon);
  for (const KindInfo& info : kKinds) {
    if (kind_text != info.name) continue;
    if (colon == std::string::npos || colon + 1 == header.size())
      place.fail(c, header, std::string("the column names no element (") + info.name + ":" +
                                (info.target == Target::bus ? "BUS" : info.target == Target::generator ? "GEN" : "BRANCH") +
                                ")");
    const std::string_view ref = std::string_view(header).substr(colon + 1);
    const Lookup found = info.target == Target::bus         ? index.bus(ref)
                         : info.target == Target::generator ? index.generator(ref)
                                                            : index.branch(ref);
    if (found.index < 0) place.fail(c, header, found.problem);
    if (info.kind == ChangeKind::gen_cost &&
        net.generators[static_cast<std::size_t>(found.index)].cost.model != network::CostCurve::Model::polynomial)
      place.fail(c, header,
                 network::generator_name(net, found.index) +
                     " has a piecewise-linear cost; gen_cost sets the linear term of a polynomial cost");
    return {Role::change, info.kind, found.index, header};
  }
  place.fail(c, header, "unknown column; the columns are " + std::string(kColumnList));
}

std::vector<Column> read_header(const std::vector<std::string>& cells, const network::Network& net,
                                const Place& place) {
  const ElementIndex index(net);
  std::vector<Column> columns;
  std::map<std::pair<ChangeKind, std::int32_t>, std::size_t> seen;
  std::optional<std::size_t> name_column, scale_column;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::string& header = cells[c];
    if (header.empty()) place.fail(c, "''", "an empty column name; the columns are " + std::string(kColumnList));
    const auto again = [&](std::size_t first) {
      place.fail(c, header, "the same as column " + std::to_string(first + 1) + " (" + cells[first] + ")");
    };
    if (header == "scenario") {
      if (name_column) again(*name_column);
      name_column = c;
      columns.push_back({Role::name, ChangeKind::load, -1, header});
    } else if (header == "load_scale") {
      if (scale_column) again(*scale_column);
      scale_column = c;
      columns.push_back({Role::load_scale, ChangeKind::load, -1, header});
    } else {
      Column column = change_column(header, index, net, c, place);
      const auto [it, inserted] = seen.emplace(std::make_pair(column.kind, column.element), c);
      if (!inserted) again(it->second);
      columns.push_back(std::move(column));
    }
  }
  if (!name_column) place.fail("no column 'scenario' (the scenarios' names) in the header");
  return columns;
}

std::optional<double> number_of(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Why a value does not fit its column, or "".
std::string value_problem(ChangeKind kind, double value) {
  switch (kind) {
    case ChangeKind::gen_status:
    case ChangeKind::branch_status:
      return value == 0.0 || value == 1.0 ? "" : "a status is 1 (in service) or 0 (out)";
    case ChangeKind::rate: return value > 0.0 ? "" : "a rate is a limit in MW above 0";
    case ChangeKind::load:
    case ChangeKind::gen_max:
    case ChangeKind::gen_min:
    case ChangeKind::gen_cost: break;
  }
  return "";
}

Scenario read_row(const std::vector<std::string>& cells, const std::vector<Column>& columns, const Place& place) {
  if (cells.size() != columns.size())
    place.fail(std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells") + "; the header has " +
               std::to_string(columns.size()) + " columns");
  Scenario s;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::string& cell = cells[c];
    const Column& column = columns[c];
    if (column.role == Role::name) {
      if (cell.empty()) place.fail(c, column.header, "the scenario has no name");
      s.name = cell;
      continue;
    }
    if (cell.empty()) continue;
    const std::optional<double> value = number_of(cell);
    if (!value) place.fail(c, column.header, "'" + cell + "' is not a finite number");
    if (column.role == Role::load_scale) {
      if (*value < 0.0) place.fail(c, column.header, "a load scale is a factor of 0 or more");
      s.load_scale = *value;
      continue;
    }
    const std::string problem = value_problem(column.kind, *value);
    if (!problem.empty()) place.fail(c, column.header, "'" + cell + "': " + problem);
    s.changes.push_back({column.kind, column.element, *value});
  }
  return s;
}

bool blank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

std::vector<Scenario> read_scenarios(std::string_view text, const std::string& source, const network::Network& net) {
  const std::vector<std::string_view> lines = text_lines(text);
  std::vector<Column> columns;
  bool header_read = false;
  std::vector<Scenario> scenarios;
  std::map<std::string, std::size_t> line_of_name;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (blank(lines[i])) continue;
    const Place place{source, i + 1};
    const std::vector<std::string> cells = cells_of(lines[i], place);
    if (!header_read) {
      columns = read_header(cells, net, place);
      header_read = true;
      continue;
    }
    Scenario s = read_row(cells, columns, place);
    const auto [it, inserted] = line_of_name.emplace(s.name, i + 1);
    if (!inserted) place.fail("scenario '" + s.name + "' again (first on line " + std::to_string(it->second) + ")");
    scenarios.push_back(std::move(s));
  }
  if (!header_read) throw ScenarioFileError(source + ": the file is empty; it needs a header and a row per scenario");
  if (scenarios.empty()) throw ScenarioFileError(source + ": a header and no scenario");
  return scenarios;
}

const char* kind_name(ChangeKind kind) {
  for (const KindInfo& info : kKinds)
    if (info.kind == kind) return info.name;
  return "?";
}

}  // namespace corvo::batch
