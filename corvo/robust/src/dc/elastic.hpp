// The elastic problems of an infeasible dispatch. Every unit bound (but
// a fixed unit's) and every branch bound may be violated at a price per
// unit of violation; a
// bus may leave demand unserved (at most its demand) or absorb injection
// it cannot use, through units appended after the problem's own:
//
//   least violation: no unit costs; violations priced 1 per unit of power
//     for unit bounds, b·(radians) for branch bounds (the power the angle
//     violation carries) and kDemandWeight per unit of power for demand,
//     so that limits are relaxed before demand is left unserved. Its
//     optimum is the least relaxation, and its duals are the certificate
//     of infeasibility (see certificate.hpp).
//   penalised: the problem's own costs plus the same violations times a
//     penalty far above every marginal cost; its optimum is the cheapest
//     dispatch under the least relaxation.
//
// Both have the pattern of the problem (appended units touch one bus
// each), so the analysis of the factorisation is reused.
#pragma once

#include <vector>

#include "dc/iterate.hpp"
#include "dc/model.hpp"
#include "robust/dc_opf.hpp"

namespace corvo::robust::dc {

inline constexpr double kDemandWeight = 10.0;

enum class ElasticKind { least_violation, penalised };

struct ElasticModel {
  Model model;
  // Per bus, the appended unit that serves its demand or absorbs its
  // excess injection (kNone where there is none).
  std::vector<std::int32_t> not_served_unit;
  std::vector<std::int32_t> in_excess_unit;
};

ElasticModel elastic_model(const Model& m, ElasticKind kind);

// The relaxation of a point of the elastic problem, in the problem's
// units; entries below `threshold` (scaled) count as zero.
Relaxation relaxation_of(const ElasticModel& em, std::size_t original_units, const Iterate& it,
                         const Scales& scales, double threshold);

// Σ of the weighted violations of a point of the least-violation problem
// (scaled): its objective.
double total_violation(const ElasticModel& em, const Iterate& it);

}  // namespace corvo::robust::dc
