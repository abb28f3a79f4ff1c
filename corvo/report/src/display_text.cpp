#include "corvo/report/display_text.hpp"

#include <cstdio>

namespace corvo::report {
namespace {

// What starts at `at`: the length of a valid UTF-8 sequence (RFC 3629: no
// overlong forms, no surrogates, nothing above U+10FFFF), 0 for an invalid
// one, and -1 for the valid start of a sequence that the text's end cuts.
int sequence_at(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = byte(at);
  if (b < 0x80) return 1;
  int length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    if (b == 0xE0) low = 0xA0;
    if (b == 0xED) high = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  for (int k = 1; k < length; ++k) {
    if (at + k >= s.size()) return -1;
    const unsigned char c = byte(at + k);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

void append_latin1(std::string& out, unsigned char b) {
  if (b < 0x80) {
    out += static_cast<char>(b);
  } else {
    out += static_cast<char>(0xC0 | (b >> 6));
    out += static_cast<char>(0x80 | (b & 0x3F));
  }
}

}  // namespace

std::string case_title_utf8(std::string_view text) {
  bool multibyte = false;
  for (std::size_t at = 0; at < text.size();) {
    const int n = sequence_at(text, at);
    // A cut last character counts as UTF-8 only where the text shows UTF-8
    // elsewhere or fills the title's 80 columns: "Caf\xE9" is Latin-1.
    if (n == -1 && (multibyte || text.size() >= 80)) return std::string(text.substr(0, at));
    if (n <= 0) {
      std::string out;
      for (const char c : text) append_latin1(out, static_cast<unsigned char>(c));
      return out;
    }
    multibyte = multibyte || n > 1;
    at += static_cast<std::size_t>(n);
  }
  return std::string(text);
}

std::string utf8_with_replacements(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const int n = sequence_at(text, at);
    if (n > 0) {
      out.append(text.substr(at, static_cast<std::size_t>(n)));
      at += static_cast<std::size_t>(n);
    } else {
      out += "\xEF\xBF\xBD";
      ++at;
    }
  }
  return out;
}

std::string controls_escaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const auto b = static_cast<unsigned char>(utf8[at]);
    unsigned code = 0x100;  // none
    if (b < 0x20 || b == 0x7F) code = b;
    // U+0080..U+009F are C2 80..C2 9F in UTF-8.
    if (b == 0xC2 && at + 1 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) <= 0x9F &&
        static_cast<unsigned char>(utf8[at + 1]) >= 0x80)
      code = static_cast<unsigned char>(utf8[++at]);
    if (code == 0x100) {
      out += static_cast<char>(b);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", code);
      out += escaped;
    }
  }
  return out;
}

}  // namespace corvo::report
