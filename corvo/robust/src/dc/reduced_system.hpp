// The Newton system of the iteration once the units, slacks and
// multipliers are eliminated: a symmetric quasi-definite system in the
// free angles θ and the bus prices λ,
//
//   [ CᵀHC + δp·I        Kᵀ        ] [Δθ]   [rθ]
//   [      K       −(U·D·Uᵀ + δd·I) ] [Δλ] = [rλ]
//
// where K is the network's susceptance matrix (bus rows, free-node
// columns), C the branches' incidence on the free nodes, H the branch
// bound weights, U the units' incidence on the buses and D = 1/(q + unit
// bound weights) the units' inverse weights (0 for a fixed unit).
//
// It is factored by an LDLᵀ without pivoting: CHOLMOD's simplicial one
// for small factors, the supernodal one of supernodal_ldl.hpp for large
// ones (chosen by the factor's flop count, or forced by the caller). The
// ordering and symbolic analysis depend only on the pattern and are kept
// in an Analysis between factorisations (and between problems of one
// pattern).
// The regularisations δp, δd keep every pivot away from zero; each solve
// is refined against the unregularised matrix.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "dc/model.hpp"

namespace corvo::robust::dc {

// Seconds and counts of the linear algebra, for the benchmarks.
struct AlgebraStats {
  int analyses = 0;
  int factorizations = 0;
  int solves = 0;
  bool supernodal = false;  // the factorisation of the last analysis
  double seconds_analysis = 0.0;
  double seconds_factor = 0.0;
  double seconds_solve = 0.0;
};

// The pattern of the reduced matrix (upper triangle, compressed columns)
// and CHOLMOD's analysis of it. One per thread; reused while the pattern
// is unchanged.
class Analysis {
 public:
  Analysis();
  ~Analysis();
  Analysis(const Analysis&) = delete;
  Analysis& operator=(const Analysis&) = delete;

  // Makes `column_start`/`row_index` the current pattern, analysing it
  // unless it equals the pattern already analysed.
  // `group` gives each unknown its node: the ordering keeps the unknowns
  // of one node together. `requested` chooses the factorisation.
  void adopt(std::vector<std::int32_t> column_start, std::vector<std::int32_t> row_index,
             const std::vector<std::int32_t>& group, Factorisation requested, AlgebraStats& stats);

  struct Impl;
  std::unique_ptr<Impl> impl;
};

// How accurately a solve must satisfy the unregularised system: limits on
// the largest residual of the angle rows (the angles' stationarity) and of
// the price rows (the bus balances), in the model's scaled units, and the
// most refinement corrections to spend on reaching them.
struct SolveAccuracy {
  double angle_rows = 0.0;
  double price_rows = 0.0;
  int max_refinements = 0;
};

class ReducedSystem {
 public:
  ReducedSystem(const Model& model, Analysis& analysis, Factorisation factorisation, AlgebraStats& stats);

  std::size_t size() const { return size_; }
  std::size_t angle_unknowns() const { return angles_; }

  // Assembles and factors the matrix for these weights: per unit its
  // inverse weight 1/(q + h) (0 for a fixed unit), per branch the weight
  // of its bounds. Returns false when the factorisation fails.
  bool factor(std::span<const double> unit_inverse_weight, std::span<const double> branch_weight);

  // Solves for (Δθ, Δλ), stacked as one vector of size(), with the last
  // factor, refined against the unregularised matrix until the residual
  // rhs − M·x of each block of rows is within `accuracy` (or the
  // corrections run out or stop gaining); with no corrections allowed,
  // the residual is not even computed.
  void solve(std::span<const double> rhs, std::span<double> x, const SolveAccuracy& accuracy);

 private:
  void multiply(std::span<const double> x, std::span<double> y) const;  // y = M·x, unregularised
  void solve_once(std::span<const double> rhs, std::span<double> x);
  void equilibrate();

  const Model& model_;
  Analysis& analysis_;
  AlgebraStats& stats_;
  std::size_t angles_ = 0;
  std::size_t size_ = 0;
  // Where each element adds into the matrix values (-1: nowhere).
  std::vector<std::int32_t> branch_slots_;  // 7 per branch: G ff, tt, ft; K (bf,f), (bf,t), (bt,f), (bt,t)
  std::vector<std::int32_t> unit_slots_;    // 3 per unit: (to,to), (from,from), (to,from)
  std::vector<std::int32_t> diagonal_slots_;
  std::vector<double> values_;              // unregularised
  std::vector<double> regularisation_;      // per unknown, added to the equilibrated diagonal
  std::vector<double> scaling_;             // equilibration S: the factor is of S·M·S
  std::vector<double> work_residual_, work_correction_, work_product_, work_previous_;
};

}  // namespace corvo::robust::dc
