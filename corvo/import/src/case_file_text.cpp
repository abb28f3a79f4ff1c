// The case file's layout: every numeric field is 10 columns wide, reals
// always carry a decimal point (a field without one is read with an
// implied scale), records end with CR LF.
#include "corvo/import/case_file_text.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace corvo::import {
namespace {

constexpr int kWidth = 10;
constexpr const char* kEnd = "\r\n";

std::string render(double value, int decimals) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

// "0.5" as ".5" and "-0.5" as "-.5", as the reader takes them: one more
// decimal in the same columns.
std::string without_leading_zero(const std::string& s) {
  if (s.rfind("0.", 0) == 0) return s.substr(1);
  if (s.rfind("-0.", 0) == 0) return "-" + s.substr(2);
  return s;
}

std::string padded(const std::string& s) { return std::string(kWidth - s.size(), ' ') + s; }

std::string int_field(std::int32_t v) { return padded(std::to_string(v)); }

std::string generator_record(const ImportedBus& b) {
  const std::string& who = b.source;
  return real_field(b.load, 2, who + ": load") + real_field(b.constant_cost, 2, who + ": constant cost") +
         real_field(b.linear_cost, 2, who + ": linear cost") + real_field(b.quadratic_cost, 6, who + ": quadratic cost") +
         real_field(b.upper, 2, who + ": upper limit") + real_field(b.lower, 2, who + ": lower limit");
}

// The value in 10 columns with at least `min_decimals` decimals: the
// shortest such text that reads back as the same double, or, when that is
// too wide, the value rounded to as many decimals as fit.
std::string fixed_field(double value, int min_decimals, const std::string& what) {
  // Texts of at most 9 characters keep a blank before the field, so that
  // the file stays readable by eye; a value that needs all 10 columns
  // gets them rather than losing its digits.
  for (const int room : {kWidth - 1, kWidth}) {
    std::string best;
    for (int d = min_decimals; d <= kWidth; ++d) {
      std::string s = render(value, d);
      if (static_cast<int>(s.size()) > room) s = without_leading_zero(s);
      if (static_cast<int>(s.size()) > room) break;
      best = s;
      if (std::strtod(s.c_str(), nullptr) == value) break;
    }
    if (!best.empty()) return padded(best);
  }
  char shown[32];
  std::snprintf(shown, sizeof shown, "%.*f", min_decimals, value);
  if (std::fabs(value) >= 1e15) std::snprintf(shown, sizeof shown, "%g", value);
  throw ImportError(what + " = " + shown + " does not fit in " + std::to_string(kWidth) + " columns with " +
                    std::to_string(min_decimals) + " decimals");
}

// Within 1e-6 of the value, relative: what the case file must hold.
bool close_enough(const std::string& text, double value) {
  const double read = std::strtod(text.c_str(), nullptr);
  return std::fabs(read - value) <= 1e-6 * std::fabs(value);
}

// The value in exponent form within 10 columns ("1.5E-8"; the reader
// takes exponents in every real field): the shortest that reads back
// exactly, else the one with the most digits that fit.
std::string exponent_form(double value) {
  std::string best;
  for (int digits = 0; digits <= 8; ++digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*E", digits, value);
    std::string s = buf;
    // "E-08" as "E-8": the exponent's leading zeros cost columns.
    const auto e = s.find('E');
    std::string exponent = s.substr(e + 2);
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    s = s.substr(0, e + 1) + (s[e + 1] == '-' ? "-" : "") + exponent;
    if (static_cast<int>(s.size()) > kWidth) break;
    best = s;
    if (std::strtod(s.c_str(), nullptr) == value) break;
  }
  return best;
}

}  // namespace

std::string real_field(double value, int min_decimals, const std::string& what) {
  if (!std::isfinite(value)) throw ImportError(what + " is not a finite number");
  const std::string fixed = fixed_field(value, min_decimals, what);
  if (close_enough(fixed, value)) return fixed;
  const std::string exponent = exponent_form(value);
  if (!exponent.empty() && close_enough(exponent, value)) return padded(exponent);
  char shown[32];
  std::snprintf(shown, sizeof shown, "%g", value);
  throw ImportError(what + " = " + shown + " cannot be written in " + std::to_string(kWidth) +
                    " columns to within 1e-6 of its value");
}

std::string case_file_text(const ImportedCase& c) {
  std::string t = c.title.substr(0, 80) + kEnd;
  t += int_field(static_cast<std::int32_t>(c.buses.size())) + int_field(static_cast<std::int32_t>(c.lines.size())) +
       real_field(c.sb, 2, "base power") + kEnd;
  for (const ImportedLine& l : c.lines)
    t += int_field(l.se) + int_field(l.re) + real_field(l.x, 6, l.source + ": reactance") +
         real_field(l.upper, 2, l.source + ": upper limit") + real_field(l.lower, 2, l.source + ": lower limit") + kEnd;
  for (std::size_t i = 0; i < c.buses.size(); ++i) {
    t += int_field(c.buses[i].type);
    if (i % 8 == 7 || i + 1 == c.buses.size()) t += kEnd;
  }
  for (const ImportedBus& b : c.buses)
    t += (b.type == 0 ? real_field(b.load, 2, b.source + ": load") : generator_record(b)) + kEnd;
  t += std::string("       100       150") + kEnd;
  t += std::string("       500       500") + kEnd;
  t += std::string("        99         0   1.0E-08   1.0E-35   1.0E-06   1.0E-10") + kEnd;
  t += std::string("      0.99   1.0E+05   1.0E-01") + kEnd;
  return t;
}

}  // namespace corvo::import
