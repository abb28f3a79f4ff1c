// Single-branch outages (N-1): one scenario per branch in service whose
// outage leaves the network as connected as it was. A branch whose outage
// would cut a part of the network off (a bridge of the network's graph)
// is left out and listed instead: its scenario would need an island of
// its own, with its own fixed angle.
#pragma once

#include <cstdint>
#include <vector>

#include "corvo/batch/scenario.hpp"
#include "corvo/network/network.hpp"

namespace corvo::batch {

struct OutageList {
  std::vector<Scenario> scenarios;       // named "out:BRANCH" (element_refs.hpp)
  std::vector<std::int32_t> islanding;   // branches left out, in the network's order
};

// The graph is made of the buses in service and the branches in service
// between them (bus ties included); parallel branches do not island.
OutageList single_branch_outages(const network::Network& net);

// Per branch: true when its outage would split the part of the network it
// belongs to. Branches out of service, or touching a bus out of service,
// are false.
std::vector<bool> islanding_branches(const network::Network& net);

}  // namespace corvo::batch
