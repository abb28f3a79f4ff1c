// PSS/E RAW files (versions 33, 34 and 35) read into the network model,
// and the costs file that gives their generators a cost (RAW files carry
// none).
//
// What is read: the case identification (base MVA, title), buses, loads
// (constant power), fixed shunts (conductance), generators, non-transformer
// branches, system switching devices (versions 34 and 35), two- and
// three-winding transformers (reactance, ratio and phase shift converted
// to the system base as MATPOWER's psse2mpc converts them; a three-winding
// transformer becomes three branches to a new star bus). Every other
// section is skipped with one note in Network::notes; an in-service DC link
// is refused, since leaving it out would change the network.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "corvo/network/network.hpp"

namespace corvo::network {

// A file that cannot be read; the message names the file, the line, the
// kind of record and the field.
class RawError : public NetworkError {
 public:
  using NetworkError::NetworkError;
};

// One row of a costs file `bus,id,c2,c1,c0`: the cost c2·P² + c1·P + c0
// ($/h, P in MW) of the generator with that bus number and machine id.
struct GeneratorCostRow {
  std::int64_t bus = 0;
  std::string id;  // the machine id, blanks at either end removed
  double c2 = 0.0;
  double c1 = 0.0;
  double c0 = 0.0;
  std::int64_t line = 0;  // line of the costs file, for messages
};

struct GeneratorCosts {
  std::string source;  // the costs file's name, for messages; empty when none was given
  std::vector<GeneratorCostRow> rows;
};

// Reads a costs file: a header `bus,id,c2,c1,c0`, then one row per
// generator (fields may be quoted; blank lines are skipped). Refuses a
// malformed row, a negative c2 (a concave cost) and a second row for the
// same generator.
GeneratorCosts read_generator_costs(std::string_view text, const std::string& source);
GeneratorCosts read_generator_costs_file(const std::string& path);

struct RawOptions {
  // Every generator in service on a bus in service needs a row; a row
  // that names no generator of the file is refused.
  GeneratorCosts costs;
  // Read as this version (33, 34 or 35) whatever the header says.
  std::optional<int> version;
};

// Reads the text of a RAW file; `source` names the file in messages, and
// its name without folder and extension becomes Network::name.
Network read_raw(std::string_view text, const std::string& source, const RawOptions& options);
Network read_raw_file(const std::string& path, const RawOptions& options);

}  // namespace corvo::network
