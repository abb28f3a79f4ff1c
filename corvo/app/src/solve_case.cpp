#include "corvo/app/solve_case.hpp"

#include "corvo/classic/classic_method.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "robust/prechecks.hpp"
#include "robust/solver.hpp"

namespace corvo::app {
namespace {

report::Outcome outcome_of(robust::Status s) {
  if (s == robust::Status::optimal) return report::Outcome::converged;
  if (s == robust::Status::iteration_limit) return report::Outcome::iteration_limit;
  return report::Outcome::stopped;
}

}  // namespace

SolveOutcome solve_case(const std::string& name, const dispatch::CaseData& data, const SolveRequest& request) {
  SolveOutcome out;
  out.reasons = robust::precheck_case(data);
  if (!out.reasons.empty()) return out;
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(data);
  report::QpSolution q;
  if (request.method == "classic") {
    const classic::ClassicResult r = classic::solve_case(data);
    if (r.outcome == classic::Outcome::Failed) {
      out.reasons.push_back("the classic method stopped: " + r.message);
      return out;
    }
    q.x = r.x;
    q.y = r.y;
    q.z = r.z;
    q.iterations = r.iterations;
    q.method = "classic";
    q.message = r.message;
    q.outcome = r.outcome == classic::Outcome::Converged ? report::Outcome::converged
                                                         : report::Outcome::iteration_limit;
    if (q.outcome == report::Outcome::converged) q.zero_threshold = data.parameters.epslnp;
  } else {
    robust::Options options;
    if (request.on_iteration || request.cancelled) {
      options.on_iteration = [&request](const robust::IterationReport& r) {
        if (request.on_iteration) request.on_iteration(r.iteration, r.relative_gap);
        // The method has no cancellation of its own: leave it from its log.
        if (request.cancelled && request.cancelled()) throw robust::Status::iteration_limit;
      };
    }
    robust::Solution s;
    try {
      s = robust::solve_dispatch_qp(qp, options);
    } catch (robust::Status) {
      out.reasons.push_back("cancelled");
      return out;
    }
    if (s.status == robust::Status::infeasible || s.status == robust::Status::numerical_failure) {
      out.reasons.push_back(robust::status_text(s.status) + ": " + s.message);
      return out;
    }
    q.x = s.x;
    q.y = s.y;
    q.z = s.z;
    q.iterations = s.iterations;
    q.method = "robust";
    q.message = s.message;
    q.outcome = outcome_of(s.status);
  }
  report::ReportOptions options;
  options.angles_free = request.method != "classic";
  out.results = report::make_results(name, data, qp, q, options);
  out.solved = true;
  return out;
}

}  // namespace corvo::app
