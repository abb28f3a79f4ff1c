#include "corvo/number_text.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace corvo {

namespace {

std::string printf_text(const char* format, int precision, double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, format, precision, value);
  return buffer;
}

void use_separator(std::string& text, char decimal_separator) {
  for (char& c : text) {
    if (c == '.') c = decimal_separator;
  }
}

// "1e-08" as "1E-8" and "1.5e+15" as "1.5E+15": the exponent without its
// padding zeros, as a user types it.
std::string compact_exponent(const std::string& text) {
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  const char sign = text[e + 1];
  std::string digits = text.substr(e + 2);
  while (digits.size() > 1 && digits.front() == '0') digits.erase(0, 1);
  return mantissa + "E" + sign + digits;
}

}  // namespace

double round_to_significant(double value, int digits) {
  if (!std::isfinite(value) || value == 0.0) return value;
  return std::strtod(printf_text("%.*e", digits - 1, value).c_str(), nullptr);
}

std::string form_number_text(double value, char decimal_separator) {
  if (!std::isfinite(value)) return {};
  if (value == 0.0) return "0";
  const double target = round_to_significant(value, kCaseFileDigits);
  // The fewest significant digits that give the rounded value back.
  int digits = 1;
  std::string scientific;
  for (; digits <= kCaseFileDigits; ++digits) {
    scientific = printf_text("%.*e", digits - 1, target);
    if (std::strtod(scientific.c_str(), nullptr) == target) break;
  }
  const int exponent = std::atoi(scientific.c_str() + scientific.find('e') + 1);
  std::string text;
  if (exponent >= -5 && exponent < kCaseFileDigits) {
    const int decimals = digits - 1 - exponent;
    text = printf_text("%.*f", decimals > 0 ? decimals : 0, target);
  } else {
    text = compact_exponent(scientific);
  }
  use_separator(text, decimal_separator);
  return text;
}

std::string table_number_text(double value, int decimals, char decimal_separator) {
  if (!std::isfinite(value)) return "\u2014";
  std::string text = printf_text("%.*f", decimals, value);
  // A value that rounds to zero is shown without a sign.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  use_separator(text, decimal_separator);
  return text;
}

}  // namespace corvo
