// Small cases for the writer tests.
#pragma once

#include <cstdint>
#include <vector>

#include "corvo/algorithm_parameters.hpp"
#include "corvo/case_data.hpp"

namespace corvo_test {

// A case of `n` load buses (load 0) and `nl` lines between buses 1 and 2
// with all values 0, base power 100, and the default parameters.
inline corvo::CaseData blank_case(std::int32_t n, std::int32_t nl) {
  corvo::CaseData c;
  corvo::set_line_count(c, nl);
  corvo::set_bus_count(c, n);
  c.Sb = 100.0;
  for (auto& bus : c.se) bus = 1;
  for (auto& bus : c.re) bus = 2;
  corvo::convert_parameters(corvo::default_parameter_texts(), ',', c.parameters);
  c.parameters_confirmed = true;
  return c;
}

// The two-bus example: one line x 0.1, limits 100/-100 MW; bus 1 reference
// with costs 0, 10, 0.01 and limits 200/0 MW; bus 2 a load of 50 MW.
inline corvo::CaseData two_bus_case() {
  corvo::CaseData c = blank_case(2, 1);
  c.x = {0.1};
  c.line_upper = {100.0};
  c.line_lower = {-100.0};
  c.bus_type = {2, 0};
  c.load = {0.0, 50.0};
  c.linear_cost = {10.0, 0.0};
  c.quadratic_cost = {0.01, 0.0};
  c.gen_upper = {200.0, 0.0};
  return c;
}

}  // namespace corvo_test
