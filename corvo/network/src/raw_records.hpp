// The record layer of PSS/E RAW files: a text cut into lines, a line cut
// into fields, and typed access to the fields of one record with the
// format's defaults, so that every error names the file, the line, the
// kind of record and the field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvo::network::raw {

// A number as RAW files and our costs files write it: an optional sign,
// digits, an optional exponent (E or the Fortran D); nothing else. Returns
// nothing for any other text and for values that are not finite.
std::optional<double> parse_real(std::string_view text);
// An integer, also written as a real with an integral value (`2.0`).
std::optional<std::int64_t> parse_integer(std::string_view text);

std::string_view trim(std::string_view text);

// The text cut at LF (a CR before it is dropped), without a leading
// byte-order mark. Lines are numbered from 1 in messages.
class Lines {
 public:
  explicit Lines(std::string_view text);
  std::size_t size() const { return lines_.size(); }
  std::string_view operator[](std::size_t index) const { return lines_[index]; }

 private:
  std::vector<std::string_view> lines_;
};

struct Field {
  std::string text;     // without its quotes; blanks inside quotes kept
  bool quoted = false;
};

// Cuts one line into fields. Fields are separated by a comma or by
// blanks; a text in single or double quotes may hold commas, blanks and
// slashes; a slash outside quotes starts a comment that runs to the end
// of the line. An empty field (two commas with only blanks between them)
// is kept as an empty text, which stands for the field's default.
std::vector<Field> split_fields(std::string_view line, const std::string& source, std::int64_t line_number);

// Fields after the comment is cut: a line with none is blank.
bool is_blank_record(const std::vector<Field>& fields);
// `0` in the first field ends a section; `Q` ends the data.
bool is_section_end(const std::vector<Field>& fields);
bool is_data_end(const std::vector<Field>& fields);

// One record (one line of it) and the means to read its fields by their
// 1-based position, as the format's documentation numbers them.
class Record {
 public:
  Record(std::vector<Field> fields, std::int64_t line, std::string what, const std::string& source)
      : fields_(std::move(fields)), line_(line), what_(std::move(what)), source_(source) {}

  std::size_t size() const { return fields_.size(); }
  std::int64_t line() const { return line_; }
  // True when the field is written and not empty.
  bool has(std::size_t position) const;

  std::int64_t integer(std::size_t position, std::string_view name) const;
  std::int64_t integer(std::size_t position, std::string_view name, std::int64_t fallback) const;
  double real(std::size_t position, std::string_view name) const;
  double real(std::size_t position, std::string_view name, double fallback) const;
  // A text, blanks at either end removed.
  std::string text(std::size_t position, std::string_view name, std::string_view fallback) const;

  // Refuses a record with more fields than its kind has in this version:
  // a longer record is most likely of another version.
  void check_size(std::size_t most, int version) const;

  [[noreturn]] void fail(std::string_view field, const std::string& what) const;
  [[noreturn]] void fail(const std::string& what) const;

 private:
  const Field* field(std::size_t position) const;

  std::vector<Field> fields_;
  std::int64_t line_;
  std::string what_;  // e.g. "generator data"
  const std::string& source_;
};

}  // namespace corvo::network::raw
