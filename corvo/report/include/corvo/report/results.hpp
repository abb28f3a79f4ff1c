// The results of a dispatch in the units of the case: the tables of the
// report and the optimality check, computed from the case, its program
// and a solution, without any file.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "corvo/report/solution.hpp"
#include "corvo/report/tolerances.hpp"
#include "dispatch/case_data.hpp"
#include "dispatch/dispatch_qp.hpp"

namespace corvo::report {

// Which limit a quantity sits at.
enum class AtLimit { none, lower, upper };
const char* at_limit_name(AtLimit at);  // "", "lower", "upper"

struct Summary {
  std::string case_name;
  std::string title;
  std::string method;
  Outcome outcome = Outcome::stopped;
  int iterations = 0;
  std::string message;
  double base_mva = 0.0;
  double cost = 0.0;                // $/h, c'x + 0.5 x'diag(q)x
  double constant_cost = 0.0;       // $/h, sum of the generators' constant costs
  double cost_with_constant = 0.0;  // $/h
  double total_load_mw = 0.0;
  double total_generation_mw = 0.0;  // a negative generation bus counts negative
};

// Elements are named in their source's own terms: the generator's row in
// its table (our case file: its number), the bus numbers of the source,
// the branch's row; a PSS/E RAW source adds the machine id and circuit.
struct GeneratorRow {
  std::int64_t generator = 0;
  std::int64_t bus = 0;
  std::string id;  // RAW machine id; empty otherwise
  double output_mw = 0.0;
  double lower_mw = 0.0;
  double upper_mw = 0.0;
  double incremental_cost = 0.0;  // $/MWh: linear + quadratic * output
  AtLimit at_limit = AtLimit::none;
};

struct BusRow {
  std::int64_t bus = 0;
  std::int32_t type = 0;
  double angle_deg = 0.0;
  double load_mw = 0.0;
  double generation_mw = 0.0;
  double lmp = 0.0;         // $/MWh
  double energy = 0.0;      // the price at the reference bus
  double congestion = 0.0;  // lmp - energy
};

struct LineRow {
  std::int64_t line = 0;
  std::int64_t from = 0;
  std::int64_t to = 0;
  std::string circuit;  // RAW circuit; empty otherwise
  double flow_mw = 0.0;  // positive from `from` (se) to `to` (re)
  double lower_mw = 0.0;
  double upper_mw = 0.0;
  double loading_percent = 0.0;  // of the limit in the flow's direction; NaN when that limit is 0
  AtLimit binding = AtLimit::none;
  double mu_upper = 0.0;      // $/MWh saved per MW more upper limit
  double mu_lower = 0.0;      // $/MWh saved per MW lower lower limit
  double shadow_price = 0.0;  // that of the binding limit, 0 when none binds
  // Limits of the angle difference θfrom − θto (degrees; NaN when none),
  // which of them binds, and their multipliers ($/h saved per degree).
  double angle_min_deg = std::nan("");
  double angle_max_deg = std::nan("");
  double angle_deg = 0.0;  // θfrom − θto
  AtLimit angle_binding = AtLimit::none;
  double angle_mu_upper = 0.0;
  double angle_mu_lower = 0.0;
};

// An element of the source that takes no part in the dispatch.
struct DroppedRow {
  std::string kind;     // "bus", "generator", "branch"
  std::string element;  // its name in the source's terms, e.g. "generator 3 (bus 7)"
  std::string reason;
};

// One limit that must be relaxed for an infeasible case to have a
// dispatch: by how much, in MW (or degrees for an angle limit).
struct RelaxationRow {
  std::string element;  // e.g. "bus 4", "branch 7 (bus 2-3)"
  std::string what;     // "load not served", "flow above its upper limit", ...
  double amount = 0.0;
  std::string unit;     // "MW" or "deg"
};

// One condition of the optimality check.
struct Condition {
  std::string name;  // "power balance", "limits", "dual feasibility", ...
  std::string unit;
  double value = 0.0;  // the largest offence; 0 when there is none
  double tolerance = 0.0;
  // What the rounding of the solution's values (see QpSolution) can
  // explain at the element shown; the condition holds when no element's
  // offence exceeds the tolerance plus its own allowance.
  double allowance = 0.0;
  bool holds = false;
  std::string where;  // the element of the largest offence, e.g. "bus 4"
};

struct OptimalityCheck {
  bool optimal = false;
  std::vector<Condition> conditions;
  std::vector<std::string> failing;  // names of the conditions that fail
  std::vector<std::string> notes;
};

struct Results {
  Summary summary;
  std::vector<GeneratorRow> generators;
  std::vector<BusRow> buses;
  std::vector<LineRow> lines;
  OptimalityCheck check;
  Tolerances tolerances;
  bool angles_free = false;
  // Whether the lines table has angle-difference limits to show.
  bool angle_limits = false;
  std::vector<DroppedRow> dropped;
  // For an infeasible case: the least relaxation that gives a dispatch.
  std::vector<RelaxationRow> relaxation;
};

// Builds every table and the check. `data` is the case in per unit as the
// loader leaves it, `qp` its program, `solution` sized to the program
// (the caller checks the sizes; see solution_size_error).
Results make_results(const std::string& case_name, const dispatch::CaseData& data,
                     const dispatch::DispatchQp& qp, const QpSolution& solution,
                     const ReportOptions& options);

// Empty when x and y have the program's sizes (and z is empty or of the
// size of x); otherwise what does not match.
std::string solution_size_error(const dispatch::DispatchQp& qp, const QpSolution& solution);

// 0 verified optimal, 1 otherwise. Input errors (status 2) are the
// caller's.
inline constexpr int kExitOptimal = 0;
inline constexpr int kExitNotOptimal = 1;
inline constexpr int kExitInputError = 2;
int exit_status(const Results& results);

}  // namespace corvo::report
