// The dispatch model builder's console program: asks for the case name,
// reads the case file and writes the listing, the problem file "orsa.ip"
// and the flow data file "orsa.flw" in the current directory.
#pragma once

#include <filesystem>

#include "records/records.hpp"

namespace dispatch {

// Unit numbers of the builder's files.
inline constexpr int kCaseUnit = 3;
inline constexpr int kListingUnit = 9;
inline constexpr int kProblemUnit = 7;
inline constexpr int kFlowUnit = 8;

// One whole run; ends with io.stop() (or a record layer error). The case
// file is looked for, and the three output files are written, in `dir`
// (the working directory when empty).
[[noreturn]] void run_orsa(records::Records& io, const std::filesystem::path& dir = {});

}  // namespace dispatch
