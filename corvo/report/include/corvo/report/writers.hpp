// The report in its three formats: aligned text tables, one JSON document,
// and CSV tables (one per table, a header row, plain numbers with a point).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "corvo/report/results.hpp"

namespace corvo::report {

// Console text; lines end with LF.
void write_text(std::ostream& out, const Results& results);

// The JSON document (schema in the README, section "corvo").
nlohmann::json to_json(const Results& results);

// The same document written to `out` as it is made (no document tree: the
// way for large networks), ending with a line break.
void write_json(std::ostream& out, const Results& results);

struct CsvTable {
  std::string file_name;  // e.g. "buses.csv"
  std::string content;    // records end with CR LF
};

// summary.csv, generators.csv, buses.csv, lines.csv, optimality.csv,
// dropped.csv (elements that take no part) and relaxation.csv (what an
// infeasible case needs relaxed); the last two may hold their header only.
std::vector<CsvTable> csv_tables(const Results& results);

// A number as plain decimal digits with a point where needed, the shortest
// text that reads back to the same double; empty for a value that is not
// finite.
std::string plain_number(double value);

}  // namespace corvo::report
