#include "dc/bounds.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvo::robust::dc {
namespace {

constexpr Side kSides[] = {Side::lower, Side::upper};
constexpr double kInf = std::numeric_limits<double>::infinity();

// The step at which v + step·d first reaches zero (∞ when d ≥ 0).
double step_to_zero(double v, double d) { return d < 0.0 ? -v / d : kInf; }

}  // namespace

BoxShape::BoxShape(const Boxes& b, const std::vector<char>* fixed) : boxes(&b) {
  has_lower.resize(b.size());
  has_upper.resize(b.size());
  for (std::size_t k = 0; k < b.size(); ++k) {
    const bool is_fixed = fixed != nullptr && (*fixed)[k] != 0;
    has_lower[k] = !is_fixed && std::isfinite(b.lower[k]);
    has_upper[k] = !is_fixed && std::isfinite(b.upper[k]);
  }
}

void allocate(const BoxShape& shape, BoxVars& v) {
  const std::size_t n = shape.size();
  for (Side side : kSides) {
    SideVars& sv = vars_of(v, side);
    sv.s.assign(n, 0.0);
    sv.z.assign(n, 0.0);
    sv.e.assign(shape.elastic() ? n : 0, 0.0);
    sv.y.assign(shape.elastic() ? n : 0, 0.0);
  }
}

void add_multipliers(const BoxShape& shape, const BoxVars& v, std::span<double> dual) {
  for (std::size_t k = 0; k < shape.size(); ++k) {
    if (shape.has_lower[k]) dual[k] -= v.lower.z[k];
    if (shape.has_upper[k]) dual[k] += v.upper.z[k];
  }
}

void box_residuals(const BoxShape& shape, std::span<const double> x, const BoxVars& v, BoxResiduals& r) {
  const std::size_t n = shape.size();
  for (Side side : kSides) {
    SideResiduals& out = side == Side::lower ? r.lower : r.upper;
    const SideVars& sv = vars_of(v, side);
    const double a = sign_of(side);
    out.primal.assign(n, 0.0);
    out.elastic.assign(shape.elastic() ? n : 0, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
      if (!shape.has(side, k)) continue;
      const double violation = shape.elastic_at(k) ? sv.e[k] : 0.0;
      out.primal[k] = a * (shape.bound(side, k) - x[k]) - violation + sv.s[k];
      if (shape.elastic_at(k)) out.elastic[k] = shape.price(k) - sv.z[k] - sv.y[k];
    }
  }
}

double complementarity(const BoxShape& shape, const BoxVars& v, std::size_t& pairs) {
  double sum = 0.0;
  for (Side side : kSides) {
    const SideVars& sv = vars_of(v, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      sum += sv.s[k] * sv.z[k];
      ++pairs;
      if (shape.elastic_at(k)) {
        sum += sv.e[k] * sv.y[k];
        ++pairs;
      }
    }
  }
  return sum;
}

double scaled_primal_residual(const BoxShape& shape, const BoxResiduals& r) {
  double worst = 0.0;
  for (Side side : kSides) {
    const SideResiduals& sr = residuals_of(r, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      worst = std::max(worst, std::fabs(sr.primal[k]) / (1.0 + std::fabs(shape.bound(side, k))));
    }
  }
  return worst;
}

double largest_elastic_residual(const BoxResiduals& r) {
  double worst = 0.0;
  for (Side side : kSides) {
    for (double e : residuals_of(r, side).elastic) worst = std::max(worst, std::fabs(e));
  }
  return worst;
}

double largest_primal_residual(const BoxShape& shape, const BoxResiduals& r,
                               std::span<const double> weight) {
  double worst = 0.0;
  for (Side side : kSides) {
    const SideResiduals& sr = residuals_of(r, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      worst = std::max(worst, std::fabs(sr.primal[k]) * (weight.empty() ? 1.0 : weight[k]));
    }
  }
  return worst;
}

double largest_product(const BoxShape& shape, const BoxVars& v) {
  double worst = 0.0;
  for (Side side : kSides) {
    const SideVars& sv = vars_of(v, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      worst = std::max(worst, sv.s[k] * sv.z[k]);
      if (shape.elastic_at(k)) worst = std::max(worst, sv.e[k] * sv.y[k]);
    }
  }
  return worst;
}

void box_targets(const BoxShape& shape, const BoxVars& v, double target, const BoxVars* predictor,
                 BoxTargets& t) {
  for (Side side : kSides) {
    const SideVars& sv = vars_of(v, side);
    SideVars& out = side == Side::lower ? t.lower : t.upper;
    out.s.assign(shape.size(), 0.0);
    out.e.assign(shape.elastic() ? shape.size() : 0, 0.0);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      out.s[k] = target - sv.s[k] * sv.z[k];
      if (predictor != nullptr) {
        const SideVars& p = vars_of(*predictor, side);
        out.s[k] -= p.s[k] * p.z[k];
      }
      if (!shape.elastic_at(k)) continue;
      out.e[k] = target - sv.e[k] * sv.y[k];
      if (predictor != nullptr) {
        const SideVars& p = vars_of(*predictor, side);
        out.e[k] -= p.e[k] * p.y[k];
      }
    }
  }
}

namespace {

// h and g of one side of element k (see the header).
void side_terms(const BoxShape& shape, std::size_t k, const SideVars& sv, const SideResiduals& r,
                const SideVars& t, double& h, double& g) {
  double compliance = sv.s[k] / sv.z[k];
  double inner = t.s[k] / sv.z[k] + r.primal[k];
  if (shape.elastic_at(k)) {
    compliance += sv.e[k] / sv.y[k];
    inner += -t.e[k] / sv.y[k] + sv.e[k] / sv.y[k] * r.elastic[k];
  }
  h = 1.0 / compliance;
  g = h * inner;
}

}  // namespace

void add_newton_terms(const BoxShape& shape, const BoxVars& v, const BoxResiduals& r,
                      const BoxTargets& t, std::span<double> weight, std::span<double> rhs) {
  for (Side side : kSides) {
    const SideVars& sv = vars_of(v, side);
    const SideResiduals& sr = residuals_of(r, side);
    const SideVars& st = side == Side::lower ? t.lower : t.upper;
    const double a = sign_of(side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      double h = 0.0, g = 0.0;
      side_terms(shape, k, sv, sr, st, h, g);
      weight[k] += h;
      rhs[k] += a * g;
    }
  }
}

void recover_directions(const BoxShape& shape, const BoxVars& v, const BoxResiduals& r,
                        const BoxTargets& t, std::span<const double> dx, BoxVars& d) {
  for (Side side : kSides) {
    const SideVars& sv = vars_of(v, side);
    const SideResiduals& sr = residuals_of(r, side);
    const SideVars& st = side == Side::lower ? t.lower : t.upper;
    SideVars& sd = vars_of(d, side);
    const double a = sign_of(side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      double h = 0.0, g = 0.0;
      side_terms(shape, k, sv, sr, st, h, g);
      sd.z[k] = g - h * a * dx[k];
      sd.s[k] = (st.s[k] - sv.s[k] * sd.z[k]) / sv.z[k];
      if (!shape.elastic_at(k)) continue;
      sd.y[k] = sr.elastic[k] - sd.z[k];
      sd.e[k] = (st.e[k] - sv.e[k] * sd.y[k]) / sv.y[k];
    }
  }
}

namespace {

// The longest step along d that keeps every `bound` variable (and, where
// elastic, every `elastic` one) of v non-negative.
using SideVector = std::vector<double> SideVars::*;
double max_step(const BoxShape& shape, const BoxVars& v, const BoxVars& d, SideVector bound, SideVector elastic) {
  double step = kInf;
  for (Side side : kSides) {
    const SideVars& sv = vars_of(v, side);
    const SideVars& sd = vars_of(d, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      step = std::min(step, step_to_zero((sv.*bound)[k], (sd.*bound)[k]));
      if (shape.elastic_at(k)) step = std::min(step, step_to_zero((sv.*elastic)[k], (sd.*elastic)[k]));
    }
  }
  return step;
}

}  // namespace

double max_primal_step(const BoxShape& shape, const BoxVars& v, const BoxVars& d) {
  return max_step(shape, v, d, &SideVars::s, &SideVars::e);
}

double max_dual_step(const BoxShape& shape, const BoxVars& v, const BoxVars& d) {
  return max_step(shape, v, d, &SideVars::z, &SideVars::y);
}

void take_primal_step(const BoxShape& shape, double step, const BoxVars& d, BoxVars& v) {
  for (Side side : kSides) {
    SideVars& sv = vars_of(v, side);
    const SideVars& sd = vars_of(d, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      sv.s[k] += step * sd.s[k];
      if (shape.elastic_at(k)) sv.e[k] += step * sd.e[k];
    }
  }
}

void take_dual_step(const BoxShape& shape, double step, const BoxVars& d, BoxVars& v) {
  for (Side side : kSides) {
    SideVars& sv = vars_of(v, side);
    const SideVars& sd = vars_of(d, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      sv.z[k] += step * sd.z[k];
      if (shape.elastic_at(k)) sv.y[k] += step * sd.y[k];
    }
  }
}

double complementarity_after(const BoxShape& shape, const BoxVars& v, const BoxVars& d,
                             double step_primal, double step_dual) {
  double sum = 0.0;
  for (Side side : kSides) {
    const SideVars& sv = vars_of(v, side);
    const SideVars& sd = vars_of(d, side);
    for (std::size_t k = 0; k < shape.size(); ++k) {
      if (!shape.has(side, k)) continue;
      sum += (sv.s[k] + step_primal * sd.s[k]) * (sv.z[k] + step_dual * sd.z[k]);
      if (shape.elastic_at(k)) {
        sum += (sv.e[k] + step_primal * sd.e[k]) * (sv.y[k] + step_dual * sd.y[k]);
      }
    }
  }
  return sum;
}

}  // namespace corvo::robust::dc
