#include "problem_writer.hpp"

#include "records/records.hpp"

namespace talven::testing {

ProblemInput two_bus() {
  ProblemInput p;
  p.title = "Two buses, one line";
  p.c = {0.0, 1000.0, 0.0, 0.0, 0.0, 0.0};
  p.q = {0.0, 100.0, 0.0, 0.0, 0.0, 0.0};
  p.rows = {
      {10.0, 1.0, 0.0, 0.0, 0.0, 0.0},    // balance of bus 1
      {-10.0, 0.0, 0.0, 0.0, 0.0, 0.0},   // balance of bus 2
      {0.0, -1.0, -1.0, 0.0, 0.0, 0.0},   // generator upper limit
      {0.0, 1.0, 0.0, -1.0, 0.0, 0.0},    // generator lower limit
      {10.0, 0.0, 0.0, 0.0, -1.0, 0.0},   // line upper limit
      {-10.0, 0.0, 0.0, 0.0, 0.0, -1.0},  // line lower limit
  };
  p.b = {0.0, 0.5, -2.0, 0.0, -1.0, -1.0};
  p.x = {0.0, 1.0, 0.0, 0.0, 0.0, 0.0};
  p.flags = {1, 0, 0, 0, 0, 0};
  p.lb = {-2.0};
  p.y.assign(6, 0.0);
  p.z.assign(6, 0.0);
  return p;
}

ProblemInput one_variable(double b, double lb) {
  ProblemInput p;
  p.title = "One variable";
  p.c = {1.0};
  p.q = {1.0};
  p.rows = {{1.0}};
  p.b = {b};
  p.x = {0.0};
  p.flags = {1};
  p.lb = {lb};
  p.y = {0.0};
  p.z = {0.0};
  return p;
}

void write_problem_file(const std::filesystem::path& file, const ProblemInput& p) {
  records::Records io;
  constexpr int kUnit = 7;
  io.open(kUnit, file.string(), records::Status::Unknown);
  std::string name = p.case_name;
  name.resize(14, ' ');
  std::string title = p.title;
  title.resize(80, ' ');
  io.write(kUnit, "(a)", name);
  io.write(kUnit, "(A80)", title);
  const auto m = static_cast<std::int32_t>(p.rows.size());
  const auto n = static_cast<std::int32_t>(p.c.size());
  io.write(kUnit, "(8I10)", m, n, p.ndp, p.ndc);
  io.write(kUnit, "(4D20.13)", p.c);
  io.write(kUnit, "(4D20.13)", p.q);
  for (const auto& row : p.rows) io.write(kUnit, "(4D20.13)", row);
  io.write(kUnit, "(4D20.13)", p.b);
  io.write(kUnit, "(4D20.13)", p.x);
  io.write(kUnit, "(8I10)", p.flags);
  if (!p.lb.empty()) io.write(kUnit, "(4D20.13)", p.lb);
  io.write(kUnit, "(4D20.13)", p.y);
  io.write(kUnit, "(4D20.13)", p.z);
  io.write(kUnit, "(2D10.3,I10,4D10.3)", p.rho, p.epsln, p.maxit, p.bigm, p.sigma, p.epslnp, p.epslgiv);
  io.write(kUnit, "(8I10)", p.iprint);
}

}  // namespace talven::testing
