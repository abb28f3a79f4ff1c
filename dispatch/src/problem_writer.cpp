#include "dispatch/problem_writer.hpp"

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "dispatch/case_reader.hpp"
#include "dispatch/orsa.hpp"

namespace dispatch {

using records::Records;

namespace {

// "name(i)" of the first entry of `values` that is not finite, or empty.
std::string first_non_finite(const char* name, std::span<const double> values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!std::isfinite(values[i])) return std::string(name) + "(" + std::to_string(i + 1) + ")";
  }
  return {};
}

// The lowest column of a row whose stored value is not finite, or 0; the
// columns never set are zeros.
int first_non_finite_column(const SparseRow& row) {
  int first = 0;
  for (const SparseRow::Entry& e : row.entries()) {
    if (!std::isfinite(e.value) && (first == 0 || e.column < first)) first = e.column;
  }
  return first;
}

// talven cannot read Infinity or NaN: a program holding one (a sum of
// huge susceptances, a product that overflowed) is refused before the
// first record of the problem file.
void refuse_non_finite(Records& io, const DispatchQp& qp) {
  std::string bad = first_non_finite("c", qp.c);
  if (bad.empty()) bad = first_non_finite("q", qp.q);
  for (std::size_t i = 0; bad.empty() && i < qp.rows.size(); ++i) {
    if (const int column = first_non_finite_column(qp.rows[i])) {
      bad = "A(" + std::to_string(i + 1) + "," + std::to_string(column) + ")";
    }
  }
  if (bad.empty()) bad = first_non_finite("b", qp.b);
  if (bad.empty()) bad = first_non_finite("x", qp.x0);
  if (bad.empty()) bad = first_non_finite("lb", qp.lb);
  if (!bad.empty()) stop_with_case_error(io, "Problem entry " + bad + " is not finite");
}

}  // namespace

void write_problem(Records& io, const std::string& case_name, const std::string& title,
                   const DispatchQp& qp, const AlgorithmParameters& p) {
  const auto nvar = static_cast<std::size_t>(qp.nvar);
  refuse_non_finite(io, qp);
  io.write(kProblemUnit, "(a)", case_name);
  io.write(kProblemUnit, "(A80)", title);
  io.write(kProblemUnit, "(8I10)", qp.m, qp.nvar, p.ndp, p.ndc);
  io.write(kProblemUnit, "(4D20.13)", qp.c);
  io.write(kProblemUnit, "(4D20.13)", qp.q);
  for (const SparseRow& row : qp.rows) io.write(kProblemUnit, "(4D20.13)", row.dense(nvar));
  io.write(kProblemUnit, "(4D20.13)", qp.b);
  io.write(kProblemUnit, "(4D20.13)", qp.x0);
  io.write(kProblemUnit, "(8I10)", qp.flags);
  // The solver reads lower bounds only when some flag is set; a case of
  // one bus has no angle variable and so no lower-bound record.
  if (!qp.lb.empty()) io.write(kProblemUnit, "(4D20.13)", qp.lb);
  io.write(kProblemUnit, "(4D20.13)", std::vector<double>(static_cast<std::size_t>(qp.m), 0.0));
  io.write(kProblemUnit, "(4D20.13)", std::vector<double>(nvar, 0.0));
}

void write_problem_parameters(Records& io, const AlgorithmParameters& p) {
  io.write(kProblemUnit, "(2D10.3,I10,4D10.3)", p.rho, p.epsln, p.maxit, p.bigm, p.sigma, p.epslnp,
           p.epslgiv);
  io.write(kProblemUnit, "(8I10)", p.iprint);
}

}  // namespace dispatch
