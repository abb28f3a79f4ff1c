// Writes problem files for the tests, record by record with the templates
// that the dispatch model builder uses for "orsa.ip".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace talven::testing {

struct ProblemInput {
  std::string case_name = "caso1";  // padded to 14 characters
  std::string title;                // padded to 80 characters
  std::int32_t ndp = 500;
  std::int32_t ndc = 500;
  std::vector<double> c, q;
  std::vector<std::vector<double>> rows;  // the m constraint rows
  std::vector<double> b, x;
  std::vector<std::int32_t> flags;
  std::vector<double> lb;  // written only when not empty
  std::vector<double> y, z;
  double rho = 0.99;
  double epsln = 1.0e-10;
  std::int32_t maxit = 20;
  double bigm = 1.0e5;
  double sigma = 0.1;
  double epslnp = 1.0e-6;
  double epslgiv = 1.0e-35;
  std::int32_t iprint = 0;
};

// The dispatch of two buses joined by one line: the generator at bus 1
// (0 to 2 per unit, cost 1000 x + 0.5 100 x^2), 0.5 per unit of load at
// bus 2, line reactance 0.1, flow limits +-1 per unit. Variables: the
// angle of bus 2 (possibly negative, bound -2), the generator output, its
// upper slack and lower surplus, the line's upper slack and lower surplus.
ProblemInput two_bus();

// min x + 0.5 x^2 subject to x = b, with one possibly negative variable.
ProblemInput one_variable(double b, double lb);

void write_problem_file(const std::filesystem::path& file, const ProblemInput& input);

}  // namespace talven::testing
