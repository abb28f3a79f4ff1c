// The DC optimal dispatch of a network as the robust method sees it: plain
// arrays in per unit, built by the DC model of corvo::network from a
// network (phase shifts, tap ratios, piecewise-linear costs, bus ties and
// angle-difference limits already folded in).
//
//   minimise    Σ_j  c_j·u_j + ½·q_j·u_j²
//   over        units u_j ∈ [unit_lower_j, unit_upper_j]   (bounds may be ±inf)
//               angles θ_a of the angle nodes; θ of every fixed node is 0
//   subject to  for every bus i (dual: price_i):
//                 Σ_{j: unit_to_j = i} u_j − Σ_{j: unit_from_j = i} u_j
//                   − Σ_{l: from_l = i} b_l·(θ(from_l) − θ(to_l))
//                   + Σ_{l: to_l = i}   b_l·(θ(from_l) − θ(to_l))  =  demand_i
//               for every branch l:
//                 diff_lower_l ≤ θ(from_l) − θ(to_l) ≤ diff_upper_l    (bounds may be ±inf)
//
// where θ(i) is the angle of bus i's node, node_of_bus[i]. A unit is a
// generator (unit_to = its bus, unit_from = kNoBus), one segment of a
// piecewise-linear cost (likewise, q = 0), or the flow of a bus tie of zero
// reactance (from one bus to the other; both buses share one node).
// Each island of the network has exactly one fixed node.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvo::robust {

inline constexpr std::int32_t kNoBus = -1;

struct DcOpf {
  std::int32_t buses = 0;
  std::int32_t nodes = 0;
  std::vector<std::int32_t> node_of_bus;  // buses entries, 0..nodes-1
  std::vector<std::int32_t> fixed_nodes;  // one per island
  std::vector<double> demand;             // buses entries

  std::vector<std::int32_t> branch_from;  // bus indexes
  std::vector<std::int32_t> branch_to;
  std::vector<double> susceptance;        // b_l; negative for a series capacitor (x < 0); 0: a branch
                                          // out of service kept for its pattern
  std::vector<double> diff_lower;         // radians
  std::vector<double> diff_upper;

  std::vector<std::int32_t> unit_to;      // bus index, or kNoBus
  std::vector<std::int32_t> unit_from;    // bus index, or kNoBus
  std::vector<double> unit_lower;
  std::vector<double> unit_upper;
  std::vector<double> linear_cost;        // $/h per unit of u
  std::vector<double> quadratic_cost;     // >= 0
};

enum class Status {
  optimal,
  infeasible,            // with a certificate; see Solution::relaxation
  iteration_limit,
  numerical_difficulty,  // see Solution::message and difficult_branch
};

// "optimal", "infeasible", "iteration limit", "numerical difficulty".
std::string status_text(Status status);

// One line of the iteration log (scaled residuals and gap, as the stopping
// test uses them; step lengths of this iteration).
struct IterationReport {
  int iteration = 0;
  double relative_gap = 0.0;
  double primal_residual = 0.0;
  double dual_residual = 0.0;
  double step_primal = 0.0;
  double step_dual = 0.0;
  double seconds = 0.0;
};

// How the Newton system is factored: CHOLMOD's simplicial LDLᵀ, or the
// supernodal LDLᵀ with dense blocks, which is faster once the factor is
// large. `automatic` chooses by the factor's flop count; the others are
// for tests and benchmarks. The answers agree within the tolerances, not
// bit for bit.
enum class Factorisation { automatic, simplicial, supernodal };

struct Options {
  int max_iterations = 100;
  double tolerance = 1e-8;
  // Called once per iteration when set (--verbose, a progress display).
  std::function<void(const IterationReport&)> on_iteration;
  // Polled once per iteration; returning true stops the run (status
  // iteration_limit, message "cancelled").
  std::function<bool()> cancelled;
  // When the problem is infeasible, also solve the elastic problem (every
  // demand, unit bound and branch bound may be violated at a high penalty)
  // and return the least relaxation that makes it feasible.
  bool relax_when_infeasible = true;
  // Absolute tolerances in the problem's own units, required besides the
  // relative `tolerance` when positive (0: not applied), so that a caller
  // whose check is absolute (MW, $/MWh) gets a point that passes it
  // however large the costs or limits are:
  //   balance_tolerance: largest bus balance residual, and largest bound
  //     residual of a unit or (as b·Δθ) of a branch, in units of power;
  //   price_tolerance: largest c + q·u − (λto − λfrom) − z_lower + z_upper
  //     of a unit, $/h per unit of power;
  //   complementarity_tolerance: largest (distance to a bound)·multiplier, $/h.
  double balance_tolerance = 0.0;
  double price_tolerance = 0.0;
  double complementarity_tolerance = 0.0;
  Factorisation factorisation = Factorisation::automatic;
};

// Where the time of a solve went (for benchmarks and --verbose).
struct SolveStatistics {
  int iterations_optimal = 0;    // the problem itself
  int iterations_phase_one = 0;  // the least-violation problem (only when infeasibility is suspected)
  int iterations_elastic = 0;    // the penalised elastic problem (infeasible problems)
  int analyses = 0;              // symbolic analyses (0 when a workspace held the pattern's)
  int factorizations = 0;
  int solves = 0;                // triangular solve pairs, refinement included
  bool supernodal = false;       // the supernodal factorisation was used
  double seconds_total = 0.0;
  double seconds_analysis = 0.0;
  double seconds_factor = 0.0;
  double seconds_solve = 0.0;
};

// The least relaxation that makes an infeasible problem feasible, each
// entry >= 0 and in the units of the problem (per unit of power, radians).
struct Relaxation {
  bool found = false;
  std::vector<double> demand_not_served;  // per bus: demand that cannot be met
  std::vector<double> demand_in_excess;   // per bus: injection that cannot be absorbed
  std::vector<double> unit_below_lower;   // per unit: how far u must go below its lower bound
  std::vector<double> unit_above_upper;
  std::vector<double> diff_below_lower;   // per branch, radians
  std::vector<double> diff_above_upper;
};

struct Solution {
  Status status = Status::numerical_difficulty;
  std::string message;
  int iterations = 0;
  double cost = 0.0;  // Σ c_j u_j + ½ q_j u_j²
  double primal_residual = 0.0;
  double dual_residual = 0.0;
  double relative_gap = 0.0;

  std::vector<double> units;   // u
  std::vector<double> angles;  // per node, radians
  // ∂cost/∂demand_i: the price of bus i ($/h per unit of power).
  std::vector<double> prices;
  // Multipliers (>= 0) of the unit and branch bounds: the cost saved per
  // unit of relaxing that bound.
  std::vector<double> unit_lower_duals;
  std::vector<double> unit_upper_duals;
  std::vector<double> branch_lower_duals;
  std::vector<double> branch_upper_duals;

  // numerical_difficulty: the branch the trouble is traced to, or -1.
  std::int32_t difficult_branch = -1;
  // infeasible: the least relaxation (when Options::relax_when_infeasible).
  Relaxation relaxation;
  SolveStatistics statistics;
};

// Work that many problems of one pattern share (the same buses, nodes,
// branch ends and units; the values may differ), such as the ordering and
// symbolic analysis of the factorisation. Not shared between threads: one
// workspace per thread. Results never depend on whether a workspace was
// reused.
class Workspace {
 public:
  Workspace();
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  struct State;
  std::unique_ptr<State> state;
};

// Solves the problem. `workspace`, when given, keeps the analysis for the
// next problem of the same pattern; `start`, when given, is a solution of
// a nearby problem of the same pattern to start from.
Solution solve_dc_opf(const DcOpf& problem, const Options& options = {}, Workspace* workspace = nullptr,
                      const Solution* start = nullptr);

}  // namespace corvo::robust
