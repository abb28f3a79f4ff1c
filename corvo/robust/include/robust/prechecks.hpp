// Checks that find, before any iteration, what makes a dispatch case
// unsolvable, and name it in megawatts and bus numbers.
#pragma once

#include <string>
#include <vector>

#include "dispatch/case_data.hpp"

namespace corvo::robust {

// Every problem found in a case held in per unit (limits and loads divided
// by Sb), in this order:
//  - a generator or line whose lower limit lies above its upper limit;
//  - a part of the network (buses joined by lines) with load but no
//    generator;
//  - a part of the network whose generation capacity is below its load, or
//    whose minimum generation is above it.
// A negative generation bus counts as a consumer between its limits. The
// last two checks look at each connected part separately, because power
// cannot cross from one part to another; for a connected network the part
// is the whole network. An empty list means no check failed.
std::vector<std::string> precheck_case(const dispatch::CaseData& data);

}  // namespace corvo::robust
