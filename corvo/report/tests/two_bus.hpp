// A two-bus case whose optimum is worked out by hand, for the report's
// tests. Values are chosen exactly representable in binary so that the
// expected numbers are exact.
//
// Bus 1 (reference) has generator 1 at 10 $/MWh, bus 2 has generator 2 at
// 20 $/MWh and a load of 50 MW; one line of reactance 0.5 pu, limited to
// +-25 MW; Sb 100 MVA; both generators 0..200 MW; constant costs 5 and
// 7 $/h. The cheap generator sends 25 MW until the line binds, the
// expensive one covers the other 25 MW: prices 10 and 20 $/MWh, the line's
// shadow price 10 $/MWh, cost 250 + 500 = 750 $/h.
#pragma once

#include "dispatch/dispatch_qp.hpp"
#include "corvo/report/solution.hpp"
#include "dispatch/case_data.hpp"

namespace two_bus {

inline dispatch::CaseData case_data() {
  dispatch::CaseData d;
  d.title = "two buses, one congested line";
  d.n = 2;
  d.nl = 1;
  d.sb = 100.0;
  d.se = {1};
  d.re = {2};
  d.x = {0.5};
  d.line_upper = {0.25};
  d.line_lower = {-0.25};
  d.bus_type = {2, 1};
  d.load = {0.0, 0.5};
  d.bus_generator = {1, 2};
  d.constant_cost = {5.0, 7.0};
  d.linear_cost = {1000.0, 2000.0};  // 10 and 20 $/MWh times Sb
  d.quadratic_cost = {0.0, 0.0};
  d.gen_upper = {2.0, 2.0};
  d.gen_lower = {0.0, 0.0};
  d.nref = 1;
  d.ngen = 2;
  return d;
}

// Columns: angle of bus 2; outputs 1, 2; upper slacks 1, 2; lower
// surpluses 1, 2; line upper slack; line lower surplus. Rows: buses 1, 2;
// generator upper rows 1, 2; lower rows 1, 2; line upper; line lower.
//
// Flow (0 - angle2) / 0.5 = 0.25 pu gives angle2 = -0.125. The angle
// column's reduced cost 0 - (2*y1 - 2*y2 + 2*yu - 2*yl) vanishes with
// y1 = 1000, y2 = 2000, yl = 0 when yu = 1000.
inline corvo::report::QpSolution optimum() {
  corvo::report::QpSolution s;
  s.x = {-0.125, 0.25, 0.25, 1.75, 1.75, 0.25, 0.25, 0.0, 0.5};
  s.y = {1000.0, 2000.0, 0.0, 0.0, 0.0, 0.0, 1000.0, 0.0};
  s.iterations = 7;
  s.outcome = corvo::report::Outcome::converged;
  s.method = "by hand";
  return s;
}

}  // namespace two_bus
