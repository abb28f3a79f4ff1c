// A scenario of a batch: a name and the changes it makes to the network,
// each naming an element by its index in the network (the scenario file
// names it in the source's own terms; see element_refs.hpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvo::batch {

enum class ChangeKind : std::uint8_t {
  load,           // bus: its load Pd, MW, taken as given
  gen_max,        // generator: upper limit, MW
  gen_min,        // generator: lower limit, MW
  gen_cost,       // generator: linear cost, $/MWh
  gen_status,     // generator: 1 in service, 0 out
  branch_status,  // branch: 1 in service, 0 out
  rate,           // branch: flow limit ±rate, MW
};

struct Change {
  ChangeKind kind = ChangeKind::load;
  std::int32_t element = 0;  // index into the network's buses, generators or branches
  double value = 0.0;
};

struct Scenario {
  std::string name;
  // Factor on every load the scenario does not set itself.
  std::optional<double> load_scale;
  std::vector<Change> changes;
};

// The column name of a kind in the scenario file: "load", "gen_max", ...
const char* kind_name(ChangeKind kind);

}  // namespace corvo::batch
