#include "corvo/batch/element_refs.hpp"

#include <charconv>

#include "corvo/network/names.hpp"

namespace corvo::batch {
namespace {

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

// A whole text as a decimal integer, without sign or blanks.
bool whole_integer(std::string_view text, std::int64_t& value) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

ElementIndex::ElementIndex(const network::Network& net)
    : net_(net), textual_(net.format == network::SourceFormat::psse_raw) {
  for (std::size_t i = 0; i < net.buses.size(); ++i)
    bus_by_number_.emplace(net.buses[i].number, static_cast<std::int32_t>(i));
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    const network::Generator& g = net.generators[k];
    const auto index = static_cast<std::int32_t>(k);
    if (textual_)
      generator_by_bus_id_.emplace(std::make_pair(net.buses[at(g.bus)].number, g.source.id), index);
    else
      generator_by_row_.emplace(g.source.row, index);
  }
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    const network::Branch& b = net.branches[l];
    const auto index = static_cast<std::int32_t>(l);
    if (textual_) {
      const std::int64_t f = net.buses[at(b.from)].number, t = net.buses[at(b.to)].number;
      branch_by_ends_.emplace(std::make_tuple(std::min(f, t), std::max(f, t), b.source.id), index);
    } else {
      branch_by_row_.emplace(b.source.row, index);
    }
  }
}

Lookup ElementIndex::bus(std::string_view ref) const {
  std::int64_t number = 0;
  if (!whole_integer(ref, number)) return {-1, quoted(ref) + " is not a bus number"};
  const auto it = bus_by_number_.find(number);
  if (it == bus_by_number_.end()) return {-1, "the network has no bus " + std::string(ref)};
  return {it->second, ""};
}

Lookup ElementIndex::generator(std::string_view ref) const {
  if (!textual_) {
    std::int64_t row = 0;
    if (!whole_integer(ref, row)) return {-1, quoted(ref) + " is not a generator row (a whole number)"};
    const auto it = generator_by_row_.find(row);
    if (it == generator_by_row_.end()) return {-1, "the network has no generator at row " + std::string(ref)};
    return {it->second, ""};
  }
  const std::size_t colon = ref.find(':');
  std::int64_t bus = 0;
  if (colon == std::string_view::npos || !whole_integer(ref.substr(0, colon), bus) || colon + 1 == ref.size())
    return {-1, quoted(ref) + " is not a generator of a RAW network (BUS:ID, e.g. 101:1)"};
  const std::string id(ref.substr(colon + 1));
  const auto it = generator_by_bus_id_.find({bus, id});
  if (it == generator_by_bus_id_.end())
    return {-1, "the network has no generator at bus " + std::to_string(bus) + " with machine id " + quoted(id)};
  return {it->second, ""};
}

Lookup ElementIndex::branch(std::string_view ref) const {
  if (!textual_) {
    std::int64_t row = 0;
    if (!whole_integer(ref, row)) return {-1, quoted(ref) + " is not a branch row (a whole number)"};
    const auto it = branch_by_row_.find(row);
    if (it == branch_by_row_.end()) return {-1, "the network has no branch at row " + std::string(ref)};
    return {it->second, ""};
  }
  const std::size_t colon = ref.find(':');
  const std::size_t dash = ref.substr(0, colon).find('-');
  std::int64_t from = 0, to = 0;
  if (colon == std::string_view::npos || dash == std::string_view::npos || colon + 1 == ref.size() ||
      !whole_integer(ref.substr(0, dash), from) || !whole_integer(ref.substr(dash + 1, colon - dash - 1), to))
    return {-1, quoted(ref) + " is not a branch of a RAW network (FROM-TO:CKT, e.g. 101-102:1)"};
  const std::string circuit(ref.substr(colon + 1));
  const auto [first, last] = branch_by_ends_.equal_range({std::min(from, to), std::max(from, to), circuit});
  if (first == last)
    return {-1, "the network has no branch between buses " + std::to_string(from) + " and " + std::to_string(to) +
                    " with circuit " + quoted(circuit)};
  if (std::next(first) != last) {
    std::string names;
    for (auto it = first; it != last; ++it) names += (names.empty() ? "" : ", ") + network::branch_name(net_, it->second);
    return {-1, quoted(ref) + " names more than one branch: " + names};
  }
  return {first->second, ""};
}

std::string generator_ref(const network::Network& net, std::int32_t generator) {
  const network::Generator& g = net.generators[at(generator)];
  if (net.format != network::SourceFormat::psse_raw) return std::to_string(g.source.row);
  return std::to_string(net.buses[at(g.bus)].number) + ":" + g.source.id;
}

std::string branch_ref(const network::Network& net, std::int32_t branch) {
  const network::Branch& b = net.branches[at(branch)];
  if (net.format != network::SourceFormat::psse_raw) return std::to_string(b.source.row);
  return std::to_string(net.buses[at(b.from)].number) + "-" + std::to_string(net.buses[at(b.to)].number) + ":" +
         b.source.id;
}

}  // namespace corvo::batch
