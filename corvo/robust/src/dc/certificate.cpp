#include "dc/certificate.hpp"

#include <algorithm>
#include <cmath>

#include "dc/network_terms.hpp"

namespace corvo::robust::dc {
namespace {

constexpr double kMarginFactor = 100.0;

double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }

double multiplier(const std::vector<double>& z, const std::vector<double>& bound, std::size_t k) {
  return std::isfinite(bound[k]) ? std::max(z[k], 0.0) : 0.0;
}

}  // namespace

CertificateCheck check_certificate(const Model& m, const Iterate& it) {
  CertificateCheck c;
  double largest_u = 0.0, largest_theta = 0.0;
  for (std::size_t j = 0; j < m.units(); ++j) largest_u = std::max(largest_u, std::fabs(it.u[j]));
  for (double t : it.theta) largest_theta = std::max(largest_theta, std::fabs(t));

  double gamma = 0.0, hidden = 0.0;
  for (std::size_t i = 0; i < m.demand.size(); ++i) gamma += m.demand[i] * it.lambda[i];
  const Boxes& ub = m.unit_bounds;
  for (std::size_t j = 0; j < m.units(); ++j) {
    double zl = multiplier(it.units.lower.z, ub.lower, j);
    double zu = multiplier(it.units.upper.z, ub.upper, j);
    if (m.unit_fixed[j]) {
      // A constant injection: the multipliers that close its equality
      // exactly (lower == upper, so γ gains lower·(zl − zu)).
      const double price = unit_price(m, it.lambda, j);
      zl = std::max(-price, 0.0);
      zu = std::max(price, 0.0);
    }
    gamma += finite_or_zero(ub.lower[j]) * zl - finite_or_zero(ub.upper[j]) * zu;
    const double rho = unit_price(m, it.lambda, j) + zl - zu;
    double reach = std::max(std::fabs(finite_or_zero(ub.lower[j])), std::fabs(finite_or_zero(ub.upper[j])));
    if (!std::isfinite(ub.lower[j]) || !std::isfinite(ub.upper[j])) reach = std::max(reach, 1.0 + largest_u);
    hidden += std::fabs(rho) * reach;
  }
  const Boxes& bb = m.branch_bounds;
  std::vector<double> net(m.branches());
  for (std::size_t l = 0; l < m.branches(); ++l) {
    const double zl = multiplier(it.branches.lower.z, bb.lower, l);
    const double zu = multiplier(it.branches.upper.z, bb.upper, l);
    gamma += finite_or_zero(bb.lower[l]) * zl - finite_or_zero(bb.upper[l]) * zu;
    net[l] = zl - zu;
  }
  std::vector<double> rho_angle(static_cast<std::size_t>(m.free_nodes));
  angle_residual(m, it.lambda, net, rho_angle);
  for (double r : rho_angle) hidden += std::fabs(r) * (1.0 + largest_theta);

  c.gamma = gamma;
  c.hidden = kMarginFactor * hidden;
  c.valid = std::isfinite(gamma) && std::isfinite(hidden) && gamma > 0.0 && gamma > c.hidden;
  return c;
}

}  // namespace corvo::robust::dc
