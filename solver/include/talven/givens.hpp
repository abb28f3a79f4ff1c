// Weighted least squares by square-root-free Givens rotations.
//
// givwls returns the dual direction dy, the solution of
//   (A W A') dy = t + A W (u - v / x),
// without forming A W A'. The rows of H = A' (one per primal variable,
// called measurements) are weighted by W, extended by a row of the
// identity and rotated one by one into a unit upper triangular working
// factor F of order K = n + m with row weights d. U is the leading m x m
// block of F and T1 the block in rows 1..m, columns m+1..m+n.
//
// The procedures do no input or output: the diagnostic reports go to a
// GivensObserver supplied by the caller.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "talven/matrix.hpp"

namespace talven {

// The storage dimensions that the problem file declares. They are only
// reported; the work storage is sized from n and m.
struct StoreDims {
  int ndp = 0;
  int ndc = 0;
  int dimsum = 0;
};

// Receives the diagnostic reports of givwls. Every method has an empty
// default so that a caller overrides only what it prints.
class GivensObserver {
 public:
  virtual ~GivensObserver() = default;
  // Print level 2, before the factorisation: the sizes, the observation
  // matrix (H row j is column j of `a`) and the measurement weights.
  virtual void observations(int /*n*/, int /*m*/, const StoreDims& /*dims*/, const Matrix& /*a*/,
                            std::span<const double> /*w*/) {}
  // Print level 2, after the factorisation.
  virtual void factor(const Matrix& /*u*/, std::span<const double> /*d*/, double /*ssr*/,
                      const Matrix& /*t1*/) {}
  // Print level 3 and above, after measurement `row` (1-based) has been
  // rotated into the working factor `f`.
  virtual void rotation(int /*row*/, const Matrix& /*f*/, double /*ssr*/) {}
};

// The working factor during one factorisation: F, its row weights d and,
// for every row of F, the range of columns right of the diagonal that may
// hold non-zero entries (first > last when there is none). The ranges let
// a rotation pass over columns where both the row and F are exactly zero,
// which stay exactly zero.
struct WorkingFactor {
  explicit WorkingFactor(int order);
  int order;
  Matrix f;
  std::vector<double> d;
  std::vector<int> first;
  std::vector<int> last;
};

// One row being rotated in: its entries and the range (first..last) of
// entries that may be non-zero.
struct RowBuffer {
  std::vector<double> a;
  int first = 0;
  int last = -1;
};

// A breach of the limits under which the rotations stay finite.
struct GivensFault {
  std::string message;
};

// Rotates the row `row` with carried weight `w` into `factor`. Returns a
// fault when a pivot would produce a non-finite rotation factor (a zero
// pivot weight, or an overflow).
std::optional<GivensFault> givrot(WorkingFactor& factor, double& w, RowBuffer& row, double epslgiv,
                                  int measurement);

// Output of the factorisation.
struct GivensFactor {
  Matrix u;               // m x m, unit upper triangular
  Matrix t1;              // m x n
  std::vector<double> d;  // K row weights
};

// Builds the factor from the measurements whose weight is at least
// epslgiv in magnitude. `ssr`, the cumulative sum of squared residuals, is
// set to d(m+1) after every accepted row and otherwise left alone.
std::optional<GivensFault> givfac(const Matrix& a, std::span<const double> w, int iprint, double epslgiv,
                                  double& ssr, GivensObserver& observer, GivensFactor& out);

// Solves U' y = b (forward substitution; the diagonal of U is 1).
void utsolve(const Matrix& u, std::span<const double> b, std::span<double> y);
// Solves U y = b (back substitution; the diagonal of U is 1).
void usolve(const Matrix& u, std::span<const double> b, std::span<double> y);

// Operands of one solve; `a` is the m x n constraint matrix (H = a').
struct GivwlsInputs {
  const Matrix& a;
  std::span<const double> t;  // m
  std::span<const double> u;  // n
  std::span<const double> v;  // n
  std::span<const double> x;  // n
  std::span<const double> w;  // n measurement weights
  int iprint = 0;
  double epslgiv = 0.0;
  StoreDims dims;
};

// The whole solve: dy (m entries) and the row weights d (K entries) on
// return. Checks the limits it divides by (epslgiv > 0, every W(j) and
// x(j) non-zero and finite, n >= 1, m >= 1) and returns a fault instead of
// computing with them.
std::optional<GivensFault> givwls(const GivwlsInputs& in, double& ssr, GivensObserver& observer,
                                  std::span<double> dy, std::vector<double>& d);

}  // namespace talven
