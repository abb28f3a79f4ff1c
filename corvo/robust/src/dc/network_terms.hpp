// The products of the network matrices that the iteration needs, each in
// one fixed order:
//   U  (buses × units):  +1 at a unit's `to` bus, −1 at its `from` bus
//   C  (branches × free angles):  +1 at the from node, −1 at the to node
//   K  (buses × free angles):  K·θ = Σ flows b·(θf − θt) leaving each bus
// so that the bus balance reads  U·u − K·θ = demand.
#pragma once

#include <span>

#include "dc/model.hpp"

namespace corvo::robust::dc {

// θf − θt of every branch (a fixed node's angle is 0).
void branch_differences(const Model& m, std::span<const double> theta, std::span<double> diff);

// (Uᵀλ)_j = λ(to) − λ(from) of unit j.
double unit_price(const Model& m, std::span<const double> lambda, std::size_t j);

// demand − U·u + K·θ, from the branch differences.
void balance_residual(const Model& m, std::span<const double> u, std::span<const double> diff,
                      std::span<double> residual);

// Kᵀλ − Cᵀ·branch_dual, where branch_dual is the net multiplier of each
// branch's bounds (z_lower − z_upper).
void angle_residual(const Model& m, std::span<const double> lambda,
                    std::span<const double> branch_dual, std::span<double> residual);

// Cᵀ·v added to the angle rows of out.
void add_branch_terms(const Model& m, std::span<const double> v, std::span<double> out);

// U·v added to the price rows of out.
void add_unit_terms(const Model& m, std::span<const double> v, std::span<double> out);

}  // namespace corvo::robust::dc
