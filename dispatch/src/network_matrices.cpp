#include "dispatch/network_matrices.hpp"

namespace dispatch {

std::int32_t first_zero_reactance(std::span<const double> x) {
  for (std::size_t l = 0; l < x.size(); ++l) {
    if (x[l] == 0.0) return static_cast<std::int32_t>(l) + 1;
  }
  return 0;
}

std::vector<double> build_bmat(const NetworkLists& lists, std::span<const double> x) {
  std::vector<double> bmat(lists.adjcy.size(), 0.0);
  const auto n = static_cast<std::int32_t>(lists.xadjcy.size()) - 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t d = lists.xadjcy_at(i);
    for (std::int32_t k = d + 1; k <= lists.xadjcy_at(i + 1) - 1; ++k) {
      for (std::int32_t p = lists.xincd_at(k); p <= lists.xincd_at(k + 1) - 1; ++p) {
        const std::int32_t l = lists.incd_at(p);
        const double y = 1.0 / x[static_cast<std::size_t>(l) - 1];
        double& off_diagonal = bmat[static_cast<std::size_t>(k) - 1];
        double& diagonal = bmat[static_cast<std::size_t>(d) - 1];
        off_diagonal = off_diagonal - y;
        diagonal = diagonal + y;
      }
    }
  }
  return bmat;
}

std::int32_t angle_column(std::int32_t bus, std::int32_t nref) {
  if (bus < nref) return bus;
  if (bus > nref) return bus - 1;
  return 0;
}

std::vector<SparseRow> build_f_matrix(std::int32_t nref, std::span<const std::int32_t> se,
                                      std::span<const std::int32_t> re, std::span<const double> x) {
  std::vector<SparseRow> rows(x.size());
  for (std::size_t l = 0; l < x.size(); ++l) {
    const double y = 1.0 / x[l];
    if (const std::int32_t c = angle_column(se[l], nref)) rows[l].assign(c, y);
    if (const std::int32_t c = angle_column(re[l], nref)) rows[l].assign(c, -y);
  }
  return rows;
}

}  // namespace dispatch
