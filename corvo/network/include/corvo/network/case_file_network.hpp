// Our case file as a network: buses 1..n under their own numbers, one
// generator per bus of type 1, 2 or 3 numbered in bus order, lines 1..nl
// with the limits the case states (0 MW is a limit of 0, not "none"). The
// reference bus is the case's nref. Generator outputs cannot be negative in
// a case file, so a generator's lower limit is at least 0; a negative
// generation bus (type 3) withdraws its output (see Generator::withdraws).
#pragma once

#include <string>

#include "corvo/network/network.hpp"
#include "dispatch/case_data.hpp"

namespace corvo::network {

// `data` in per unit as dispatch::load_case_file returns it.
Network network_from_case(const dispatch::CaseData& data, const std::string& name);

}  // namespace corvo::network
