// DC network matrices: the nodal susceptance matrix Bmat, stored in the
// order of the adjacency list, and the F Matrix that maps the bus angles
// (reference bus left out) to line flows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "dispatch/network_lists.hpp"
#include "dispatch/sparse_row.hpp"

namespace dispatch {

// First line (1-based) whose reactance is exactly zero, or 0 when none is.
std::int32_t first_zero_reactance(std::span<const double> x);

// Bmat, one value per adjacency position. Every line recorded under a
// neighbour position k of bus i subtracts its susceptance 1/x from
// Bmat(k) and adds it to the diagonal of i, in list order.
std::vector<double> build_bmat(const NetworkLists& lists, std::span<const double> x);

// Angle column (1-based) of a bus when `nref` is the reference bus; 0 for
// the reference bus itself, whose angle is fixed at zero.
std::int32_t angle_column(std::int32_t bus, std::int32_t nref);

// F Matrix, one row per line over the n-1 angle columns: +1/x in the
// column of se, then -1/x assigned in the column of re.
std::vector<SparseRow> build_f_matrix(std::int32_t nref, std::span<const std::int32_t> se,
                                      std::span<const std::int32_t> re, std::span<const double> x);

}  // namespace dispatch
