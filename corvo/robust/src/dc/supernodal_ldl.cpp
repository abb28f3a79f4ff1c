#include "dc/supernodal_ldl.hpp"

#include <cholmod.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace corvo::robust::dc {
namespace {

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("sparse factorisation: ") + what);
}

std::size_t at(std::int64_t k) { return static_cast<std::size_t>(k); }

// Two doubles in one SSE2 register; its + and × are the scalar IEEE
// operations on each half, so a sum gives the same bits either way.
using Pair = double __attribute__((vector_size(16)));

Pair load_pair(const double* p) {
  Pair v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void store_pair(double* p, Pair v) { std::memcpy(p, &v, sizeof v); }

Pair both(double x) { return Pair{x, x}; }

// C (m × n, column-major) = A·Wᵀ, where A is m × k (column-major, leading
// dimension lda) and W is n × k (column-major, leading dimension n); k ≥ 1
// and each entry is summed over k in order. Blocks of 4 × 4 entries of C
// stay in registers for the whole sum (the rest, a column or row at a
// time).
void multiply_transposed(std::size_t m, std::size_t n, std::size_t k, const double* __restrict a,
                         std::size_t lda, const double* __restrict w, double* __restrict c) {
  std::size_t j = 0;
  for (; j + 4 <= n; j += 4) {
    std::size_t i = 0;
    for (; i + 4 <= m; i += 4) {
      Pair top = load_pair(a + i), bottom = load_pair(a + i + 2);
      Pair w0 = both(w[j]), w1 = both(w[j + 1]), w2 = both(w[j + 2]), w3 = both(w[j + 3]);
      Pair c0t = top * w0, c0b = bottom * w0, c1t = top * w1, c1b = bottom * w1;
      Pair c2t = top * w2, c2b = bottom * w2, c3t = top * w3, c3b = bottom * w3;
      for (std::size_t p = 1; p < k; ++p) {
        top = load_pair(a + p * lda + i);
        bottom = load_pair(a + p * lda + i + 2);
        const double* wp = w + p * n + j;
        w0 = both(wp[0]);
        w1 = both(wp[1]);
        w2 = both(wp[2]);
        w3 = both(wp[3]);
        c0t += top * w0;
        c0b += bottom * w0;
        c1t += top * w1;
        c1b += bottom * w1;
        c2t += top * w2;
        c2b += bottom * w2;
        c3t += top * w3;
        c3b += bottom * w3;
      }
      store_pair(c + j * m + i, c0t);
      store_pair(c + j * m + i + 2, c0b);
      store_pair(c + (j + 1) * m + i, c1t);
      store_pair(c + (j + 1) * m + i + 2, c1b);
      store_pair(c + (j + 2) * m + i, c2t);
      store_pair(c + (j + 2) * m + i + 2, c2b);
      store_pair(c + (j + 3) * m + i, c3t);
      store_pair(c + (j + 3) * m + i + 2, c3b);
    }
    for (; i < m; ++i) {
      double c0 = a[i] * w[j], c1 = a[i] * w[j + 1], c2 = a[i] * w[j + 2], c3 = a[i] * w[j + 3];
      for (std::size_t p = 1; p < k; ++p) {
        const double v = a[p * lda + i];
        const double* wp = w + p * n + j;
        c0 += v * wp[0];
        c1 += v * wp[1];
        c2 += v * wp[2];
        c3 += v * wp[3];
      }
      c[j * m + i] = c0;
      c[(j + 1) * m + i] = c1;
      c[(j + 2) * m + i] = c2;
      c[(j + 3) * m + i] = c3;
    }
  }
  for (; j < n; ++j) {
    double* __restrict c0 = c + j * m;
    for (std::size_t i = 0; i < m; ++i) c0[i] = a[i] * w[j];
    for (std::size_t p = 1; p < k; ++p) {
      const double* __restrict ap = a + p * lda;
      const double w0 = w[p * n + j];
      for (std::size_t i = 0; i < m; ++i) c0[i] += ap[i] * w0;
    }
  }
}

// target[i] −= c0[i]·w[0], then c1[i]·w[1], c2[i]·w[2], c3[i]·w[3] (one
// subtraction at a time, so the bits are those of four column updates)
// for i in [begin, end), where c1, c2, c3 follow c0 `stride` apart: four
// columns' updates in one pass over the target.
void subtract_four_columns(double* __restrict target, const double* __restrict c0, std::size_t stride,
                           const double (&w)[4], std::size_t begin, std::size_t end) {
  const double* __restrict c1 = c0 + stride;
  const double* __restrict c2 = c1 + stride;
  const double* __restrict c3 = c2 + stride;
  for (std::size_t i = begin; i < end; ++i) {
    double v = target[i];
    v -= c0[i] * w[0];
    v -= c1[i] * w[1];
    v -= c2[i] * w[2];
    v -= c3[i] * w[3];
    target[i] = v;
  }
}

}  // namespace

void SupernodalLdl::analyse(std::span<const std::int32_t> column_start, std::span<const std::int32_t> row_index) {
  const std::size_t n = column_start.size() - 1;
  cholmod_common common;
  cholmod_start(&common);
  common.nmethods = 1;
  common.method[0].ordering = CHOLMOD_NATURAL;
  common.postorder = 0;
  common.supernodal = CHOLMOD_SUPERNODAL;
  common.error_handler = nullptr;
  common.print = 0;
  // Supernodes merged only where they add few explicit zeros: the dense
  // kernels absorb a zero's flops, but each of the three or four solves
  // per factorisation reads it again (CHOLMOD's default amalgamation made
  // the 78 000-bus network 20% slower).
  common.zrelax[0] = 0.08;
  common.zrelax[1] = 0.01;
  common.zrelax[2] = 0.005;
  cholmod_sparse* pattern =
      cholmod_allocate_sparse(n, n, row_index.size(), 1, 1, 1, CHOLMOD_PATTERN, &common);
  cholmod_factor* symbolic = nullptr;
  if (pattern != nullptr) {
    std::copy(column_start.begin(), column_start.end(), static_cast<int*>(pattern->p));
    std::copy(row_index.begin(), row_index.end(), static_cast<int*>(pattern->i));
    symbolic = cholmod_analyze(pattern, &common);
  }
  const bool ok = symbolic != nullptr && common.status >= CHOLMOD_OK && symbolic->is_super;
  if (ok) {
    const auto* super = static_cast<const int*>(symbolic->super);
    const auto* pi = static_cast<const int*>(symbolic->pi);
    const auto* px = static_cast<const int*>(symbolic->px);
    const auto* s = static_cast<const int*>(symbolic->s);
    const auto* perm = static_cast<const int*>(symbolic->Perm);
    const std::size_t nsuper = symbolic->nsuper;
    first_column_.assign(super, super + nsuper + 1);
    row_start_.assign(pi, pi + nsuper + 1);
    value_start_.assign(px, px + nsuper + 1);
    rows_.assign(s, s + pi[nsuper]);
    for (std::size_t k = 0; k < n; ++k) require(perm == nullptr || perm[k] == static_cast<int>(k), "reordered");
  }
  cholmod_free_factor(&symbolic, &common);
  cholmod_free_sparse(&pattern, &common);
  cholmod_finish(&common);
  require(ok, "supernodal analysis failed");

  const std::size_t nsuper = first_column_.size() - 1;
  column_supernode_.resize(n);
  for (std::size_t s = 0; s < nsuper; ++s) {
    for (std::int32_t j = first_column_[s]; j < first_column_[s + 1]; ++j) {
      column_supernode_[static_cast<std::size_t>(j)] = static_cast<std::int32_t>(s);
    }
    const auto first = rows_.begin() + row_start_[s], last = rows_.begin() + row_start_[s + 1];
    require(std::is_sorted(first, last), "rows of a supernode out of order");
  }
  values_.assign(at(value_start_[nsuper]), 0.0);
  // Entry (i, j), i ≤ j, of the upper triangle is L's row j of column i;
  // the entries are bucketed by the supernode of column i.
  assembly_start_.assign(nsuper + 1, 0);
  for (std::int32_t i : row_index) ++assembly_start_[static_cast<std::size_t>(column_supernode_[static_cast<std::size_t>(i)]) + 1];
  for (std::size_t s = 0; s < nsuper; ++s) assembly_start_[s + 1] += assembly_start_[s];
  std::vector<std::int64_t> next(assembly_start_.begin(), assembly_start_.end() - 1);
  assembly_entry_.resize(row_index.size());
  assembly_slot_.resize(row_index.size());
  for (std::size_t j = 0; j < n; ++j) {
    for (std::int32_t p = column_start[j]; p < column_start[j + 1]; ++p) {
      const auto i = static_cast<std::size_t>(row_index[static_cast<std::size_t>(p)]);
      const auto s = static_cast<std::size_t>(column_supernode_[i]);
      const auto first = rows_.begin() + row_start_[s], last = rows_.begin() + row_start_[s + 1];
      const auto it = std::lower_bound(first, last, static_cast<std::int32_t>(j));
      require(it != last && *it == static_cast<std::int32_t>(j), "entry outside the symbolic factor");
      const std::size_t k = at(next[s]++);
      assembly_entry_[k] = p;
      assembly_slot_[k] = value_start_[s] + (it - first) +
                          static_cast<std::int64_t>(i - static_cast<std::size_t>(first_column_[s])) * (last - first);
    }
  }
  local_row_.assign(n, 0);
  std::size_t widest = 0;
  for (std::size_t s = 0; s < nsuper; ++s) widest = std::max(widest, rows_of(static_cast<std::int32_t>(s)));
  solve_work_.assign(widest, 0.0);
  next_update_.assign(nsuper, -1);
  first_update_.assign(nsuper, -1);
  update_position_.assign(nsuper, 0);
}

// Subtracts from supernode `target` the update of one descendant: its rows
// from update_position_ on, times D, times its rows that fall in the
// target's columns. local_row_ holds the target's rows.
void SupernodalLdl::update_from(std::int32_t descendant, std::int32_t target) {
  const auto d = static_cast<std::size_t>(descendant), t = static_cast<std::size_t>(target);
  const std::size_t d_rows = rows_of(descendant), d_columns = static_cast<std::size_t>(first_column_[d + 1] - first_column_[d]);
  const std::int64_t begin = update_position_[d], end = row_start_[d + 1];
  const std::int32_t t_first = first_column_[t], t_end = first_column_[t + 1];
  std::int64_t inside = begin;
  while (inside < end && rows_[at(inside)] < t_end) ++inside;
  const auto m = static_cast<std::size_t>(end - begin), n = static_cast<std::size_t>(inside - begin);
  const double* block = values_.data() + value_start_[d];
  const std::size_t first_local = static_cast<std::size_t>(begin - row_start_[d]);
  // W = (the rows in the target's columns)·D, n × d_columns.
  weighted_.resize(std::max(weighted_.size(), n * d_columns));
  for (std::size_t p = 0; p < d_columns; ++p) {
    const double pivot = block[p + p * d_rows];
    for (std::size_t jj = 0; jj < n; ++jj) weighted_[p * n + jj] = block[first_local + jj + p * d_rows] * pivot;
  }
  product_.resize(std::max(product_.size(), m * n));
  multiply_transposed(m, n, d_columns, block + first_local, d_rows, weighted_.data(), product_.data());
  double* target_block = values_.data() + value_start_[t];
  const std::size_t t_rows = rows_of(target);
  for (std::size_t jj = 0; jj < n; ++jj) {
    const auto column = static_cast<std::size_t>(rows_[at(begin) + jj] - t_first);
    double* target_column = target_block + column * t_rows;
    const double* c = product_.data() + jj * m;
    for (std::size_t ii = jj; ii < m; ++ii) {
      target_column[local_row_[static_cast<std::size_t>(rows_[at(begin) + ii])]] -= c[ii];
    }
  }
  update_position_[d] = inside;
}

// The dense LDLᵀ of supernode s once every update is in: column by
// column, each from the columns before it (four at a time).
void SupernodalLdl::factor_block(std::int32_t s, double smallest_pivot, int& replaced) {
  const auto si = static_cast<std::size_t>(s);
  const std::size_t rows = rows_of(s), columns = static_cast<std::size_t>(first_column_[si + 1] - first_column_[si]);
  double* block = values_.data() + value_start_[si];
  auto entry = [&](std::size_t i, std::size_t j) -> double& { return block[i + j * rows]; };
  for (std::size_t j = 0; j < columns; ++j) {
    double* __restrict cj = block + j * rows;
    std::size_t p = 0;
    for (; p + 4 <= j; p += 4) {
      const double w[4] = {entry(j, p) * entry(p, p), entry(j, p + 1) * entry(p + 1, p + 1),
                           entry(j, p + 2) * entry(p + 2, p + 2), entry(j, p + 3) * entry(p + 3, p + 3)};
      subtract_four_columns(cj, block + p * rows, rows, w, j, rows);
    }
    for (; p < j; ++p) {
      const double w = entry(j, p) * entry(p, p);
      const double* __restrict cp = block + p * rows;
      for (std::size_t i = j; i < rows; ++i) cj[i] -= cp[i] * w;
    }
    double pivot = cj[j];
    if (!(std::fabs(pivot) >= smallest_pivot)) {
      pivot = pivot < 0.0 ? -smallest_pivot : smallest_pivot;
      ++replaced;
    }
    cj[j] = pivot;
    for (std::size_t i = j + 1; i < rows; ++i) cj[i] /= pivot;
  }
}

int SupernodalLdl::factor(std::span<const double> entries, double smallest_pivot) {
  const std::size_t nsuper = first_column_.size() - 1;
  std::fill(first_update_.begin(), first_update_.end(), -1);
  int replaced = 0;
  // Puts supernode d on the list of the supernode that holds its next row.
  auto link = [&](std::size_t d) {
    if (update_position_[d] >= row_start_[d + 1]) return;
    const auto owner = static_cast<std::size_t>(column_supernode_[static_cast<std::size_t>(rows_[at(update_position_[d])])]);
    next_update_[d] = first_update_[owner];
    first_update_[owner] = static_cast<std::int32_t>(d);
  };
  for (std::size_t s = 0; s < nsuper; ++s) {
    std::fill(values_.begin() + value_start_[s], values_.begin() + value_start_[s + 1], 0.0);
    for (std::int64_t k = assembly_start_[s]; k < assembly_start_[s + 1]; ++k) {
      values_[at(assembly_slot_[at(k)])] = entries[static_cast<std::size_t>(assembly_entry_[at(k)])];
    }
    for (std::int64_t k = row_start_[s]; k < row_start_[s + 1]; ++k) {
      local_row_[static_cast<std::size_t>(rows_[at(k)])] = static_cast<std::int32_t>(k - row_start_[s]);
    }
    std::int32_t d = first_update_[s];
    while (d >= 0) {
      const std::int32_t next = next_update_[static_cast<std::size_t>(d)];
      update_from(d, static_cast<std::int32_t>(s));
      link(static_cast<std::size_t>(d));
      d = next;
    }
    factor_block(static_cast<std::int32_t>(s), smallest_pivot, replaced);
    update_position_[s] = row_start_[s] + (first_column_[s + 1] - first_column_[s]);
    link(s);
  }
  return replaced;
}

// Each supernode's part of x is gathered into a dense vector, so that the
// products with its block run over contiguous memory, four columns at a
// time (the sums of the backward pass then run as four independent
// chains).
void SupernodalLdl::solve(std::span<double> x) const {
  const std::size_t nsuper = first_column_.size() - 1;
  double* __restrict y = solve_work_.data();
  for (std::size_t s = 0; s < nsuper; ++s) {  // L·y = b
    const std::size_t rows = rows_of(static_cast<std::int32_t>(s));
    const auto first = static_cast<std::size_t>(first_column_[s]);
    const std::size_t columns = static_cast<std::size_t>(first_column_[s + 1]) - first;
    const double* __restrict block = values_.data() + value_start_[s];
    const std::int32_t* r = rows_.data() + row_start_[s];
    double* __restrict xs = x.data() + first;
    if (columns == 1) {  // most supernodes: no gathering
      const double v = xs[0];
      for (std::size_t i = 1; i < rows; ++i) x[static_cast<std::size_t>(r[i])] -= block[i] * v;
      continue;
    }
    for (std::size_t j = 0; j < columns; ++j) {
      const double v = xs[j];
      const double* __restrict column = block + j * rows;
      for (std::size_t i = j + 1; i < columns; ++i) xs[i] -= column[i] * v;
    }
    if (rows == columns) continue;
    std::fill(y + columns, y + rows, 0.0);
    std::size_t j = 0;
    for (; j + 4 <= columns; j += 4) {
      const double v[4] = {xs[j], xs[j + 1], xs[j + 2], xs[j + 3]};
      subtract_four_columns(y, block + j * rows, rows, v, columns, rows);
    }
    for (; j < columns; ++j) {
      const double v = xs[j];
      const double* __restrict column = block + j * rows;
      for (std::size_t i = columns; i < rows; ++i) y[i] -= column[i] * v;
    }
    for (std::size_t i = columns; i < rows; ++i) x[static_cast<std::size_t>(r[i])] += y[i];
  }
  for (std::size_t s = nsuper; s-- > 0;) {  // D·z = y, then Lᵀ·x = z
    const std::size_t rows = rows_of(static_cast<std::int32_t>(s));
    const auto first = static_cast<std::size_t>(first_column_[s]);
    const std::size_t columns = static_cast<std::size_t>(first_column_[s + 1]) - first;
    const double* __restrict block = values_.data() + value_start_[s];
    const std::int32_t* r = rows_.data() + row_start_[s];
    double* __restrict xs = x.data() + first;
    if (columns == 1) {
      double t = xs[0] / block[0];
      for (std::size_t i = 1; i < rows; ++i) t -= block[i] * x[static_cast<std::size_t>(r[i])];
      xs[0] = t;
      continue;
    }
    for (std::size_t j = 0; j < columns; ++j) xs[j] /= block[j + j * rows];
    if (rows > columns) {
      for (std::size_t i = columns; i < rows; ++i) y[i] = x[static_cast<std::size_t>(r[i])];
      std::size_t j = 0;
      for (; j + 4 <= columns; j += 4) {
        const double* __restrict c0 = block + j * rows;
        const double* __restrict c1 = c0 + rows;
        const double* __restrict c2 = c1 + rows;
        const double* __restrict c3 = c2 + rows;
        double t0 = xs[j], t1 = xs[j + 1], t2 = xs[j + 2], t3 = xs[j + 3];
        for (std::size_t i = columns; i < rows; ++i) {
          const double v = y[i];
          t0 -= c0[i] * v;
          t1 -= c1[i] * v;
          t2 -= c2[i] * v;
          t3 -= c3[i] * v;
        }
        xs[j] = t0;
        xs[j + 1] = t1;
        xs[j + 2] = t2;
        xs[j + 3] = t3;
      }
      for (; j < columns; ++j) {
        const double* __restrict column = block + j * rows;
        double t = xs[j];
        for (std::size_t i = columns; i < rows; ++i) t -= column[i] * y[i];
        xs[j] = t;
      }
    }
    for (std::size_t j = columns; j-- > 0;) {
      const double* __restrict column = block + j * rows;
      double t = xs[j];
      for (std::size_t i = j + 1; i < columns; ++i) t -= column[i] * xs[i];
      xs[j] = t;
    }
  }
}

}  // namespace corvo::robust::dc
