// Starting points of the iteration.
//
// Cold start (Mehrotra's, on the reduced system): the smallest change of
// the units from 0 (clamped into their bounds) that balances every bus,
// with the angle differences of bounded branches kept small; least-squares
// prices for the units' marginal costs; the bound slacks this implies and
// multipliers from the remaining reduced costs; then both shifted into the
// interior, slacks beyond kHugeSlack (a limit of 1e12 MW) apart.
//
// Warm start: the point of a nearby solution, its slacks and multipliers
// raised to a floor so that the iteration can move again.
#pragma once

#include "dc/iterate.hpp"
#include "dc/model.hpp"
#include "dc/reduced_system.hpp"

namespace corvo::robust::dc {

// Returns false when the reduced system cannot be factored.
bool cold_start(const Model& m, ReducedSystem& system, Iterate& it);

// `it` holds the primal and dual values of the nearby solution (u, θ, λ
// and the multipliers z of each side); slacks are recomputed.
void warm_start(const Model& m, Iterate& it);

}  // namespace corvo::robust::dc
