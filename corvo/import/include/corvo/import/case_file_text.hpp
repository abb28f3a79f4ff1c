// Our case file's text for an imported case, every record ending with
// CR LF, every value within its 10 columns.
#pragma once

#include <string>

#include "corvo/import/case_mapping.hpp"

namespace corvo::import {

// A real in a field of 10 columns with at least `min_decimals` decimals:
// the shortest such text that reads back as the same double, or, when
// that is too wide, the value rounded to as many decimals as fit; within 9
// columns (a blank before it) when that keeps at least `min_decimals`,
// dropping the zero before the point of a value below 1 when that gains a
// decimal. Throws ImportError naming `what` when not even `min_decimals`
// fit in 10 columns.
std::string real_field(double value, int min_decimals, const std::string& what);

// The whole case file: title, sizes, lines (reactances with at least six
// decimals), bus types, buses, and the algorithm parameters of the
// bundled cases (maxit 99, default tolerances, rho 0.99).
std::string case_file_text(const ImportedCase& c);

}  // namespace corvo::import
