#include "dc/network_terms.hpp"

#include <algorithm>

namespace corvo::robust::dc {
namespace {

double angle_at(std::span<const double> theta, std::int32_t free_index) {
  return free_index == kNone ? 0.0 : theta[static_cast<std::size_t>(free_index)];
}

std::size_t at(std::int32_t index) { return static_cast<std::size_t>(index); }

}  // namespace

void branch_differences(const Model& m, std::span<const double> theta, std::span<double> diff) {
  for (std::size_t l = 0; l < m.branches(); ++l) {
    diff[l] = angle_at(theta, m.branch_free_from[l]) - angle_at(theta, m.branch_free_to[l]);
  }
}

double unit_price(const Model& m, std::span<const double> lambda, std::size_t j) {
  double p = 0.0;
  if (m.unit_to[j] != kNone) p += lambda[at(m.unit_to[j])];
  if (m.unit_from[j] != kNone) p -= lambda[at(m.unit_from[j])];
  return p;
}

void balance_residual(const Model& m, std::span<const double> u, std::span<const double> diff,
                      std::span<double> residual) {
  std::copy(m.demand.begin(), m.demand.end(), residual.begin());
  for (std::size_t j = 0; j < m.units(); ++j) {
    if (m.unit_to[j] != kNone) residual[at(m.unit_to[j])] -= u[j];
    if (m.unit_from[j] != kNone) residual[at(m.unit_from[j])] += u[j];
  }
  for (std::size_t l = 0; l < m.branches(); ++l) {
    const double flow = m.susceptance[l] * diff[l];
    residual[at(m.branch_from[l])] += flow;
    residual[at(m.branch_to[l])] -= flow;
  }
}

void angle_residual(const Model& m, std::span<const double> lambda,
                    std::span<const double> branch_dual, std::span<double> residual) {
  std::fill(residual.begin(), residual.end(), 0.0);
  for (std::size_t l = 0; l < m.branches(); ++l) {
    const std::int32_t f = m.branch_free_from[l], t = m.branch_free_to[l];
    if (f == t) continue;
    const double v = m.susceptance[l] * (lambda[at(m.branch_from[l])] - lambda[at(m.branch_to[l])]) -
                     branch_dual[l];
    if (f != kNone) residual[at(f)] += v;
    if (t != kNone) residual[at(t)] -= v;
  }
}

void add_branch_terms(const Model& m, std::span<const double> v, std::span<double> out) {
  for (std::size_t l = 0; l < m.branches(); ++l) {
    const std::int32_t f = m.branch_free_from[l], t = m.branch_free_to[l];
    if (f == t) continue;
    if (f != kNone) out[at(f)] += v[l];
    if (t != kNone) out[at(t)] -= v[l];
  }
}

void add_unit_terms(const Model& m, std::span<const double> v, std::span<double> out) {
  for (std::size_t j = 0; j < m.units(); ++j) {
    if (m.unit_to[j] != kNone) out[at(m.unit_to[j])] += v[j];
    if (m.unit_from[j] != kNone) out[at(m.unit_from[j])] -= v[j];
  }
}

}  // namespace corvo::robust::dc
