// The result tables as CSV for spreadsheets, in two dialects: the one a
// spreadsheet set to Portuguese reads (fields separated by ";", numbers
// with a decimal comma) and the plain one of `corvo report --format csv`
// ("," and a point).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "corvo/report/results.hpp"
#include "corvo/report/writers.hpp"

namespace corvo {

enum class CsvDialect {
  semicolon_comma,  // ";" between fields, decimal comma
  comma_point,      // "," between fields, decimal point
};

// The tables of `corvo report --format csv` (summary.csv, generators.csv,
// buses.csv, lines.csv, optimality.csv) in `dialect`; the same files,
// columns and values in both.
std::vector<report::CsvTable> results_csv_tables(const report::Results& results, CsvDialect dialect);

// One table of the plain dialect in the semicolon dialect: every field
// that is a plain number gets a decimal comma, texts are kept, and a field
// is quoted only where ";" or a quote needs it. Records end as they did.
std::string semicolon_comma_csv(std::string_view comma_point_csv);

}  // namespace corvo
