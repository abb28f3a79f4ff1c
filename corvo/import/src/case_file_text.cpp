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

}  // namespace

std::string real_field(double value, int min_decimals, const std::string& what) {
  if (!std::isfinite(value)) throw ImportError(what + " is not a finite number");
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
  throw ImportError(what + " = " + render(value, min_decimals) + " does not fit in " + std::to_string(kWidth) +
                    " columns with " + std::to_string(min_decimals) + " decimals");
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
