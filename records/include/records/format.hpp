// Record templates: parsing, field rendering, field conversion, and the
// walk of a template over an item list. Everything here is pure (no I/O);
// `Records` in records.hpp puts it on units.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace records {

using OutValue = std::variant<std::int32_t, double, std::string>;
using InTarget = std::variant<std::int32_t*, double*, std::string*>;

// One element of a template.
struct Element {
  enum class Kind {
    Integer,   // Iw
    Fixed,     // Fw.d
    Exponent,  // Dw.d (also Ew.d)
    Text,      // A or Aw (width 0: the variable's length)
    Skip,      // nX
    Tab,       // Tc
    Slash,     // /
    Dollar,    // $
    Literal,   // 'text'
    Group,     // r( ... )
  };
  Kind kind = Kind::Literal;
  int repeat = 1;  // repeat count of a field descriptor or group
  int width = 0;   // w of a field; n of nX; c of Tc
  int digits = 0;  // d of Fw.d and Dw.d
  std::string text;               // the literal's characters
  std::vector<Element> children;  // a group's elements

  bool is_field() const {
    return kind == Kind::Integer || kind == Kind::Fixed || kind == Kind::Exponent ||
           kind == Kind::Text;
  }
};

// Bounds of a template (see format_parse.cpp): levels of parentheses, and
// the work of one pass over the template in columns and records.
inline constexpr int kMaxNesting = 32;
inline constexpr std::size_t kMaxTemplateWork = 1000000;

// A parsed template. The template ends at the parenthesis that closes its
// opening parenthesis; anything after it is ignored.
class Format {
 public:
  // Throws std::invalid_argument naming the template and the position.
  static Format parse(std::string_view text);

  const std::string& text() const { return text_; }
  const std::vector<Element>& elements() const { return elements_; }
  // Index of the top-level element where a reused template resumes.
  std::size_t reversion_index() const { return reversion_index_; }
  bool has_field() const { return has_field_; }

 private:
  std::string text_;
  std::vector<Element> elements_;
  std::size_t reversion_index_ = 0;
  bool has_field_ = false;
};

// ---- Rendering of one output field ---------------------------------------

// Iw: right-justified; w asterisks when it does not fit.
std::string render_integer(std::int32_t value, int width);
// Fw.d: fixed point, no digit before the point when the integer part is 0.
std::string render_fixed(double value, int width, int digits);
// Dw.d: .ddddD+ee, or .dddd+eee when the exponent is outside -99..99.
std::string render_exponent(double value, int width, int digits);
// A / Aw.
std::string render_text(std::string_view value, int width);

// ---- Conversion of one input field ----------------------------------------

// A field that does not fit its conversion rules.
class FieldError : public std::runtime_error {
 public:
  FieldError(std::string reason, std::string field, int first_column)
      : std::runtime_error(reason), field_(std::move(field)), first_column_(first_column) {}
  const std::string& field() const { return field_; }
  int first_column() const { return first_column_; }

 private:
  std::string field_;
  int first_column_;
};

// Throws FieldError (with column 0; the caller sets the position).
std::int32_t convert_integer(std::string_view field);
double convert_real(std::string_view field, int digits);
// The text stored from a w-column field into a variable of `length`.
std::string convert_text(std::string_view field, std::size_t length);

// ---- Walking a template ---------------------------------------------------

// The records of one write statement. When keep_open is set the last
// record is not ended (a final "$").
struct WrittenRecords {
  std::vector<std::string> records;
  bool keep_open = false;
};

// Throws std::invalid_argument when an item does not suit its descriptor.
WrittenRecords write_records(const Format& format, std::span<const OutValue> items);

// Reads one statement: `next_record` yields the unit's next record, or
// nullopt at end of file. Throws FieldError for a bad field and
// EndOfInput when the unit has no record left.
struct EndOfInput {};
void read_records(const Format& format, std::span<const InTarget> targets,
                  const std::function<std::optional<std::string>()>& next_record);

}  // namespace records
