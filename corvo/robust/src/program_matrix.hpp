// The constraint matrix of the dispatch program in compressed columns,
// with the products the interior-point method needs.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "dispatch/dispatch_qp.hpp"

namespace corvo::robust {

// Rows and columns numbered from 0 here; column j holds the entries
// start[j] .. start[j+1]-1 of row_index and value, rows ascending.
struct ProgramMatrix {
  std::size_t rows = 0;
  std::size_t cols = 0;
  std::vector<std::size_t> start;
  std::vector<std::size_t> row_index;
  std::vector<double> value;
};

ProgramMatrix program_matrix(const dispatch::DispatchQp& qp);

// out = A x
void multiply(const ProgramMatrix& a, std::span<const double> x, std::span<double> out);
// out = Aᵀ y
void multiply_transposed(const ProgramMatrix& a, std::span<const double> y, std::span<double> out);

}  // namespace corvo::robust
