// The map of an imported case as a CSV table beside the case file.
#include <charconv>
#include <cstdio>
#include <sstream>

#include "corvo/import/case_mapping.hpp"

namespace corvo::import {
namespace {

constexpr const char* kHeader = "element,ours,source_row,source_bus,source_id,added,offset_mw,no_limit,constant_cost_offset";

// The shortest text that reads back as the same double.
std::string exact(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

void add_rows(std::string& out, const char* element, const std::vector<MapEntry>& entries) {
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const MapEntry& e = entries[k];
    out += std::string(element) + "," + std::to_string(k + 1) + "," +
           (e.source_row ? std::to_string(e.source_row) : "") + "," + (e.source_bus ? std::to_string(e.source_bus) : "") +
           "," + e.source_id + "," + (e.added ? "1" : "0") + "," + exact(e.offset_mw) + "," + (e.no_limit ? "1" : "0") + "," +
           exact(e.constant_cost_offset) + "\r\n";
  }
}

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == ',') fields.emplace_back();
    else fields.back() += c;
  }
  return fields;
}

template <typename T>
bool parse(const std::string& text, T& value) {
  if (text.empty()) {
    value = T{};
    return true;
  }
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return r.ec == std::errc{} && r.ptr == text.data() + text.size();
}

}  // namespace

std::string case_map_text(const CaseMap& map) {
  std::string out = std::string(kHeader) + "\r\n";
  add_rows(out, "bus", map.buses);
  add_rows(out, "generator", map.generators);
  add_rows(out, "line", map.lines);
  return out;
}

CaseMap parse_case_map(const std::string& text, const std::string& source) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  CaseMap map;
  auto fail = [&](const std::string& what) -> void {
    throw ImportError(source + ": line " + std::to_string(number) + ": " + what);
  };
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1) {
      if (line != kHeader) fail(std::string("not a case map (the header is not \"") + kHeader + "\")");
      continue;
    }
    if (line.empty()) continue;
    const std::vector<std::string> f = fields_of(line);
    if (f.size() != 9) fail("9 fields expected, " + std::to_string(f.size()) + " found");
    std::vector<MapEntry>* entries = f[0] == "bus" ? &map.buses
                                     : f[0] == "generator" ? &map.generators
                                     : f[0] == "line" ? &map.lines
                                                       : nullptr;
    if (!entries) fail("element '" + f[0] + "' is none of bus, generator, line");
    std::size_t ours = 0;
    MapEntry e;
    if (!parse(f[1], ours) || ours != entries->size() + 1)
      fail("'" + f[1] + "' is not the next " + f[0] + " number (" + std::to_string(entries->size() + 1) + ")");
    int added = 0, no_limit = 0;
    if (!parse(f[2], e.source_row) || !parse(f[3], e.source_bus) || !parse(f[5], added) || added < 0 || added > 1 ||
        !parse(f[6], e.offset_mw) || !parse(f[7], no_limit) || no_limit < 0 || no_limit > 1 ||
        !parse(f[8], e.constant_cost_offset))
      fail("a field that does not read as a number");
    e.source_id = f[4];
    e.added = added == 1;
    e.no_limit = no_limit == 1;
    entries->push_back(e);
  }
  if (number == 0) fail("empty file");
  return map;
}

}  // namespace corvo::import
