#include "corvo/network/case_file_network.hpp"

#include <algorithm>

namespace corvo::network {
namespace {

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

Generator generator_of(const dispatch::CaseData& data, std::int32_t bus, std::int32_t k) {
  const auto g = static_cast<std::size_t>(k - 1);
  const double sb = data.sb;
  Generator gen;
  gen.bus = bus - 1;
  gen.source.row = k;
  gen.cost.c0 = data.constant_cost[g];
  gen.cost.c2 = data.quadratic_cost[g] / (sb * sb) / 2.0;
  // The program's output column is never negative.
  const double lower = std::max(data.gen_lower[g] * sb, 0.0);
  const double upper = data.gen_upper[g] * sb;
  if (data.bus_type[static_cast<std::size_t>(bus - 1)] == dispatch::kNegativeGenerationBus) {
    // The program withdraws P from the bus at cost -c1·P + ½qP² (the
    // reader negated c1); as an output -P that is c1·(-P) + ½q(-P)².
    gen.withdraws = true;
    gen.pmin_mw = -upper;
    gen.pmax_mw = -lower;
    gen.cost.c1 = -data.linear_cost[g] / sb;
  } else {
    gen.pmin_mw = lower;
    gen.pmax_mw = upper;
    gen.cost.c1 = data.linear_cost[g] / sb;
  }
  return gen;
}

}  // namespace

Network network_from_case(const dispatch::CaseData& data, const std::string& name) {
  Network net;
  net.name = name;
  net.title = trimmed(data.title);
  net.format = SourceFormat::case_file;
  net.base_mva = data.sb;
  const double sb = data.sb;
  for (std::int32_t i = 1; i <= data.n; ++i) {
    const auto at = static_cast<std::size_t>(i - 1);
    Bus b;
    b.number = i;
    b.load_mw = data.load[at] * sb;
    b.reference = i == data.nref;
    b.case_type = data.bus_type[at];
    net.buses.push_back(b);
    if (const std::int32_t k = data.bus_generator[at]) net.generators.push_back(generator_of(data, i, k));
  }
  for (std::int32_t l = 1; l <= data.nl; ++l) {
    const auto at = static_cast<std::size_t>(l - 1);
    Branch br;
    br.from = data.se[at] - 1;
    br.to = data.re[at] - 1;
    br.x_pu = data.x[at];
    br.flow_min_mw = data.line_lower[at] * sb;
    br.flow_max_mw = data.line_upper[at] * sb;
    br.source.row = l;
    net.branches.push_back(br);
  }
  return net;
}

}  // namespace corvo::network
