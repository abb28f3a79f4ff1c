// Dense row-major matrix of doubles, indexed from 0.
//
// The solver keeps the constraint matrix as an m x n Matrix: row i holds
// the coefficients of constraint i+1, column j those of variable j+1.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace talven {

class Matrix {
 public:
  Matrix() = default;
  Matrix(int rows, int cols)
      : rows_(rows), cols_(cols), data_(static_cast<std::size_t>(rows) * cols, 0.0) {}

  int rows() const { return rows_; }
  int cols() const { return cols_; }

  double& operator()(int i, int j) { return data_[index(i, j)]; }
  double operator()(int i, int j) const { return data_[index(i, j)]; }

  std::span<double> row(int i) { return {data_.data() + index(i, 0), static_cast<std::size_t>(cols_)}; }
  std::span<const double> row(int i) const {
    return {data_.data() + index(i, 0), static_cast<std::size_t>(cols_)};
  }

 private:
  std::size_t index(int i, int j) const {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(j);
  }

  int rows_ = 0;
  int cols_ = 0;
  std::vector<double> data_;
};

}  // namespace talven
