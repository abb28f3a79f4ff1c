// The quadratic program exactly as talven reads it back from the problem
// file that orsa would write for the same dispatch model.
#pragma once

#include <cstdint>
#include <vector>

#include "dispatch/case_data.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "talven/givens.hpp"
#include "talven/matrix.hpp"

namespace corvo::classic {

// The value a real reads back as after a write and a read through one
// "Dw.d" field of the record layer.
double through_real_field(double value, int width, int digits);

// The same for an integer and an "Iw" field. Throws records::FieldError
// when the value does not fit (the field would be written as asterisks).
std::int32_t through_integer_field(std::int32_t value, int width);

// Everything talven takes from the problem file, after its reading rules:
// the matrix is dense (talven's iteration works on a dense matrix), the
// negative list is built from the flags, and epslnp takes the value of
// epsln when it reads as zero. The dual guesses of the file are all zero
// and talven never uses them beyond its starting-point rules, so they are
// not kept here.
struct SolverProblem {
  std::int32_t m = 0;
  std::int32_t n = 0;
  talven::StoreDims dims;
  std::vector<double> c, q;
  talven::Matrix a;  // m x n
  std::vector<double> b, x0;
  std::vector<int> negative;  // 0-based columns of the flagged variables
  std::vector<double> lb;
  double rho = 0.0;
  double epsln = 0.0;
  std::int32_t maxit = 0;
  double bigm = 0.0;
  double sigma = 0.0;
  double epslnp = 0.0;
  double epslgiv = 0.0;
  std::int32_t iprint = 0;
};

// Builds the problem from the model and the case's parameters (with their
// tolerance defaults applied), passing every number through the field it
// travels in. Columns a sparse row leaves out stay exact zeros, as a zero
// reads back as zero.
SolverProblem solver_problem(const dispatch::DispatchQp& qp, const dispatch::AlgorithmParameters& p);

}  // namespace corvo::classic
