#include "csv_cells.hpp"

namespace corvo::batch {
namespace {

std::string_view trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<std::vector<std::string>> csv_cells(std::string_view line) {
  std::vector<std::string> cells;
  std::size_t i = 0;
  while (true) {
    // One cell from i to the next comma outside quotes.
    std::size_t start = i;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    std::string cell;
    if (start < line.size() && line[start] == '"') {
      std::size_t k = start + 1;
      bool closed = false;
      while (k < line.size()) {
        if (line[k] == '"') {
          if (k + 1 < line.size() && line[k + 1] == '"') {
            cell += '"';
            k += 2;
            continue;
          }
          closed = true;
          ++k;
          break;
        }
        cell += line[k++];
      }
      if (!closed) return std::nullopt;
      // Anything after the closing quote up to the comma joins the cell
      // (as spreadsheets read it); blanks are dropped.
      const std::size_t comma = line.find(',', k);
      const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
      cell += std::string(trimmed(line.substr(k, end - k)));
      cells.push_back(std::move(cell));
      if (comma == std::string_view::npos) break;
      i = comma + 1;
    } else {
      const std::size_t comma = line.find(',', start);
      const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
      cells.emplace_back(trimmed(line.substr(start, end - start)));
      if (comma == std::string_view::npos) break;
      i = comma + 1;
    }
  }
  return cells;
}

std::vector<std::string_view> text_lines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace corvo::batch
