#include "dc/reduced_system.hpp"

#include <cholmod.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "dc/supernodal_ldl.hpp"

namespace corvo::robust::dc {
namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("sparse factorisation: ") + what);
}

// Static regularisation of the angle (primal) and price (dual) diagonals
// of the equilibrated matrix, and the smallest pivot magnitude CHOLMOD may
// keep (smaller ones are replaced, keeping their sign). Refinement
// against the unregularised matrix removes the regularisation's error at
// a rate of about δ/(δ + the smallest eigenvalues), and near the optimum
// those eigenvalues fall to about 1e-10: with δ = 1e-9 a correction
// gained only a tenth and 8 of them did not reach the accuracy asked
// (147 solves on 78 000 buses); with 1e-11 each gains a factor of about
// 20 (66 solves); at 1e-13 the first solves of the start leave residuals
// of 1e-1 and the iteration needs more solves and iterations.
constexpr double kPrimalRegularisation = 1e-11;
constexpr double kDualRegularisation = 1e-11;
constexpr double kSmallestPivot = 1e-13;
constexpr int kEquilibrationPasses = 1;
// Above this many flops (CHOLMOD's count for the factor) the supernodal
// factorisation is the faster; below it, CHOLMOD's simplicial one, whose
// solves cost less per column on small factors.
constexpr double kSupernodalFlops = 5e5;

double norm_inf(std::span<const double> v) {
  double m = 0.0;
  for (double e : v) m = std::max(m, std::fabs(e));
  return m;
}

}  // namespace

struct Analysis::Impl {
  cholmod_common common;
  std::vector<std::int32_t> column_start;
  std::vector<std::int32_t> row_index;
  std::vector<std::int32_t> group;
  Factorisation requested = Factorisation::automatic;
  // The factored matrix is the reduced matrix in the grouped order:
  // unknown order[k] is its k-th, entry p of the pattern above its
  // position[p] in `matrix` (the upper triangle in the grouped order),
  // which either factorisation reads.
  std::vector<std::int32_t> order;
  std::vector<std::int32_t> position;
  bool supernodal = false;
  cholmod_sparse* matrix = nullptr;
  // Simplicial: CHOLMOD's factor.
  cholmod_factor* factor = nullptr;
  cholmod_dense* rhs = nullptr;
  cholmod_dense* solution = nullptr;
  cholmod_dense* work_y = nullptr;
  cholmod_dense* work_e = nullptr;
  // Supernodal.
  SupernodalLdl ldl;
  std::vector<double> work;

  Impl() {
    cholmod_start(&common);
    // The matrix is handed over already in the grouped order, so CHOLMOD
    // keeps it as it is (no permuted copy at every factorisation), and
    // no postorder could separate a node's unknowns.
    common.nmethods = 1;
    common.method[0].ordering = CHOLMOD_NATURAL;
    common.postorder = 0;
    common.supernodal = CHOLMOD_SIMPLICIAL;
    common.final_ll = 0;
    common.dbound = kSmallestPivot;
    common.error_handler = nullptr;
    common.print = 0;
  }
  ~Impl() {
    release();
    cholmod_finish(&common);
  }
  void release() {
    cholmod_free_dense(&work_e, &common);
    cholmod_free_dense(&work_y, &common);
    cholmod_free_dense(&solution, &common);
    cholmod_free_dense(&rhs, &common);
    cholmod_free_factor(&factor, &common);
    cholmod_free_sparse(&matrix, &common);
    ldl = SupernodalLdl{};
  }
};

Analysis::Analysis() : impl(std::make_unique<Impl>()) {}
Analysis::~Analysis() = default;

namespace {

// The upper triangle of a symmetric pattern (of the reduced matrix, or of
// the graph of its groups): entries (row ≤ column), gathered from every
// element, sorted by column then row, without duplicates.
class PatternBuilder {
 public:
  explicit PatternBuilder(std::size_t size) : size_(size) {
    for (std::size_t k = 0; k < size; ++k) add(static_cast<std::int32_t>(k), static_cast<std::int32_t>(k));
  }
  void add(std::int32_t a, std::int32_t b) {
    if (a < 0 || b < 0) return;
    entries_.emplace_back(std::max(a, b), std::min(a, b));
  }
  // Rows bucketed by column (a counting sort), each column's few rows
  // sorted and made unique.
  void finish(std::vector<std::int32_t>& column_start, std::vector<std::int32_t>& row_index) {
    std::vector<std::int32_t> start(size_ + 1, 0);
    for (const auto& e : entries_) ++start[static_cast<std::size_t>(e.first) + 1];
    for (std::size_t j = 0; j < size_; ++j) start[j + 1] += start[j];
    std::vector<std::int32_t> rows(entries_.size()), next(start.begin(), start.end() - 1);
    for (const auto& e : entries_) rows[static_cast<std::size_t>(next[static_cast<std::size_t>(e.first)]++)] = e.second;
    column_start.assign(size_ + 1, 0);
    row_index.clear();
    row_index.reserve(rows.size());
    for (std::size_t j = 0; j < size_; ++j) {
      const auto first = rows.begin() + start[j], last = rows.begin() + start[j + 1];
      std::sort(first, last);
      row_index.insert(row_index.end(), first, std::unique(first, last));
      column_start[j + 1] = static_cast<std::int32_t>(row_index.size());
    }
  }

 private:
  std::size_t size_;
  std::vector<std::pair<std::int32_t, std::int32_t>> entries_;  // (column, row)
};

// A fill-reducing order of the unknowns that keeps those of one group
// (a node's angle and its buses' prices) next to each other: AMD on the
// graph of the groups, each group then expanded in place.
std::vector<std::int32_t> grouped_order(const std::vector<std::int32_t>& column_start,
                                        const std::vector<std::int32_t>& row_index,
                                        const std::vector<std::int32_t>& group, cholmod_common* c) {
  const std::size_t n = group.size();
  std::int32_t groups = 0;
  for (std::int32_t g : group) groups = std::max(groups, g + 1);
  PatternBuilder builder(static_cast<std::size_t>(groups));
  for (std::size_t j = 0; j < n; ++j) {
    for (std::int32_t p = column_start[j]; p < column_start[j + 1]; ++p) {
      builder.add(group[static_cast<std::size_t>(row_index[static_cast<std::size_t>(p)])], group[j]);
    }
  }
  std::vector<std::int32_t> graph_start, graph_index;
  builder.finish(graph_start, graph_index);
  cholmod_sparse* g = cholmod_allocate_sparse(static_cast<std::size_t>(groups), static_cast<std::size_t>(groups),
                                              graph_index.size(), 1, 1, 1, CHOLMOD_PATTERN, c);
  require(g != nullptr, "out of memory");
  std::copy(graph_start.begin(), graph_start.end(), static_cast<int*>(g->p));
  std::copy(graph_index.begin(), graph_index.end(), static_cast<int*>(g->i));
  std::vector<std::int32_t> group_order(static_cast<std::size_t>(groups));
  const int ok = cholmod_amd(g, nullptr, 0, group_order.data(), c);
  cholmod_free_sparse(&g, c);
  require(ok != 0, "ordering failed");
  std::vector<std::vector<std::int32_t>> members(static_cast<std::size_t>(groups));
  for (std::size_t k = 0; k < n; ++k) members[static_cast<std::size_t>(group[k])].push_back(static_cast<std::int32_t>(k));
  std::vector<std::int32_t> order;
  order.reserve(n);
  for (std::int32_t g_index : group_order) {
    for (std::int32_t k : members[static_cast<std::size_t>(g_index)]) order.push_back(k);
  }
  return order;
}

// The upper triangle of P·M·Pᵀ for the order (new k = old order[k]),
// and where each entry of the original pattern lands in it.
cholmod_sparse* permuted_matrix(const std::vector<std::int32_t>& column_start,
                                const std::vector<std::int32_t>& row_index,
                                const std::vector<std::int32_t>& order,
                                std::vector<std::int32_t>& position, cholmod_common* c) {
  const std::size_t n = order.size(), nnz = row_index.size();
  std::vector<std::int32_t> inverse(n);
  for (std::size_t k = 0; k < n; ++k) inverse[static_cast<std::size_t>(order[k])] = static_cast<std::int32_t>(k);
  std::vector<std::int32_t> new_row(nnz), new_column(nnz), start(n + 1, 0);
  for (std::size_t j = 0; j < n; ++j) {
    for (std::int32_t p = column_start[j]; p < column_start[j + 1]; ++p) {
      const auto q = static_cast<std::size_t>(p);
      const std::int32_t a = inverse[static_cast<std::size_t>(row_index[q])], b = inverse[j];
      new_row[q] = std::min(a, b);
      new_column[q] = std::max(a, b);
      ++start[static_cast<std::size_t>(new_column[q]) + 1];
    }
  }
  for (std::size_t k = 0; k < n; ++k) start[k + 1] += start[k];
  // Entries by new column (counting sort), then by row within a column.
  std::vector<std::int32_t> entries(nnz), next(start.begin(), start.end() - 1);
  for (std::size_t q = 0; q < nnz; ++q) {
    entries[static_cast<std::size_t>(next[static_cast<std::size_t>(new_column[q])]++)] = static_cast<std::int32_t>(q);
  }
  for (std::size_t k = 0; k < n; ++k) {
    std::sort(entries.begin() + start[k], entries.begin() + start[k + 1],
              [&](std::int32_t x, std::int32_t y) { return new_row[static_cast<std::size_t>(x)] < new_row[static_cast<std::size_t>(y)]; });
  }
  cholmod_sparse* m = cholmod_allocate_sparse(n, n, nnz, 1, 1, 1, CHOLMOD_REAL, c);
  require(m != nullptr, "out of memory");
  auto* mp = static_cast<int*>(m->p);
  auto* mi = static_cast<int*>(m->i);
  std::copy(start.begin(), start.end(), mp);
  position.resize(nnz);
  for (std::size_t t = 0; t < nnz; ++t) {
    const auto q = static_cast<std::size_t>(entries[t]);
    mi[t] = new_row[q];
    position[q] = static_cast<std::int32_t>(t);
  }
  std::fill_n(static_cast<double*>(m->x), nnz, 0.0);
  return m;
}

}  // namespace

namespace {

// The ordering, the choice of factorisation and its analysis.
void analyse(Analysis::Impl& a, std::vector<std::int32_t> column_start, std::vector<std::int32_t> row_index,
             const std::vector<std::int32_t>& group, Factorisation requested) {
  a.column_start = std::move(column_start);
  a.row_index = std::move(row_index);
  a.group = group;
  a.requested = requested;
  const std::size_t n = a.column_start.size() - 1;
  a.order = grouped_order(a.column_start, a.row_index, group, &a.common);
  a.matrix = permuted_matrix(a.column_start, a.row_index, a.order, a.position, &a.common);
  // CHOLMOD's simplicial analysis is cheap and counts the factor's flops,
  // which choose the factorisation.
  a.factor = cholmod_analyze(a.matrix, &a.common);
  require(a.factor != nullptr && a.common.status >= CHOLMOD_OK, "analysis failed");
  a.supernodal = requested == Factorisation::supernodal ||
                 (requested == Factorisation::automatic && a.common.fl >= kSupernodalFlops);
  if (a.supernodal) {
    cholmod_free_factor(&a.factor, &a.common);
    const std::span<const std::int32_t> p(static_cast<const std::int32_t*>(a.matrix->p), n + 1);
    const std::span<const std::int32_t> i(static_cast<const std::int32_t*>(a.matrix->i), static_cast<std::size_t>(p[n]));
    a.ldl.analyse(p, i);
    a.work.assign(n, 0.0);
  } else {
    a.rhs = cholmod_zeros(n, 1, CHOLMOD_REAL, &a.common);
    require(a.rhs != nullptr, "out of memory");
  }
}

}  // namespace

void Analysis::adopt(std::vector<std::int32_t> column_start, std::vector<std::int32_t> row_index,
                     const std::vector<std::int32_t>& group, Factorisation requested, AlgebraStats& stats) {
  Impl& a = *impl;
  if (a.matrix != nullptr && column_start == a.column_start && row_index == a.row_index &&
      group == a.group && requested == a.requested) {
    return;
  }
  const auto started = Clock::now();
  a.release();
  try {
    analyse(a, std::move(column_start), std::move(row_index), group, requested);
  } catch (...) {
    // Nothing half analysed may pass for the pattern's analysis later.
    a.release();
    a.column_start.clear();
    throw;
  }
  ++stats.analyses;
  stats.supernodal = a.supernodal;
  stats.seconds_analysis += seconds_since(started);
}


namespace {

// Position of entry (a, b) in the pattern, or -1 when a or b is -1.
std::int32_t find_slot(const std::vector<std::int32_t>& column_start,
                       const std::vector<std::int32_t>& row_index, std::int32_t a, std::int32_t b) {
  if (a < 0 || b < 0) return -1;
  const std::int32_t column = std::max(a, b), row = std::min(a, b);
  const auto first = row_index.begin() + column_start[static_cast<std::size_t>(column)];
  const auto last = row_index.begin() + column_start[static_cast<std::size_t>(column) + 1];
  const auto it = std::lower_bound(first, last, row);
  return static_cast<std::int32_t>(it - row_index.begin());
}

}  // namespace

ReducedSystem::ReducedSystem(const Model& model, Analysis& analysis, Factorisation factorisation,
                             AlgebraStats& stats)
    : model_(model), analysis_(analysis), stats_(stats) {
  angles_ = static_cast<std::size_t>(model.free_nodes);
  size_ = angles_ + static_cast<std::size_t>(model.buses);
  const auto angles = static_cast<std::int32_t>(angles_);
  auto price = [&](std::int32_t bus) { return bus == kNone ? kNone : angles + bus; };

  // The element ends in matrix positions: per branch its free angles
  // (θf, θt) and prices (λf, λt); per unit its prices (λto, λfrom).
  std::vector<std::int32_t> branch_ends(4 * model.branches());
  for (std::size_t l = 0; l < model.branches(); ++l) {
    std::int32_t f = model.branch_free_from[l], t = model.branch_free_to[l];
    if (f == t) f = t = kNone;  // both ends on one node: θf − θt is identically zero
    branch_ends[4 * l + 0] = f;
    branch_ends[4 * l + 1] = t;
    branch_ends[4 * l + 2] = f == kNone && t == kNone ? kNone : price(model.branch_from[l]);
    branch_ends[4 * l + 3] = f == kNone && t == kNone ? kNone : price(model.branch_to[l]);
  }
  PatternBuilder builder(size_);
  for (std::size_t l = 0; l < model.branches(); ++l) {
    const std::int32_t* e = &branch_ends[4 * l];
    builder.add(e[0], e[1]);
    for (int a : {0, 1}) {
      for (int b : {2, 3}) builder.add(e[a], e[b]);
    }
  }
  for (std::size_t j = 0; j < model.units(); ++j) {
    builder.add(price(model.unit_to[j]), price(model.unit_from[j]));
  }
  std::vector<std::int32_t> column_start, row_index;
  builder.finish(column_start, row_index);

  auto slot = [&](std::int32_t a, std::int32_t b) { return find_slot(column_start, row_index, a, b); };
  branch_slots_.resize(7 * model.branches());
  for (std::size_t l = 0; l < model.branches(); ++l) {
    const std::int32_t* e = &branch_ends[4 * l];
    std::int32_t* s = &branch_slots_[7 * l];
    s[0] = slot(e[0], e[0]);
    s[1] = slot(e[1], e[1]);
    s[2] = slot(e[0], e[1]);
    s[3] = slot(e[0], e[2]);
    s[4] = slot(e[1], e[2]);
    s[5] = slot(e[0], e[3]);
    s[6] = slot(e[1], e[3]);
  }
  unit_slots_.resize(3 * model.units());
  for (std::size_t j = 0; j < model.units(); ++j) {
    const std::int32_t to = price(model.unit_to[j]), from = price(model.unit_from[j]);
    unit_slots_[3 * j + 0] = slot(to, to);
    unit_slots_[3 * j + 1] = slot(from, from);
    unit_slots_[3 * j + 2] = to == from ? -1 : slot(to, from);
  }
  diagonal_slots_.resize(size_);
  regularisation_.resize(size_);
  for (std::size_t k = 0; k < size_; ++k) {
    diagonal_slots_[k] = slot(static_cast<std::int32_t>(k), static_cast<std::int32_t>(k));
    regularisation_[k] = k < angles_ ? kPrimalRegularisation : -kDualRegularisation;
  }
  values_.assign(row_index.size(), 0.0);
  work_residual_.resize(size_);
  work_correction_.resize(size_);
  work_product_.resize(size_);
  work_previous_.resize(size_);
  // Groups: a free angle and the prices of its node's buses; a bus on a
  // fixed node is a group of its own.
  std::vector<std::int32_t> group(size_, 0), group_of_angle(angles_, kNone);
  std::int32_t groups = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(model.buses); ++i) {
    const std::int32_t f = model.free_of_bus[i];
    if (f == kNone) {
      group[angles_ + i] = groups++;
      continue;
    }
    std::int32_t& g = group_of_angle[static_cast<std::size_t>(f)];
    if (g == kNone) g = groups++;
    group[static_cast<std::size_t>(f)] = g;
    group[angles_ + i] = g;
  }
  for (std::size_t a = 0; a < angles_; ++a) {  // a node without a bus
    if (group_of_angle[a] == kNone) group[a] = groups++;
  }
  analysis_.adopt(std::move(column_start), std::move(row_index), group, factorisation, stats_);
}

bool ReducedSystem::factor(std::span<const double> unit_inverse_weight,
                           std::span<const double> branch_weight) {
  std::fill(values_.begin(), values_.end(), 0.0);
  auto add = [&](std::int32_t slot, double v) {
    if (slot >= 0) values_[static_cast<std::size_t>(slot)] += v;
  };
  for (std::size_t l = 0; l < model_.branches(); ++l) {
    const std::int32_t* s = &branch_slots_[7 * l];
    const double w = branch_weight[l], b = model_.susceptance[l];
    add(s[0], w);
    add(s[1], w);
    add(s[2], -w);
    add(s[3], b);
    add(s[4], -b);
    add(s[5], -b);
    add(s[6], b);
  }
  for (std::size_t j = 0; j < model_.units(); ++j) {
    const double d = unit_inverse_weight[j];
    add(unit_slots_[3 * j + 0], -d);
    add(unit_slots_[3 * j + 1], -d);
    add(unit_slots_[3 * j + 2], d);
  }
  Analysis::Impl& a = *analysis_.impl;
  equilibrate();
  const std::span<double> x(static_cast<double*>(a.matrix->x), a.matrix->nzmax);
  for (std::size_t j = 0; j < size_; ++j) {
    for (std::int32_t p = a.column_start[j]; p < a.column_start[j + 1]; ++p) {
      const auto q = static_cast<std::size_t>(p);
      const auto i = static_cast<std::size_t>(a.row_index[q]);
      x[static_cast<std::size_t>(a.position[q])] = values_[q] * scaling_[i] * scaling_[j];
    }
  }
  for (std::size_t k = 0; k < size_; ++k) {
    x[static_cast<std::size_t>(a.position[static_cast<std::size_t>(diagonal_slots_[k])])] += regularisation_[k];
  }
  const auto started = Clock::now();
  bool ok = true;
  if (a.supernodal) {
    // A pivot replaced by the smallest allowed, as CHOLMOD's dbound does:
    // refinement against the exact matrix repairs what it changes.
    a.ldl.factor(x, kSmallestPivot);
  } else {
    // A pivot replaced by the smallest allowed (CHOLMOD_DSMALL) is a
    // warning, for the same reason.
    ok = cholmod_factorize(a.matrix, a.factor, &a.common) != 0 && a.common.status >= CHOLMOD_OK &&
         a.common.status != CHOLMOD_NOT_POSDEF;
  }
  stats_.seconds_factor += seconds_since(started);
  ++stats_.factorizations;
  return ok;
}

void ReducedSystem::multiply(std::span<const double> x, std::span<double> y) const {
  const Analysis::Impl& a = *analysis_.impl;
  std::fill(y.begin(), y.end(), 0.0);
  for (std::size_t j = 0; j < size_; ++j) {
    for (std::int32_t p = a.column_start[j]; p < a.column_start[j + 1]; ++p) {
      const auto i = static_cast<std::size_t>(a.row_index[static_cast<std::size_t>(p)]);
      const double v = values_[static_cast<std::size_t>(p)];
      y[i] += v * x[j];
      if (i != j) y[j] += v * x[i];
    }
  }
}

// Symmetric scaling S so that every row of S·M·S has largest entry
// about one (a few passes of Ruiz's equilibration): the factor then sees
// pivots and regularisation on one scale whatever the units of the rows.
void ReducedSystem::equilibrate() {
  const Analysis::Impl& a = *analysis_.impl;
  scaling_.assign(size_, 1.0);
  std::vector<double>& largest = work_product_;
  for (int pass = 0; pass < kEquilibrationPasses; ++pass) {
    std::fill(largest.begin(), largest.end(), 0.0);
    for (std::size_t j = 0; j < size_; ++j) {
      for (std::int32_t p = a.column_start[j]; p < a.column_start[j + 1]; ++p) {
        const auto i = static_cast<std::size_t>(a.row_index[static_cast<std::size_t>(p)]);
        const double v = std::fabs(values_[static_cast<std::size_t>(p)]) * scaling_[i] * scaling_[j];
        largest[i] = std::max(largest[i], v);
        largest[j] = std::max(largest[j], v);
      }
    }
    for (std::size_t k = 0; k < size_; ++k) {
      if (largest[k] > 0.0) scaling_[k] /= std::sqrt(largest[k]);
    }
  }
}

void ReducedSystem::solve_once(std::span<const double> rhs, std::span<double> x) {
  Analysis::Impl& a = *analysis_.impl;
  double* b = a.supernodal ? a.work.data() : static_cast<double*>(a.rhs->x);
  for (std::size_t k = 0; k < size_; ++k) {
    const auto old = static_cast<std::size_t>(a.order[k]);
    b[k] = rhs[old] * scaling_[old];
  }
  const auto started = Clock::now();
  const double* s = b;
  if (a.supernodal) {
    a.ldl.solve(a.work);
  } else {
    const int ok = cholmod_solve2(CHOLMOD_A, a.factor, a.rhs, nullptr, &a.solution, nullptr,
                                  &a.work_y, &a.work_e, &a.common);
    require(ok != 0, "solve failed");
    s = static_cast<const double*>(a.solution->x);
  }
  stats_.seconds_solve += seconds_since(started);
  ++stats_.solves;
  for (std::size_t k = 0; k < size_; ++k) {
    const auto old = static_cast<std::size_t>(a.order[k]);
    x[old] = s[k] * scaling_[old];
  }
}

void ReducedSystem::solve(std::span<const double> rhs, std::span<double> x,
                          const SolveAccuracy& accuracy) {
  solve_once(rhs, x);
  if (accuracy.max_refinements <= 0) return;
  // The residual of each block as a multiple of its limit: the solve is
  // done when both are at most 1.
  auto excess = [&](std::span<const double> point) {
    multiply(point, work_product_);
    for (std::size_t k = 0; k < size_; ++k) work_residual_[k] = rhs[k] - work_product_[k];
    const double angle = norm_inf(std::span<const double>(work_residual_.data(), angles_));
    const double price = norm_inf(std::span<const double>(work_residual_.data() + angles_, size_ - angles_));
    return std::max(angle / std::max(accuracy.angle_rows, 1e-300), price / std::max(accuracy.price_rows, 1e-300));
  };
  double worst = excess(x);
  for (int k = 0; k < accuracy.max_refinements && worst > 1.0; ++k) {
    solve_once(work_residual_, work_correction_);
    std::copy(x.begin(), x.end(), work_previous_.begin());
    for (std::size_t i = 0; i < size_; ++i) x[i] += work_correction_[i];
    const double next = excess(x);
    if (!(next < worst)) {  // no gain (or not finite): keep the point before
      std::copy(work_previous_.begin(), work_previous_.end(), x.begin());
      break;
    }
    const bool slow = !(next < 0.9 * worst);
    worst = next;
    if (slow) break;
  }
}

}  // namespace corvo::robust::dc
