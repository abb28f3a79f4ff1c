// Parsing of record templates such as "(/,1X,'xadjcy = ',15I4)".
//
// A template comes from the programs' own texts, but also from whoever
// calls recordtool, so the parser keeps every template within bounds: the
// recursion is cut at kMaxNesting levels of parentheses, a repeat count of
// zero is refused (a group walked zero times never uses up an item, and
// template reuse would loop), and the work of one pass over the template
// is limited to kMaxTemplateWork before any repeated element is expanded.
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

#include "records/format.hpp"

namespace records {
namespace {

using Kind = Element::Kind;

// The work of a pass: the columns each element moves over (a field's
// width, a literal's length, the n of nX and the c of Tc, at least 1),
// one for each "/" and "$", and one for each walk through a group
// (add_work keeps the sum from overflowing).
std::size_t work_of(const Element& e) {
  switch (e.kind) {
    case Kind::Literal:
      return std::max<std::size_t>(e.text.size(), 1);
    case Kind::Slash:
    case Kind::Dollar:
      return 1;
    default:
      return static_cast<std::size_t>(std::max(e.width, 1));
  }
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  // Parses the outermost parenthesised list; returns its elements.
  std::vector<Element> parse_template() {
    skip_blanks();
    expect('(');
    std::size_t work = 0;
    return parse_list(1, work);
  }

  // Characters consumed, including the closing parenthesis.
  std::size_t consumed() const { return pos_; }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    // A hostile template can be very long: quote only its start.
    constexpr std::size_t kQuoted = 60;
    std::string quoted(text_.substr(0, kQuoted));
    if (text_.size() > kQuoted) quoted += "...";
    throw std::invalid_argument("bad record template \"" + quoted + "\" at position " +
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

  // Adds `count` times `each` to `work`, failing beyond the limit.
  void add_work(std::size_t& work, std::size_t count, std::size_t each) const {
    if (each != 0 && count > (kMaxTemplateWork - work) / each) {
      fail("the template does more than " + std::to_string(kMaxTemplateWork) +
           " columns and records of work in one pass");
    }
    work += count * each;
  }

  // Elements up to and including the closing parenthesis of this list,
  // which stands at nesting level `depth`; adds the list's work to `work`.
  std::vector<Element> parse_list(int depth, std::size_t& work) {
    if (depth > kMaxNesting) {
      fail("more than " + std::to_string(kMaxNesting) + " levels of parentheses");
    }
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
      parse_element(elements, depth, work);
    }
  }

  // A repeat count in front of a group, a literal, "/" or a field.
  int repeat_count(const std::optional<int>& count) const {
    if (count && *count < 1) fail("repeat count must be 1 or more");
    return count.value_or(1);
  }

  // Appends `repeat` copies of `e`, once their work is known to fit.
  void push_copies(std::vector<Element>& out, const Element& e, int repeat, std::size_t& work) const {
    add_work(work, static_cast<std::size_t>(repeat), work_of(e));
    for (int r = 0; r < repeat; ++r) out.push_back(e);
  }

  void parse_element(std::vector<Element>& out, int depth, std::size_t& work) {
    std::optional<int> count;
    if (digit_next()) count = number();
    skip_blanks();
    char c = upper_peek();
    Element e;
    switch (c) {
      case '(': {
        ++pos_;
        e.kind = Kind::Group;
        e.repeat = repeat_count(count);
        std::size_t inner = 0;
        e.children = parse_list(depth + 1, inner);
        add_work(work, static_cast<std::size_t>(e.repeat), inner + 1);
        out.push_back(std::move(e));
        return;
      }
      case '\'':
      case '"':
        e.kind = Kind::Literal;
        e.text = quoted();
        push_copies(out, e, repeat_count(count), work);
        return;
      case '/':
        ++pos_;
        e.kind = Kind::Slash;
        push_copies(out, e, repeat_count(count), work);
        return;
      case '$':
        ++pos_;
        e.kind = Kind::Dollar;
        push_copies(out, e, 1, work);
        return;
      case 'X':
        ++pos_;
        e.kind = Kind::Skip;
        e.width = count.value_or(1);
        push_copies(out, e, 1, work);
        return;
      case 'T':
        ++pos_;
        if (count) fail("a count cannot precede T");
        e.kind = Kind::Tab;
        e.width = number();
        if (e.width < 1) fail("T needs a column of 1 or more");
        push_copies(out, e, 1, work);
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
    push_copies(out, e, repeat_count(count), work);
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
