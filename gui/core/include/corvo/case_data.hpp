// The study case held by the editor's main form until it is saved.
//
// Arrays are stored in order: entry 0 belongs to line 1 or bus 1.
#pragma once

#include <cstdint>
#include <vector>

namespace corvo {

// The thirteen algorithm parameters of the case file.
struct AlgorithmParameters {
  std::int32_t nbmax = 0;
  std::int32_t nlmax = 0;
  std::int32_t ndc = 0;
  std::int32_t ndp = 0;
  std::int32_t maxit = 0;
  std::int32_t iprint = 0;
  double epsln = 0.0;
  double epslgiv = 0.0;
  double epslnp = 0.0;
  double epslim = 0.0;
  double rho = 0.0;
  double bigm = 0.0;
  double sigma = 0.0;
};

struct CaseData {
  std::int32_t n = 0;   // number of buses
  std::int32_t nl = 0;  // number of lines
  double Sb = 0.0;      // base power, MVA

  // Lines, nl entries each.
  std::vector<std::int32_t> se;    // sending bus
  std::vector<std::int32_t> re;    // receiving bus
  std::vector<double> x;           // series reactance, per unit
  std::vector<double> line_upper;  // upper flow limit, MW
  std::vector<double> line_lower;  // lower flow limit, MW

  // Buses, n entries each.
  std::vector<std::int32_t> bus_type;  // 0 load, 1 generation, 2 reference, 3 negative generation
  std::vector<double> load;            // MW
  std::vector<double> constant_cost;   // $/h
  std::vector<double> linear_cost;     // $/MWh
  std::vector<double> quadratic_cost;  // $/MW2h
  std::vector<double> gen_upper;       // MW
  std::vector<double> gen_lower;       // MW

  AlgorithmParameters parameters;
  // Set by the parameter form's OK: `parameters` then hold the user's values.
  bool parameters_confirmed = false;
};

// Stores `nl` and gives every line array `nl` entries. Entries of lines that
// existed before keep their values; new entries are zero, so the arrays
// never hold an undefined value. `nl` must not be negative.
void set_line_count(CaseData& case_data, std::int32_t nl);

// The same for `n` and the bus arrays.
void set_bus_count(CaseData& case_data, std::int32_t n);

}  // namespace corvo
