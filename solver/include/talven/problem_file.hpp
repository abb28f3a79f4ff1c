// The problem read from "orsa.ip" and its echo into the case report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/records.hpp"
#include "talven/matrix.hpp"

namespace talven {

struct Problem {
  std::string case_name = std::string(14, ' ');
  std::string title = std::string(80, ' ');
  std::int32_t m = 0;
  std::int32_t n = 0;
  std::int32_t ndp = 0;
  std::int32_t ndc = 0;
  std::int32_t dimsum = 0;
  std::vector<double> c, q;
  Matrix a;  // m x n
  std::vector<double> b, x;
  std::vector<std::int32_t> flags;
  std::vector<int> negative;  // 0-based indices of the flagged variables
  std::vector<double> lb, y, z;
  double rho = 0.0;
  double epsln = 0.0;
  std::int32_t maxit = 0;
  double bigm = 0.0;
  double sigma = 0.0;
  double epslnp = 0.0;
  double epslgiv = 0.0;
  std::int32_t iprint = 0;
};

// Writes the banner with the title to `unit`.
void write_banner(records::Records& io, int unit, const std::string& title);

// Reads the problem after its title (sizes to print level) from the
// problem unit and echoes it into the report unit. Stops the run with a
// message when the sizes leave nothing to solve.
void read_and_echo(records::Records& io, Problem& problem);

}  // namespace talven
