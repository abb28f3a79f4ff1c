#include "solver_problem.hpp"

#include <cstddef>

#include "records/format.hpp"
#include "talven/preprocess.hpp"

namespace corvo::classic {
namespace {

// The fields of the problem file: "(4D20.13)" for every vector and row,
// "(8I10)" for the sizes, flags and print level, and
// "(2D10.3,I10,4D10.3)" for the parameters.
constexpr int kVectorWidth = 20;
constexpr int kVectorDigits = 13;
constexpr int kParameterWidth = 10;
constexpr int kParameterDigits = 3;
constexpr int kIntegerWidth = 10;

double vector_field(double value) { return through_real_field(value, kVectorWidth, kVectorDigits); }
double parameter_field(double value) {
  return through_real_field(value, kParameterWidth, kParameterDigits);
}
std::int32_t integer_field(std::int32_t value) { return through_integer_field(value, kIntegerWidth); }

std::vector<double> vector_fields(const std::vector<double>& values) {
  std::vector<double> out;
  out.reserve(values.size());
  for (double v : values) out.push_back(vector_field(v));
  return out;
}

// The dense matrix talven fills row by row; only the stored entries of a
// row need the field round trip.
talven::Matrix dense_rows(const std::vector<dispatch::SparseRow>& rows, std::int32_t n) {
  talven::Matrix a(static_cast<int>(rows.size()), n);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (const dispatch::SparseRow::Entry& e : rows[i].entries()) {
      a(static_cast<int>(i), e.column - 1) = vector_field(e.value);
    }
  }
  return a;
}

void set_parameters(const dispatch::AlgorithmParameters& p, SolverProblem& s) {
  s.dims.ndp = integer_field(p.ndp);
  s.dims.ndc = integer_field(p.ndc);
  // talven widens the sum so that absurd dimensions wrap instead of
  // overflowing; only its reports use it.
  s.dims.dimsum = static_cast<std::int32_t>(static_cast<std::int64_t>(s.dims.ndp) + s.dims.ndc);
  s.rho = parameter_field(p.rho);
  s.epsln = parameter_field(p.epsln);
  s.maxit = integer_field(p.maxit);
  s.bigm = parameter_field(p.bigm);
  s.sigma = parameter_field(p.sigma);
  s.epslnp = parameter_field(p.epslnp);
  s.epslgiv = parameter_field(p.epslgiv);
  if (s.epslnp == 0.0) s.epslnp = s.epsln;
  s.iprint = integer_field(p.iprint);
}

}  // namespace

double through_real_field(double value, int width, int digits) {
  return records::convert_real(records::render_exponent(value, width, digits), digits);
}

std::int32_t through_integer_field(std::int32_t value, int width) {
  return records::convert_integer(records::render_integer(value, width));
}

SolverProblem solver_problem(const dispatch::DispatchQp& qp, const dispatch::AlgorithmParameters& p) {
  SolverProblem s;
  s.m = integer_field(qp.m);
  s.n = integer_field(qp.nvar);
  s.c = vector_fields(qp.c);
  s.q = vector_fields(qp.q);
  s.a = dense_rows(qp.rows, s.n);
  s.b = vector_fields(qp.b);
  s.x0 = vector_fields(qp.x0);
  std::vector<std::int32_t> flags;
  flags.reserve(qp.flags.size());
  for (std::int32_t f : qp.flags) flags.push_back(integer_field(f));
  s.negative = talven::negative_list(flags);
  // orsa writes the bounds only when a flag is set, and talven reads one
  // bound per flagged variable.
  if (!s.negative.empty()) s.lb = vector_fields(qp.lb);
  set_parameters(p, s);
  return s;
}

}  // namespace corvo::classic
