// The data of one study case as the dispatch builder holds it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dispatch {

// Bus types of the case file.
enum BusType : std::int32_t {
  kLoadBus = 0,
  kGenerationBus = 1,
  kReferenceBus = 2,
  kNegativeGenerationBus = 3,
};

// Algorithm parameters carried by the case file. The capacity values
// nbmax and nlmax are only echoed; ndc and ndp go to the problem file.
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

// Vectors indexed by line hold entry l-1 for line l, by bus entry i-1 for
// bus i, by generator entry k-1 for generator k. Generators are numbered in
// bus order over the buses of types 1, 2 and 3.
//
// Units: reactances per unit; line and generator limits and loads per unit
// (divided by Sb), linear costs multiplied by Sb, quadratic costs by Sb
// squared, once the reader has converted them. The constant cost stays in
// $/h.
struct CaseData {
  std::string title;  // 80 characters
  std::int32_t n = 0;
  std::int32_t nl = 0;
  double sb = 0.0;

  std::vector<std::int32_t> se;
  std::vector<std::int32_t> re;
  std::vector<double> x;
  std::vector<double> line_upper;
  std::vector<double> line_lower;

  std::vector<std::int32_t> bus_type;
  std::vector<double> load;
  std::vector<std::int32_t> bus_generator;  // generator number of a bus, 0 for a load bus

  std::vector<double> constant_cost;
  std::vector<double> linear_cost;  // negated for a negative generation bus
  std::vector<double> quadratic_cost;
  std::vector<double> gen_upper;
  std::vector<double> gen_lower;

  std::int32_t nref = 0;  // the last bus of type 2
  std::int32_t ngen = 0;

  AlgorithmParameters parameters;
};

// Replaces tolerances that are exactly zero by their defaults, in this
// order: epsln 1.0E-8, epslim 1.0E-10, epslnp 1.0E-6, epslgiv 1.0E-35.
void apply_tolerance_defaults(AlgorithmParameters& p);

}  // namespace dispatch
