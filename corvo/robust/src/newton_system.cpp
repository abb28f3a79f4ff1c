#include "newton_system.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvo::robust {
namespace {

// Primal regularisation of a free column, relative to the square of its
// largest coefficient; and of any other column, absolute.
constexpr double kFreeRegularisation = 1e-10;
constexpr double kBoundedRegularisation = 1e-14;
// Dual regularisation: first try, growth factor and last try.
constexpr double kFirstDelta = 1e-10;
constexpr double kDeltaGrowth = 100.0;
constexpr double kLastDelta = 1e-2;
// Refinement stops after this many corrections, or once the residual is
// this small relative to the right-hand side, or when it grows.
constexpr int kMaxRefinements = 8;
constexpr double kRefinementTolerance = 1e-10;

double largest_magnitude(std::span<const double> v) {
  double m = 0.0;
  for (double e : v) m = std::max(m, std::fabs(e));
  return m;
}

}  // namespace

NewtonSystem::NewtonSystem(const ProgramMatrix& a, std::vector<bool> free_column)
    : a_(a),
      free_(std::move(free_column)),
      free_regularisation_(a.cols, 0.0),
      normal_(a),
      h_(a.cols),
      h_reg_(a.cols),
      weight_(a.cols),
      ex_(a.cols),
      ey_(a.rows),
      cx_(a.cols),
      cy_(a.rows),
      row_work_(a.rows),
      col_work_(a.cols) {
  for (std::size_t j = 0; j < a.cols; ++j) {
    double largest = 1.0;
    for (std::size_t p = a.start[j]; p < a.start[j + 1]; ++p) {
      largest = std::max(largest, std::fabs(a.value[p]));
    }
    free_regularisation_[j] = free_[j] ? kFreeRegularisation * largest * largest
                                       : kBoundedRegularisation;
  }
}

bool NewtonSystem::factor(std::span<const double> h) {
  for (std::size_t j = 0; j < a_.cols; ++j) {
    h_[j] = h[j];
    h_reg_[j] = h[j] + free_regularisation_[j];
    weight_[j] = 1.0 / h_reg_[j];
  }
  for (double delta = kFirstDelta; delta <= kLastDelta; delta *= kDeltaGrowth) {
    if (normal_.factor(weight_, delta)) {
      delta_ = delta;
      return true;
    }
  }
  return false;
}

void NewtonSystem::regularised_solve(std::span<const double> ex, std::span<const double> ey,
                                     std::span<double> dx, std::span<double> dy) {
  // dy = N⁻¹ (ey − A·(ex / h)),  dx = (ex + Aᵀ·dy) / h.
  for (std::size_t j = 0; j < a_.cols; ++j) col_work_[j] = ex[j] * weight_[j];
  multiply(a_, col_work_, row_work_);
  for (std::size_t i = 0; i < a_.rows; ++i) row_work_[i] = ey[i] - row_work_[i];
  normal_.solve(row_work_, dy);
  multiply_transposed(a_, dy, col_work_);
  for (std::size_t j = 0; j < a_.cols; ++j) dx[j] = (ex[j] + col_work_[j]) * weight_[j];
}

double NewtonSystem::residual(std::span<const double> hx, std::span<const double> hy,
                              std::span<const double> dx, std::span<const double> dy) {
  multiply_transposed(a_, dy, col_work_);
  for (std::size_t j = 0; j < a_.cols; ++j) ex_[j] = hx[j] - (h_[j] * dx[j] - col_work_[j]);
  multiply(a_, dx, row_work_);
  for (std::size_t i = 0; i < a_.rows; ++i) ey_[i] = hy[i] - row_work_[i];
  return std::max(largest_magnitude(ex_), largest_magnitude(ey_));
}

void NewtonSystem::solve(std::span<const double> hx, std::span<const double> hy,
                         std::span<double> dx, std::span<double> dy) {
  regularised_solve(hx, hy, dx, dy);
  const double scale = 1.0 + std::max(largest_magnitude(hx), largest_magnitude(hy));
  double last = residual(hx, hy, dx, dy);
  for (int r = 0; r < kMaxRefinements && last > kRefinementTolerance * scale; ++r) {
    regularised_solve(ex_, ey_, cx_, cy_);
    // Keep the correction only if it makes the residual smaller.
    for (std::size_t j = 0; j < a_.cols; ++j) cx_[j] += dx[j];
    for (std::size_t i = 0; i < a_.rows; ++i) cy_[i] += dy[i];
    const double next = residual(hx, hy, cx_, cy_);
    if (!(next < last)) break;
    std::copy(cx_.begin(), cx_.end(), dx.begin());
    std::copy(cy_.begin(), cy_.end(), dy.begin());
    last = next;
  }
}

}  // namespace corvo::robust
