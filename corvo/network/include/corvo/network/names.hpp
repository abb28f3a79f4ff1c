// Names of the elements of a network in its source's own terms, for
// messages and tables: "bus 9533", "generator 47 (bus 9533)",
// "branch 12 (bus 4-5)", a case file's "line 3 (bus 1-2)", RAW's
// "generator 2 (bus 101, id '1')".
#pragma once

#include <string>

#include "corvo/network/network.hpp"

namespace corvo::network {

std::string bus_name(const Network& net, std::int32_t bus);
std::string generator_name(const Network& net, std::int32_t generator);
std::string branch_name(const Network& net, std::int32_t branch);

// A number in messages: %g, so that 1e300 stays short.
std::string number_text(double value);

}  // namespace corvo::network
