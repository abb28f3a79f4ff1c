// The case title between the bytes of the case file and the text on
// screen.
//
// The case file carries the title as 8-bit text without saying which
// encoding: the editor has always written one byte per character
// (Latin-1), while files made elsewhere may hold UTF-8. A title is shown
// decoded by what its bytes are, and written back in the encoding it came
// in, so that opening and saving a case never changes its title's bytes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace corvo {

enum class TitleEncoding { latin1, utf8 };

struct DecodedTitle {
  std::string utf8;  // the title as UTF-8 text
  TitleEncoding encoding = TitleEncoding::latin1;
};

// A title that cannot be written in the encoding asked for.
class TitleEncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bytes that form valid UTF-8 and hold at least one character beyond ASCII
// are UTF-8; any other bytes are Latin-1 (every byte one character).
DecodedTitle decode_title(std::string_view bytes);

// The bytes of `utf8` in `encoding`. A title that Latin-1 cannot hold (a
// character beyond U+00FF) is written in UTF-8 rather than losing the
// character. `utf8` must be valid UTF-8 (TitleEncodingError otherwise).
std::string encode_title(std::string_view utf8, TitleEncoding encoding);

// The title of a case file's first record as the case loader returns it
// (80 columns, blank-padded): without its trailing blanks.
std::string title_without_padding(std::string_view record);

}  // namespace corvo
