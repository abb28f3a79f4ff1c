// A network mapped onto our case file's model, in the units of the case
// file (MW, $/h, $/MWh, $/MW²h, reactances per unit), with a map back to
// the source's own numbers.
//
// The case file holds one connected network, one generator per bus with a
// quadratic cost and outputs of at least 0 MW, lines with reactance and
// two flow limits, and one reference bus. Everything else is mapped:
//  - buses are numbered 1..n in increasing order of their source numbers;
//  - the first generator of a bus (in source order) stays on it; each other
//    one gets a bus of its own, joined to its bus by a line of reactance
//    kJoiningReactance and no limit (the own bus is a leaf without load, so
//    dispatch, prices and every other flow do not depend on the reactance);
//  - a negative lower limit is shifted exactly: P = P' + Pmin with P' >= 0,
//    the bus load raised by −Pmin, the costs re-expressed in P';
//  - a phase shifter is a constant injection at its two buses and a shift
//    of its line's limits: the case file's flow b·(θf − θt) is the true flow
//    plus b·shift, so the optimum is the true one;
//  - a branch without a flow limit gets a stand-in limit that no flow can
//    reach (the total of every load and generation capacity of the case);
//  - the tap ratio is folded into the reactance; load is Pd + Gs;
//  - elements the DC model drops are dropped; angle-difference limits
//    cannot be held and are dropped with a warning.
// A piecewise-linear cost, a bus tie of zero reactance, and a network of
// several islands are refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corvo/import/matpower_case.hpp"
#include "corvo/network/network.hpp"

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

// Where an element of the case file comes from. Offsets are "ours minus
// the source's": the case file's load, output or flow equals the source's
// plus the offset.
struct MapEntry {
  std::int64_t source_row = 0;  // generator or branch row; 0 for a bus
  std::int64_t source_bus = 0;  // a bus's own number; a generator's bus
  std::string source_id;        // RAW machine id or circuit
  bool added = false;           // an own bus, its joining line, a zero generator of the reference bus
  double offset_mw = 0.0;
  bool no_limit = false;        // a line whose limits stand in for none
  double constant_cost_offset = 0.0;  // a generator's constant cost, ours minus the source's ($/h)
};

// Indexed by our numbers: entry k-1 for bus k, generator k (in bus order),
// line k.
struct CaseMap {
  std::vector<MapEntry> buses;
  std::vector<MapEntry> generators;
  std::vector<MapEntry> lines;
};

struct ImportedCase {
  std::string title;
  double sb = 0.0;
  std::vector<ImportedLine> lines;
  std::vector<ImportedBus> buses;
  // One sentence per mapping applied, for the user.
  std::vector<std::string> mappings;
  CaseMap map;
};

// Reactance of the line that joins an extra generator's own bus to its
// bus: any value gives the same dispatch; much smaller values leave the
// interior-point program so ill-conditioned that talven stops at its
// iteration limit.
inline constexpr double kJoiningReactance = 0.01;

// Maps the network; throws ImportError (naming the element) for what our
// case model cannot hold.
ImportedCase map_network(const network::Network& net);

// A MATPOWER case read as a network, then mapped.
ImportedCase map_matpower_case(const MatpowerCase& mc, const std::string& source);

// The map as a CSV table (header "element,ours,source_row,source_bus,
// source_id,added,offset_mw,no_limit,constant_cost_offset", records ending
// CR LF), and read back; the
// reader throws ImportError naming the file and line.
std::string case_map_text(const CaseMap& map);
CaseMap parse_case_map(const std::string& text, const std::string& source);

}  // namespace corvo::import
