// The checks of a DcOpf before anything is built from it: sizes that
// agree, indexes in range, numbers where they must be finite. A problem
// built by the DC model always passes; a failure is a programming error
// and throws std::invalid_argument naming the array and the entry.
#pragma once

#include "robust/dc_opf.hpp"

namespace corvo::robust::dc {

void check_problem(const DcOpf& problem);

}  // namespace corvo::robust::dc
