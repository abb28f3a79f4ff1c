#include "dispatch/dispatch_qp.hpp"

#include <cstddef>

#include "dispatch/network_matrices.hpp"
#include <vector>

namespace dispatch {
namespace {

std::size_t at(std::int32_t one_based) { return static_cast<std::size_t>(one_based) - 1; }

// Generation minus load at bus i equals row i of Bmat times the angles.
void add_power_balance_rows(const CaseData& data, const NetworkLists& lists,
                            std::span<const double> bmat, const QpColumns& cols, DispatchQp& qp) {
  for (std::int32_t i = 1; i <= data.n; ++i) {
    SparseRow row;
    for (std::int32_t k = lists.xadjcy_at(i); k <= lists.xadjcy_at(i + 1) - 1; ++k) {
      if (const std::int32_t c = angle_column(lists.adjcy_at(k), data.nref)) {
        row.gather(c, -bmat[at(k)]);
      }
    }
    const std::int32_t type = data.bus_type[at(i)];
    const std::int32_t g = data.bus_generator[at(i)];
    if (type == kGenerationBus || type == kReferenceBus) {
      row.assign(cols.generator(g), 1.0);
    } else if (type == kNegativeGenerationBus) {
      row.assign(cols.generator(g), -1.0);
    }
    qp.rows.push_back(row);
    qp.b.push_back(data.load[at(i)]);
  }
}

// Output plus slack equals the upper limit (rows n+1..n+ngen); output
// minus surplus equals the lower limit (rows n+ngen+1..n+2*ngen).
void add_generator_rows(const CaseData& data, const QpColumns& cols, DispatchQp& qp) {
  for (std::int32_t k = 1; k <= data.ngen; ++k) {
    SparseRow upper;
    upper.assign(cols.generator(k), -1.0);
    upper.assign(cols.gen_upper_slack(k), -1.0);
    qp.rows.push_back(upper);
    qp.b.push_back(-data.gen_upper[at(k)]);
  }
  for (std::int32_t k = 1; k <= data.ngen; ++k) {
    SparseRow lower;
    lower.assign(cols.generator(k), 1.0);
    lower.assign(cols.gen_lower_surplus(k), -1.0);
    qp.rows.push_back(lower);
    qp.b.push_back(data.gen_lower[at(k)]);
  }
}

// The flow y*(angle of se - angle of re) plus slack equals the upper
// limit (rows n+2*ngen+1..n+2*ngen+nl); minus surplus equals the lower
// limit (the next nl rows).
void add_line_rows(const CaseData& data, const QpColumns& cols, DispatchQp& qp) {
  for (std::int32_t l = 1; l <= data.nl; ++l) {
    const double y = 1.0 / data.x[at(l)];
    const std::int32_t from = angle_column(data.se[at(l)], data.nref);
    const std::int32_t to = angle_column(data.re[at(l)], data.nref);
    SparseRow upper;
    if (from) upper.gather(from, -y);
    if (to) upper.gather(to, y);
    upper.assign(cols.line_upper_slack(l), -1.0);
    qp.rows.push_back(upper);
    qp.b.push_back(-data.line_upper[at(l)]);
  }
  for (std::int32_t l = 1; l <= data.nl; ++l) {
    const double y = 1.0 / data.x[at(l)];
    const std::int32_t from = angle_column(data.se[at(l)], data.nref);
    const std::int32_t to = angle_column(data.re[at(l)], data.nref);
    SparseRow lower;
    if (from) lower.gather(from, y);
    if (to) lower.gather(to, -y);
    lower.assign(cols.line_lower_surplus(l), -1.0);
    qp.rows.push_back(lower);
    qp.b.push_back(data.line_lower[at(l)]);
  }
}

void set_costs_and_start(const CaseData& data, const QpColumns& cols, DispatchQp& qp) {
  const auto nvar = static_cast<std::size_t>(qp.nvar);
  qp.c.assign(nvar, 0.0);
  qp.q.assign(nvar, 0.0);
  qp.x0.assign(nvar, 0.0);
  qp.flags.assign(nvar, 0);
  for (std::int32_t k = 1; k <= data.ngen; ++k) {
    const std::size_t j = at(cols.generator(k));
    qp.c[j] = data.linear_cost[at(k)];
    qp.q[j] = data.quadratic_cost[at(k)];
    qp.x0[j] = (data.gen_lower[at(k)] + data.gen_upper[at(k)]) / 2.0;
  }
  for (std::int32_t j = 1; j <= data.n - 1; ++j) {
    qp.flags[at(j)] = j;
    qp.lb.push_back(kAngleLowerBound);
  }
}

}  // namespace

DispatchQp build_dispatch_qp(const CaseData& data, const NetworkLists& lists,
                             std::span<const double> bmat) {
  const QpColumns cols{data.n, data.ngen, data.nl};
  DispatchQp qp;
  qp.m = QpRows{data.n, data.ngen, data.nl}.count();
  qp.nvar = cols.count();
  qp.rows.reserve(static_cast<std::size_t>(qp.m));
  add_power_balance_rows(data, lists, bmat, cols, qp);
  add_generator_rows(data, cols, qp);
  add_line_rows(data, cols, qp);
  set_costs_and_start(data, cols, qp);
  return qp;
}

DispatchQp build_dispatch_qp(const CaseData& data) {
  const NetworkLists lists = build_network_lists(data.n, data.se, data.re);
  const std::vector<double> bmat = build_bmat(lists, data.x);
  return build_dispatch_qp(data, lists, bmat);
}

}  // namespace dispatch
