// The talven program: reads "orsa.ip", solves the quadratic program and
// writes the case report, the console log and "talven.flw".
#pragma once

#include <filesystem>
#include <iosfwd>

#include "records/records.hpp"

namespace talven {

// The whole run on the files of `dir` (the working directory when empty),
// after the record layer's units are set up. Ends with io.stop().
void talven_program(records::Records& io, const std::filesystem::path& dir);

// Runs the program with the given console streams; returns its exit
// status (0 after the stop, records::kRunTimeErrorStatus after a record
// layer failure).
int run_talven(const std::filesystem::path& dir, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace talven
