// Numbers as the editor shows them: in the forms' cells and edits (decimal
// comma, as typed) and in the result tables (fixed decimals).
#pragma once

#include <string>

namespace corvo {

// Significant digits that every value of a case file holds exactly: a
// field is 10 columns wide, so no value read from one carries more than 10.
inline constexpr int kCaseFileDigits = 12;

// `value` rounded to `digits` significant decimal digits (correctly
// rounded); a value that is not finite is returned as it is.
double round_to_significant(double value, int digits);

// The text a form shows for `value`: the shortest text of at most
// kCaseFileDigits significant digits that reads back as `value` rounded to
// that many digits, with `decimal_separator`; fixed notation for moderate
// magnitudes ("100", "0,0576", "-9999"), an exponent otherwise ("1E-10",
// "1,5E+15"), in the form StrToFloat reads back. Empty for a value that is
// not finite.
std::string form_number_text(double value, char decimal_separator);

// `value` with `decimals` fixed decimals and `decimal_separator` ("125947,88");
// an em dash for a value that is not finite.
std::string table_number_text(double value, int decimals, char decimal_separator);

}  // namespace corvo
