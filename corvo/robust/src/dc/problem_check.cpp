#include "dc/problem_check.hpp"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvo::robust::dc {
namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::invalid_argument("DC dispatch problem: " + what);
}

std::string entry(const char* array, std::size_t k) {
  return std::string(array) + "[" + std::to_string(k) + "]";
}

template <class T>
void check_size(const std::vector<T>& v, std::size_t size, const char* name) {
  if (v.size() != size) {
    fail(std::string(name) + " has " + std::to_string(v.size()) + " entries, expected " +
         std::to_string(size));
  }
}

void check_index(std::int32_t value, std::int32_t count, bool may_be_none, const char* array,
                 std::size_t k) {
  if (may_be_none && value == kNoBus) return;
  if (value < 0 || value >= count) {
    fail(entry(array, k) + " = " + std::to_string(value) + " is not in 0.." + std::to_string(count - 1));
  }
}

void check_finite(double v, const char* array, std::size_t k) {
  if (!std::isfinite(v)) fail(entry(array, k) + " is not finite");
}

// A lower bound may be −inf but not +inf or NaN; an upper bound the reverse.
void check_bounds(double lower, double upper, const char* lower_name, const char* upper_name,
                  std::size_t k) {
  if (std::isnan(lower) || lower == INFINITY) fail(entry(lower_name, k) + " must be below +inf");
  if (std::isnan(upper) || upper == -INFINITY) fail(entry(upper_name, k) + " must be above -inf");
}

}  // namespace

void check_problem(const DcOpf& p) {
  if (p.buses < 0 || p.nodes < 0) fail("negative number of buses or nodes");
  const auto buses = static_cast<std::size_t>(p.buses);
  check_size(p.node_of_bus, buses, "node_of_bus");
  check_size(p.demand, buses, "demand");
  for (std::size_t i = 0; i < buses; ++i) {
    check_index(p.node_of_bus[i], p.nodes, false, "node_of_bus", i);
    check_finite(p.demand[i], "demand", i);
  }
  std::vector<char> fixed(static_cast<std::size_t>(p.nodes), 0);
  for (std::size_t k = 0; k < p.fixed_nodes.size(); ++k) {
    check_index(p.fixed_nodes[k], p.nodes, false, "fixed_nodes", k);
    char& seen = fixed[static_cast<std::size_t>(p.fixed_nodes[k])];
    if (seen) fail(entry("fixed_nodes", k) + " repeats node " + std::to_string(p.fixed_nodes[k]));
    seen = 1;
  }

  const std::size_t nl = p.branch_from.size();
  check_size(p.branch_to, nl, "branch_to");
  check_size(p.susceptance, nl, "susceptance");
  check_size(p.diff_lower, nl, "diff_lower");
  check_size(p.diff_upper, nl, "diff_upper");
  for (std::size_t l = 0; l < nl; ++l) {
    check_index(p.branch_from[l], p.buses, false, "branch_from", l);
    check_index(p.branch_to[l], p.buses, false, "branch_to", l);
    if (p.branch_from[l] == p.branch_to[l]) fail(entry("branch_from", l) + " equals branch_to");
    check_finite(p.susceptance[l], "susceptance", l);
    check_bounds(p.diff_lower[l], p.diff_upper[l], "diff_lower", "diff_upper", l);
  }

  const std::size_t nu = p.unit_to.size();
  check_size(p.unit_from, nu, "unit_from");
  check_size(p.unit_lower, nu, "unit_lower");
  check_size(p.unit_upper, nu, "unit_upper");
  check_size(p.linear_cost, nu, "linear_cost");
  check_size(p.quadratic_cost, nu, "quadratic_cost");
  for (std::size_t j = 0; j < nu; ++j) {
    check_index(p.unit_to[j], p.buses, true, "unit_to", j);
    check_index(p.unit_from[j], p.buses, true, "unit_from", j);
    if (p.unit_to[j] != kNoBus && p.unit_to[j] == p.unit_from[j]) {
      fail(entry("unit_to", j) + " equals unit_from");
    }
    check_bounds(p.unit_lower[j], p.unit_upper[j], "unit_lower", "unit_upper", j);
    check_finite(p.linear_cost[j], "linear_cost", j);
    check_finite(p.quadratic_cost[j], "quadratic_cost", j);
    if (p.quadratic_cost[j] < 0.0) fail(entry("quadratic_cost", j) + " is negative (the dispatch must be convex)");
  }
}

}  // namespace corvo::robust::dc
