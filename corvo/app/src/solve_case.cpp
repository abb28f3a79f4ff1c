#include "corvo/app/solve_case.hpp"

#include "corvo/app/classic_storage.hpp"
#include "corvo/app/network_solve.hpp"
#include "corvo/classic/classic_method.hpp"
#include "corvo/network/case_file_network.hpp"
#include "corvo/network/prechecks.hpp"
#include "dispatch/dispatch_qp.hpp"

namespace corvo::app {
namespace {

SolveOutcome solve_classic(const std::string& name, const dispatch::CaseData& data) {
  SolveOutcome out;
  const network::Network net = network::network_from_case(data, name);
  out.reasons = network::precheck(net, network::build_dc_model(net));
  if (!out.reasons.empty()) return out;
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(data);
  if (auto refusal = classic_storage_refusal(qp)) {
    out.reasons.push_back(*refusal);
    return out;
  }
  const classic::ClassicResult r = classic::solve_case(data);
  if (r.outcome == classic::Outcome::Failed) {
    out.reasons.push_back("the classic method stopped: " + r.message);
    return out;
  }
  report::QpSolution q;
  q.x = r.x;
  q.y = r.y;
  q.z = r.z;
  q.iterations = r.iterations;
  q.method = "classic";
  q.message = r.message;
  q.outcome = r.outcome == classic::Outcome::Converged ? report::Outcome::converged : report::Outcome::iteration_limit;
  if (q.outcome == report::Outcome::converged) q.zero_threshold = data.parameters.epslnp;
  out.results = report::make_results(name, data, qp, q, report::ReportOptions{});
  out.solved = true;
  return out;
}

}  // namespace

SolveOutcome solve_case(const std::string& name, const dispatch::CaseData& data, const SolveRequest& request) {
  SolveOutcome out;
  try {
    if (request.method == "classic") return solve_classic(name, data);
    NetworkSolveOptions options;
    if (request.on_iteration)
      options.solver.on_iteration = [&request](const robust::IterationReport& r) {
        request.on_iteration(r.iteration, r.relative_gap);
      };
    options.solver.cancelled = request.cancelled;
    NetworkSolveOutcome o = solve_network(network::network_from_case(data, name), options);
    out.solved = o.solved;
    out.reasons = std::move(o.reasons);
    out.results = std::move(o.results);
  } catch (const network::NetworkError& e) {
    out.reasons.push_back(e.what());
  }
  return out;
}

}  // namespace corvo::app
