#include "robust/prechecks.hpp"

#include <cmath>
#include <cstddef>
#include <algorithm>
#include <cstdio>
#include <numeric>

namespace corvo::robust {
namespace {

using dispatch::CaseData;

std::size_t at(std::int32_t one_based) { return static_cast<std::size_t>(one_based) - 1; }

std::string megawatts(double per_unit, double sb) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f MW", per_unit * sb);
  return text;
}

// Connected parts of the network: buses joined by lines, found with a
// union-find over the lines.
class BusParts {
 public:
  explicit BusParts(std::int32_t n) : parent_(static_cast<std::size_t>(n)) {
    std::iota(parent_.begin(), parent_.end(), std::size_t{0});
  }
  std::size_t root(std::size_t bus) {
    while (parent_[bus] != bus) {
      parent_[bus] = parent_[parent_[bus]];
      bus = parent_[bus];
    }
    return bus;
  }
  void join(std::size_t a, std::size_t b) {
    a = root(a);
    b = root(b);
    if (a != b) parent_[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<std::size_t> parent_;
};

// What one connected part holds, in per unit.
struct Part {
  std::vector<std::int32_t> buses;  // 1-based, ascending
  double load = 0.0;
  double capacity = 0.0;        // largest possible net generation
  double minimum = 0.0;         // smallest possible net generation
  int generators = 0;
};

std::vector<Part> connected_parts(const CaseData& data) {
  BusParts parts(data.n);
  for (std::int32_t l = 1; l <= data.nl; ++l) {
    parts.join(at(data.se[at(l)]), at(data.re[at(l)]));
  }
  std::vector<std::ptrdiff_t> index(static_cast<std::size_t>(data.n), -1);
  std::vector<Part> result;
  for (std::int32_t i = 1; i <= data.n; ++i) {
    const std::size_t r = parts.root(at(i));
    if (index[r] < 0) {
      index[r] = static_cast<std::ptrdiff_t>(result.size());
      result.emplace_back();
    }
    Part& part = result[static_cast<std::size_t>(index[r])];
    part.buses.push_back(i);
    part.load += data.load[at(i)];
    const std::int32_t k = data.bus_generator[at(i)];
    if (k == 0) continue;
    ++part.generators;
    // A negative generation bus withdraws its output from the bus.
    if (data.bus_type[at(i)] == dispatch::kNegativeGenerationBus) {
      part.capacity -= data.gen_lower[at(k)];
      part.minimum -= data.gen_upper[at(k)];
    } else {
      part.capacity += data.gen_upper[at(k)];
      part.minimum += data.gen_lower[at(k)];
    }
  }
  return result;
}

// "buses 4, 5 and 6", shortened after 30 buses for very large parts.
std::string bus_list(const std::vector<std::int32_t>& buses) {
  constexpr std::size_t kShown = 30;
  std::string text = buses.size() == 1 ? "bus " : "buses ";
  const std::size_t shown = std::min(buses.size(), kShown);
  for (std::size_t p = 0; p < shown; ++p) {
    if (p > 0) text += (p + 1 == buses.size()) ? " and " : ", ";
    text += std::to_string(buses[p]);
  }
  if (shown < buses.size()) {
    text += ", ... (" + std::to_string(buses.size()) + " buses in all)";
  }
  return text;
}

void check_limit_order(const CaseData& data, std::vector<std::string>& problems) {
  for (std::int32_t i = 1; i <= data.n; ++i) {
    const std::int32_t k = data.bus_generator[at(i)];
    if (k == 0 || !(data.gen_lower[at(k)] > data.gen_upper[at(k)])) continue;
    problems.push_back("generator " + std::to_string(k) + " at bus " + std::to_string(i) +
                       ": lower limit " + megawatts(data.gen_lower[at(k)], data.sb) +
                       " is above its upper limit " + megawatts(data.gen_upper[at(k)], data.sb));
  }
  for (std::int32_t l = 1; l <= data.nl; ++l) {
    if (!(data.line_lower[at(l)] > data.line_upper[at(l)])) continue;
    problems.push_back("line " + std::to_string(l) + " (bus " + std::to_string(data.se[at(l)]) +
                       " to bus " + std::to_string(data.re[at(l)]) + "): lower flow limit " +
                       megawatts(data.line_lower[at(l)], data.sb) +
                       " is above its upper flow limit " +
                       megawatts(data.line_upper[at(l)], data.sb));
  }
}

// Names the part unless it is the whole network.
std::string where(const Part& part, std::int32_t n) {
  if (static_cast<std::int32_t>(part.buses.size()) == n) return "";
  return " in the part of the network formed by " + bus_list(part.buses);
}

// Load sums carry rounding; a balance is taken as met within this many
// per-unit of the part's load.
double balance_tolerance(const Part& part) { return 1e-9 * (1.0 + std::fabs(part.load)); }

void check_parts(const CaseData& data, std::vector<std::string>& problems) {
  for (const Part& part : connected_parts(data)) {
    const double tol = balance_tolerance(part);
    if (part.generators == 0) {
      if (std::fabs(part.load) > tol) {
        const char* verb = part.buses.size() == 1 ? " carries " : " carry ";
        problems.push_back(bus_list(part.buses) + verb + megawatts(part.load, data.sb) +
                           " of load but no generator is connected to them");
      }
      continue;
    }
    if (part.capacity < part.load - tol) {
      problems.push_back("total generation capacity " + megawatts(part.capacity, data.sb) +
                         " is below the total load of " + megawatts(part.load, data.sb) +
                         where(part, data.n));
    }
    if (part.minimum > part.load + tol) {
      problems.push_back("total minimum generation " + megawatts(part.minimum, data.sb) +
                         " is above the total load of " + megawatts(part.load, data.sb) +
                         where(part, data.n));
    }
  }
}

}  // namespace

std::vector<std::string> precheck_case(const CaseData& data) {
  std::vector<std::string> problems;
  check_limit_order(data, problems);
  check_parts(data, problems);
  return problems;
}

}  // namespace corvo::robust
