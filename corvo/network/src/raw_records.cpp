#include "raw_records.hpp"

#include <charconv>
#include <cmath>

#include "corvo/network/raw_reader.hpp"

namespace corvo::network::raw {

std::string_view trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<double> parse_real(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  // std::from_chars also reads "inf" and "nan", which no RAW field holds;
  // allow only what a number of the format can be made of.
  std::string digits(text);
  for (char& c : digits) {
    if (c == 'D' || c == 'd') c = 'E';
    const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'E' || c == 'e';
    if (!allowed) return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int64_t> parse_integer(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (!text.empty() && error == std::errc() && end == text.data() + text.size()) return value;
  // Some writers put integers as reals ("1.0"); take those whose value is
  // exactly an integer that a double holds exactly.
  const auto real = parse_real(text);
  if (!real || *real != std::trunc(*real) || std::fabs(*real) > 9007199254740992.0) return std::nullopt;
  return static_cast<std::int64_t>(*real);
}

Lines::Lines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

std::vector<Field> split_fields(std::string_view line, const std::string& source, std::int64_t line_number) {
  std::vector<Field> fields;
  std::size_t i = 0;
  const auto blank = [&](std::size_t k) { return k < line.size() && (line[k] == ' ' || line[k] == '\t'); };
  const auto skip_blanks = [&] {
    while (blank(i)) ++i;
  };
  skip_blanks();
  while (i < line.size() && line[i] != '/') {
    Field field;
    if (line[i] == ',') {
      // An empty field: the comma closes it at once.
    } else if (line[i] == '\'' || line[i] == '"') {
      const char quote = line[i];
      const std::size_t close = line.find(quote, i + 1);
      if (close == std::string_view::npos)
        throw RawError(source + ": line " + std::to_string(line_number) + ": field " +
                       std::to_string(fields.size() + 1) + ": a text without its closing quote");
      field.text = std::string(line.substr(i + 1, close - i - 1));
      field.quoted = true;
      i = close + 1;
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ',' && line[i] != '/' && !blank(i) && line[i] != '\'' && line[i] != '"') ++i;
      field.text = std::string(line.substr(start, i - start));
    }
    fields.push_back(std::move(field));
    skip_blanks();
    if (i < line.size() && line[i] == ',') {
      ++i;
      skip_blanks();
      // A comma at the end of the line (or before the comment) leaves one
      // more field, empty.
      if (i >= line.size() || line[i] == '/') fields.emplace_back();
    }
  }
  return fields;
}

bool is_blank_record(const std::vector<Field>& fields) { return fields.empty(); }

bool is_section_end(const std::vector<Field>& fields) {
  return !fields.empty() && !fields[0].quoted && fields[0].text == "0";
}

bool is_data_end(const std::vector<Field>& fields) {
  return !fields.empty() && !fields[0].quoted && (fields[0].text == "Q" || fields[0].text == "q");
}

const Field* Record::field(std::size_t position) const {
  if (position == 0 || position > fields_.size()) return nullptr;
  return &fields_[position - 1];
}

bool Record::has(std::size_t position) const {
  const Field* f = field(position);
  return f != nullptr && (f->quoted || !f->text.empty());
}

void Record::fail(std::string_view name, const std::string& what) const {
  throw RawError(source_ + ": line " + std::to_string(line_) + ": " + what_ + ": field " + std::string(name) + ": " +
                 what);
}

void Record::fail(const std::string& what) const {
  throw RawError(source_ + ": line " + std::to_string(line_) + ": " + what_ + ": " + what);
}

std::int64_t Record::integer(std::size_t position, std::string_view name) const {
  if (!has(position)) fail(name, "missing (it has no default)");
  const Field& f = *field(position);
  const auto value = f.quoted ? std::nullopt : parse_integer(f.text);
  if (!value) fail(name, "'" + f.text + "' is not an integer");
  return *value;
}

std::int64_t Record::integer(std::size_t position, std::string_view name, std::int64_t fallback) const {
  return has(position) ? integer(position, name) : fallback;
}

double Record::real(std::size_t position, std::string_view name) const {
  if (!has(position)) fail(name, "missing (it has no default)");
  const Field& f = *field(position);
  const auto value = f.quoted ? std::nullopt : parse_real(f.text);
  if (!value) fail(name, "'" + f.text + "' is not a finite number");
  return *value;
}

double Record::real(std::size_t position, std::string_view name, double fallback) const {
  return has(position) ? real(position, name) : fallback;
}

std::string Record::text(std::size_t position, std::string_view /*name*/, std::string_view fallback) const {
  return std::string(trim(has(position) ? std::string_view(field(position)->text) : fallback));
}

void Record::check_size(std::size_t most, int version) const {
  if (fields_.size() > most)
    fail(std::to_string(fields_.size()) + " fields, more than the " + std::to_string(most) + " of a version " +
         std::to_string(version) + " record (is the version right? --raw-version chooses it)");
}

}  // namespace corvo::network::raw
