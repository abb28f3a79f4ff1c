// Results of our case file relabelled in the source's own terms through the
// map that `corvo import` writes beside the case file: source bus numbers,
// generator and branch rows, true outputs, loads and flows (the offsets of
// shifted limits and phase shifters taken out), and the buses and lines the
// import added for generators sharing a bus folded back into their bus.
#pragma once

#include "corvo/import/case_mapping.hpp"
#include "corvo/report/results.hpp"

namespace corvo::app {

// Throws InputError when the map does not fit the results (sizes).
void apply_case_map(report::Results& results, const import::CaseMap& map);

}  // namespace corvo::app
