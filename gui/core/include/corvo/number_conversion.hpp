// Text-to-number conversions of the case editor.
//
// They behave like the conversions the forms were designed around: an
// integer is an optional sign and decimal digits; a real is an optional
// sign, digits with at most one decimal separator and an optional exponent
// (E or e, an optional sign and digits). The decimal separator is chosen by
// the caller (the forms use the comma), so with a comma a point is refused.
// Blanks around the number are ignored; an empty text is refused.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corvo {

// Raised for a text that is not a valid number. The message quotes the text
// so that the error box tells the user exactly what was refused.
class ConversionError : public std::runtime_error {
 public:
  ConversionError(const std::string& message, std::string text);
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// A conversion error at a named place of a form ("Ramos, linha 3,
// Reatância Série (p.u.)"), so that the error box can say where the
// refused text stands. what() is the conversion's own message.
class PlacedConversionError : public ConversionError {
 public:
  PlacedConversionError(const ConversionError& error, std::string place);
  const std::string& place() const { return place_; }

 private:
  std::string place_;
};

// The whole text as a 32-bit integer, or ConversionError.
std::int32_t StrToInt(std::string_view text);

// The whole text as a double, read with `decimal_separator` as the decimal
// separator, or ConversionError (also for a value beyond the range of a
// double).
double StrToFloat(std::string_view text, char decimal_separator);

}  // namespace corvo
