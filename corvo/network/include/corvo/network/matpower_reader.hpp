// A MATPOWER case (format version 2, read as text by corvo::import's
// parser) as a network, with the meaning MATPOWER's DC optimal power flow
// gives every field:
//  - bus types 1 and 2 are ordinary buses, 3 a reference bus (its angle
//    Va kept), 4 an isolated bus (dropped with its generators and
//    branches); load Pd, shunt conductance Gs (MW at 1 pu voltage);
//  - a generator is in service when its status is positive; limits Pmin
//    (possibly negative) and Pmax; several per bus;
//  - costs: model 2 polynomials up to degree 2 (convex), model 1
//    piecewise-linear curves (convex); start-up and shut-down costs and
//    reactive cost rows are ignored;
//  - a branch is in service when its status is non-zero; reactance x on
//    the system base, tap ratio (0 means 1), phase shift in degrees; RATE_A
//    of 0 (or 1e10 and above) means no flow limit; ANGMIN/ANGMAX limit
//    θf − θt when non-zero and tighter than ±360°, as MATPOWER applies them
//    unless told to ignore angle limits; x = 0 is a bus tie.
// mpc.dcline is refused.
#pragma once

#include <string>

#include "corvo/import/matpower_case.hpp"
#include "corvo/network/network.hpp"

namespace corvo::network {

// Throws NetworkError naming the file, the table, its row and column.
Network read_matpower(const import::MatpowerCase& mc, const std::string& source, const std::string& name);

}  // namespace corvo::network
