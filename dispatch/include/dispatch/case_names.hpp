// File names of one run, built from the name typed at the prompt.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dispatch {

// Width of the typed name and of every name built from it.
inline constexpr std::size_t kNameLength = 14;
// The extension goes at the first blank among these leading positions.
inline constexpr std::size_t kExtensionSearch = 10;

struct CaseNames {
  std::string case_name;  // the typed name, blank-padded to 14 characters
  std::string case_file;  // with ".dat"
  std::string out_name;   // with ".out" (only written into the flow data file)
  std::string listing;    // with ".lst"
};

// Zero-based position of the first blank among the first ten characters
// of the 14-character name, or nullopt when there is none.
std::optional<std::size_t> extension_position(std::string_view name);

// The name with `extension` (four letters) and one blank written over the
// five characters starting at `position`; the result keeps 14 characters.
std::string with_extension(std::string_view name, std::size_t position, std::string_view extension);

// The four names of a typed name, or nullopt when the first ten characters
// hold no blank: without an extension every name would equal the case
// file's, and the listing would be created over the case file.
std::optional<CaseNames> make_case_names(std::string_view typed);

}  // namespace dispatch
