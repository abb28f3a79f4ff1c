#include "program_matrix.hpp"

#include <algorithm>

namespace corvo::robust {

ProgramMatrix program_matrix(const dispatch::DispatchQp& qp) {
  ProgramMatrix a;
  a.rows = static_cast<std::size_t>(qp.m);
  a.cols = static_cast<std::size_t>(qp.nvar);
  // Count per column, then place the rows in ascending order: the rows are
  // visited in order, so every column fills up sorted.
  a.start.assign(a.cols + 1, 0);
  for (const dispatch::SparseRow& row : qp.rows) {
    for (const auto& e : row.entries()) ++a.start[static_cast<std::size_t>(e.column)];
  }
  for (std::size_t j = 0; j < a.cols; ++j) a.start[j + 1] += a.start[j];
  a.row_index.resize(a.start[a.cols]);
  a.value.resize(a.start[a.cols]);
  std::vector<std::size_t> next(a.start.begin(), a.start.end() - 1);
  for (std::size_t i = 0; i < qp.rows.size(); ++i) {
    for (const auto& e : qp.rows[i].entries()) {
      const std::size_t p = next[static_cast<std::size_t>(e.column) - 1]++;
      a.row_index[p] = i;
      a.value[p] = e.value;
    }
  }
  return a;
}

void multiply(const ProgramMatrix& a, std::span<const double> x, std::span<double> out) {
  std::fill(out.begin(), out.end(), 0.0);
  for (std::size_t j = 0; j < a.cols; ++j) {
    for (std::size_t p = a.start[j]; p < a.start[j + 1]; ++p) out[a.row_index[p]] += a.value[p] * x[j];
  }
}

void multiply_transposed(const ProgramMatrix& a, std::span<const double> y, std::span<double> out) {
  for (std::size_t j = 0; j < a.cols; ++j) {
    double sum = 0.0;
    for (std::size_t p = a.start[j]; p < a.start[j + 1]; ++p) sum += a.value[p] * y[a.row_index[p]];
    out[j] = sum;
  }
}

}  // namespace corvo::robust
