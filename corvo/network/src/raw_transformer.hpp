// The arithmetic that puts a RAW transformer's reactances and winding
// ratios on the system base, as MATPOWER's psse2mpc does, so that a RAW
// file and its MATPOWER conversion give one network. Plain inputs; a value
// that cannot be converted throws ConversionError naming the field.
//
// Impedance data code CZ: 1 = R, X in pu on the system base; 2 = R, X in
// pu on the winding's base (SBASEi-j MVA, NOMVi kV); 3 = the load loss in
// W and |Z| in pu on that winding base. Winding data code CW: 1 = WINDV in
// pu of the bus base voltage; 2 = WINDV in kV; 3 = WINDV in pu of NOMV.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace corvo::network::raw {

class ConversionError : public std::runtime_error {
 public:
  ConversionError(std::string field, const std::string& what) : std::runtime_error(what), field(std::move(field)) {}
  std::string field;  // e.g. "SBASE1-2"
};

// One winding: its ratio and nominal voltage as written, and its bus.
struct Winding {
  int number = 1;         // 1, 2 or 3, for the field names
  double windv = 1.0;     // WINDVn
  double nomv = 0.0;      // NOMVn; 0 means the bus base voltage
  std::int64_t bus = 0;   // the winding's bus number
  double bus_kv = 0.0;    // that bus's BASKV
};

// The impedance between winding i and winding j as written.
struct PairImpedance {
  std::string name;     // "1-2", "2-3" or "3-1", for the field names
  double r = 0.0;       // Ri-j (CZ = 3: the load loss in W)
  double x = 0.0;       // Xi-j (CZ = 3: |Z|)
  double sbase = 0.0;   // SBASEi-j, MVA
};

// The reactance of a winding pair on the system base, taking the voltage
// base of winding i (the first of the pair) for CZ = 2 and 3.
double pair_reactance(int cz, const PairImpedance& z, const Winding& winding_i, double base_mva);

// The off-nominal ratio of a two-winding transformer, WINDV1/WINDV2 made
// relative to the bus base voltages.
double two_winding_tap(int cw, const Winding& w1, const Winding& w2);

// The ratio of one winding of a three-winding transformer to its star
// bus, in pu of its bus base voltage.
double star_winding_tap(int cw, const Winding& w);

// The reactances of the three star branches from the pair reactances.
struct StarReactances {
  double x1 = 0.0;
  double x2 = 0.0;
  double x3 = 0.0;
};
StarReactances star_reactances(double x12, double x23, double x31);

}  // namespace corvo::network::raw
