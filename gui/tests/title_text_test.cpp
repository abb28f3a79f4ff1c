// Titles between the case file's bytes and the screen: decoded by what the
// bytes are, written back in the encoding they came in.
#include "corvo/title_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using corvo::TitleEncoding;

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::string utf8;
  TitleEncoding encoding;
};

// é is E9 in Latin-1 and C3 A9 in UTF-8.
const DecodeCase kDecodeCases[] = {
    {"ASCII", "IEEE 14", "IEEE 14", TitleEncoding::latin1},
    {"Latin-1 accent", "Sistema El\xE9trico", "Sistema El\xC3\xA9trico", TitleEncoding::latin1},
    {"UTF-8 accent", "Sistema El\xC3\xA9trico", "Sistema El\xC3\xA9trico", TitleEncoding::utf8},
    {"UTF-8 beyond Latin-1", "Rede \xE2\x82\xAC", "Rede \xE2\x82\xAC", TitleEncoding::utf8},
    // Latin-1 "Ã©" (C3 A9) is also valid UTF-8 é: the UTF-8 reading wins,
    // as it does for every accented UTF-8 title.
    {"ambiguous pair", "\xC3\xA9", "\xC3\xA9", TitleEncoding::utf8},
    {"cut UTF-8 sequence", "Sess\xC3", "Sess\xC3\x83", TitleEncoding::latin1},
    {"overlong encoding", "\xC0\xAF", "\xC3\x80\xC2\xAF", TitleEncoding::latin1},
    {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80", TitleEncoding::latin1},
    {"empty", "", "", TitleEncoding::latin1},
};

TEST(TitleText, DecodesByWhatTheBytesAre) {
  for (const DecodeCase& c : kDecodeCases) {
    const corvo::DecodedTitle title = corvo::decode_title(c.bytes);
    EXPECT_EQ(title.utf8, c.utf8) << c.what;
    EXPECT_EQ(title.encoding, c.encoding) << c.what;
  }
}

// Opening and saving gives the same bytes back, whatever they were.
TEST(TitleText, EncodingBackGivesTheSameBytes) {
  for (const DecodeCase& c : kDecodeCases) {
    const corvo::DecodedTitle title = corvo::decode_title(c.bytes);
    EXPECT_EQ(corvo::encode_title(title.utf8, title.encoding), c.bytes) << c.what;
  }
}

TEST(TitleText, Latin1TitleWithCharacterBeyondItIsWrittenInUtf8) {
  EXPECT_EQ(corvo::encode_title("Rede \xE2\x82\xAC", TitleEncoding::latin1), "Rede \xE2\x82\xAC");
  EXPECT_EQ(corvo::encode_title("Ger\xC3\xA7\xC3\xA3o", TitleEncoding::latin1), "Ger\xE7\xE3o");
}

TEST(TitleText, InvalidUtf8IsRefused) {
  EXPECT_THROW(corvo::encode_title("\xE9", TitleEncoding::latin1), corvo::TitleEncodingError);
}

TEST(TitleText, PaddingIsDropped) {
  EXPECT_EQ(corvo::title_without_padding("Caso 1" + std::string(74, ' ')), "Caso 1");
  EXPECT_EQ(corvo::title_without_padding(std::string(80, ' ')), "");
  EXPECT_EQ(corvo::title_without_padding("  centred  "), "  centred");
}

}  // namespace
