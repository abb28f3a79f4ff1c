// A small scanner for the subset of the MATLAB language that case files
// use: comments from % to the end of the line, `...` continuations,
// assignments to fields of `mpc` (several on one line when ';' or ','
// separates them), numbers, 'texts', [matrices] whose rows end at ';' or a
// line break, and {cell arrays}, which are skipped. Lines may end in LF,
// CR LF or a lone CR; a UTF-8 byte order mark at the start is skipped.
//
// The text is read in place: tokens are views into it and numbers are
// converted by std::from_chars, so reading allocates nothing per number.
// Each kept matrix is stored in one block of exactly its size, found by a
// counting scan over its text before the values are converted; a file
// therefore costs its own size plus 8 bytes per value kept.
#include "corvo/import/matpower_case.hpp"

#include <charconv>
#include <cstdio>
#include <string>
#include <system_error>

namespace corvo::import {
namespace {

bool is_line_break(char c) { return c == '\n' || c == '\r'; }
bool is_letter_or_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// At most 40 characters of a piece of the file for a message, with bytes
// that are not printable ASCII shown as \xNN.
std::string excerpt(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string s;
  for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f) {
      s += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
      s += hex;
    }
  }
  if (text.size() > kShown) s += "...";
  return s;
}

class Scanner {
 public:
  Scanner(std::string_view text, const std::string& source) : text_(text), source_(&source) {}

  [[noreturn]] void fail(const std::string& what) const {
    throw ImportError(*source_ + ": line " + std::to_string(line_) + ": " + what);
  }

  bool at_end() const { return pos_ >= text_.size(); }
  char peek() const { return at_end() ? '\0' : text_[pos_]; }
  bool looking_at(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }

  // One character; LF, CR LF and a lone CR each end one line.
  void advance() {
    const char c = peek();
    ++pos_;
    if (c == '\n' || (c == '\r' && peek() != '\n')) ++line_;
  }

  void skip_to_line_end() {
    while (!at_end() && !is_line_break(peek())) ++pos_;
  }

  // Blanks, comments and continuations; line breaks too when `lines` is set.
  void skip_blanks(bool lines) {
    while (!at_end()) {
      const char c = peek();
      if (c == '%') {
        const std::size_t start = pos_ + 1;
        skip_to_line_end();
        if (!seen_comment_) first_comment_ = text_.substr(start, pos_ - start);
        seen_comment_ = true;
      } else if (c == '.' && looking_at("...")) {
        skip_to_line_end();
        skip_line_break();
      } else if (c == ' ' || c == '\t' || (lines && is_line_break(c))) {
        advance();
      } else {
        return;
      }
    }
  }

  void skip_line_break() {
    if (peek() == '\r') advance();
    if (peek() == '\n') advance();
  }

  std::string_view identifier() {
    const std::size_t start = pos_;
    while (!at_end() && (is_letter_or_digit(peek()) || peek() == '_' || peek() == '.')) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  std::string_view rest_of_line() {
    const std::size_t start = pos_;
    skip_to_line_end();
    return text_.substr(start, pos_ - start);
  }

  double number() {
    const std::string_view token = number_token();
    if (token.empty()) fail("'" + excerpt(text_.substr(pos_, 1)) + "' is not a number");
    // MATLAB takes a leading '+'; from_chars does not.
    const std::string_view digits = token.front() == '+' ? token.substr(1) : token;
    double v = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (ec == std::errc::result_out_of_range) fail("'" + excerpt(token) + "' is out of the range of a double");
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
      fail("'" + excerpt(token) + "' is not a number");
    return v;
  }

  std::string quoted() {
    advance();  // the opening quote
    std::string s;
    while (true) {
      if (at_end() || is_line_break(peek())) fail("a text without its closing quote");
      const char c = peek();
      advance();
      if (c == '\'') {
        if (peek() != '\'') return s;
        advance();  // a doubled quote stands for one quote
      }
      s += c;
    }
  }

  // The matrix that starts here, its values row after row in one block of
  // exactly their number.
  Matrix matrix() {
    std::vector<double> values;
    values.reserve(Scanner(*this).count_matrix_values());
    const std::size_t columns = walk_matrix(&values);
    return values.empty() ? Matrix() : Matrix(columns, std::move(values));
  }

  // A matrix that is not kept, checked as one that is (numbers, rows of
  // one length); true when it holds a value.
  bool skip_matrix() {
    std::size_t values = 0;
    walk_matrix(nullptr, &values);
    return values > 0;
  }

  // A cell array is skipped whole; texts inside may hold any character.
  void skip_cell() {
    advance();  // '{'
    while (true) {
      skip_blanks(true);
      if (at_end()) fail("a cell array without its closing '}'");
      if (peek() == '}') {
        advance();
        return;
      }
      if (peek() == '\'') {
        quoted();
      } else {
        advance();
      }
    }
  }

  std::string_view first_comment() const { return first_comment_; }

  void skip_byte_order_mark() {
    if (looking_at("\xEF\xBB\xBF")) pos_ = 3;
  }

 private:
  // Reads the matrix that starts here, appending its values to `sink` (when
  // given) and counting them in `count` (when given); returns the number of
  // columns.
  std::size_t walk_matrix(std::vector<double>* sink, std::size_t* count = nullptr) {
    advance();  // '['
    std::size_t columns = 0;
    std::size_t rows = 0;
    std::size_t in_row = 0;
    auto end_row = [&] {
      if (in_row == 0) return;
      if (rows > 0 && in_row != columns)
        fail("a matrix row of " + std::to_string(in_row) + " values after rows of " + std::to_string(columns));
      columns = in_row;
      ++rows;
      in_row = 0;
    };
    while (true) {
      skip_blanks(false);
      if (at_end()) fail("a matrix without its closing ']'");
      const char c = peek();
      if (c == ']') {
        advance();
        end_row();
        return columns;
      }
      if (c == ';' || is_line_break(c)) {
        advance();
        end_row();
      } else if (c == ',') {
        advance();
      } else {
        const double v = number();
        if (sink != nullptr) sink->push_back(v);
        if (count != nullptr) ++*count;
        ++in_row;
      }
    }
  }

  // The number of values of the matrix that starts here: the same walk as
  // walk_matrix() without converting or checking anything (on a copy of
  // the scanner, so that the real walk reports any fault at its place).
  std::size_t count_matrix_values() {
    std::size_t count = 0;
    advance();  // '['
    while (true) {
      skip_blanks(false);
      const char c = peek();
      if (at_end() || c == ']') return count;
      if (c == ';' || c == ',' || is_line_break(c)) {
        advance();
      } else if (number_token().empty()) {
        return count;
      } else {
        ++count;
      }
    }
  }

  std::string_view number_token() {
    const std::size_t start = pos_;
    while (!at_end()) {
      const char c = peek();
      const bool first = pos_ == start;
      const char before = first ? '\0' : text_[pos_ - 1];
      const bool sign = (c == '+' || c == '-') && (first || before == 'e' || before == 'E');
      if (!is_letter_or_digit(c) && c != '.' && !sign) break;
      ++pos_;
    }
    return text_.substr(start, pos_ - start);
  }

  std::string_view text_;
  const std::string* source_;
  std::size_t pos_ = 0;
  int line_ = 1;
  bool seen_comment_ = false;
  std::string_view first_comment_;
};

std::string number_text(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%g", v);
  return s;
}

struct Version {
  std::string text;     // as written, without quotes
  bool written = false;
  bool number = false;  // written as a number rather than a text
};

void assign(MatpowerCase& mc, Version& version, Scanner& in, std::string_view field) {
  in.skip_blanks(false);
  const char c = in.peek();
  if (c == '[') {
    if (field == "bus") mc.bus = in.matrix();
    else if (field == "gen") mc.gen = in.matrix();
    else if (field == "branch") mc.branch = in.matrix();
    else if (field == "gencost") mc.gencost = in.matrix();
    else if (in.skip_matrix()) mc.other_matrices.emplace_back(field);
  } else if (c == '\'') {
    std::string s = in.quoted();
    if (field == "version") version = {std::move(s), true, false};
  } else if (c == '{') {
    in.skip_cell();
  } else {
    const double v = in.number();
    if (field == "baseMVA") mc.base_mva = v;
    if (field == "version") version = {number_text(v), true, true};
  }
  // A statement ends at ';' or ',' (another may follow on the line), or at
  // the end of the line.
  in.skip_blanks(false);
  if (in.peek() == ';' || in.peek() == ',') {
    in.advance();
  } else if (!in.at_end() && !is_line_break(in.peek())) {
    in.fail("unexpected text after the value of mpc." + std::string(field) + ": '" + excerpt(in.rest_of_line()) +
            "'");
  }
}

// "function mpc = case9"
void function_line(MatpowerCase& mc, Scanner& in) {
  const std::string_view line = in.rest_of_line();
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) in.fail("a function line without '='");
  const auto first = line.find_first_not_of(" \t", eq + 1);
  const auto last = line.find_last_not_of(" \t;");
  if (first != std::string_view::npos && last >= first) mc.name = std::string(line.substr(first, last - first + 1));
}

void require(bool present, const std::string& source, const std::string& what) {
  if (!present) throw ImportError(source + ": " + what);
}

// MATPOWER reads a number 2 as readily as the text '2'; any other version
// is a layout this reader does not know.
void check_version(const Version& v, const std::string& source) {
  require(v.written, source, "mpc.version is missing: not a MATPOWER case of format version 2");
  const std::string shown = v.number ? v.text : "'" + v.text + "'";
  require(v.text == "2", source, "not a MATPOWER case of format version 2 (mpc.version = " + shown + ")");
}

}  // namespace

Matrix::Matrix(std::initializer_list<std::initializer_list<double>> rows) {
  for (const auto& row : rows) append_row(std::span<const double>(row.begin(), row.size()));
}

Matrix::Matrix(std::size_t columns, std::vector<double> values)
    : rows_(columns == 0 ? 0 : values.size() / columns), columns_(columns), values_(std::move(values)) {
  if (columns == 0 ? !values_.empty() : values_.size() % columns != 0)
    throw std::invalid_argument("Matrix: the values do not fill whole rows");
}

void Matrix::append_row(std::span<const double> row) {
  if (rows_ == 0) columns_ = row.size();
  values_.insert(values_.end(), row.begin(), row.end());
  ++rows_;
}

MatpowerCase parse_matpower(std::string_view text, const std::string& source) {
  if (text.size() > kMaxMatpowerFileBytes)
    throw ImportError(source + ": the file holds " + std::to_string(text.size()) +
                      " bytes; MATPOWER case files of more than " + std::to_string(kMaxMatpowerFileBytes) +
                      " bytes are not read");
  MatpowerCase mc;
  Version version;
  Scanner in(text, source);
  in.skip_byte_order_mark();
  while (true) {
    in.skip_blanks(true);
    if (in.at_end()) break;
    if (in.peek() == ';' || in.peek() == ',') {
      in.advance();
      continue;
    }
    const std::string_view id = in.identifier();
    if (id == "function") {
      function_line(mc, in);
      continue;
    }
    if (id.substr(0, 4) != "mpc." || id.size() == 4) {
      const std::string_view rest = in.rest_of_line();
      in.fail("a statement that is not an assignment to mpc: '" +
              excerpt(std::string_view(id.data(), static_cast<std::size_t>(rest.data() + rest.size() - id.data()))) +
              "'");
    }
    in.skip_blanks(false);
    if (in.peek() != '=') in.fail("'" + excerpt(id) + "' is not followed by '=' (case files with code are not read)");
    in.advance();
    assign(mc, version, in, id.substr(4));
  }
  // The first comment line, as MATPOWER writes it under the function line.
  std::string_view d = in.first_comment();
  while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
  mc.description = std::string(d);
  mc.version = version.text;
  check_version(version, source);
  require(mc.base_mva > 0.0, source, "mpc.baseMVA is missing or not positive");
  require(!mc.bus.empty(), source, "mpc.bus is missing or empty");
  require(!mc.branch.empty(), source, "mpc.branch is missing or empty");
  return mc;
}

}  // namespace corvo::import
