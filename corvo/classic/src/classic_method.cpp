// The classic method: orsa's model, the problem as talven reads it back
// from the problem file, talven's preparation, iteration and closing
// computations, with no file in between.
#include "corvo/classic/classic_method.hpp"

#include <new>
#include <stdexcept>
#include <utility>

#include "dispatch/case_loader.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/network_matrices.hpp"
#include "records/format.hpp"
#include "solver_problem.hpp"
#include "talven/iteration.hpp"
#include "talven/preprocess.hpp"
#include "talven/residuals.hpp"
#include "talven/solution.hpp"

namespace corvo::classic {
namespace {

// The model as orsa builds it from a loaded case.
dispatch::DispatchQp dispatch_model(const dispatch::CaseData& data) {
  const dispatch::NetworkLists lists = dispatch::build_network_lists(data.n, data.se, data.re);
  const std::vector<double> bmat = dispatch::build_bmat(lists, data.x);
  return dispatch::build_dispatch_qp(data, lists, bmat);
}

ClassicResult failure(const SolverProblem& p, std::string message) {
  ClassicResult r;
  r.outcome = Outcome::Failed;
  r.message = std::move(message);
  r.n = p.n;
  r.m = p.m;
  r.epsln = p.epsln;
  return r;
}

// The iteration's end state copied into the result, in the order talven's
// closing reports compute it.
ClassicResult converged(const SolverProblem& p, talven::IterationState& s) {
  ClassicResult r;
  r.outcome = Outcome::Converged;
  talven::restore_bounds(s.x, p.negative, p.lb);
  r.cost = talven::cost_value(s.x, p.c, p.q);
  talven::clean_small(s.x, p.epslnp);
  talven::clean_small(s.z, p.epslnp);
  talven::clean_small(s.y, p.epslnp);
  // The feasibility indices of the cleaned point against the unshifted
  // right-hand side, with the last mu.
  std::vector<double> t(static_cast<std::size_t>(p.m)), u(static_cast<std::size_t>(p.n)),
      v(static_cast<std::size_t>(p.n));
  talven::resid({p.a, s.x, s.y, s.z, p.b, p.c, p.q, s.mu}, t, u, v);
  s.primal_index = talven::infnorm(p.m, t);
  s.dual_index = talven::infnorm(p.n, u);
  return r;
}

ClassicResult at_limit(const SolverProblem& p, talven::IterationState& s) {
  ClassicResult r;
  r.outcome = Outcome::IterationLimit;
  talven::restore_bounds(s.x, p.negative, p.lb);
  return r;
}

ClassicResult finish(const SolverProblem& p, talven::IterationState& s, talven::IterationEnd end) {
  ClassicResult r = end == talven::IterationEnd::Converged ? converged(p, s) : at_limit(p, s);
  r.n = p.n;
  r.m = p.m;
  r.iterations = static_cast<std::int32_t>(s.k);
  r.mu = s.mu;
  r.gap = s.gap;
  r.primal_index = s.primal_index;
  r.dual_index = s.dual_index;
  r.epsln = p.epsln;
  r.x = std::move(s.x);
  r.y = std::move(s.y);
  r.z = std::move(s.z);
  return r;
}

ClassicResult solve_problem(const SolverProblem& p) {
  if (p.m < 1 || p.n < 1) {
    return failure(p, "The problem needs at least one constraint and one primal variable");
  }
  const std::vector<double> bm = talven::shifted_rhs(p.a, p.b, p.negative, p.lb);
  talven::IterationState state;
  state.x = p.x0;
  // The problem file carries zero dual guesses and zero dual slacks.
  state.y.assign(static_cast<std::size_t>(p.m), 0.0);
  state.z.assign(static_cast<std::size_t>(p.n), 0.0);
  talven::prepare_start(state.x, state.y, state.z);

  const talven::QpData qp{p.a, bm, p.c, p.q};
  const talven::IterationParams params{p.rho, p.epsln, p.maxit, p.sigma, p.epslgiv, p.iprint, p.dims};
  // The reports of the iteration have no reader here.
  talven::IterationObserver silent;
  const talven::IterationOutcome outcome = talven::interior_point(qp, params, state, silent);
  if (outcome.end == talven::IterationEnd::Failed) return failure(p, outcome.message);
  return finish(p, state, outcome.end);
}

constexpr const char* kNoMemory = "Not enough memory for a problem of this size";

}  // namespace

ClassicResult solve_case(const dispatch::CaseData& data) {
  try {
    const SolverProblem problem = solver_problem(dispatch_model(data), data.parameters);
    return solve_problem(problem);
  } catch (const records::FieldError& e) {
    // A value the problem file cannot carry: talven would stop on reading it.
    ClassicResult r;
    r.message = std::string("A value of the problem does not fit its field '") + e.field() + "': " + e.what();
    return r;
  } catch (const std::bad_alloc&) {
    ClassicResult r;
    r.message = kNoMemory;
    return r;
  } catch (const std::length_error&) {
    ClassicResult r;
    r.message = kNoMemory;
    return r;
  }
}

ClassicResult solve_case_file(const std::filesystem::path& case_file) {
  return solve_case(dispatch::load_case_file(case_file));
}

}  // namespace corvo::classic
