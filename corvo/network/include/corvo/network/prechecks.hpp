// Checks that find, before any iteration, what makes a dispatch
// impossible, and name it in the source's own terms and in MW.
#pragma once

#include <string>
#include <vector>

#include "corvo/network/dc_model.hpp"
#include "corvo/network/network.hpp"

namespace corvo::network {

// Every problem found, in this order:
//  - the conflicts the DC model met (constant flows outside their limits,
//    contradicting ties);
//  - a generator whose lower limit lies above its upper limit, a branch
//    whose limits leave no feasible flow or angle difference;
//  - a part of the network with load but no generator, or whose generation
//    capacity is below its load, or whose minimum generation is above it.
//    A part is a set of buses joined by branches that can carry a varying
//    flow: a branch whose limits fix its flow (e.g. both limits 0 MW)
//    separates parts, and is named with them. A branch's fixed flow counts
//    as load at one end and generation at the other.
// An empty list means no check failed.
std::vector<std::string> precheck(const Network& net, const DcModel& model);

}  // namespace corvo::network
