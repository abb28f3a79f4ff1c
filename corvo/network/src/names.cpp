#include "corvo/network/names.hpp"

#include <cstdio>

namespace corvo::network {

std::string number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string bus_name(const Network& net, std::int32_t bus) {
  return "bus " + std::to_string(net.buses[static_cast<std::size_t>(bus)].number);
}

std::string generator_name(const Network& net, std::int32_t generator) {
  const Generator& g = net.generators[static_cast<std::size_t>(generator)];
  std::string name = "generator " + std::to_string(g.source.row) + " (" + bus_name(net, g.bus);
  if (!g.source.id.empty()) name += ", id '" + g.source.id + "'";
  return name + ")";
}

std::string branch_name(const Network& net, std::int32_t branch) {
  const Branch& b = net.branches[static_cast<std::size_t>(branch)];
  const std::string kind = net.format == SourceFormat::case_file ? "line " : "branch ";
  std::string name = kind + std::to_string(b.source.row) + " (bus " +
                     std::to_string(net.buses[static_cast<std::size_t>(b.from)].number) + "-" +
                     std::to_string(net.buses[static_cast<std::size_t>(b.to)].number);
  if (!b.source.id.empty()) name += ", circuit '" + b.source.id + "'";
  return name + ")";
}

}  // namespace corvo::network
