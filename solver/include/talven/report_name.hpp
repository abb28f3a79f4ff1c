// The name of the case report, built from the 14-character case name.
#pragma once

#include <string>
#include <string_view>

namespace talven {

// Copies the case name, overwrites the four positions starting at its
// first blank among positions 1 to 10 by ".ip" and a blank, and drops the
// trailing blanks. Without a blank in the first 10 positions the name is
// used unchanged, without an extension.
std::string report_file_name(std::string_view case_name);

}  // namespace talven
