// The certificate that a problem has no feasible point (Farkas): prices λ
// and bound multipliers z ≥ 0 of the units and branches (zero on absent
// sides) with
//   Uᵀλ + z_lower − z_upper = 0           (per unit)
//   Kᵀλ − Cᵀ(z_lower − z_upper) = 0       (per free angle)
//   γ = demandᵀλ + Σ lower·z_lower − Σ upper·z_upper > 0   (units and branches)
// For any point meeting the bounds, λᵀ(U·u − K·θ − demand) ≤ −γ < 0, so no
// point balances every bus. The duals of the least-violation problem are
// such a ray, with γ equal to the least violation.
//
// Rounding leaves small residuals ρ on the two equalities; the check asks
// γ to exceed what they could hide for points of the size at hand,
// kMarginFactor·(Σ|ρ_unit|·(largest |bound| or |u|) + Σ|ρ_angle|·(1 + |θ|max)).
#pragma once

#include "dc/iterate.hpp"
#include "dc/model.hpp"

namespace corvo::robust::dc {

struct CertificateCheck {
  bool valid = false;
  double gamma = 0.0;   // scaled
  double hidden = 0.0;  // what the residuals could hide, scaled
};

// Checks the duals of `it` (a point of the least-violation problem, whose
// first m.units() units are m's) as a certificate for the problem m.
CertificateCheck check_certificate(const Model& m, const Iterate& it);

}  // namespace corvo::robust::dc
