// Writers of the network model: the records of the flow data file
// (unit 8) and of the listing (unit 9) that carry the generator data, the
// lists, Bmat and the F Matrix.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "dispatch/case_data.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/sparse_row.hpp"
#include "records/records.hpp"

namespace dispatch {

// Flow data file: ngen and nref, the generator data in MW and $ and the
// loads in MW (per-unit load times Sb). Called while the generator data
// are still in MW and the loads already per unit.
void write_generator_records(records::Records& io, const CaseData& data);

// The lists in the listing, when print_flag is not zero.
void write_lists_listing(records::Records& io, const NetworkLists& lists, int print_flag);

// Flow data file: the seven list records.
void write_list_records(records::Records& io, const CaseData& data, const NetworkLists& lists);

// Listing: Bmat in adjacency order.
void write_bmat(records::Records& io, std::span<const double> bmat);

// Flow data file and listing: the F Matrix, row by row over the n-1
// angle columns.
void write_f_matrix(records::Records& io, const std::vector<SparseRow>& f_matrix, std::int32_t n);

}  // namespace dispatch
