#include "talven/final_report.hpp"

#include "talven/residuals.hpp"
#include "talven/solution.hpp"
#include "talven/units.hpp"

namespace talven {

namespace {

constexpr const char* kVector = "(5F16.4)";
constexpr const char* kFlowIntegers = "(16I5)";
constexpr const char* kFlowReals = "(4D20.8)";
constexpr const char* kFeasibility =
    "(/,/,' Feasibility indices:',/,/,' Norm of t = ',D12.5,5X,' Norm of u = ',D12.5,/,/)";
constexpr const char* kClosingLine = "(/,/,/,80('*'),/,/)";

struct Residuals {
  std::vector<double> t, u, v;
};

// The residuals of the unshifted problem (right-hand side b) at the
// current point, with the last mu.
Residuals unshifted_residuals(const Problem& p, const IterationState& s) {
  Residuals r{std::vector<double>(p.m), std::vector<double>(p.n), std::vector<double>(p.n)};
  resid({p.a, s.x, s.y, s.z, p.b, p.c, p.q, s.mu}, r.t, r.u, r.v);
  return r;
}

void write_flow_file(records::Records& io, const Problem& p, const IterationState& s, std::int32_t flag,
                     double cost) {
  io.write(kFlowUnit, kFlowIntegers, flag);
  io.write(kFlowUnit, kFlowIntegers, p.n, p.m);
  io.write(kFlowUnit, kFlowReals, s.x);
  io.write(kFlowUnit, kFlowReals, s.y);
  io.write(kFlowUnit, kFlowReals, cost);
  io.write(kFlowUnit, kFlowIntegers, static_cast<std::int32_t>(s.k));
  io.write(kFlowUnit, kFlowReals, s.mu, s.gap, s.primal_index, s.dual_index, p.epsln);
}

void to_report_and_console(records::Records& io, const char* tmpl, auto... items) {
  io.write(kReportUnit, tmpl, items...);
  io.write(records::kConsole, tmpl, items...);
}

}  // namespace

void converged_report(records::Records& io, Problem& p, IterationState& s) {
  constexpr std::int32_t kConverged = 1;
  write_banner(io, kReportUnit, p.title);
  to_report_and_console(io, "(21X,'Convergence reached in ',I3,'  iterations',/,/)",
                        static_cast<std::int32_t>(s.k));
  io.write(kReportUnit, "(/,/,21X,' Duality Gap = ',D12.5,/,/)", s.gap);

  restore_bounds(s.x, p.negative, p.lb);
  const double cost = cost_value(s.x, p.c, p.q);
  io.write(kReportUnit, "(/,/,21X,' Cost function optimum value = ',D12.5,/,/)", cost);
  io.write(kReportUnit, "(/,/,' Cost Function:',/,/)");
  io.write(kReportUnit, "(5X,' Linear Coefficients:',/,/)");
  io.write(kReportUnit, kVector, p.c);
  io.write(kReportUnit, "(/,/,5X,' Quadratic Coefficients:',/,/)");
  io.write(kReportUnit, kVector, p.q);

  clean_small(s.x, p.epslnp);
  clean_small(s.z, p.epslnp);
  clean_small(s.y, p.epslnp);
  io.write(kReportUnit, "(/,21X,'Primal Solution Vector:',/,/)");
  io.write(kReportUnit, kVector, s.x);
  io.write(kReportUnit, "(/,/,21X,'Dual Solution Vector:',/,/)");
  io.write(kReportUnit, kVector, s.y);
  io.write(kReportUnit, "(/,/,21X,'Dual Slacks ',/,/)");
  io.write(kReportUnit, kVector, s.z);

  const Residuals r = unshifted_residuals(p, s);
  io.write(kReportUnit, "(/,' tvec & uvec',/)");
  io.write(kReportUnit, kVector, r.t);
  io.write(kReportUnit, kVector, r.u);
  s.primal_index = infnorm(p.m, r.t);
  s.dual_index = infnorm(p.n, r.u);
  to_report_and_console(io, kFeasibility, s.primal_index, s.dual_index);
  to_report_and_console(io, kClosingLine);

  write_flow_file(io, p, s, kConverged, cost);
}

void limit_report(records::Records& io, Problem& p, IterationState& s) {
  constexpr std::int32_t kNotConverged = 0;
  write_banner(io, kReportUnit, p.title);
  to_report_and_console(io, "(21X,'Maximum number of iterations exceeded - k = ',I3,/,/)",
                        static_cast<std::int32_t>(s.k));

  restore_bounds(s.x, p.negative, p.lb);
  io.write(kReportUnit, "(/,21X,'Current Primal Vector:',/,/)");
  io.write(kReportUnit, kVector, s.x);
  io.write(kReportUnit, "(/,/,21X,'Current Dual Vector:',/,/)");
  io.write(kReportUnit, kVector, s.y);
  io.write(kReportUnit, "(/,/,21X,'Current Dual Slacks ',/,/)");
  io.write(kReportUnit, kVector, s.z);

  // These norms are printed only: the flow file keeps the indices of the
  // last pass.
  const Residuals r = unshifted_residuals(p, s);
  io.write(kReportUnit, kFeasibility, infnorm(p.m, r.t), infnorm(p.n, r.u));
  io.write(kReportUnit, kClosingLine);

  write_flow_file(io, p, s, kNotConverged, 0.0);
}

}  // namespace talven
