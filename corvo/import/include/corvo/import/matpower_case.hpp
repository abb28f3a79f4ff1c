// A MATPOWER case file (format version 2) read as text: the assignments
// `mpc.NAME = value;` of numbers, quoted texts, numeric matrices and cell
// arrays. The file is never executed; a statement that is none of these
// is refused, since its effect on the case could not be known.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvo::import {

// A file that cannot be imported; the message names the file, the place
// and what is wrong.
class ImportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using Matrix = std::vector<std::vector<double>>;

struct MatpowerCase {
  std::string name;         // the function name, e.g. "case9"
  std::string description;  // the first comment line, e.g. "CASE9 Power flow data for ..."
  std::string version;
  double base_mva = 0.0;
  Matrix bus;
  Matrix gen;
  Matrix branch;
  Matrix gencost;
};

// Parses the text of a case file; `source` names the file in messages.
// Needs version '2', baseMVA, bus, gen and branch; gencost may be absent
// only when the case has no generator in service (checked later).
MatpowerCase parse_matpower(std::string_view text, const std::string& source);

}  // namespace corvo::import
