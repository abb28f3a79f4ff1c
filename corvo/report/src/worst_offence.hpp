// The largest offence against one condition of an optimality check, and
// whether every offence stays within the tolerance plus its own allowance.
//
// The allowance (what the rounding of the values read can explain) counts
// up to the tolerance itself and no further: values known only coarsely,
// such as a solver's output that writes everything below a large
// threshold as zero, cannot show that a condition holds, and must never
// hide that it fails. So "holds" always means within twice the tolerance.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "corvo/report/results.hpp"

namespace corvo::report {

// An offence that is not finite fails.
class Worst {
 public:
  explicit Worst(double tolerance) : tolerance_(tolerance) {}

  // While every element holds, the largest offence is shown; once one
  // fails, the largest failing one.
  void offer(double offence, double allowance, const std::function<std::string()>& where) {
    allowance = std::min(allowance, tolerance_);  // NaN stays NaN, and fails
    const bool fails = !(offence <= tolerance_ + allowance);
    if (fails != !holds_) {
      if (fails) {
        holds_ = false;
        set(offence, allowance, where);
      }
      return;
    }
    if (!std::isfinite(value_)) return;
    if (!std::isfinite(offence) || offence > value_) set(offence, allowance, where);
  }

  Condition condition(std::string name, std::string unit) const {
    Condition c;
    c.name = std::move(name);
    c.unit = std::move(unit);
    c.value = value_;
    c.tolerance = tolerance_;
    c.allowance = allowance_;
    c.holds = holds_;
    c.where = where_;
    return c;
  }

 private:
  void set(double offence, double allowance, const std::function<std::string()>& where) {
    value_ = offence;
    allowance_ = allowance;
    where_ = where();
  }
  double tolerance_;
  double value_ = 0.0;
  double allowance_ = 0.0;
  bool holds_ = true;
  std::string where_;
};

}  // namespace corvo::report
