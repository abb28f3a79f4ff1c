#include "corvo/number_conversion.hpp"

#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>
#include <utility>

namespace corvo {

ConversionError::ConversionError(const std::string& message, std::string text)
    : std::runtime_error(message), text_(std::move(text)) {}

PlacedConversionError::PlacedConversionError(const ConversionError& error, std::string place)
    : ConversionError(error), place_(std::move(place)) {}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

[[noreturn]] void refuse_integer(std::string_view text) {
  throw ConversionError("'" + std::string(text) + "' não é um valor inteiro válido",
                        std::string(text));
}

[[noreturn]] void refuse_real(std::string_view text) {
  throw ConversionError("'" + std::string(text) + "' não é um valor real válido",
                        std::string(text));
}

// Moves past a run of digits starting at `pos`; returns the new position.
std::size_t skip_digits(std::string_view s, std::size_t pos) {
  while (pos < s.size() && is_digit(s[pos])) ++pos;
  return pos;
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  std::string_view s = trim_blanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || skip_digits(s, 0) != s.size()) refuse_integer(text);

  // Digits only from here; a magnitude beyond 64 bits is out of range anyway.
  std::uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude);
  if (ec != std::errc() || end != s.data() + s.size()) refuse_integer(text);

  const std::uint64_t limit =
      negative ? std::uint64_t{1} << 31 : std::uint64_t{std::numeric_limits<std::int32_t>::max()};
  if (magnitude > limit) refuse_integer(text);
  const auto value = static_cast<std::int64_t>(magnitude);
  return static_cast<std::int32_t>(negative ? -value : value);
}

double StrToFloat(std::string_view text, char decimal_separator) {
  const std::string_view s = trim_blanks(text);

  // Check the shape and build the same number in the notation that
  // std::from_chars reads: "-", digits, ".", digits, "e", sign, digits, with
  // a 0 standing in for an empty digit run on either side of the point.
  std::string normalised;
  std::size_t pos = 0;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
    if (s[pos] == '-') normalised += '-';
    ++pos;
  }
  const std::size_t integer_end = skip_digits(s, pos);
  std::size_t mantissa_digits = integer_end - pos;
  normalised.append(s.substr(pos, integer_end - pos));
  if (integer_end == pos) normalised += '0';
  pos = integer_end;
  if (pos < s.size() && s[pos] == decimal_separator) {
    ++pos;
    const std::size_t fraction_end = skip_digits(s, pos);
    mantissa_digits += fraction_end - pos;
    normalised += '.';
    normalised.append(s.substr(pos, fraction_end - pos));
    if (fraction_end == pos) normalised += '0';
    pos = fraction_end;
  }
  if (mantissa_digits == 0) refuse_real(text);
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
    ++pos;
    normalised += 'e';
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) normalised += s[pos++];
    const std::size_t exponent_end = skip_digits(s, pos);
    if (exponent_end == pos) refuse_real(text);
    normalised.append(s.substr(pos, exponent_end - pos));
    pos = exponent_end;
  }
  if (pos != s.size()) refuse_real(text);

  double value = 0.0;
  const char* first = normalised.data();
  const char* last = first + normalised.size();
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || end != last) refuse_real(text);
  return value;
}

}  // namespace corvo
