// The dispatch program of a case, built exactly as orsa builds it.
#pragma once

#include "dispatch/case_data.hpp"
#include "dispatch/dispatch_qp.hpp"

namespace corvo::report {

// The lists, Bmat and the quadratic program of a case in per unit (as the
// case loader leaves it). The case must have passed the loader's checks.
dispatch::DispatchQp build_program(const dispatch::CaseData& data);

}  // namespace corvo::report
