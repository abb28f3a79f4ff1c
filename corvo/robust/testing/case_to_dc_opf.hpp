// For tests and benchmarks only: the plain DC dispatch problem of a case
// file, until the network model's DC model builds it for the program.
//
// One unit per generator bus (its generator). A negative generation bus
// (type 3) withdraws d between its limits; the loader stores its linear
// cost negated (−c1, so that the withdrawal earns c1) and the program
// charges −c1·d + ½q·d². Its unit u = −d therefore has bounds
// [−upper, −lower], linear cost c1 = −linear_cost and the same q.
// Branches: b = 1/x, bounds of θf − θt = line limits · x (swapped when
// x < 0). One fixed node
// per island: the reference bus in its own, the lowest bus in any other.
#pragma once

#include "dispatch/case_data.hpp"
#include "robust/dc_opf.hpp"

namespace corvo::robust::testing {

DcOpf dc_opf_from_case(const dispatch::CaseData& data);

}  // namespace corvo::robust::testing
