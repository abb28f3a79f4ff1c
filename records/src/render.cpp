// Rendering of one output field: Iw, Fw.d, Dw.d, A and Aw.
//
// Reals are rounded in two steps: the exact decimal expansion of the value
// is first taken to 17 significant digits (correctly rounded, as printf's
// "%.16e" does), then cut at the last digit shown; when the first digit
// cut off is 5 or more the shown digits are rounded up, away from zero.
#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "records/format.hpp"

namespace records {
namespace {

constexpr int kSignificant = 17;

// |value| = 0.d1 d2 ... d17 times ten to `exponent`, d1 not zero.
struct Decimal17 {
  std::string digits;
  int exponent = 0;
};

Decimal17 decimal17(double magnitude) {
  std::array<char, 40> buf{};
  auto result = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                              std::chars_format::scientific, kSignificant - 1);
  std::string_view text(buf.data(), static_cast<std::size_t>(result.ptr - buf.data()));
  // text is "d.dddddddddddddddde+XX"
  Decimal17 d;
  d.digits.reserve(kSignificant);
  d.digits += text[0];
  std::size_t e_pos = text.find('e');
  d.digits.append(text.substr(2, e_pos - 2));
  int exp10 = 0;
  std::string_view exp_text = text.substr(e_pos + 1);
  if (exp_text.front() == '+') exp_text.remove_prefix(1);
  std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exp10);
  d.exponent = exp10 + 1;
  return d;
}

// Adds one unit in the last place of a string of decimal digits; returns
// true when the carry runs out of the front (999 -> 1000).
bool increment(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
  return true;
}

// The first `count` digits of the expansion (zeros beyond the 17th),
// rounded at the first digit cut off. `count` may be 0 or negative.
std::string shown_digits(const Decimal17& d, int count) {
  std::string shown;
  char cut = '0';
  if (count > 0) {
    int kept = std::min(count, kSignificant);
    shown = d.digits.substr(0, static_cast<std::size_t>(kept));
    shown.append(static_cast<std::size_t>(count - kept), '0');
    if (count < kSignificant) cut = d.digits[static_cast<std::size_t>(count)];
  } else if (count == 0) {
    cut = d.digits[0];
  }
  if (cut >= '5') increment(shown);
  return shown;
}

bool all_zero(std::string_view digits) {
  return digits.find_first_not_of('0') == std::string_view::npos;
}

std::string fit(std::string text, int width) {
  auto w = static_cast<std::size_t>(width);
  if (text.size() > w) return std::string(w, '*');
  return std::string(w - text.size(), ' ') + text;
}

// Infinity and NaN have no digits; they are spelt out when they fit.
std::string non_finite(double value, int width) {
  if (std::isnan(value)) return fit("NaN", width);
  std::string sign = std::signbit(value) ? "-" : "";
  std::string text = sign + "Infinity";
  if (text.size() > static_cast<std::size_t>(width)) text = sign + "Inf";
  return fit(text, width);
}

std::string exponent_text(int exponent) {
  int magnitude = std::abs(exponent);
  std::string digits = std::to_string(magnitude);
  char sign = exponent < 0 ? '-' : '+';
  if (magnitude <= 99) {
    if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
    return std::string("D") + sign + digits;
  }
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return std::string(1, sign) + digits;
}

}  // namespace

std::string render_integer(std::int32_t value, int width) {
  return fit(std::to_string(value), width);
}

std::string render_fixed(double value, int width, int digits) {
  if (!std::isfinite(value)) return non_finite(value, width);
  std::string shown;  // digits of |value| times 10^digits, rounded
  if (value != 0.0) {
    Decimal17 d = decimal17(std::fabs(value));
    shown = shown_digits(d, d.exponent + digits);
  }
  bool zero = all_zero(shown);
  auto d = static_cast<std::size_t>(digits);
  std::string integer_part;
  std::string fraction;
  if (shown.size() > d) {
    integer_part = shown.substr(0, shown.size() - d);
    fraction = shown.substr(shown.size() - d);
  } else {
    fraction = std::string(d - shown.size(), '0') + shown;
  }
  integer_part.erase(0, std::min(integer_part.find_first_not_of('0'), integer_part.size()));
  if (integer_part.empty() && digits == 0) integer_part = "0";
  std::string text = (std::signbit(value) && !zero) ? "-" : "";
  text += integer_part + "." + fraction;
  return fit(text, width);
}

std::string render_exponent(double value, int width, int digits) {
  if (!std::isfinite(value)) return non_finite(value, width);
  std::string shown(static_cast<std::size_t>(digits), '0');
  int exponent = 0;
  if (value != 0.0) {
    Decimal17 d = decimal17(std::fabs(value));
    exponent = d.exponent;
    shown = shown_digits(d, digits);
    if (shown.size() > static_cast<std::size_t>(digits)) {  // 0.999.. became 1.000..
      shown.pop_back();
      ++exponent;
    }
  }
  bool zero = all_zero(shown);
  std::string text = (std::signbit(value) && !zero) ? "-" : "";
  text += "." + shown + exponent_text(exponent);
  return fit(text, width);
}

std::string render_text(std::string_view value, int width) {
  if (width <= 0) return std::string(value);
  auto w = static_cast<std::size_t>(width);
  if (value.size() >= w) return std::string(value.substr(0, w));
  return std::string(w - value.size(), ' ') + std::string(value);
}

}  // namespace records
