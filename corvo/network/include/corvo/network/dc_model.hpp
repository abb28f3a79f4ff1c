// The DC model of a network: the elements that take part in the dispatch,
// their per-unit values, and the plain program the robust method solves
// (robust/dc_opf.hpp), with the map back to the network.
//
// What the model does, in MATPOWER's meaning of a DC optimal power flow:
//  - out-of-service buses, generators and branches, generators at
//    out-of-service buses and branches touching them are dropped, each with
//    its reason;
//  - a branch's flow, entering at its from bus, is (θf − θt − shift) / (x·tap)
//    in per unit; its flow limits apply to that flow, its angle-difference
//    limits to θf − θt (the shift not included); the constant part of the
//    flow, the shift term, is an injection at the two buses;
//  - a branch of zero reactance (a bus tie) makes its two buses one angle
//    node (θf − θt = shift) and its flow a variable between its ratings;
//  - the load of a bus is Pd + Gs (Gs in MW at 1 pu voltage);
//  - each island (buses joined by branches and ties) has one node of fixed
//    angle: its reference bus at the reference's own angle, or, without a
//    reference bus, its first bus at 0°. A further reference bus of the
//    same island keeps its angle too (a fixed angle difference);
//  - a piecewise-linear cost becomes its segments between Pmin and Pmax,
//    one unit each with the segment's slope as linear cost, above a fixed
//    output Pmin (exact for a convex curve: cheaper segments fill first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corvo/network/network.hpp"
#include "corvo/network/network_solution.hpp"
#include "robust/dc_opf.hpp"

namespace corvo::network {

struct DcOptions {
  // MATPOWER's opf.ignore_angle_lim: no angle-difference limits.
  bool ignore_angle_limits = false;
  // Keep the program's pattern whatever the statuses of generators and
  // branches: an out-of-service generator on a bus in service stays as
  // units fixed at 0, an out-of-service branch between buses in service as
  // a branch without susceptance or limits (a tie: a flow fixed at 0). For
  // many scenarios of one network that switch elements on and off; the
  // optimum is the same as without.
  bool keep_pattern = false;
};

// An element that takes no part in the dispatch, and why.
struct DroppedElement {
  enum class Kind { bus, generator, branch };
  Kind kind = Kind::bus;
  std::int32_t index = 0;  // into the network's buses, generators or branches
  std::string reason;
};

// Where a bound of a problem branch comes from: the tighter of the
// branch's flow limits and angle-difference limits on that side.
enum class BoundSource { none, flow_min, flow_max, angle_min, angle_max };

struct DcModel {
  robust::DcOpf problem;
  double base_mva = 0.0;

  // Per network bus: its problem bus (-1 when dropped) and the angle it
  // has above its node's angle, radians (θ_bus = θ_node + offset).
  std::vector<std::int32_t> bus_of;
  std::vector<double> angle_offset;
  // Per network bus: the bus whose angle is fixed in its island (its
  // reference bus, or its first bus), -1 when dropped.
  std::vector<std::int32_t> island_anchor;
  bool angle_limits_ignored = false;

  // Per network generator: its units [first, first + count) and a fixed
  // output in per unit under them (a piecewise curve's Pmin); first = -1
  // when dropped.
  struct GeneratorUnits {
    std::int32_t first = -1;
    std::int32_t count = 0;
    double fixed_output = 0.0;
  };
  std::vector<GeneratorUnits> generator_units;

  // Per network branch: how it takes part.
  struct BranchPart {
    enum class Kind { dropped, branch, tie, constant_flow };
    Kind kind = Kind::dropped;
    std::int32_t index = -1;      // problem branch (branch) or unit (tie)
    double susceptance = 0.0;     // 1 / (x·tap), per unit
    double node_shift = 0.0;      // s: flow = b·(θnode(f) − θnode(t) − s), radians
    double constant_flow = 0.0;   // per unit, for constant_flow
  };
  std::vector<BranchPart> branch_parts;

  // Per problem branch: where its two bounds come from.
  std::vector<BoundSource> lower_source;
  std::vector<BoundSource> upper_source;

  std::vector<DroppedElement> dropped;
  // Conflicts no dispatch can meet, found while building (a constant flow
  // outside its limits, ties whose shifts contradict one another), named in
  // the source's terms; the pre-checks report them.
  std::vector<std::string> conflicts;
};

// Throws NetworkError for what the model cannot take (non-finite values,
// a non-positive base power).
DcModel build_dc_model(const Network& net, const DcOptions& options = {});

// The solution of the program in the network's terms.
NetworkSolution network_solution(const Network& net, const DcModel& model, const robust::Solution& s);

}  // namespace corvo::network
