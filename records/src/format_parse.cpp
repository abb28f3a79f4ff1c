// Parsing of record templates such as "(/,1X,'xadjcy = ',15I4)".
#include <cctype>
#include <optional>
#include <string>

#include "records/format.hpp"

namespace records {
namespace {

using Kind = Element::Kind;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  // Parses the outermost parenthesised list; returns its elements.
  std::vector<Element> parse_template() {
    skip_blanks();
    expect('(');
    std::vector<Element> elements = parse_list();
    return elements;
  }

  // Characters consumed, including the closing parenthesis.
  std::size_t consumed() const { return pos_; }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw std::invalid_argument("bad record template \"" + std::string(text_) + "\" at position " +
                                std::to_string(pos_ + 1) + ": " + what);
  }

  bool at_end() const { return pos_ >= text_.size(); }
  char peek() const { return at_end() ? '\0' : text_[pos_]; }
  char upper_peek() const {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
  }
  void skip_blanks() {
    while (!at_end() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  void expect(char c) {
    skip_blanks();
    if (peek() != c) fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  bool digit_next() {
    skip_blanks();
    return std::isdigit(static_cast<unsigned char>(peek())) != 0;
  }

  int number() {
    skip_blanks();
    if (!std::isdigit(static_cast<unsigned char>(peek()))) fail("expected a number");
    long value = 0;
    while (std::isdigit(static_cast<unsigned char>(peek()))) {
      value = value * 10 + (peek() - '0');
      if (value > 100000) fail("number too large");
      ++pos_;
    }
    return static_cast<int>(value);
  }

  // Elements up to and including the closing parenthesis of this list.
  std::vector<Element> parse_list() {
    std::vector<Element> elements;
    for (;;) {
      skip_blanks();
      if (at_end()) fail("missing closing parenthesis");
      char c = peek();
      if (c == ')') {
        ++pos_;
        return elements;
      }
      if (c == ',') {
        ++pos_;
        continue;
      }
      parse_element(elements);
    }
  }

  void parse_element(std::vector<Element>& out) {
    std::optional<int> count;
    if (digit_next()) count = number();
    skip_blanks();
    char c = upper_peek();
    Element e;
    switch (c) {
      case '(':
        ++pos_;
        e.kind = Kind::Group;
        e.repeat = count.value_or(1);
        e.children = parse_list();
        out.push_back(std::move(e));
        return;
      case '\'':
      case '"':
        e.kind = Kind::Literal;
        e.text = quoted();
        for (int r = 0; r < count.value_or(1); ++r) out.push_back(e);
        return;
      case '/':
        ++pos_;
        e.kind = Kind::Slash;
        for (int r = 0; r < count.value_or(1); ++r) out.push_back(e);
        return;
      case '$':
        ++pos_;
        e.kind = Kind::Dollar;
        out.push_back(e);
        return;
      case 'X':
        ++pos_;
        e.kind = Kind::Skip;
        e.width = count.value_or(1);
        out.push_back(e);
        return;
      case 'T':
        ++pos_;
        if (count) fail("a count cannot precede T");
        e.kind = Kind::Tab;
        e.width = number();
        if (e.width < 1) fail("T needs a column of 1 or more");
        out.push_back(e);
        return;
      case 'I':
        ++pos_;
        e.kind = Kind::Integer;
        e.width = positive_width();
        break;
      case 'F':
        ++pos_;
        e.kind = Kind::Fixed;
        width_and_digits(e);
        break;
      case 'D':
      case 'E':
        ++pos_;
        e.kind = Kind::Exponent;
        width_and_digits(e);
        break;
      case 'A':
        ++pos_;
        e.kind = Kind::Text;
        e.width = digit_next() ? positive_width() : 0;
        break;
      default:
        fail(std::string("unknown element '") + peek() + "'");
    }
    int repeat = count.value_or(1);
    if (repeat < 1) fail("repeat count must be 1 or more");
    for (int r = 0; r < repeat; ++r) out.push_back(e);
  }

  int positive_width() {
    int w = number();
    if (w < 1) fail("field width must be 1 or more");
    return w;
  }

  void width_and_digits(Element& e) {
    e.width = positive_width();
    expect('.');
    e.digits = number();
  }

  std::string quoted() {
    char quote = peek();
    ++pos_;
    std::string text;
    for (;;) {
      if (at_end()) fail("unterminated literal");
      char c = text_[pos_++];
      if (c == quote) {
        if (peek() == quote) {  // a doubled quote stands for itself
          text += quote;
          ++pos_;
          continue;
        }
        return text;
      }
      text += c;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool contains_field(const std::vector<Element>& elements) {
  for (const Element& e : elements) {
    if (e.is_field()) return true;
    if (e.kind == Kind::Group && contains_field(e.children)) return true;
  }
  return false;
}

}  // namespace

Format Format::parse(std::string_view text) {
  Parser parser(text);
  Format format;
  format.elements_ = parser.parse_template();
  format.text_ = std::string(text.substr(0, parser.consumed()));
  format.has_field_ = contains_field(format.elements_);
  // A reused template resumes at the last top-level group that holds a
  // field descriptor, or else at its start. A repeated literal such as
  // 80('-') is a group without fields and is no resumption point.
  for (std::size_t i = 0; i < format.elements_.size(); ++i) {
    const Element& e = format.elements_[i];
    if (e.kind == Kind::Group && contains_field(e.children)) format.reversion_index_ = i;
  }
  return format;
}

}  // namespace records
