// One electric network as its owner describes it, for the DC dispatch:
// buses under their own numbers, any number of generators per bus, each
// with its own limits and cost, branches with tap ratios, phase shifts and
// angle-difference limits, and where every element came from.
//
// The readers of our case file, of MATPOWER case files and of PSS/E RAW
// files fill it; the DC model (dc_model.hpp) turns it into the program the
// robust method solves, and the import writer turns it into our case file.
// Values are in the source's engineering units (MW, $/h, degrees, per unit
// reactances on the system base); nothing here is in per unit of power.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvo::network {

// A network that cannot be read or that the dispatch cannot take; the
// message names the file and the element (in the source's own terms) and
// what is wrong.
class NetworkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr double kUnlimited = std::numeric_limits<double>::infinity();

enum class SourceFormat { case_file, matpower, psse_raw };

// Where an element came from, so that results name it in the source's own
// terms. `row` is 1-based: the row of mpc.gen / mpc.branch, the position of
// the record in its RAW section, or the generator / line number of our case
// file. `id` is the RAW machine id or circuit; empty for the other formats.
struct SourceRef {
  std::int64_t row = 0;
  std::string id;
};

struct Bus {
  std::int64_t number = 0;  // the source's bus number
  std::string name;         // may be empty
  double load_mw = 0.0;     // constant active power load (MATPOWER Pd)
  double shunt_mw = 0.0;    // active power drawn by the shunt conductance at 1 pu voltage (Gs)
  double angle_deg = 0.0;   // the angle a reference bus keeps (MATPOWER Va)
  bool reference = false;
  bool in_service = true;   // false: isolated by its source (MATPOWER bus type 4)
  // Our case file's bus type (0 load, 1 generation, 2 reference, 3
  // negative generation), kept so that a case file's results read as before.
  std::int32_t case_type = 0;
};

struct CostCurve {
  enum class Model { polynomial, piecewise_linear };
  Model model = Model::polynomial;
  // Polynomial: c2·P² + c1·P + c0 in $/h with P in MW (convex: c2 >= 0).
  double c2 = 0.0;
  double c1 = 0.0;
  double c0 = 0.0;
  // Piecewise linear: breakpoints (P in MW, cost in $/h), P increasing,
  // slopes non-decreasing. Outside the first and last breakpoint the end
  // segments continue (as MATPOWER's epigraph constraints do).
  struct Point {
    double mw = 0.0;
    double cost = 0.0;
  };
  std::vector<Point> points;
};

struct Generator {
  std::int32_t bus = 0;  // index into Network::buses
  double pmin_mw = 0.0;  // may be negative
  double pmax_mw = 0.0;
  CostCurve cost;
  bool in_service = true;
  // A case file's negative generation bus (type 3): a consumer between its
  // limits. Its output here is the negated withdrawal (limits -upper ..
  // -lower, cost c1·P + c2·P² with the case's linear cost); results show
  // the withdrawal, as the case file states it.
  bool withdraws = false;
  SourceRef source;
};

struct Branch {
  std::int32_t from = 0;  // indexes into Network::buses
  std::int32_t to = 0;
  double x_pu = 0.0;       // series reactance on the system base; 0: a bus tie
  double tap = 1.0;        // off-nominal turns ratio at the from end (1 when the source says 0)
  double shift_deg = 0.0;  // phase shift: flow = (θf − θt − shift) / (x·tap)
  // Limits of the flow entering at the from bus, MW; ±kUnlimited for none.
  double flow_min_mw = -kUnlimited;
  double flow_max_mw = kUnlimited;
  // Limits of θf − θt (shift not included), degrees; ±kUnlimited for none.
  double angle_min_deg = -kUnlimited;
  double angle_max_deg = kUnlimited;
  bool in_service = true;
  SourceRef source;
};

struct Network {
  std::string name;    // the file name without its extension
  std::string source;  // the file it was read from, for messages
  std::string title;
  SourceFormat format = SourceFormat::case_file;
  double base_mva = 100.0;
  std::vector<Bus> buses;
  std::vector<Generator> generators;
  std::vector<Branch> branches;
  // One sentence per thing the reader skipped or mapped, for the user.
  std::vector<std::string> notes;
};

}  // namespace corvo::network
