// MATPOWER case data mapped onto our case model, in the units of the case
// file (MW, $/h, $/MWh, $/MW^2h, reactances per unit).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corvo/import/matpower_case.hpp"

namespace corvo::import {

struct ImportedLine {
  std::int32_t se = 0;
  std::int32_t re = 0;
  double x = 0.0;
  double upper = 0.0;
  double lower = 0.0;
  std::string source;  // e.g. "branch 3 (bus 4-5)", for messages
};

struct ImportedBus {
  std::int32_t type = 0;  // 0 load, 1 generation, 2 reference
  double load = 0.0;
  // Generator data, for types 1 and 2.
  double constant_cost = 0.0;
  double linear_cost = 0.0;
  double quadratic_cost = 0.0;  // q of c1 P + 0.5 q P^2, so 2 c2
  double upper = 0.0;
  double lower = 0.0;
  std::string source;  // e.g. "bus 7" or "generator 2 (bus 1)"
};

struct ImportedCase {
  std::string title;
  double sb = 0.0;
  std::vector<ImportedLine> lines;
  std::vector<ImportedBus> buses;
  // One sentence per mapping applied, for the user.
  std::vector<std::string> mappings;
};

// Reactance of the line that joins an extra generator's own bus to its
// bus. The own bus is a leaf with no load and the line has no limit, so
// the dispatch, the prices and every other flow are the same for any
// reactance; only the own bus's angle differs from its bus's, by 0.01 rad
// per 100 MW on a 100 MVA base. Much smaller values leave the interior-point
// program so ill-conditioned that talven stops at its iteration limit.
inline constexpr double kJoiningReactance = 0.01;
// The line limit written for "no limit" (rateA 0) and for joining lines.
inline constexpr double kNoLimitMw = 9999.0;

// Maps the case; throws ImportError (naming the generator, branch or bus)
// for what our model cannot hold.
ImportedCase map_matpower_case(const MatpowerCase& mc, const std::string& source);

}  // namespace corvo::import
