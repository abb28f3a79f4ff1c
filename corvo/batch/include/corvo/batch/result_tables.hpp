// The tables of a batch, in long form, one row per scenario and element:
//   summary     scenario, status, verdict, cost, cost_with_constant,
//               iterations, seconds, reason
//   buses       scenario, bus, lmp, energy, congestion
//   generators  scenario, generator, output_mw, at_limit
//   lines       scenario, line, flow_mw, loading_percent, binding, shadow_price
//   relaxation  scenario, element, what, amount, unit (infeasible scenarios)
// Elements are named as the scenario file names them (element_refs.hpp).
// Results arrive in the scenarios' order; the files take their place only
// when every table is complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "corvo/batch/scenario_result.hpp"
#include "corvo/network/network.hpp"

namespace corvo::batch {

// The names of the network's elements in the tables.
struct TableLabels {
  bool textual = false;  // RAW: generators and lines named by text
  std::vector<std::int64_t> bus_numbers;
  std::vector<std::int64_t> generator_rows;  // when not textual
  std::vector<std::int64_t> branch_rows;
  std::vector<std::string> generator_refs;   // when textual
  std::vector<std::string> branch_refs;
};

TableLabels table_labels(const network::Network& net);

// "optimal" or "not optimal".
const char* verdict_name(bool optimal);

class ResultTables {
 public:
  virtual ~ResultTables() = default;
  virtual void add(const ScenarioResult& result) = 0;
  // Completes every table and puts the files in place. Throws
  // app::InputError when a file cannot be written.
  virtual void finish() = 0;
};

// The CSV files summary.csv, buses.csv, generators.csv, lines.csv and
// relaxation.csv in `folder` (created if missing): a header row, records
// ending CR LF, numbers as the shortest plain text that reads back
// exactly, an empty field for a value that is not finite.
std::unique_ptr<ResultTables> csv_tables(const std::filesystem::path& folder, TableLabels labels);
std::vector<std::string> csv_file_names();

// One HDF5 file: a group per table, a 1-D dataset per column (see the
// README's layout).
std::unique_ptr<ResultTables> hdf5_tables(const std::filesystem::path& file, TableLabels labels,
                                          std::size_t scenario_count);

}  // namespace corvo::batch
