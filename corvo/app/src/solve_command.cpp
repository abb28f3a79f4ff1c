#include "corvo/app/solve_command.hpp"

#include <cstdio>
#include <filesystem>

#include "corvo/app/case_input.hpp"
#include "corvo/app/case_map_labels.hpp"
#include "corvo/app/classic_storage.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/app/network_solve.hpp"
#include "corvo/classic/classic_method.hpp"
#include "corvo/classic/pipeline_files.hpp"
#include "corvo/network/case_file_network.hpp"
#include "corvo/network/prechecks.hpp"
#include "corvo/report/results.hpp"
#include "dispatch/case_loader.hpp"
#include "dispatch/dispatch_qp.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

// How a run that produced no point to report on ended: the reason goes
// to standard error and the status is "not solved".
struct Unsolved {
  std::vector<std::string> reasons;
};

// After convergence the classic method, like talven, writes values of
// magnitude up to epslnp as zero.
report::QpSolution from_classic(const classic::ClassicResult& r, double epslnp) {
  report::QpSolution q;
  q.x = r.x;
  q.y = r.y;
  q.z = r.z;
  q.iterations = r.iterations;
  q.method = "classic";
  q.message = r.message;
  q.outcome = r.outcome == classic::Outcome::Converged        ? report::Outcome::converged
              : r.outcome == classic::Outcome::IterationLimit ? report::Outcome::iteration_limit
                                                              : report::Outcome::stopped;
  if (q.outcome == report::Outcome::converged) q.zero_threshold = epslnp;
  return q;
}

void print_log_header(std::ostream& err) {
  err << "iter   rel. gap     primal res.  dual res.    step P    step D    time (s)\n";
}

void print_log_line(std::ostream& err, const robust::IterationReport& r) {
  char line[128];
  std::snprintf(line, sizeof line, "%4d  %11.4e  %11.4e  %11.4e  %8.6f  %8.6f  %9.4f\n", r.iteration,
                r.relative_gap, r.primal_residual, r.dual_residual, r.step_primal, r.step_dual, r.seconds);
  err << line;
}

report::Results solve_robust(const SolveArgs& args, const CaseInput& input, std::ostream& err) {
  NetworkSolveOptions options;
  options.model.ignore_angle_limits = args.ignore_angle_limits;
  if (args.verbose) {
    print_log_header(err);
    options.solver.on_iteration = [&err](const robust::IterationReport& r) { print_log_line(err, r); };
  }
  NetworkSolveOutcome outcome = solve_network(input.network, options);
  if (!outcome.solved) throw Unsolved{std::move(outcome.reasons)};
  return std::move(outcome.results);
}

// The classic method works on our case file's model: for another source,
// the case `corvo import` would write (its mappings go to standard error),
// and the results are read back in the source's terms through its map.
report::Results solve_classic(const SolveArgs& args, const CaseInput& input, std::ostream& err) {
  const dispatch::CaseData data = case_data_of(input);
  import::CaseMap map;
  if (!input.case_data) {
    const import::ImportedCase c = imported_case(input.network);
    for (const std::string& m : c.mappings) err << "corvo solve: import: " << m << '\n';
    map = c.map;
  }
  const network::Network net = network::network_from_case(data, input.name);
  std::vector<std::string> problems = network::precheck(net, network::build_dc_model(net));
  if (!problems.empty()) throw Unsolved{std::move(problems)};
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(data);
  if (auto refusal = classic_storage_refusal(qp)) throw Unsolved{{*refusal}};
  classic::ClassicResult r;
  try {
    r = args.files ? classic::solve_and_write_pipeline_files(args.input) : classic::solve_case(data);
  } catch (const classic::PipelineFilesError& e) {
    throw InputError(e.what());
  } catch (const dispatch::CaseFileError& e) {
    throw InputError(e.what());
  }
  if (r.outcome == classic::Outcome::Failed) throw Unsolved{{"the classic method stopped: " + r.message}};
  report::Results results =
      report::make_results(input.name, data, qp, from_classic(r, data.parameters.epslnp), report::ReportOptions{});
  if (!input.case_data) apply_case_map(results, map);
  return results;
}

void check_arguments(const SolveArgs& args) {
  check_output_format(args.output_format);
  if (args.files && args.method != "classic") throw InputError("--files goes with --method classic");
  if (args.files && input_format(args.input) != InputFormat::case_file)
    throw InputError(args.input + ": --files needs our case file; convert it first with corvo import");
  if (args.ignore_angle_limits && args.method == "classic")
    throw InputError("--ignore-angle-limits goes with --method robust (the classic method has no angle limits)");
}

}  // namespace

CLI::App* add_solve_command(CLI::App& app, SolveArgs& args) {
  CLI::App* cmd = app.add_subcommand(
      "solve", "Solve a case (our case file, a MATPOWER .m file or a PSS/E .raw file) in memory and print the results");
  cmd->add_option("CASE", args.input, "case file NAME.dat, a MATPOWER case file NAME.m or a PSS/E RAW file NAME.raw")
      ->required();
  cmd->add_option("--method", args.method, "robust (default): sparse interior-point method; "
                                           "classic: the method of orsa and talven, with the same bits")
      ->check(CLI::IsMember({"robust", "classic"}));
  cmd->add_flag("--files", args.files,
                "with --method classic: also write NAME.lst, orsa.ip, orsa.flw, NAME.ip and talven.flw "
                "beside the case file, as orsa and talven write them (files of these names are replaced)");
  cmd->add_flag("-v,--verbose", args.verbose, "iteration log of the robust method on standard error");
  cmd->add_flag("--ignore-angle-limits", args.ignore_angle_limits,
                "leave out the branches' angle-difference limits (MATPOWER's opf.ignore_angle_lim)");
  add_input_options(*cmd, args.input_options);
  add_output_options(*cmd, args.output_format);
  return cmd;
}

int run_solve(const SolveArgs& args, std::ostream& out, std::ostream& err) {
  try {
    check_arguments(args);
    const CaseInput input = load_case_input(args.input, args.input_options);
    for (const std::string& note : input.network.notes) err << "corvo solve: note: " << note << '\n';
    const report::Results results =
        args.method == "classic" ? solve_classic(args, input, err) : solve_robust(args, input, err);
    write_results(args.output_format, results, out, {args.input});
    if (results.summary.outcome == report::Outcome::infeasible)
      err << "corvo solve: " << args.input << ": the case is not solved:\n  infeasible: " << results.summary.message
          << '\n';
    return report::exit_status(results);
  } catch (const Unsolved& u) {
    err << "corvo solve: " << args.input << ": the case is not solved:\n";
    for (const std::string& reason : u.reasons) err << "  " << reason << '\n';
    return report::kExitNotOptimal;
  } catch (const network::NetworkError& e) {
    err << "corvo solve: " << e.what() << '\n';
  } catch (const InputError& e) {
    err << "corvo solve: " << e.what() << '\n';
  }
  return report::kExitInputError;
}

}  // namespace corvo::app
