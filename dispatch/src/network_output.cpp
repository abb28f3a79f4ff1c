#include "dispatch/network_output.hpp"

#include "dispatch/orsa.hpp"

namespace dispatch {

using records::Records;

void write_generator_records(Records& io, const CaseData& data) {
  io.write(kFlowUnit, "(16I5)", data.ngen, data.nref);
  io.write(kFlowUnit, "(6D13.4)", data.gen_upper);
  io.write(kFlowUnit, "(6D13.4)", data.gen_lower);
  io.write(kFlowUnit, "(6D13.4)", data.constant_cost);
  io.write(kFlowUnit, "(6D13.4)", data.linear_cost);
  io.write(kFlowUnit, "(6D13.4)", data.quadratic_cost);
  std::vector<double> load_mw;
  load_mw.reserve(data.load.size());
  for (double v : data.load) load_mw.push_back(v * data.sb);
  io.write(kFlowUnit, "(6D13.4)", load_mw);
}

void write_lists_listing(Records& io, const NetworkLists& lists, int print_flag) {
  if (print_flag == 0) return;
  io.write(kListingUnit, "(/,1X,'network adjacency and incidence lists')");
  io.write(kListingUnit, "(/,1X,'xadjcy = ',15I4)", lists.xadjcy);
  io.write(kListingUnit, "(/,1X,'adjcy = ',15I4)", lists.adjcy);
  io.write(kListingUnit, "(/,1X,'xincd = ',15I4)", lists.xincd);
  io.write(kListingUnit, "(/,1X,'incd = ',15I4)", lists.incd);
}

void write_list_records(Records& io, const CaseData& data, const NetworkLists& lists) {
  io.write(kFlowUnit, "(16I5)", data.n + 1, lists.nadj(), lists.xadjcy.back(), lists.ninc());
  io.write(kFlowUnit, "(16I5)", data.se);
  io.write(kFlowUnit, "(16I5)", data.re);
  io.write(kFlowUnit, "(16I5)", lists.xadjcy);
  io.write(kFlowUnit, "(16I5)", lists.adjcy);
  io.write(kFlowUnit, "(16I5)", lists.xincd);
  io.write(kFlowUnit, "(16I5)", lists.incd);
}

void write_bmat(Records& io, std::span<const double> bmat) {
  io.write(kListingUnit, "(/,/,' Entries of matrix Bmat',/,/)");
  io.write(kListingUnit, "(6D13.4)", bmat);
}

void write_f_matrix(Records& io, const std::vector<SparseRow>& f_matrix, std::int32_t n) {
  io.write(kListingUnit, "(/,/,' F Matrix',/,/)");
  const auto columns = static_cast<std::size_t>(n - 1);
  for (const SparseRow& row : f_matrix) {
    const std::vector<double> values = row.dense(columns);
    io.write(kFlowUnit, "(6D13.4)", values);
    io.write(kListingUnit, "(6D13.4)", values);
  }
}

}  // namespace dispatch
