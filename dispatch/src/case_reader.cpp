#include "dispatch/case_reader.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "dispatch/orsa.hpp"
#include "dispatch/per_unit.hpp"

namespace dispatch {
namespace {

using records::Records;

std::string text(std::int32_t v) { return std::to_string(v); }

const char* type_label(std::int32_t type) {
  switch (type) {
    case kLoadBus:
      return "LD";
    case kGenerationBus:
      return "G ";
    case kReferenceBus:
      return "RF";
    default:
      return "NG";
  }
}

void check_line_bus(Records& io, const CaseData& data, std::int32_t l, const char* end,
                    std::int32_t bus) {
  if (bus < 1 || bus > data.n) {
    stop_with_case_error(io, "Line " + text(l) + ": bus " + end + " = " + text(bus) +
                                 " is not within 1 to " + text(data.n));
  }
}

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// A reactance so small that its susceptance 1/x overflows (a denormal
// such as 1.0D-320) would put Infinity into Bmat and the problem file.
// Zero is left to the zero-reactance check of the network stage.
void check_reactance(Records& io, std::int32_t l, double x) {
  if (x != 0.0 && !std::isfinite(1.0 / x)) {
    stop_with_case_error(io, "Line " + text(l) + ": reactance " + number(x) +
                                 " has no finite susceptance 1/x");
  }
}

// Reads the record of one bus of type 1, 2 or 3 as generator k.
void read_generator_bus(Records& io, CaseData& data, std::size_t i) {
  double load = 0.0, constant = 0.0, linear = 0.0, quadratic = 0.0, upper = 0.0, lower = 0.0;
  io.read(kCaseUnit, "(8D10.4)", load, constant, linear, quadratic, upper, lower);
  if (data.bus_type[i] == kNegativeGenerationBus) {
    load = 0.0;
    linear = -linear;
  }
  data.load[i] = load;
  data.constant_cost.push_back(constant);
  data.linear_cost.push_back(linear);
  data.quadratic_cost.push_back(quadratic);
  data.gen_upper.push_back(upper);
  data.gen_lower.push_back(lower);
  io.write(kListingUnit, "(9X,A2,D13.4,1X,D13.4,1X,D13.4,1X,D13.4,1X,D13.4)",
           type_label(data.bus_type[i]), load, linear, quadratic, upper, lower);
}

// Stops when a per-unit value of `what` would not be finite: a finite
// value read from the case can still overflow on a base power near the
// ends of the double range, and talven cannot read what orsa would write.
void check_per_unit(Records& io, const std::string& what, double value, double per_unit,
                    double sb) {
  if (!std::isfinite(per_unit)) {
    stop_with_case_error(io, what + " " + number(value) + " is not finite in per unit (Sb = " +
                                 number(sb) + ")");
  }
}

void check_line_limits_per_unit(Records& io, const CaseData& data) {
  const double sb = data.sb;
  for (std::size_t l = 0; l < data.line_upper.size(); ++l) {
    const std::string line = "Line " + text(static_cast<std::int32_t>(l) + 1) + ": ";
    const double upper = data.line_upper[l], lower = data.line_lower[l];
    check_per_unit(io, line + "upper limit", upper, upper / sb, sb);
    check_per_unit(io, line + "lower limit", lower, lower / sb, sb);
  }
}

void check_loads_per_unit(Records& io, const CaseData& data) {
  const double sb = data.sb;
  for (std::size_t i = 0; i < data.load.size(); ++i) {
    const std::string bus = "Bus " + text(static_cast<std::int32_t>(i) + 1) + ": ";
    check_per_unit(io, bus + "load", data.load[i], data.load[i] / sb, sb);
  }
}

// The same products and quotients as convert_generators_to_per_unit.
void check_generators_per_unit(Records& io, const CaseData& data) {
  const double sb = data.sb;
  const double sb_squared = std::pow(sb, 2.0);
  for (std::size_t i = 0; i < data.bus_generator.size(); ++i) {
    if (data.bus_generator[i] == 0) continue;
    const auto k = static_cast<std::size_t>(data.bus_generator[i]) - 1;
    const std::string bus = "Bus " + text(static_cast<std::int32_t>(i) + 1) + ": ";
    const double upper = data.gen_upper[k], lower = data.gen_lower[k];
    const double linear = data.linear_cost[k], quadratic = data.quadratic_cost[k];
    check_per_unit(io, bus + "generator upper limit", upper, upper / sb, sb);
    check_per_unit(io, bus + "generator lower limit", lower, lower / sb, sb);
    check_per_unit(io, bus + "linear cost", linear, linear * sb, sb);
    check_per_unit(io, bus + "quadratic cost", quadratic, quadratic * sb_squared, sb);
  }
}

// Each record takes at least one byte: a case that declares more records
// than its file has bytes is refused before storage is sized from it.
void require_case_records(Records& io, const CaseData& data) {
  const auto n = static_cast<std::uint64_t>(data.n);
  const auto nl = static_cast<std::uint64_t>(data.nl);
  io.require_records(kCaseUnit, nl + (n + 7) / 8 + n,
                     "n = " + text(data.n) + " buses and nl = " + text(data.nl) + " lines");
}

}  // namespace

void stop_with_case_error(Records& io, const std::string& message) {
  io.write(kListingUnit, "(/,/,' ** Error - ',A,' **',/,/)", message);
  io.stop();
}

void read_title(Records& io, CaseData& data) {
  data.title.assign(80, ' ');
  io.read(kCaseUnit, "(a80)", data.title);
  io.write(kListingUnit,
           "(/,/,/,80('-'),/,/,38X,'ORSA',/,38X,4('='),/,/,18X,'Interior Point-Based Linear "
           "Economic Dispatch',/,/,80('-'),/,/,/,11X,A80,/,/)",
           data.title);
  io.write(kFlowUnit, "(a80)", data.title);
}

void read_sizes(Records& io, CaseData& data) {
  io.read(kCaseUnit, "(2I10,D10.2)", data.n, data.nl, data.sb);
  if (data.n < 1) {
    stop_with_case_error(io, "Number of buses n = " + text(data.n) + " is less than 1");
  }
  if (data.nl < 0) {
    stop_with_case_error(io, "Number of lines nl = " + text(data.nl) + " is negative");
  }
  if (data.sb == 0.0) stop_with_case_error(io, "Base power Sb is equal to zero");
  require_case_records(io, data);
  io.write(kListingUnit, "(/,/,' n = ',I3,3X,' nl = ',I3,' Sb = ',D8.2)", data.n, data.nl, data.sb);
  io.write(kFlowUnit, "(2I5,D10.2)", data.n, data.nl, data.sb);
}

void read_lines(Records& io, CaseData& data) {
  io.write(kListingUnit,
           "(/,/,26X,'Line Data',/,26X,9('*'),/,/,8X,'se',8X,'re',7X,'x',10X,'up. lim.',5X,'low "
           "lim.',/,/)");
  const auto nl = static_cast<std::size_t>(data.nl);
  data.se.assign(nl, 0);
  data.re.assign(nl, 0);
  data.x.assign(nl, 0.0);
  data.line_upper.assign(nl, 0.0);
  data.line_lower.assign(nl, 0.0);
  for (std::size_t l = 0; l < nl; ++l) {
    io.read(kCaseUnit, "(2I10,3D10.4)", data.se[l], data.re[l], data.x[l], data.line_upper[l],
            data.line_lower[l]);
    const auto line = static_cast<std::int32_t>(l) + 1;
    check_line_bus(io, data, line, "se", data.se[l]);
    check_line_bus(io, data, line, "re", data.re[l]);
    check_reactance(io, line, data.x[l]);
    io.write(kListingUnit, "(2I10,3X,D10.4,3X,D10.4,3X,D10.4)", data.se[l], data.re[l], data.x[l],
             data.line_upper[l], data.line_lower[l]);
  }
  io.write(kFlowUnit, "(6D13.4)", data.line_upper);
  io.write(kFlowUnit, "(6D13.4)", data.line_lower);
  check_line_limits_per_unit(io, data);
  convert_line_limits_to_per_unit(data);
}

void read_bus_types(Records& io, CaseData& data) {
  data.bus_type.assign(static_cast<std::size_t>(data.n), 0);
  io.read(kCaseUnit, "(8I10)", data.bus_type);
  bool has_reference = false;
  for (std::size_t i = 0; i < data.bus_type.size(); ++i) {
    const std::int32_t type = data.bus_type[i];
    if (type < kLoadBus || type > kNegativeGenerationBus) {
      stop_with_case_error(io, "Bus " + text(static_cast<std::int32_t>(i) + 1) + ": type " +
                                   text(type) + " is not within 0 to 3");
    }
    if (type == kReferenceBus) has_reference = true;
  }
  if (!has_reference) stop_with_case_error(io, "No reference bus: no bus is of type 2");
  io.write(kListingUnit, "(/,/,' Bus Types',/,/)");
  io.write(kListingUnit, "(8I10)", data.bus_type);
  io.write(kFlowUnit, "(16I5)", data.bus_type);
}

void read_buses(Records& io, CaseData& data) {
  io.write(kListingUnit,
           "(/,/,37X,'Bus Data',/,37X,8('*'),/,/,7X,'Type',6X,'Load',7X,'Cost-Lin.',5X,"
           "'Cost-Quad.',6X,'Up. Lim.',6X,'Low Lim.',/,/)");
  const auto n = static_cast<std::size_t>(data.n);
  data.load.assign(n, 0.0);
  data.bus_generator.assign(n, 0);
  std::int32_t count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t type = data.bus_type[i];
    if (type == kLoadBus) {
      io.read(kCaseUnit, "(8D10.4)", data.load[i]);
      io.write(kListingUnit, "(9X,A2,D13.4,1X,D13.4,1X,D13.4,1X,D13.4,1X,D13.4)", type_label(type),
               data.load[i]);
      continue;
    }
    if (type == kReferenceBus) data.nref = static_cast<std::int32_t>(i) + 1;
    data.bus_generator[i] = ++count;
    read_generator_bus(io, data, i);
  }
  check_loads_per_unit(io, data);
  check_generators_per_unit(io, data);
  convert_loads_to_per_unit(data);
  data.ngen = count;
}

void read_dimensions(Records& io, AlgorithmParameters& p) {
  io.read(kCaseUnit, "(8I10)", p.nbmax, p.nlmax);
  io.write(kListingUnit, "(/,/,' nbmax = ',I3,3X,' nlmax = ',I3)", p.nbmax, p.nlmax);
  io.read(kCaseUnit, "(8I10)", p.ndc, p.ndp);
}

void read_tolerances(Records& io, AlgorithmParameters& p) {
  io.read(kCaseUnit, "(2I10,4D10.3)", p.maxit, p.iprint, p.epsln, p.epslgiv, p.epslnp, p.epslim);
  apply_tolerance_defaults(p);
  io.write(kListingUnit,
           "(/,/,' maxit = ',I3,T25,'iprint = ',I2,/,' epsln = ',D10.3,T25,'epslgiv = ',D10.3,/,"
           "' epslnp = ',D10.3,T25,'epslim = ',D10.3,/,/)",
           p.maxit, p.iprint, p.epsln, p.epslgiv, p.epslnp, p.epslim);
}

void read_step_parameters(Records& io, AlgorithmParameters& p) {
  io.read(kCaseUnit, "(8D10.4)", p.rho, p.bigm, p.sigma);
}

}  // namespace dispatch
