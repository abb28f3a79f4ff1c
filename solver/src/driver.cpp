#include "talven/driver.hpp"

#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "talven/final_report.hpp"
#include "talven/iteration.hpp"
#include "talven/iteration_log.hpp"
#include "talven/preprocess.hpp"
#include "talven/problem_file.hpp"
#include "talven/report_name.hpp"
#include "talven/units.hpp"

namespace talven {

namespace {

constexpr std::string_view kProblemFile = "orsa.ip";
constexpr std::string_view kFlowFile = "talven.flw";

std::string in_dir(const std::filesystem::path& dir, std::string_view name) {
  return (dir / std::filesystem::path(name)).string();
}

// True when the two names lead to one file: equal after normalising, or
// (when both exist) the same file under different names.
bool same_file(const std::filesystem::path& dir, std::string_view a, std::string_view b) {
  const std::filesystem::path pa = (dir / std::filesystem::path(a)).lexically_normal();
  const std::filesystem::path pb = (dir / std::filesystem::path(b)).lexically_normal();
  if (pa == pb) return true;
  std::error_code error;
  return std::filesystem::equivalent(pa, pb, error) && !error;
}

// A report that would be the problem file or the flow file destroys the
// input or mixes two outputs: refuse it before anything is opened.
void refuse_clashing_report(records::Records& io, const std::filesystem::path& dir,
                            const std::string& report) {
  if (same_file(dir, report, kProblemFile)) {
    io.write(records::kConsole,
             "(/,/,' *** Error - Report file name ',A,' is the name of the problem file ***',/,/)", report);
    io.stop();
  }
  if (same_file(dir, report, kFlowFile)) {
    io.write(records::kConsole,
             "(/,/,' *** Error - Report file name ',A,' is the name of the flow file ***',/,/)", report);
    io.stop();
  }
}

void open_files(records::Records& io, const std::filesystem::path& dir, Problem& problem) {
  io.open(kProblemUnit, in_dir(dir, kProblemFile), records::Status::Old);
  io.read(kProblemUnit, "(a)", problem.case_name);
  const std::string report = report_file_name(problem.case_name);
  refuse_clashing_report(io, dir, report);
  io.open(kReportUnit, in_dir(dir, report), records::Status::Unknown);
  io.open(kFlowUnit, in_dir(dir, kFlowFile), records::Status::Unknown);
  io.read(kProblemUnit, "(a80)", problem.title);
}

// Shifts the right-hand side for the lower bounds, echoes it and sets the
// starting point.
std::vector<double> prepare(records::Records& io, Problem& p) {
  std::vector<double> bm = shifted_rhs(p.a, p.b, p.negative, p.lb);
  io.write(kReportUnit, "(/,/,' Vector b modified for lower bounds',/,/)");
  io.write(kReportUnit, "(5F16.4)", bm);
  prepare_start(p.x, p.y, p.z);
  io.write(kReportUnit, "(/,/,80('-'),/,/,28X,'Iterative Process Begins',/,/)");
  return bm;
}

void report_failure(records::Records& io, const std::string& message) {
  constexpr const char* kError = "(/,/,' *** Error - ',A,' ***',/,/)";
  io.write(kReportUnit, kError, message);
  io.write(records::kConsole, kError, message);
}

void solve(records::Records& io, const std::filesystem::path& dir) {
  Problem problem;
  open_files(io, dir, problem);
  read_and_echo(io, problem);
  const std::vector<double> bm = prepare(io, problem);

  const QpData qp{problem.a, bm, problem.c, problem.q};
  const IterationParams params{problem.rho,     problem.epsln,  problem.maxit,
                               problem.sigma,   problem.epslgiv, problem.iprint,
                               StoreDims{problem.ndp, problem.ndc, problem.dimsum}};
  IterationState state;
  state.x = problem.x;
  state.y = problem.y;
  state.z = problem.z;
  IterationLog log(io, kReportUnit);
  const IterationOutcome outcome = interior_point(qp, params, state, log);
  switch (outcome.end) {
    case IterationEnd::Converged:
      converged_report(io, problem, state);
      break;
    case IterationEnd::LimitExceeded:
      limit_report(io, problem, state);
      break;
    case IterationEnd::Failed:
      report_failure(io, outcome.message);
      break;
  }
}

}  // namespace

void talven_program(records::Records& io, const std::filesystem::path& dir) {
  try {
    solve(io, dir);
  } catch (const std::bad_alloc&) {
    io.write(records::kConsole, "(/,/,' *** Error - Not enough memory for a problem of this size ***',/,/)");
  } catch (const std::length_error&) {
    io.write(records::kConsole, "(/,/,' *** Error - Not enough memory for a problem of this size ***',/,/)");
  }
  io.stop();
}

int run_talven(const std::filesystem::path& dir, std::istream& in, std::ostream& out, std::ostream& err) {
  return records::run_program([&dir](records::Records& io) { talven_program(io, dir); }, in, out, err);
}

}  // namespace talven
