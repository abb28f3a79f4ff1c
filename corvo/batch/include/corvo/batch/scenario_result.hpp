// What a batch keeps of one solved scenario: its row of the summary and,
// for the tables in long form, the values of each element that takes part
// (elements as indexes into the network; the tables name them in the
// source's terms).
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "corvo/report/results.hpp"

namespace corvo::batch {

enum class ScenarioStatus : std::uint8_t {
  converged,             // the method's convergence test passed (the verdict says whether the check holds)
  iteration_limit,
  infeasible,            // no dispatch meets every limit
  numerical_difficulty,
  precheck_failed,       // a pre-check found why no dispatch exists; not solved
  stopped,               // the method stopped for another reason, or the model could not be built
};

// "converged", "iteration_limit", "infeasible", "numerical_difficulty",
// "precheck_failed", "stopped".
const char* status_name(ScenarioStatus status);

struct BusValues {
  std::int32_t bus = 0;
  double lmp = 0.0;  // $/MWh
  double energy = 0.0;
  double congestion = 0.0;
};

struct GeneratorValues {
  std::int32_t generator = 0;
  double output_mw = 0.0;
  report::AtLimit at_limit = report::AtLimit::none;
};

struct LineValues {
  std::int32_t branch = 0;
  double flow_mw = 0.0;
  double loading_percent = 0.0;  // NaN when the limit in the flow's direction is 0 or absent
  report::AtLimit binding = report::AtLimit::none;
  double shadow_price = 0.0;  // $/MWh, of the binding limit
};

struct ScenarioResult {
  std::string scenario;
  ScenarioStatus status = ScenarioStatus::stopped;
  bool optimal = false;  // the independent optimality check holds
  double cost = std::nan("");                // $/h, without the constant costs
  double cost_with_constant = std::nan("");  // $/h
  std::int32_t iterations = 0;
  double seconds = 0.0;  // wall time of this scenario (the only value that varies between runs)
  std::string reason;    // why a scenario is not optimal; empty when it is
  // Element values: when the method converged.
  std::vector<BusValues> buses;
  std::vector<GeneratorValues> generators;
  std::vector<LineValues> lines;
  // For an infeasible scenario: the least relaxation that gives a dispatch.
  std::vector<report::RelaxationRow> relaxation;
};

}  // namespace corvo::batch
