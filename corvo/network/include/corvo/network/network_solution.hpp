// A dispatch of a network in the network's own terms, whatever method
// found it: what the results tables show and what the optimality check
// judges. Vectors run over the network's buses, generators and branches;
// an element that takes no part in the dispatch (dropped) holds NaN.
#pragma once

#include <string>
#include <vector>

namespace corvo::network {

struct NetworkSolution {
  std::vector<double> bus_angle_deg;
  std::vector<double> bus_price;     // $/MWh: the cost of one more MW of load at the bus
  std::vector<double> generator_mw;  // output (negative: consumption)
  // Flow entering each branch at its from bus, MW (a bus tie's flow too).
  std::vector<double> branch_flow_mw;
  // Multipliers (>= 0) of the flow limits: $/h saved per MW of added rating.
  std::vector<double> flow_mu_upper;
  std::vector<double> flow_mu_lower;
  // Multipliers (>= 0) of the angle-difference limits: $/h saved per degree.
  std::vector<double> angle_mu_upper;
  std::vector<double> angle_mu_lower;
};

}  // namespace corvo::network
