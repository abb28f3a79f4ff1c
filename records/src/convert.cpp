// Conversion of one input field: Iw, Fw.d / Dw.d, A and Aw.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "records/format.hpp"

namespace records {
namespace {

// Blanks and tabs inside a numeric field are ignored.
std::string without_blanks(std::string_view field) {
  std::string s;
  s.reserve(field.size());
  for (char c : field) {
    if (c != ' ' && c != '\t') s += c;
  }
  return s;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void bad(const std::string& reason, std::string_view field) {
  throw FieldError(reason, std::string(field), 0);
}

// Reads an optionally signed run of digits at s[pos]; the exponent is
// clamped far beyond the range of a double so that it cannot overflow.
long long exponent_digits(const std::string& s, std::size_t& pos, std::string_view field) {
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  if (pos >= s.size() || !is_digit(s[pos])) bad("exponent without digits", field);
  long long value = 0;
  while (pos < s.size() && is_digit(s[pos])) {
    if (value < 100000) value = value * 10 + (s[pos] - '0');
    ++pos;
  }
  return negative ? -value : value;
}

}  // namespace

std::int32_t convert_integer(std::string_view field) {
  std::string s = without_blanks(field);
  if (s.empty()) return 0;
  std::size_t pos = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    ++pos;
  }
  if (pos == s.size()) bad("sign without digits in an integer field", field);
  long long value = 0;
  for (; pos < s.size(); ++pos) {
    char c = s[pos];
    if (!is_digit(c)) bad(std::string("character '") + c + "' in an integer field", field);
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) bad("integer out of range", field);
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) bad("integer out of range", field);
  return static_cast<std::int32_t>(value);
}

double convert_real(std::string_view field, int digits) {
  std::string s = without_blanks(field);
  if (s.empty()) return 0.0;
  std::size_t pos = 0;
  std::string mantissa;
  if (s[0] == '+' || s[0] == '-') {
    if (s[0] == '-') mantissa += '-';
    ++pos;
  }
  bool point = false;
  int digit_count = 0;
  for (; pos < s.size(); ++pos) {
    char c = s[pos];
    if (is_digit(c)) {
      mantissa += c;
      ++digit_count;
    } else if (c == '.') {
      if (point) bad("a second decimal point in a real field", field);
      point = true;
      mantissa += c;
    } else {
      break;
    }
  }
  if (digit_count == 0) bad("no digits in a real field", field);
  long long exponent = 0;
  if (pos < s.size()) {
    char c = s[pos];
    if (c == 'D' || c == 'd' || c == 'E' || c == 'e') {
      ++pos;
      exponent = exponent_digits(s, pos, field);
    } else if (c == '+' || c == '-') {
      exponent = exponent_digits(s, pos, field);  // 1.5-3 is 1.5E-3
    } else {
      bad(std::string("character '") + c + "' in a real field", field);
    }
    if (pos < s.size()) {
      bad(std::string("character '") + s[pos] + "' after the exponent of a real field", field);
    }
  }
  // Without a decimal point the last `digits` digits are the fraction.
  if (!point) exponent -= digits;
  std::string text = mantissa + "e" + std::to_string(exponent);
  double value = 0.0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Overflow is an error; underflow gives the nearest subnormal or zero.
    errno = 0;
    value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value)) bad("real value out of range", field);
  } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    bad("malformed real field", field);
  }
  return value;
}

std::string convert_text(std::string_view field, std::size_t length) {
  if (field.size() >= length) return std::string(field.substr(field.size() - length));
  return std::string(field) + std::string(length - field.size(), ' ');
}

}  // namespace records
