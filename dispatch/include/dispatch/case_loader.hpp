// Loading a case file into memory without running the builder: for
// programs that solve or report on a case and want orsa's reading rules
// (the same templates, checks and per-unit conversions) but none of its
// output files.
#pragma once

#include <filesystem>
#include <stdexcept>

#include "dispatch/case_data.hpp"

namespace dispatch {

// A case file that cannot be read or that the builder would refuse. The
// message names the file and what is wrong: the record layer's report
// (record, columns, field) or the builder's own error text.
class CaseFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the whole case file as orsa does and returns the case in per unit,
// with the tolerance defaults applied. Refuses, as orsa does, a line of
// zero reactance and a bus without any line. Writes nothing.
CaseData load_case_file(const std::filesystem::path& case_file);

}  // namespace dispatch
