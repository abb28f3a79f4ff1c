// solve_dc_opf: the problem is scaled, solved by the interior-point
// iteration from a cold or warm start, and, when the iteration shows the
// signs of a problem without a feasible point, handed to the
// least-violation problem, whose duals must pass the certificate check
// before the answer is "infeasible"; the penalised elastic problem then
// gives the dispatch under the least relaxation.
#include <algorithm>
#include <chrono>
#include <memory>
#include <cmath>
#include <stdexcept>
#include <string>

#include "dc/bounds.hpp"
#include "dc/certificate.hpp"
#include "dc/elastic.hpp"
#include "dc/interior_point.hpp"
#include "dc/model.hpp"
#include "dc/problem_check.hpp"
#include "dc/reduced_system.hpp"
#include "dc/start.hpp"
#include "robust/dc_opf.hpp"

namespace corvo::robust {

struct Workspace::State {
  dc::Analysis analysis;
};

Workspace::Workspace() : state(std::make_unique<State>()) {}
Workspace::~Workspace() = default;

std::string status_text(Status status) {
  switch (status) {
    case Status::optimal: return "optimal";
    case Status::infeasible: return "infeasible";
    case Status::iteration_limit: return "iteration limit";
    case Status::numerical_difficulty: return "numerical difficulty";
  }
  return "numerical difficulty";
}

namespace {

using Clock = std::chrono::steady_clock;
using dc::Iterate;
using dc::Model;
using dc::Scales;

// A least violation below this (scaled, relative to 1 + the largest
// demand) is rounding, not infeasibility.
constexpr double kLeastViolation = 1e-6;
// Violations below this (scaled) are reported as none.
constexpr double kRelaxationThreshold = 1e-7;
// A branch whose susceptance is this many times the median (or this
// fraction of it) is where a numerical difficulty is traced to.
constexpr double kExtremeSusceptance = 1e6;

bool contradictory(const Model& m) {
  for (std::size_t j = 0; j < m.units(); ++j) {
    if (m.unit_bounds.lower[j] > m.unit_bounds.upper[j]) return true;
  }
  for (std::size_t l = 0; l < m.branches(); ++l) {
    if (m.branch_bounds.lower[l] > m.branch_bounds.upper[l]) return true;
  }
  return false;
}

bool fits(const DcOpf& p, const Solution& s) {
  return s.units.size() == p.unit_to.size() && s.angles.size() == static_cast<std::size_t>(p.nodes) &&
         s.prices.size() == static_cast<std::size_t>(p.buses) &&
         s.unit_lower_duals.size() == p.unit_to.size() && s.unit_upper_duals.size() == p.unit_to.size() &&
         s.branch_lower_duals.size() == p.branch_from.size() &&
         s.branch_upper_duals.size() == p.branch_from.size();
}

// The values of a nearby solution as a scaled iterate of m.
Iterate scaled_iterate(const DcOpf& p, const Model& m, const Scales& sc, const Solution& s) {
  Iterate it;
  const double price = sc.power / sc.cost, branch_price = sc.angle / sc.cost;
  it.u.resize(m.units());
  for (std::size_t j = 0; j < m.units(); ++j) it.u[j] = s.units[j] / sc.power;
  it.theta.assign(static_cast<std::size_t>(m.free_nodes), 0.0);
  for (std::size_t i = 0; i < m.free_of_bus.size(); ++i) {
    if (m.free_of_bus[i] != dc::kNone) {
      it.theta[static_cast<std::size_t>(m.free_of_bus[i])] =
          s.angles[static_cast<std::size_t>(p.node_of_bus[i])] / sc.angle;
    }
  }
  it.lambda.resize(static_cast<std::size_t>(m.buses));
  for (std::size_t i = 0; i < it.lambda.size(); ++i) it.lambda[i] = s.prices[i] * price;
  dc::allocate(dc::BoxShape(m.unit_bounds, &m.unit_fixed), it.units);
  dc::allocate(dc::BoxShape(m.branch_bounds, nullptr), it.branches);
  for (std::size_t j = 0; j < m.units(); ++j) {
    it.units.lower.z[j] = s.unit_lower_duals[j] * price;
    it.units.upper.z[j] = s.unit_upper_duals[j] * price;
  }
  for (std::size_t l = 0; l < m.branches(); ++l) {
    it.branches.lower.z[l] = s.branch_lower_duals[l] * branch_price;
    it.branches.upper.z[l] = s.branch_upper_duals[l] * branch_price;
  }
  return it;
}

// Fills the point of a solution from a scaled iterate (whose first
// p.unit_to.size() units are the problem's).
void fill_point(const DcOpf& p, const Model& m, const Scales& sc, const Iterate& it, Solution& s) {
  const std::size_t nu = p.unit_to.size(), nl = p.branch_from.size();
  const double price = sc.cost / sc.power, branch_price = sc.cost / sc.angle;
  s.units.resize(nu);
  for (std::size_t j = 0; j < nu; ++j) s.units[j] = it.u[j] * sc.power;
  s.angles.assign(static_cast<std::size_t>(p.nodes), 0.0);
  for (std::size_t i = 0; i < m.free_of_bus.size(); ++i) {
    if (m.free_of_bus[i] != dc::kNone) {
      s.angles[static_cast<std::size_t>(p.node_of_bus[i])] =
          it.theta[static_cast<std::size_t>(m.free_of_bus[i])] * sc.angle;
    }
  }
  s.prices.resize(static_cast<std::size_t>(p.buses));
  for (std::size_t i = 0; i < s.prices.size(); ++i) s.prices[i] = it.lambda[i] * price;
  s.unit_lower_duals.assign(nu, 0.0);
  s.unit_upper_duals.assign(nu, 0.0);
  for (std::size_t j = 0; j < nu; ++j) {
    if (!m.unit_fixed[j]) {
      if (std::isfinite(p.unit_lower[j])) s.unit_lower_duals[j] = it.units.lower.z[j] * price;
      if (std::isfinite(p.unit_upper[j])) s.unit_upper_duals[j] = it.units.upper.z[j] * price;
      continue;
    }
    // A fixed unit's multiplier is its reduced cost c + q·u − (λto − λfrom).
    double reduced = p.linear_cost[j] + p.quadratic_cost[j] * s.units[j];
    if (p.unit_to[j] != kNoBus) reduced -= s.prices[static_cast<std::size_t>(p.unit_to[j])];
    if (p.unit_from[j] != kNoBus) reduced += s.prices[static_cast<std::size_t>(p.unit_from[j])];
    s.unit_lower_duals[j] = std::max(reduced, 0.0);
    s.unit_upper_duals[j] = std::max(-reduced, 0.0);
  }
  s.branch_lower_duals.assign(nl, 0.0);
  s.branch_upper_duals.assign(nl, 0.0);
  for (std::size_t l = 0; l < nl; ++l) {
    if (std::isfinite(p.diff_lower[l])) s.branch_lower_duals[l] = it.branches.lower.z[l] * branch_price;
    if (std::isfinite(p.diff_upper[l])) s.branch_upper_duals[l] = it.branches.upper.z[l] * branch_price;
  }
  s.cost = 0.0;
  for (std::size_t j = 0; j < nu; ++j) {
    s.cost += p.linear_cost[j] * s.units[j] + 0.5 * p.quadratic_cost[j] * s.units[j] * s.units[j];
  }
}

void fill_measures(const dc::IpmResult& r, Solution& s) {
  s.primal_residual = r.measures.primal;
  s.dual_residual = r.measures.dual;
  s.relative_gap = r.measures.gap;
}

// The branch whose susceptance lies farthest from the median, when it
// lies kExtremeSusceptance or more away; else -1.
std::int32_t extreme_branch(const DcOpf& p) {
  std::vector<double> b;
  for (double v : p.susceptance) {
    if (v != 0.0) b.push_back(std::fabs(v));
  }
  if (b.empty()) return -1;
  std::nth_element(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(b.size() / 2), b.end());
  const double median = b[b.size() / 2];
  std::int32_t worst = -1;
  double worst_ratio = kExtremeSusceptance;
  for (std::size_t l = 0; l < p.susceptance.size(); ++l) {
    const double b_l = std::fabs(p.susceptance[l]);
    if (b_l == 0.0) continue;
    const double ratio = std::max(b_l / median, median / b_l);
    if (ratio >= worst_ratio) {
      worst_ratio = ratio;
      worst = static_cast<std::int32_t>(l);
    }
  }
  return worst;
}

dc::IpmSettings settings_for(const Options& options, const Scales& sc, Clock::time_point started) {
  dc::IpmSettings settings;
  settings.max_iterations = options.max_iterations;
  settings.tolerance = options.tolerance;
  // Two more digits where a few iterations give them (prices and outputs
  // to 1e-3 where they are unique).
  settings.polish_tolerance = options.tolerance * 1e-2;
  settings.options = &options;
  settings.started = started;
  settings.absolute.power = options.balance_tolerance / sc.power;
  settings.absolute.unit_dual = options.price_tolerance * sc.power / sc.cost;
  settings.absolute.product = options.complementarity_tolerance / sc.cost;
  return settings;
}

// The whole solve; Solution::statistics are filled by the caller.
class Solver {
 public:
  Solver(const DcOpf& p, const Options& options, dc::Analysis& analysis, Clock::time_point started)
      : p_(p), options_(options), analysis_(analysis), scales_(dc::choose_scales(p)),
        model_(dc::scaled_model(p, scales_)), settings_(settings_for(options, scales_, started)) {}

  Solution run(const Solution* start);
  const dc::AlgebraStats& algebra() const { return stats_; }
  const SolveStatistics& counts() const { return counts_; }

 private:
  int remaining() const { return std::max(0, options_.max_iterations - total_iterations()); }
  int total_iterations() const {
    return counts_.iterations_optimal + counts_.iterations_phase_one + counts_.iterations_elastic;
  }
  dc::IpmSettings settings(int max_iterations, bool stop_when_suspect) const {
    dc::IpmSettings s = settings_;
    s.max_iterations = max_iterations;
    s.stop_when_suspect = stop_when_suspect;
    s.log_offset = total_iterations();
    return s;
  }
  bool infeasible(Solution& s);
  Solution unsolved(const dc::IpmResult& r, const Iterate& it);

  const DcOpf& p_;
  const Options& options_;
  dc::Analysis& analysis_;
  Scales scales_;
  Model model_;
  dc::IpmSettings settings_;
  dc::AlgebraStats stats_;
  SolveStatistics counts_;
};

Solution Solver::run(const Solution* start) {
  Solution s;
  if (contradictory(model_)) {
    if (infeasible(s)) return s;
    s.status = Status::numerical_difficulty;
    s.message = "a bound lies above its other bound, and no certificate of infeasibility was found";
    return s;
  }
  dc::ReducedSystem system(model_, analysis_, options_.factorisation, stats_);
  Iterate it;
  if (start != nullptr && fits(p_, *start)) {
    it = scaled_iterate(p_, model_, scales_, *start);
    dc::warm_start(model_, it);
  } else if (!dc::cold_start(model_, system, it)) {
    s.status = Status::numerical_difficulty;
    s.message = "the reduced Newton system could not be factored at the starting point";
    s.difficult_branch = extreme_branch(p_);
    return s;
  }
  dc::IpmResult r = dc::run_interior_point(model_, system, it, settings(options_.max_iterations, true));
  counts_.iterations_optimal += r.iterations;
  if (r.outcome != dc::Outcome::converged && r.outcome != dc::Outcome::cancelled &&
      r.measures.primal > options_.tolerance) {
    if (infeasible(s)) return s;
    if (r.outcome == dc::Outcome::suspect_infeasible) {
      // A feasible point exists: the stall was not infeasibility.
      r = dc::run_interior_point(model_, system, it, settings(remaining(), false));
      counts_.iterations_optimal += r.iterations;
    }
  } else if (r.outcome == dc::Outcome::suspect_infeasible) {
    r = dc::run_interior_point(model_, system, it, settings(remaining(), false));
    counts_.iterations_optimal += r.iterations;
  }
  if (r.outcome == dc::Outcome::converged) {
    s.status = Status::optimal;
    fill_point(p_, model_, scales_, it, s);
    fill_measures(r, s);
    return s;
  }
  return unsolved(r, it);
}

Solution Solver::unsolved(const dc::IpmResult& r, const Iterate& it) {
  Solution s;
  fill_point(p_, model_, scales_, it, s);
  fill_measures(r, s);
  s.message = r.message;
  if (r.outcome == dc::Outcome::iteration_limit || r.outcome == dc::Outcome::cancelled) {
    s.status = Status::iteration_limit;
    return s;
  }
  s.status = Status::numerical_difficulty;
  s.difficult_branch = extreme_branch(p_);
  if (s.difficult_branch >= 0) {
    s.message += "; branch " + std::to_string(s.difficult_branch) +
                 " has a susceptance far from every other, which makes the Newton system badly scaled";
  }
  return s;
}

// Looks for a certificate of infeasibility; when one is found, fills s
// (status, relaxation, the dispatch of the penalised problem) and returns
// true.
bool Solver::infeasible(Solution& s) {
  const dc::ElasticModel least = dc::elastic_model(model_, dc::ElasticKind::least_violation);
  dc::ReducedSystem system(least.model, analysis_, options_.factorisation, stats_);
  Iterate it;
  if (!dc::cold_start(least.model, system, it)) return false;
  const dc::IpmResult r = dc::run_interior_point(least.model, system, it, settings(remaining(), false));
  counts_.iterations_phase_one += r.iterations;
  if (r.outcome != dc::Outcome::converged) return false;
  double largest_demand = 0.0;
  for (double d : model_.demand) largest_demand = std::max(largest_demand, std::fabs(d));
  if (!(dc::total_violation(least, it) > kLeastViolation * (1.0 + largest_demand))) return false;
  const dc::CertificateCheck certificate = dc::check_certificate(model_, it);
  if (!certificate.valid) return false;

  s = Solution{};
  s.status = Status::infeasible;
  s.message = "no dispatch meets every bound: the least relaxation that allows one is returned";
  const Iterate* point = &it;
  const dc::ElasticModel* point_model = &least;
  fill_measures(r, s);
  dc::ElasticModel penalised;
  Iterate pit;
  if (options_.relax_when_infeasible) {
    penalised = dc::elastic_model(model_, dc::ElasticKind::penalised);
    dc::ReducedSystem psystem(penalised.model, analysis_, options_.factorisation, stats_);
    if (dc::cold_start(penalised.model, psystem, pit)) {
      const dc::IpmResult pr =
          dc::run_interior_point(penalised.model, psystem, pit, settings(remaining(), false));
      counts_.iterations_elastic += pr.iterations;
      if (pr.outcome == dc::Outcome::converged) {
        point = &pit;
        point_model = &penalised;
        fill_measures(pr, s);
      }
    }
    s.relaxation = dc::relaxation_of(*point_model, model_.units(), *point, scales_, kRelaxationThreshold);
  }
  fill_point(p_, point_model->model, scales_, *point, s);
  return true;
}

}  // namespace

Solution solve_dc_opf(const DcOpf& problem, const Options& options, Workspace* workspace,
                      const Solution* start) {
  const auto started = Clock::now();
  dc::check_problem(problem);
  std::unique_ptr<Workspace> local;
  if (workspace == nullptr) local = std::make_unique<Workspace>();
  Workspace& ws = workspace != nullptr ? *workspace : *local;
  Solver solver(problem, options, ws.state->analysis, started);
  Solution s;
  try {
    s = solver.run(start);
  } catch (const std::runtime_error& e) {
    // The factorisation ran out of memory or refused its input.
    s = Solution{};
    s.status = Status::numerical_difficulty;
    s.message = e.what();
  }
  SolveStatistics& st = s.statistics;
  st = solver.counts();
  const dc::AlgebraStats& a = solver.algebra();
  st.analyses = a.analyses;
  st.factorizations = a.factorizations;
  st.solves = a.solves;
  st.supernodal = a.supernodal;
  st.seconds_analysis = a.seconds_analysis;
  st.seconds_factor = a.seconds_factor;
  st.seconds_solve = a.seconds_solve;
  s.iterations = st.iterations_optimal + st.iterations_phase_one + st.iterations_elastic;
  st.seconds_total = std::chrono::duration<double>(Clock::now() - started).count();
  return s;
}

}  // namespace corvo::robust
