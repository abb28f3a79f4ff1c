// The unknowns of the interior-point iteration over a scaled Model, and
// the same shape for its Newton directions.
//
// Every finite side of a bound is an inequality with a slack s ≥ 0 and a
// multiplier z ≥ 0:   lower side:  x − s = lower       upper side:  x + s = upper
// where x is the unit's output or the branch's angle difference. In an
// elastic problem each side also has a violation e ≥ 0, priced in the
// objective, with its own multiplier y ≥ 0:  x + e − s = lower,  x − e + s = upper.
#pragma once

#include <vector>

namespace corvo::robust::dc {

struct SideVars {
  std::vector<double> s, z;
  std::vector<double> e, y;  // empty unless elastic
};

struct BoxVars {
  SideVars lower, upper;
};

struct Iterate {
  std::vector<double> u;       // units
  std::vector<double> theta;   // free angles
  std::vector<double> lambda;  // buses (prices)
  BoxVars units, branches;
};

using Direction = Iterate;

}  // namespace corvo::robust::dc
