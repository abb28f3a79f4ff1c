#include "corvo/report/solution.hpp"

namespace corvo::report {

const char* outcome_name(Outcome outcome) {
  switch (outcome) {
    case Outcome::converged: return "converged";
    case Outcome::iteration_limit: return "iteration_limit";
    case Outcome::stopped: return "stopped";
    case Outcome::infeasible: return "infeasible";
  }
  return "stopped";
}

}  // namespace corvo::report
