// The normal equations (A·diag(d)·Aᵀ + delta·I)·v = r of the interior-point
// method, factored by CHOLMOD. The fill-reducing ordering (AMD) is found
// once from the pattern of A; every iteration refactors with new weights.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "program_matrix.hpp"

struct cholmod_common_struct;
struct cholmod_sparse_struct;
struct cholmod_factor_struct;
struct cholmod_dense_struct;

namespace corvo::robust {

class NormalEquations {
 public:
  explicit NormalEquations(const ProgramMatrix& a);
  ~NormalEquations();
  NormalEquations(const NormalEquations&) = delete;
  NormalEquations& operator=(const NormalEquations&) = delete;

  // Factors A·diag(d)·Aᵀ + delta·I. Returns false when the factor meets a
  // pivot that is not positive (the caller then raises delta).
  bool factor(std::span<const double> d, double delta);

  // v = (A·diag(d)·Aᵀ + delta·I)⁻¹ r with the last factor.
  void solve(std::span<const double> r, std::span<double> v);

 private:
  const ProgramMatrix& a_;
  cholmod_common_struct* common_ = nullptr;
  cholmod_sparse_struct* scaled_ = nullptr;  // A·diag(sqrt(d)), pattern of A
  cholmod_factor_struct* factor_ = nullptr;
  cholmod_dense_struct* rhs_ = nullptr;
  cholmod_dense_struct* solution_ = nullptr;
  cholmod_dense_struct* work_y_ = nullptr;
  cholmod_dense_struct* work_e_ = nullptr;
};

}  // namespace corvo::robust
