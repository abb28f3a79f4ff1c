#include "talven/givens.hpp"

#include <algorithm>
#include <cmath>

namespace talven {

namespace {

std::string measurement_text(int row) { return "measurement " + std::to_string(row); }

// Finds the first exactly non-zero entry of `values`, or `none`.
int first_nonzero(std::span<const double> values, int none) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] != 0.0) return static_cast<int>(i);
  }
  return none;
}

}  // namespace

WorkingFactor::WorkingFactor(int order_)
    : order(order_), f(order_, order_), d(order_, 0.0), first(order_, order_), last(order_, -1) {
  for (int i = 0; i < order; ++i) f(i, i) = 1.0;
}

std::optional<GivensFault> givrot(WorkingFactor& factor, double& w, RowBuffer& row, double epslgiv,
                                  int measurement) {
  const int order = factor.order;
  std::vector<double>& a = row.a;
  for (int i = std::max(row.first, 0); i <= row.last && i < order; ++i) {
    const double xi = a[i];
    if (std::fabs(xi) <= epslgiv) continue;  // pivot passed over

    const double wxi = w * xi;
    const double dnew = wxi * xi + factor.d[i];
    const double cbar = factor.d[i] / dnew;
    const double wnew = cbar * w;
    const double sbar = wxi / dnew;
    if (!std::isfinite(cbar) || !std::isfinite(sbar)) {
      return GivensFault{"Rotation of " + measurement_text(measurement) + " at pivot " +
                         std::to_string(i + 1) + " has no finite factor"};
    }
    a[i] = 0.0;

    // Columns right of the pivot where the row or row i of F may be
    // non-zero; elsewhere both are zero and stay zero.
    int row_first = std::max(row.first, i + 1);
    int row_last = row.last;
    if (row_first > row_last) {
      row_first = order;
      row_last = -1;
    }
    const int lo = std::min(row_first, factor.first[i]);
    const int hi = std::max(row_last, factor.last[i]);

    std::span<double> fi = factor.f.row(i);
    const bool row_ends = std::fabs(wnew) < epslgiv || i == order - 1;
    if (row_ends) {
      // The rest of the row is dropped: only F takes the rotation.
      for (int k = lo; k <= hi; ++k) fi[k] = fi[k] * cbar + a[k] * sbar;
    } else {
      for (int k = lo; k <= hi; ++k) {
        const double a_old = a[k];
        const double f_old = fi[k];
        a[k] = a_old - f_old * xi;
        fi[k] = f_old * cbar + a_old * sbar;
      }
    }
    factor.d[i] = dnew;
    if (lo <= hi) {
      factor.first[i] = lo;
      factor.last[i] = hi;
    }
    if (row_ends) return std::nullopt;

    w = wnew;
    row.first = lo;
    row.last = hi;
    if (row.first > i + 1) i = row.first - 1;  // entries in between are zero
  }
  return std::nullopt;
}

std::optional<GivensFault> givfac(const Matrix& a, std::span<const double> w, int iprint, double epslgiv,
                                  double& ssr, GivensObserver& observer, GivensFactor& out) {
  const int m = a.rows();
  const int n = a.cols();
  const int order = n + m;
  WorkingFactor factor(order);
  RowBuffer row;
  row.a.assign(order, 0.0);

  for (int j = 0; j < n; ++j) {
    if (std::fabs(w[j]) < epslgiv) continue;  // negligible weight: row left out

    // The augmented row: column j of A, then row j of the identity.
    std::fill(row.a.begin(), row.a.end(), 0.0);
    for (int i = 0; i < m; ++i) row.a[i] = a(i, j);
    row.a[m + j] = 1.0;
    row.first = first_nonzero(std::span<const double>(row.a).first(m), m + j);
    row.last = m + j;

    double carried = w[j];
    if (auto fault = givrot(factor, carried, row, epslgiv, j + 1)) return fault;
    ssr = factor.d[m];
    if (iprint > 2) observer.rotation(j + 1, factor.f, ssr);
  }

  out.u = Matrix(m, m);
  out.t1 = Matrix(m, n);
  for (int i = 0; i < m; ++i) {
    std::span<const double> fi = factor.f.row(i);
    std::copy(fi.begin(), fi.begin() + m, out.u.row(i).begin());
    std::copy(fi.begin() + m, fi.end(), out.t1.row(i).begin());
  }
  out.d = std::move(factor.d);
  return std::nullopt;
}

void utsolve(const Matrix& u, std::span<const double> b, std::span<double> y) {
  const int m = u.rows();
  y[0] = b[0];
  for (int i = 1; i < m; ++i) {
    double s = b[i];
    for (int k = 0; k < i; ++k) s = s - u(k, i) * y[k];
    y[i] = s;
  }
}

void usolve(const Matrix& u, std::span<const double> b, std::span<double> y) {
  const int m = u.rows();
  y[m - 1] = b[m - 1];
  for (int i = m - 2; i >= 0; --i) {
    double s = b[i];
    for (int k = m - 1; k > i; --k) s = s - u(i, k) * y[k];
    y[i] = s;
  }
}

namespace {

std::optional<GivensFault> check_operands(const GivwlsInputs& in) {
  if (in.a.rows() < 1 || in.a.cols() < 1) {
    return GivensFault{"Least squares needs at least one measurement and one state"};
  }
  if (!(in.epslgiv > 0.0)) return GivensFault{"Tolerance epslgiv is not positive"};
  for (int j = 0; j < in.a.cols(); ++j) {
    if (in.w[j] == 0.0 || !std::isfinite(in.w[j])) {
      return GivensFault{"Measurement weight W(" + std::to_string(j + 1) + ") is zero or not finite"};
    }
    if (in.x[j] == 0.0 || !std::isfinite(in.x[j])) {
      return GivensFault{"Divisor x(" + std::to_string(j + 1) + ") is zero or not finite"};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<GivensFault> givwls(const GivwlsInputs& in, double& ssr, GivensObserver& observer,
                                  std::span<double> dy, std::vector<double>& d) {
  if (auto fault = check_operands(in)) return fault;
  const int m = in.a.rows();
  const int n = in.a.cols();

  if (in.iprint == 2) observer.observations(n, m, in.dims, in.a, in.w);
  GivensFactor factor;
  if (auto fault = givfac(in.a, in.w, in.iprint, in.epslgiv, ssr, observer, factor)) return fault;
  if (in.iprint == 2) {
    observer.factor(factor.u, std::span<const double>(factor.d).first(m), ssr, factor.t1);
  }

  std::vector<double> y(m), p(n), q(n), r(m);
  utsolve(factor.u, in.t, y);
  for (int j = 0; j < n; ++j) {
    double pj = 0.0;
    for (int k = 0; k < m; ++k) pj = pj + (factor.t1(k, j) / in.w[j]) * y[k];
    p[j] = pj;
  }
  for (int j = 0; j < n; ++j) q[j] = (p[j] + in.u[j]) - in.v[j] / in.x[j];
  for (int k = 0; k < m; ++k) {
    std::span<const double> t1k = factor.t1.row(k);
    double rk = 0.0;
    for (int j = 0; j < n; ++j) rk = rk + t1k[j] * q[j];
    r[k] = rk;
  }
  usolve(factor.u, r, dy);
  d = std::move(factor.d);
  return std::nullopt;
}

}  // namespace talven
