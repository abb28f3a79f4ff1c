// A scenario applied to the network it was read against: a copy of the
// network with the scenario's loads, limits, costs and statuses.
#pragma once

#include "corvo/batch/scenario.hpp"
#include "corvo/network/network.hpp"

namespace corvo::batch {

// Loads: the scenario's load_scale multiplies every bus load Pd the
// scenario does not set with load:BUS (shunt conductances are not loads
// and keep their value). A case file's consumer (a negative generation
// bus) is set as the case file states it: gen_max and gen_min are the
// limits of its withdrawal and gen_cost its price, as its results show.
network::Network scenario_network(const network::Network& base, const Scenario& scenario);

}  // namespace corvo::batch
