#include "dispatch/network_lists.hpp"
#include "dispatch/network_matrices.hpp"
#include "robust/solver.hpp"

namespace corvo::robust {

dispatch::DispatchQp build_program(const dispatch::CaseData& data) {
  const dispatch::NetworkLists lists = dispatch::build_network_lists(data.n, data.se, data.re);
  const std::vector<double> bmat = dispatch::build_bmat(lists, data.x);
  return dispatch::build_dispatch_qp(data, lists, bmat);
}

}  // namespace corvo::robust
