// The scenario file: CSV, one row per scenario, a header naming what each
// column changes, in the network's own numbering (element_refs.hpp):
//
//   scenario             the scenario's name (required, unique, not empty)
//   load_scale           factor (>= 0) on every load the row does not set
//   load:BUS             the bus's load Pd, MW, taken as given (any sign);
//                        its shunt conductance stays as it is
//   gen_max:GEN          upper limit, MW
//   gen_min:GEN          lower limit, MW
//   gen_cost:GEN         linear cost, $/MWh (polynomial costs only)
//   gen_status:GEN       1 in service, 0 out
//   branch_status:BRANCH 1 in service, 0 out
//   rate:BRANCH          flow limit ±rate, MW (> 0)
//
// An empty cell keeps the network's value. Everything is checked before
// any scenario is solved.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "corvo/batch/scenario.hpp"
#include "corvo/network/network.hpp"

namespace corvo::batch {

// A scenario file that cannot be used; the message names the file, the
// line (the header is line 1 when it is the first), the column and what is
// wrong.
class ScenarioFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Scenarios in the order of the file's rows. Blank lines are skipped.
std::vector<Scenario> read_scenarios(std::string_view text, const std::string& source, const network::Network& net);

}  // namespace corvo::batch
