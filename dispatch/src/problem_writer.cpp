#include "dispatch/problem_writer.hpp"

#include <vector>

#include "dispatch/orsa.hpp"

namespace dispatch {

using records::Records;

void write_problem(Records& io, const std::string& case_name, const std::string& title,
                   const DispatchQp& qp, const AlgorithmParameters& p) {
  const auto nvar = static_cast<std::size_t>(qp.nvar);
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
