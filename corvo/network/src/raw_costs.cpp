// The costs file of RAW networks: plain CSV, `bus,id,c2,c1,c0`.
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "corvo/network/raw_reader.hpp"
#include "raw_records.hpp"

namespace corvo::network {
namespace {

// Cuts one CSV line at its commas; a cell in double quotes may hold
// commas, and a doubled quote inside it stands for one quote.
std::vector<std::string> split_csv(std::string_view line, const std::string& where) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        cells.back() += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        cells.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cells.emplace_back();
    } else {
      cells.back() += c;
    }
  }
  if (quoted) throw RawError(where + ": a quoted field without its closing quote");
  for (std::string& cell : cells) cell = std::string(raw::trim(cell));
  return cells;
}

constexpr const char* kColumns[] = {"bus", "id", "c2", "c1", "c0"};

}  // namespace

GeneratorCosts read_generator_costs(std::string_view text, const std::string& source) {
  GeneratorCosts costs;
  costs.source = source;
  const raw::Lines lines(text);
  bool header_seen = false;
  std::map<std::pair<std::int64_t, std::string>, std::int64_t> line_of;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (raw::trim(lines[i]).empty()) continue;
    const std::int64_t line = static_cast<std::int64_t>(i) + 1;
    const std::string where = source + ": line " + std::to_string(line);
    const std::vector<std::string> cells = split_csv(lines[i], where);
    if (!header_seen) {
      bool header_ok = cells.size() == 5;
      for (std::size_t k = 0; header_ok && k < 5; ++k) header_ok = cells[k] == kColumns[k];
      if (!header_ok)
        throw RawError(where + ": the header must be bus,id,c2,c1,c0 (found '" + std::string(lines[i]) + "')");
      header_seen = true;
      continue;
    }
    if (cells.size() != 5)
      throw RawError(where + ": " + std::to_string(cells.size()) + " fields; a row has 5 (bus,id,c2,c1,c0)");
    GeneratorCostRow row;
    row.line = line;
    const auto bus = raw::parse_integer(cells[0]);
    if (!bus || *bus <= 0) throw RawError(where + ": field bus: '" + cells[0] + "' is not a bus number");
    row.bus = *bus;
    row.id = cells[1];
    if (row.id.empty()) throw RawError(where + ": field id: the machine id is empty");
    double* values[] = {&row.c2, &row.c1, &row.c0};
    for (std::size_t k = 0; k < 3; ++k) {
      const auto value = raw::parse_real(cells[k + 2]);
      if (!value)
        throw RawError(where + ": field " + kColumns[k + 2] + ": '" + cells[k + 2] + "' is not a finite number");
      *values[k] = *value;
    }
    if (row.c2 < 0.0)
      throw RawError(where + ": field c2: " + cells[2] + " is negative: the cost would not be convex");
    const auto [it, inserted] = line_of.emplace(std::make_pair(row.bus, row.id), line);
    if (!inserted)
      throw RawError(where + ": a second row for the generator at bus " + std::to_string(row.bus) +
                     " with machine id '" + row.id + "' (the first is on line " + std::to_string(it->second) + ")");
    costs.rows.push_back(std::move(row));
  }
  if (!header_seen) throw RawError(source + ": no header bus,id,c2,c1,c0 (the file is empty)");
  return costs;
}

GeneratorCosts read_generator_costs_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RawError(path + ": cannot open the costs file");
  std::ostringstream text;
  text << in.rdbuf();
  return read_generator_costs(text.str(), path);
}

}  // namespace corvo::network
