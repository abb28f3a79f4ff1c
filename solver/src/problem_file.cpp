#include "talven/problem_file.hpp"

#include <cstdint>
#include <string>

#include "talven/preprocess.hpp"
#include "talven/units.hpp"

namespace talven {

namespace {

constexpr int kIn = kProblemUnit;
constexpr int kOut = kReportUnit;

constexpr const char* kVector = "(5F16.4)";
constexpr const char* kReals = "(4D20.13)";
constexpr const char* kIntegers = "(8I10)";

std::uint64_t records_for(std::uint64_t values, std::uint64_t per_record) {
  return (values + per_record - 1) / per_record;
}

// The records that follow the size record, at the least (no lower
// bounds): c, q, the m rows of A, b, x, the flags, y, z, the parameter
// record and the print level. Checked before any array is sized from m
// and n, so that a size the file cannot back costs no memory.
void require_problem_records(records::Records& io, std::int32_t m, std::int32_t n) {
  const auto rows = static_cast<std::uint64_t>(m);
  const auto cols = static_cast<std::uint64_t>(n);
  const std::uint64_t vector_n = records_for(cols, 4);
  const std::uint64_t vector_m = records_for(rows, 4);
  const std::uint64_t records = (rows + 4) * vector_n + 2 * vector_m + records_for(cols, 8) + 2;
  io.require_records(kIn, records,
                     "m = " + std::to_string(m) + " constraints and n = " + std::to_string(n) +
                         " primal variables");
}

void read_sizes(records::Records& io, Problem& p) {
  io.read(kIn, kIntegers, p.m, p.n, p.ndp, p.ndc);
  // Widened so that absurd dimensions wrap instead of overflowing.
  p.dimsum = static_cast<std::int32_t>(static_cast<std::int64_t>(p.ndp) + p.ndc);
  io.write(kOut,
           "(/,/,' number of constraints  = ',I3,/,' number of primal variables = ',I3,/,"
           "' dimension parameter for cols. of constraint matrix = ',I3,/,"
           "' dimension parameter for rows of constraint matrix =',I3,/,/)",
           p.m, p.n, p.ndp, p.ndc);
  if (p.m < 1 || p.n < 1) {
    constexpr const char* kNoProblem =
        "(/,/,' *** Error - The problem needs at least one constraint and one primal variable ***',/,/)";
    io.write(kOut, kNoProblem);
    io.write(records::kConsole, kNoProblem);
    io.stop();
  }
  require_problem_records(io, p.m, p.n);
}

void read_costs(records::Records& io, Problem& p) {
  io.write(kOut, "(/,/,' Cost Function:',/,/)");
  io.write(kOut, "(5X,' Linear Coefficients:',/,/)");
  p.c.assign(p.n, 0.0);
  io.read(kIn, kReals, p.c);
  io.write(kOut, kVector, p.c);
  io.write(kOut, "(/,/,5X,' Quadratic Coefficients:',/,/)");
  p.q.assign(p.n, 0.0);
  io.read(kIn, kReals, p.q);
  io.write(kOut, kVector, p.q);
}

void read_constraints(records::Records& io, Problem& p) {
  io.write(kOut, "(/,/,'Constraint coefficient matrix',/,/)");
  p.a = Matrix(p.m, p.n);
  for (int i = 0; i < p.m; ++i) {
    io.read(kIn, kReals, p.a.row(i));
    io.write_list(kOut, static_cast<std::int32_t>(i + 1));
    io.write(kOut, kVector, p.a.row(i));
  }
  io.write(kOut, "(/,/,' r.h.s. vector for constraints',/,/)");
  p.b.assign(p.m, 0.0);
  io.read(kIn, kReals, p.b);
  io.write(kOut, kVector, p.b);
}

void read_negative_variables(records::Records& io, Problem& p) {
  p.flags.assign(p.n, 0);
  io.read(kIn, kIntegers, p.flags);
  p.negative = negative_list(p.flags);
  if (p.negative.empty()) {
    io.write(kOut, "(/,/,' There are no possibly negative primal variables',/,/)");
    p.lb.clear();
    return;
  }
  io.write(kOut, "(/,/,' Possibly negative primal variables',/,/)");
  std::vector<std::int32_t> numbers;
  for (int j : p.negative) numbers.push_back(j + 1);
  io.write(kOut, kIntegers, numbers);
  p.lb.assign(p.negative.size(), 0.0);
  io.read(kIn, kReals, p.lb);
  io.write(kOut, "(/,/,' Lower bounds for possibly negative primal variable  s',/,/)");
  io.write(kOut, kVector, p.lb);
}

void read_parameters(records::Records& io, Problem& p) {
  io.read(kIn, "(2D10.3,I10,4D10.3)", p.rho, p.epsln, p.maxit, p.bigm, p.sigma, p.epslnp, p.epslgiv);
  if (p.epslnp == 0.0) p.epslnp = p.epsln;
  io.write(kOut,
           "(/,/,' rho = ',D10.4,3X,' epsln = ',D10.4,3X,'maxit= ',I5,/,/,' bigm = ',D10.4,2X,"
           "' sigma = ',D10.4,2X,' epslnp = ',D10.4)",
           p.rho, p.epsln, p.maxit, p.bigm, p.sigma, p.epslnp);
  io.read(kIn, kIntegers, p.iprint);
  io.write(kOut, "(/,/,' iprint = ',I2,/,/)", p.iprint);
}

}  // namespace

void write_banner(records::Records& io, int unit, const std::string& title) {
  io.write(unit,
           "(/,/,/,80('-'),/,/,38X,'TALVEN',/,38X,6('='),/,/,9X,"
           "'Primal-Dual Internal Point Method for Quadratic Programming',/,/,80('-'),/,/,/,11X,A80,/,/)",
           title);
}

void read_and_echo(records::Records& io, Problem& p) {
  write_banner(io, kOut, p.title);
  read_sizes(io, p);
  read_costs(io, p);
  read_constraints(io, p);

  io.write(kOut, "(/,/,' initial guess for primal variables',/,/)");
  p.x.assign(p.n, 0.0);
  io.read(kIn, kReals, p.x);
  io.write(kOut, kVector, p.x);

  read_negative_variables(io, p);

  io.write(kOut, "(/,/,' initial guess for dual variables',/,/)");
  p.y.assign(p.m, 0.0);
  io.read(kIn, kReals, p.y);
  io.write(kOut, kVector, p.y);
  io.write(kOut, "(/,/,' initial guess for dual slacks',/,/)");
  p.z.assign(p.n, 0.0);
  io.read(kIn, kReals, p.z);
  io.write(kOut, kVector, p.z);

  read_parameters(io, p);
}

}  // namespace talven
