#include "raw_transformer.hpp"

#include <cmath>
#include <sstream>

namespace corvo::network::raw {
namespace {

std::string show(double value) {
  std::ostringstream out;
  out.precision(12);
  out << value;
  return out.str();
}

std::string winding_field(const char* name, const Winding& w) { return name + std::to_string(w.number); }

// The winding ratio in pu must be positive: a zero or negative ratio has
// no physical meaning, and MATPOWER would silently read a zero tap as 1.
void check_ratio(const Winding& w) {
  if (!(w.windv > 0.0))
    throw ConversionError(winding_field("WINDV", w), "the winding ratio must be positive (it is " + show(w.windv) + ")");
}

// The bus base voltage is needed to relate kV to per unit.
void check_bus_kv(int cw, const Winding& w) {
  if (!(w.bus_kv > 0.0))
    throw ConversionError(winding_field("WINDV", w), "CW = " + std::to_string(cw) + " needs the base voltage of bus " +
                                                         std::to_string(w.bus) + ", whose BASKV is " + show(w.bus_kv));
}

}  // namespace

double pair_reactance(int cz, const PairImpedance& z, const Winding& winding_i, double base_mva) {
  double r = z.r;
  double x = z.x;
  if (cz == 1) return x;
  if (!(z.sbase > 0.0))
    throw ConversionError("SBASE" + z.name,
                          "CZ = " + std::to_string(cz) + " needs a positive winding base (it is " + show(z.sbase) + " MVA)");
  if (cz == 3) {
    // The load loss in W gives R in pu of the winding base; |Z| and R give X.
    r = 1e-6 * r / z.sbase;
    if (x * x < r * r)
      throw ConversionError("X" + z.name, "|Z| = " + show(x) + " pu is below the resistance " + show(r) +
                                              " pu that the load loss R" + z.name + " gives");
    x = std::sqrt(x * x - r * r);
  }
  if (!(winding_i.bus_kv > 0.0)) {
    // With no bus base voltage the winding base can only be the bus base
    // itself (NOMV = 0): then only the MVA base changes.
    if (winding_i.nomv == 0.0) return x * base_mva / z.sbase;
    throw ConversionError(winding_field("NOMV", winding_i),
                          "CZ = " + std::to_string(cz) + " with NOMV" + std::to_string(winding_i.number) + " = " +
                              show(winding_i.nomv) + " kV needs the base voltage of bus " +
                              std::to_string(winding_i.bus) + ", whose BASKV is 0");
  }
  const double nomv = winding_i.nomv == 0.0 ? winding_i.bus_kv : winding_i.nomv;
  const double winding_base = nomv * nomv / z.sbase;                                // ohms
  const double system_base = winding_i.bus_kv * winding_i.bus_kv / base_mva;        // ohms
  return x * winding_base / system_base;
}

double two_winding_tap(int cw, const Winding& w1, const Winding& w2) {
  check_ratio(w1);
  check_ratio(w2);
  double tap = w1.windv / w2.windv;
  if (cw == 1) return tap;
  if (cw == 3 && w1.nomv == 0.0 && w2.nomv == 0.0 && !(w1.bus_kv > 0.0 && w2.bus_kv > 0.0))
    return tap;  // both windings rated at their bus voltages: the ratios are already per unit
  check_bus_kv(cw, w1);
  check_bus_kv(cw, w2);
  tap = tap * w2.bus_kv / w1.bus_kv;
  if (cw == 3) {
    const double nomv1 = w1.nomv == 0.0 ? w1.bus_kv : w1.nomv;
    const double nomv2 = w2.nomv == 0.0 ? w2.bus_kv : w2.nomv;
    tap = tap * nomv1 / nomv2;
  }
  return tap;
}

double star_winding_tap(int cw, const Winding& w) {
  check_ratio(w);
  if (cw == 1) return w.windv;
  if (cw == 3 && w.nomv == 0.0 && !(w.bus_kv > 0.0)) return w.windv;
  check_bus_kv(cw, w);
  double tap = w.windv / w.bus_kv;
  if (cw == 3) tap = tap * (w.nomv == 0.0 ? w.bus_kv : w.nomv);
  return tap;
}

StarReactances star_reactances(double x12, double x23, double x31) {
  return {(x12 + x31 - x23) / 2, (x12 + x23 - x31) / 2, (x31 + x23 - x12) / 2};
}

}  // namespace corvo::network::raw
