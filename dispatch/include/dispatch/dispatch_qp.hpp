// The economic dispatch posed as a quadratic program for the solver:
// minimise c'x + 0.5 x'diag(q)x subject to A x = b, x >= 0 except the
// flagged (angle) variables, which have lower bounds.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "dispatch/case_data.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/sparse_row.hpp"

namespace dispatch {

// Variable columns (1-based), in order: the n-1 bus angles without the
// reference bus, then per generator its output, its slack below the upper
// limit and its surplus above the lower limit (each block ngen long), then
// per line its slack below the upper limit and its surplus above the lower
// limit (each block nl long).
struct QpColumns {
  std::int32_t n = 0;
  std::int32_t ngen = 0;
  std::int32_t nl = 0;

  std::int32_t generator(std::int32_t k) const { return n - 1 + k; }
  std::int32_t gen_upper_slack(std::int32_t k) const { return n - 1 + ngen + k; }
  std::int32_t gen_lower_surplus(std::int32_t k) const { return n - 1 + 2 * ngen + k; }
  std::int32_t line_upper_slack(std::int32_t l) const { return n - 1 + 3 * ngen + l; }
  std::int32_t line_lower_surplus(std::int32_t l) const { return n - 1 + 3 * ngen + nl + l; }
  std::int32_t count() const { return n - 1 + 3 * ngen + 2 * nl; }
};

// Constraint rows (1-based), in blocks: power balance of buses 1..n, the
// upper limits of generators 1..ngen, their lower limits, the upper flow
// limits of lines 1..nl, their lower flow limits.
struct QpRows {
  std::int32_t n = 0;
  std::int32_t ngen = 0;
  std::int32_t nl = 0;

  std::int32_t bus_balance(std::int32_t i) const { return i; }
  std::int32_t gen_upper(std::int32_t k) const { return n + k; }
  std::int32_t gen_lower(std::int32_t k) const { return n + ngen + k; }
  std::int32_t line_upper(std::int32_t l) const { return n + 2 * ngen + l; }
  std::int32_t line_lower(std::int32_t l) const { return n + 2 * ngen + nl + l; }
  std::int32_t count() const { return n + 2 * ngen + 2 * nl; }
};

// Lower bound of every angle variable, in radians.
inline constexpr double kAngleLowerBound = -2.0;

struct DispatchQp {
  std::int32_t m = 0;               // constraints
  std::int32_t nvar = 0;            // variables
  std::vector<SparseRow> rows;      // m rows over columns 1..nvar
  std::vector<double> b;            // m right-hand sides
  std::vector<double> c;            // nvar linear costs
  std::vector<double> q;            // nvar quadratic costs
  std::vector<double> x0;           // nvar starting values
  std::vector<std::int32_t> flags;  // nvar; the column number for an angle, else 0
  std::vector<double> lb;           // n-1 lower bounds of the flagged columns
};

// Builds the program from a case in per unit, its lists and Bmat.
//
// Rows, in blocks: power balance of buses 1..n (generation minus load
// equals Bmat times the angles), the upper limits of generators 1..ngen,
// their lower limits, the upper flow limits of lines 1..nl, their lower
// flow limits. Coefficients that fall in
// the same column of a power-balance or line-limit row are added, so a
// neighbour reached through two adjacency entries, or a line from a bus to
// itself, keeps every line's susceptance in the row.
DispatchQp build_dispatch_qp(const CaseData& data, const NetworkLists& lists,
                             std::span<const double> bmat);

// The same from the case alone: builds its network lists and Bmat first.
// The case must have passed the builder's checks (no zero reactance, no
// isolated bus).
DispatchQp build_dispatch_qp(const CaseData& data);

}  // namespace dispatch
