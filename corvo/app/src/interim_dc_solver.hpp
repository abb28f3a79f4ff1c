// Interim: the DC program solved through the older interior-point method
// on the slack form, until the robust method solves the DC program itself.
#pragma once

#include "robust/dc_opf.hpp"

namespace corvo::app {

robust::Solution interim_solve_dc_opf(const robust::DcOpf& problem, const robust::Options& options);

}  // namespace corvo::app
