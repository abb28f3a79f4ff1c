#include "normal_equations.hpp"

#include <cholmod.h>

#include <cmath>
#include <stdexcept>

namespace corvo::robust {
namespace {

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("sparse factorisation: ") + what);
}

}  // namespace

NormalEquations::NormalEquations(const ProgramMatrix& a) : a_(a) {
  common_ = new cholmod_common;
  cholmod_start(common_);
  // AMD only, so the ordering (and with it every result) never depends on
  // which of several orderings happened to win. The simplicial LDLᵀ factor
  // runs without BLAS threads, so the same input gives the same bits.
  common_->nmethods = 1;
  common_->method[0].ordering = CHOLMOD_AMD;
  common_->supernodal = CHOLMOD_SIMPLICIAL;
  common_->final_ll = 0;
  common_->error_handler = nullptr;  // failures come back as a status
  common_->print = 0;

  const auto nnz = a.value.size();
  scaled_ = cholmod_allocate_sparse(a.rows, a.cols, nnz, 1, 1, 0, CHOLMOD_REAL, common_);
  require(scaled_ != nullptr, "out of memory");
  auto* p = static_cast<int*>(scaled_->p);
  auto* i = static_cast<int*>(scaled_->i);
  auto* x = static_cast<double*>(scaled_->x);
  for (std::size_t j = 0; j <= a.cols; ++j) p[j] = static_cast<int>(a.start[j]);
  for (std::size_t k = 0; k < nnz; ++k) {
    i[k] = static_cast<int>(a.row_index[k]);
    x[k] = a.value[k];
  }
  // For a matrix with stype 0 CHOLMOD analyses and factors A·Aᵀ.
  factor_ = cholmod_analyze(scaled_, common_);
  require(factor_ != nullptr && common_->status >= CHOLMOD_OK, "analysis failed");
  rhs_ = cholmod_zeros(a.rows, 1, CHOLMOD_REAL, common_);
  require(rhs_ != nullptr, "out of memory");
}

NormalEquations::~NormalEquations() {
  cholmod_free_dense(&work_e_, common_);
  cholmod_free_dense(&work_y_, common_);
  cholmod_free_dense(&solution_, common_);
  cholmod_free_dense(&rhs_, common_);
  cholmod_free_factor(&factor_, common_);
  cholmod_free_sparse(&scaled_, common_);
  cholmod_finish(common_);
  delete common_;
}

bool NormalEquations::factor(std::span<const double> d, double delta) {
  auto* x = static_cast<double*>(scaled_->x);
  for (std::size_t j = 0; j < a_.cols; ++j) {
    const double s = std::sqrt(d[j]);
    for (std::size_t k = a_.start[j]; k < a_.start[j + 1]; ++k) x[k] = a_.value[k] * s;
  }
  double beta[2] = {delta, 0.0};
  const int ok = cholmod_factorize_p(scaled_, beta, nullptr, 0, factor_, common_);
  if (common_->status == CHOLMOD_NOT_POSDEF) return false;
  require(ok && common_->status >= CHOLMOD_OK, "factorisation failed");
  return true;
}

void NormalEquations::solve(std::span<const double> r, std::span<double> v) {
  auto* b = static_cast<double*>(rhs_->x);
  for (std::size_t i = 0; i < a_.rows; ++i) b[i] = r[i];
  const int ok = cholmod_solve2(CHOLMOD_A, factor_, rhs_, nullptr, &solution_, nullptr, &work_y_,
                                &work_e_, common_);
  require(ok, "solve failed");
  const auto* s = static_cast<const double*>(solution_->x);
  for (std::size_t i = 0; i < a_.rows; ++i) v[i] = s[i];
}

}  // namespace corvo::robust
