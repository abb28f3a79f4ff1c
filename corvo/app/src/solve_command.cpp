#include "corvo/app/solve_command.hpp"

#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "corvo/app/case_input.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/classic/classic_method.hpp"
#include "corvo/classic/pipeline_files.hpp"
#include "corvo/report/results.hpp"
#include "dispatch/case_loader.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "robust/prechecks.hpp"
#include "robust/solver.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

// How a run that produced no point to report on ended: the reason goes
// to standard error and the status is "not solved".
struct Unsolved {
  std::vector<std::string> reasons;
};

report::QpSolution from_robust(const robust::Solution& s) {
  report::QpSolution q;
  q.x = s.x;
  q.y = s.y;
  q.z = s.z;
  q.iterations = s.iterations;
  q.method = "robust";
  q.message = s.message;
  q.outcome = s.status == robust::Status::optimal           ? report::Outcome::converged
              : s.status == robust::Status::iteration_limit ? report::Outcome::iteration_limit
                                                            : report::Outcome::stopped;
  return q;
}

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

// A case that no dispatch can satisfy is named before any iteration, by
// either method.
void precheck(const dispatch::CaseData& data) {
  std::vector<std::string> problems = robust::precheck_case(data);
  if (!problems.empty()) throw Unsolved{std::move(problems)};
}

report::QpSolution solve_robust(const SolveArgs& args, const dispatch::DispatchQp& qp, std::ostream& err) {
  robust::Options options;
  if (args.verbose) {
    print_log_header(err);
    options.on_iteration = [&err](const robust::IterationReport& r) { print_log_line(err, r); };
  }
  const robust::Solution s = robust::solve_dispatch_qp(qp, options);
  if (s.status == robust::Status::infeasible || s.status == robust::Status::numerical_failure) {
    throw Unsolved{{robust::status_text(s.status) + ": " + s.message}};
  }
  return from_robust(s);
}

// The classic method holds the constraint matrix, its copy with the
// row weights and the triangular factor densely: 8 bytes times
// (2 m n + m m). A case that needs more than the machine's memory is
// refused before anything is allocated, instead of driving the machine
// into swap or the out-of-memory killer.
void check_classic_storage(const dispatch::DispatchQp& qp) {
  const double m = qp.m, n = qp.nvar;
  const double needed = 8.0 * (2.0 * m * n + m * m);
  const double memory = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGE_SIZE));
  if (memory > 0 && needed > memory) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "the classic method needs %.1f GB of dense storage for this case (%d rows, %d columns), "
                  "more than this machine's %.1f GB; --method robust solves it",
                  needed / 1e9, qp.m, qp.nvar, memory / 1e9);
    throw Unsolved{{text}};
  }
}

report::QpSolution solve_classic(const SolveArgs& args, const CaseInput& input, const dispatch::DispatchQp& qp) {
  check_classic_storage(qp);
  classic::ClassicResult r;
  try {
    r = args.files ? classic::solve_and_write_pipeline_files(args.input) : classic::solve_case(input.data);
  } catch (const classic::PipelineFilesError& e) {
    throw InputError(e.what());
  } catch (const dispatch::CaseFileError& e) {
    throw InputError(e.what());
  }
  if (r.outcome == classic::Outcome::Failed) throw Unsolved{{"the classic method stopped: " + r.message}};
  return from_classic(r, input.data.parameters.epslnp);
}

void check_arguments(const SolveArgs& args) {
  check_output_format(args.output_format);
  if (args.files && args.method != "classic") throw InputError("--files goes with --method classic");
  if (args.files && is_matpower_file(args.input))
    throw InputError(args.input + ": --files needs our case file; convert it first with corvo import");
}

}  // namespace

CLI::App* add_solve_command(CLI::App& app, SolveArgs& args) {
  CLI::App* cmd = app.add_subcommand(
      "solve", "Solve a case (our case file or a MATPOWER .m file) in memory and print the results");
  cmd->add_option("CASE", args.input, "case file NAME.dat, or a MATPOWER case file NAME.m")->required();
  cmd->add_option("--method", args.method, "robust (default): sparse interior-point method; "
                                           "classic: the method of orsa and talven, with the same bits")
      ->check(CLI::IsMember({"robust", "classic"}));
  cmd->add_flag("--files", args.files,
                "with --method classic: also write NAME.lst, orsa.ip, orsa.flw, NAME.ip and talven.flw "
                "beside the case file, as orsa and talven write them (files of these names are replaced)");
  cmd->add_flag("-v,--verbose", args.verbose, "iteration log of the robust method on standard error");
  add_output_options(*cmd, args.output_format);
  return cmd;
}

int run_solve(const SolveArgs& args, std::ostream& out, std::ostream& err) {
  try {
    check_arguments(args);
    const CaseInput input = load_case_input(args.input);
    for (const std::string& m : input.mappings) err << "corvo solve: import: " << m << '\n';
    precheck(input.data);
    const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(input.data);
    const report::QpSolution solution =
        args.method == "classic" ? solve_classic(args, input, qp) : solve_robust(args, qp, err);
    report::ReportOptions options;
    options.angles_free = args.method == "robust";
    const report::Results results = report::make_results(input.name, input.data, qp, solution, options);
    write_results(args.output_format, results, out, {args.input});
    return report::exit_status(results);
  } catch (const Unsolved& u) {
    err << "corvo solve: " << args.input << ": the case is not solved:\n";
    for (const std::string& reason : u.reasons) err << "  " << reason << '\n';
    return report::kExitNotOptimal;
  } catch (const InputError& e) {
    err << "corvo solve: " << e.what() << '\n';
  }
  return report::kExitInputError;
}

}  // namespace corvo::app
