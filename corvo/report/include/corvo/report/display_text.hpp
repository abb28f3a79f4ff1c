// Texts that come from the user's files (a case title, a file name, a
// message quoting either) as the report shows them. JSON must be valid
// UTF-8, and a text table or CSV record must not carry a character that
// moves the cursor, colours the terminal or ends the record early.
#pragma once

#include <string>
#include <string_view>

namespace corvo::report {

// A case title as valid UTF-8. The case editor writes Latin-1 and other
// tools UTF-8, so: valid UTF-8 stays as it is; UTF-8 whose last character
// was cut off (a title cut at the 80 columns of the case file) loses that
// piece; any other text is read as Latin-1, where every byte is a
// character.
std::string case_title_utf8(std::string_view text);

// Any text as valid UTF-8: each byte that does not belong to a valid
// sequence becomes U+FFFD.
std::string utf8_with_replacements(std::string_view text);

// Valid UTF-8 with its control characters (U+0000 to U+001F and U+007F to
// U+009F) written as \u00XX.
std::string controls_escaped(std::string_view utf8);

}  // namespace corvo::report
