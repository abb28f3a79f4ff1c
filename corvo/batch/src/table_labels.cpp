#include "corvo/batch/element_refs.hpp"
#include "corvo/batch/result_tables.hpp"

namespace corvo::batch {

TableLabels table_labels(const network::Network& net) {
  TableLabels labels;
  labels.textual = net.format == network::SourceFormat::psse_raw;
  for (const network::Bus& b : net.buses) labels.bus_numbers.push_back(b.number);
  for (std::size_t k = 0; k < net.generators.size(); ++k) {
    labels.generator_rows.push_back(net.generators[k].source.row);
    if (labels.textual) labels.generator_refs.push_back(generator_ref(net, static_cast<std::int32_t>(k)));
  }
  for (std::size_t l = 0; l < net.branches.size(); ++l) {
    labels.branch_rows.push_back(net.branches[l].source.row);
    if (labels.textual) labels.branch_refs.push_back(branch_ref(net, static_cast<std::int32_t>(l)));
  }
  return labels;
}

const char* verdict_name(bool optimal) { return optimal ? "optimal" : "not optimal"; }

}  // namespace corvo::batch
