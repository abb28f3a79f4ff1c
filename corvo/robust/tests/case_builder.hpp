// Small cases written by hand, in per unit on Sb = 100 MVA, for the tests.
#pragma once

#include <cstdint>

#include "dispatch/case_data.hpp"

namespace robust_test {

// Adds a line from bus se to bus re; limits in MW.
inline void add_line(dispatch::CaseData& d, std::int32_t se, std::int32_t re, double x,
                     double upper_mw, double lower_mw) {
  ++d.nl;
  d.se.push_back(se);
  d.re.push_back(re);
  d.x.push_back(x);
  d.line_upper.push_back(upper_mw / d.sb);
  d.line_lower.push_back(lower_mw / d.sb);
}

// Adds a bus; a type other than 0 makes it a generator with the costs in
// $/MWh and $/MW²h and limits in MW.
inline void add_bus(dispatch::CaseData& d, std::int32_t type, double load_mw,
                    double linear = 0.0, double quadratic = 0.0, double upper_mw = 0.0,
                    double lower_mw = 0.0) {
  ++d.n;
  d.bus_type.push_back(type);
  d.load.push_back(type == dispatch::kNegativeGenerationBus ? 0.0 : load_mw / d.sb);
  if (type == dispatch::kLoadBus) {
    d.bus_generator.push_back(0);
    return;
  }
  if (type == dispatch::kReferenceBus) d.nref = d.n;
  d.bus_generator.push_back(++d.ngen);
  d.constant_cost.push_back(0.0);
  const double sign = type == dispatch::kNegativeGenerationBus ? -1.0 : 1.0;
  d.linear_cost.push_back(sign * linear * d.sb);
  d.quadratic_cost.push_back(quadratic * d.sb * d.sb);
  d.gen_upper.push_back(upper_mw / d.sb);
  d.gen_lower.push_back(lower_mw / d.sb);
}

inline dispatch::CaseData empty_case() {
  dispatch::CaseData d;
  d.sb = 100.0;
  return d;
}

// Bus 1, the reference bus, holds a generator of 0..200 MW at 10 $/MWh
// and 0.01 $/MW²h; bus 2 a load of 50 MW; one line of x = 0.1 between
// them, limited to ±100 MW.
inline dispatch::CaseData two_bus_case() {
  dispatch::CaseData d = empty_case();
  add_bus(d, dispatch::kReferenceBus, 0.0, 10.0, 0.01, 200.0, 0.0);
  add_bus(d, dispatch::kLoadBus, 50.0);
  add_line(d, 1, 2, 0.1, 100.0, -100.0);
  return d;
}

}  // namespace robust_test
