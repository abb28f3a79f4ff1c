// The run order of the dispatch model builder. The case file is read in
// stretches between the computing phases, and each phase writes its share
// of the listing and the two output files as it goes.
#include <string>

#include "dispatch/case_reader.hpp"
#include "dispatch/dialogue.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/network_matrices.hpp"
#include "dispatch/network_output.hpp"
#include "dispatch/orsa.hpp"
#include "dispatch/per_unit.hpp"
#include "dispatch/problem_writer.hpp"

namespace dispatch {
namespace {

using records::Records;
using records::Status;

std::string in_dir(const std::filesystem::path& dir, const std::string& name) {
  return (dir / name).string();
}

void open_files(Records& io, const CaseNames& names, const std::filesystem::path& dir) {
  io.open(kCaseUnit, in_dir(dir, names.case_file), Status::Old);
  io.open(kListingUnit, in_dir(dir, names.listing), Status::Unknown);
  io.open(kProblemUnit, in_dir(dir, "orsa.ip"), Status::Unknown);
  io.open(kFlowUnit, in_dir(dir, "orsa.flw"), Status::Unknown);
}

void stop_on_zero_reactance(Records& io, const CaseData& data) {
  if (const std::int32_t l = first_zero_reactance(data.x)) {
    const auto at = static_cast<std::size_t>(l) - 1;
    io.write(kListingUnit,
             "(/,/,' *** Error - Reactance of line ',I2,' - ',I2,' is equal to zero ***',/,/)",
             data.se[at], data.re[at]);
    io.stop();
  }
}

void stop_on_isolated_bus(Records& io, const NetworkLists& lists, std::int32_t n) {
  if (first_isolated_bus(lists, n) != 0) {
    io.write(kListingUnit, "(/,/,' ** Error in Adjacency list **',/,/)");
    io.stop();
  }
}

}  // namespace

void run_orsa(Records& io, const std::filesystem::path& dir) {
  const CaseNames names = ask_for_case(io, dir);
  open_files(io, names, dir);
  io.write(kFlowUnit, "(a14)", names.out_name);

  CaseData data;
  read_title(io, data);
  read_sizes(io, data);
  read_lines(io, data);
  read_bus_types(io, data);
  read_buses(io, data);

  write_generator_records(io, data);
  convert_generators_to_per_unit(data);

  // The lists are built before the print level is read, so they never
  // reach the listing in this run.
  const NetworkLists lists = build_network_lists(data.n, data.se, data.re);
  write_lists_listing(io, lists, 0);
  write_list_records(io, data, lists);

  stop_on_zero_reactance(io, data);
  stop_on_isolated_bus(io, lists, data.n);
  const std::vector<double> bmat = build_bmat(lists, data.x);
  write_bmat(io, bmat);

  const DispatchQp qp = build_dispatch_qp(data, lists, bmat);
  const std::vector<SparseRow> f_matrix = build_f_matrix(data.nref, data.se, data.re, data.x);

  AlgorithmParameters& p = data.parameters;
  read_dimensions(io, p);
  read_tolerances(io, p);
  write_problem(io, names.case_name, data.title, qp, p);
  read_step_parameters(io, p);
  write_problem_parameters(io, p);

  write_f_matrix(io, f_matrix, data.n);
  io.write(kFlowUnit, "(6D13.4)", p.epslim);
  io.stop();
}

}  // namespace dispatch
