// A small scanner for the subset of the MATLAB language that case files
// use: comments from % to the end of the line, `...` continuations,
// assignments to fields of `mpc`, numbers, 'texts', [matrices] whose rows
// end at ';' or a line break, and {cell arrays}, which are skipped.
#include "corvo/import/matpower_case.hpp"

#include <cctype>
#include <cstdlib>
#include <string>

namespace corvo::import {
namespace {

class Scanner {
 public:
  Scanner(std::string_view text, const std::string& source) : text_(text), source_(source) {}

  [[noreturn]] void fail(const std::string& what) const {
    throw ImportError(source_ + ": line " + std::to_string(line_) + ": " + what);
  }

  bool at_end() const { return pos_ >= text_.size(); }
  char peek() const { return at_end() ? '\0' : text_[pos_]; }
  void advance() {
    if (peek() == '\n') ++line_;
    ++pos_;
  }

  void skip_to_line_end() {
    while (!at_end() && peek() != '\n') advance();
  }

  // Blanks and comments; line breaks too when `lines` is set.
  void skip_blanks(bool lines) {
    while (!at_end()) {
      const char c = peek();
      if (c == '%') {
        skip_to_line_end();
      } else if (c == '.' && text_.substr(pos_, 3) == "...") {
        skip_to_line_end();
        advance();
      } else if (c == ' ' || c == '\t' || c == '\r' || (lines && c == '\n')) {
        advance();
      } else {
        return;
      }
    }
  }

  std::string identifier() {
    std::string id;
    while (!at_end() && (std::isalnum(static_cast<unsigned char>(peek())) || peek() == '_' || peek() == '.')) {
      id += peek();
      advance();
    }
    return id;
  }

  std::string rest_of_line() {
    const std::size_t start = pos_;
    skip_to_line_end();
    return std::string(text_.substr(start, pos_ - start));
  }

  double number() {
    const std::string token = number_token();
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    if (token.empty() || end != token.c_str() + token.size()) fail("'" + token + "' is not a number");
    return v;
  }

  std::string quoted() {
    advance();  // the opening quote
    std::string s;
    while (true) {
      if (at_end() || peek() == '\n') fail("a text without its closing quote");
      const char c = peek();
      advance();
      if (c == '\'') {
        if (peek() != '\'') return s;
        advance();  // a doubled quote stands for one quote
      }
      s += c;
    }
  }

  Matrix matrix() {
    advance();  // '['
    Matrix rows;
    std::vector<double> row;
    auto end_row = [&] {
      if (row.empty()) return;
      if (!rows.empty() && rows.columns() != row.size())
        fail("a matrix row of " + std::to_string(row.size()) + " values after rows of " +
             std::to_string(rows.columns()));
      rows.append_row(row);
      row.clear();
    };
    while (true) {
      skip_blanks(false);
      const char c = peek();
      if (at_end()) fail("a matrix without its closing ']'");
      if (c == ']') {
        advance();
        end_row();
        return rows;
      }
      if (c == ';' || c == '\n') {
        advance();
        end_row();
      } else if (c == ',') {
        advance();
      } else {
        row.push_back(number());
      }
    }
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

 private:
  std::string number_token() {
    std::string token;
    while (!at_end()) {
      const char c = peek();
      const bool sign_after_exponent = (c == '+' || c == '-') && !token.empty() &&
                                       (token.back() == 'e' || token.back() == 'E');
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || ((c == '+' || c == '-') && token.empty()) ||
          sign_after_exponent) {
        token += c;
        advance();
      } else {
        break;
      }
    }
    return token;
  }

  std::string_view text_;
  std::string source_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

void assign(MatpowerCase& mc, Scanner& in, const std::string& field) {
  in.skip_blanks(false);
  const char c = in.peek();
  if (c == '[') {
    Matrix m = in.matrix();
    if (field == "bus") mc.bus = std::move(m);
    else if (field == "gen") mc.gen = std::move(m);
    else if (field == "branch") mc.branch = std::move(m);
    else if (field == "gencost") mc.gencost = std::move(m);
    else if (!m.empty()) mc.other_matrices.push_back(field);
  } else if (c == '\'') {
    const std::string s = in.quoted();
    if (field == "version") mc.version = s;
  } else if (c == '{') {
    in.skip_cell();
  } else {
    const double v = in.number();
    if (field == "baseMVA") mc.base_mva = v;
  }
  in.skip_blanks(false);
  if (in.peek() == ';' || in.peek() == ',') in.advance();
  in.skip_blanks(false);
  if (!in.at_end() && in.peek() != '\n') in.fail("unexpected text after the value of mpc." + field);
}

// "function mpc = case9"
void function_line(MatpowerCase& mc, Scanner& in) {
  const std::string line = in.rest_of_line();
  const auto eq = line.find('=');
  if (eq == std::string::npos) in.fail("a function line without '='");
  const auto first = line.find_first_not_of(" \t", eq + 1);
  const auto last = line.find_last_not_of(" \t\r;");
  if (first != std::string::npos && last >= first) mc.name = line.substr(first, last - first + 1);
}

void require(bool present, const std::string& source, const std::string& what) {
  if (!present) throw ImportError(source + ": " + what);
}

}  // namespace

Matrix::Matrix(std::initializer_list<std::initializer_list<double>> rows) {
  for (const auto& row : rows) append_row(std::span<const double>(row.begin(), row.size()));
}

void Matrix::append_row(std::span<const double> row) {
  if (rows_ == 0) columns_ = row.size();
  values_.insert(values_.end(), row.begin(), row.end());
  ++rows_;
}

MatpowerCase parse_matpower(std::string_view text, const std::string& source) {
  MatpowerCase mc;
  Scanner in(text, source);
  while (true) {
    in.skip_blanks(true);
    if (in.at_end()) break;
    if (in.peek() == ';') {
      in.advance();
      continue;
    }
    const std::string id = in.identifier();
    if (id == "function") {
      function_line(mc, in);
      continue;
    }
    if (id.rfind("mpc.", 0) != 0 || id.size() == 4) in.fail("a statement that is not an assignment to mpc: '" + id + in.rest_of_line() + "'");
    in.skip_blanks(false);
    if (in.peek() != '=') in.fail("'" + id + "' is not followed by '=' (case files with code are not read)");
    in.advance();
    assign(mc, in, id.substr(4));
  }
  // The first comment line, as MATPOWER writes it under the function line.
  const auto pct = text.find('%');
  if (pct != std::string_view::npos) {
    const auto eol = text.find('\n', pct);
    std::string d(text.substr(pct + 1, eol == std::string_view::npos ? std::string_view::npos : eol - pct - 1));
    while (!d.empty() && (d.back() == '\r' || d.back() == ' ')) d.pop_back();
    mc.description = d;
  }
  require(mc.version == "2", source, "not a MATPOWER case of format version 2 (mpc.version = '" + mc.version + "')");
  require(mc.base_mva > 0.0, source, "mpc.baseMVA is missing or not positive");
  require(!mc.bus.empty(), source, "mpc.bus is missing or empty");
  require(!mc.branch.empty(), source, "mpc.branch is missing or empty");
  return mc;
}

}  // namespace corvo::import
