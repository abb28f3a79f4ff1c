#include "corvo/results_csv.hpp"

#include <cstddef>

namespace corvo {

namespace {

// Splits one record of the plain dialect into its fields, undoing the
// quotes of a quoted field.
std::vector<std::string> fields_of(std::string_view record) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < record.size(); ++i) {
    const char c = record[i];
    if (quoted) {
      if (c == '"' && i + 1 < record.size() && record[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// The plain dialect writes numbers as an optional minus, digits and an
// optional point with digits; nothing else has that shape.
bool is_plain_number(std::string_view field) {
  std::size_t i = field.empty() || field[0] != '-' ? 0 : 1;
  bool digits = false, point = false;
  for (; i < field.size(); ++i) {
    if (field[i] >= '0' && field[i] <= '9') {
      digits = true;
    } else if (field[i] == '.' && !point && digits) {
      point = true;
    } else {
      return false;
    }
  }
  return digits && field.back() != '.';
}

std::string semicolon_field(std::string field) {
  if (is_plain_number(field)) {
    const std::size_t point = field.find('.');
    if (point != std::string::npos) field[point] = ',';
    return field;
  }
  if (field.find_first_of(";\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string semicolon_comma_csv(std::string_view text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view record = text.substr(start, end - start);
    const bool crlf = !record.empty() && record.back() == '\r';
    if (crlf) record.remove_suffix(1);
    const std::vector<std::string> fields = fields_of(record);
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (f > 0) out += ';';
      out += semicolon_field(fields[f]);
    }
    if (crlf) out += '\r';
    if (end < text.size()) out += '\n';
    start = end + 1;
  }
  return out;
}

std::vector<report::CsvTable> results_csv_tables(const report::Results& results, CsvDialect dialect) {
  std::vector<report::CsvTable> tables = report::csv_tables(results);
  if (dialect == CsvDialect::semicolon_comma) {
    for (report::CsvTable& table : tables) table.content = semicolon_comma_csv(table.content);
  }
  return tables;
}

}  // namespace corvo
