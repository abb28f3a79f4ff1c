// Elements named in the source's own terms, as the scenario file names
// them and as the result tables show them:
//   - a bus by its number;
//   - a generator by its row (the row of mpc.gen, our case file's
//     generator number), or, in a PSS/E RAW network, by BUS:ID (its bus
//     number and machine id, e.g. 101:1);
//   - a branch by its row (the row of mpc.branch, our case file's line
//     number), or, in a PSS/E RAW network, by FROM-TO:CKT (its buses in
//     either order and its circuit, e.g. 101-102:1).
// RAW needs the ids: its records are numbered within their sections, so a
// line and a transformer can share a row.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "corvo/network/network.hpp"

namespace corvo::batch {

// The element a reference names, or why none.
struct Lookup {
  std::int32_t index = -1;
  std::string problem;  // e.g. "no generator at row 12"; empty when found
};

class ElementIndex {
 public:
  explicit ElementIndex(const network::Network& net);

  Lookup bus(std::string_view ref) const;
  Lookup generator(std::string_view ref) const;
  Lookup branch(std::string_view ref) const;

  // True when generators and branches are named by text (BUS:ID,
  // FROM-TO:CKT) rather than by row numbers.
  bool textual() const { return textual_; }

 private:
  const network::Network& net_;
  bool textual_ = false;
  std::map<std::int64_t, std::int32_t> bus_by_number_;
  std::map<std::int64_t, std::int32_t> generator_by_row_;
  std::map<std::int64_t, std::int32_t> branch_by_row_;
  std::map<std::pair<std::int64_t, std::string>, std::int32_t> generator_by_bus_id_;
  // Keyed by the smaller bus number, the larger one and the circuit.
  std::multimap<std::tuple<std::int64_t, std::int64_t, std::string>, std::int32_t> branch_by_ends_;
};

// The reference of an element as the scenario file writes it: "12", or
// "101:1" and "101-102:1" in a RAW network.
std::string generator_ref(const network::Network& net, std::int32_t generator);
std::string branch_ref(const network::Network& net, std::int32_t branch);

}  // namespace corvo::batch
