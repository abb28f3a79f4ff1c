// The save dialog's default extension.
#pragma once

#include <string>
#include <string_view>

namespace corvo {

// `path` with "." and `extension` appended when its file name has no
// extension of its own ("caso1" gives "caso1.dat"; "caso1.txt" and
// "/tmp/x.y/caso1.dat" stay as they are).
std::string with_default_extension(std::string_view path, std::string_view extension);

}  // namespace corvo
