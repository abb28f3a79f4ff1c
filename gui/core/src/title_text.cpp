#include "corvo/title_text.hpp"

#include <cstdint>
#include <vector>

namespace corvo {

namespace {

// Decodes `bytes` as UTF-8 into code points; false for any malformed,
// overlong or surrogate sequence.
bool utf8_code_points(std::string_view bytes, std::vector<char32_t>& points) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t point = 0;
    if (lead < 0x80) {
      point = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
      point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      point = lead & 0x07;
    } else {
      return false;
    }
    if (bytes.size() - i <= static_cast<std::size_t>(extra)) return false;  // cut short
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (point < least[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
      return false;
    }
    points.push_back(point);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

void append_utf8(char32_t point, std::string& out) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

}  // namespace

DecodedTitle decode_title(std::string_view bytes) {
  std::vector<char32_t> points;
  if (utf8_code_points(bytes, points)) {
    for (const char32_t point : points) {
      if (point >= 0x80) return {std::string(bytes), TitleEncoding::utf8};
    }
  }
  DecodedTitle title;
  for (const char byte : bytes) append_utf8(static_cast<unsigned char>(byte), title.utf8);
  return title;
}

std::string encode_title(std::string_view utf8, TitleEncoding encoding) {
  std::vector<char32_t> points;
  if (!utf8_code_points(utf8, points)) {
    throw TitleEncodingError("o título não é um texto UTF-8 válido");
  }
  if (encoding == TitleEncoding::utf8) return std::string(utf8);
  std::string latin1;
  for (const char32_t point : points) {
    if (point > 0xFF) return std::string(utf8);
    latin1 += static_cast<char>(point);
  }
  return latin1;
}

std::string title_without_padding(std::string_view record) {
  const std::size_t end = record.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(record.substr(0, end + 1));
}

}  // namespace corvo
