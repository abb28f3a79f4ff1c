#include "corvo/app/run_files.hpp"

#include <vector>

#include "corvo/app/input_error.hpp"
#include "corvo/app/input_file.hpp"
#include "records/records.hpp"

namespace corvo::app {
namespace {

constexpr int kUnit = 1;

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// Opens the file as an old file; the record layer's report of a failure
// names the file.
template <class Body>
auto with_file(const std::filesystem::path& path, Body body) {
  if (!std::filesystem::exists(path)) throw InputError(path.string() + ": no such file");
  require_regular_input(path);
  try {
    records::Records io;
    io.open(kUnit, path.string(), records::Status::Old);
    return body(io);
  } catch (const records::RunTimeError& e) {
    throw InputError(e.what());
  }
}

}  // namespace

std::string case_name_of_problem_file(const std::filesystem::path& problem_file) {
  return with_file(problem_file, [](records::Records& io) {
    std::string name(14, ' ');
    io.read(kUnit, "(a)", name);
    return trimmed(name);
  });
}

report::QpSolution read_flow_file(const std::filesystem::path& flow_file, int nvar, int m) {
  const std::string file = flow_file.string();
  return with_file(flow_file, [&](records::Records& io) {
    std::int32_t flag = 0, n_read = 0, m_read = 0;
    io.read(kUnit, "(16I5)", flag);
    if (flag != 0 && flag != 1)
      throw InputError(file + ": record 1: convergence flag " + std::to_string(flag) + " is neither 0 nor 1");
    io.read(kUnit, "(16I5)", n_read, m_read);
    if (n_read != nvar || m_read != m)
      throw InputError(file + ": record 2: the flow file holds " + std::to_string(n_read) + " variables and " +
                       std::to_string(m_read) + " constraints, the case's program has " + std::to_string(nvar) +
                       " variables and " + std::to_string(m) + " constraints (was talven run on this case?)");
    report::QpSolution s;
    s.x.assign(static_cast<std::size_t>(nvar), 0.0);
    s.y.assign(static_cast<std::size_t>(m), 0.0);
    io.read(kUnit, "(4D20.8)", s.x);
    io.read(kUnit, "(4D20.8)", s.y);
    double cost = 0.0;
    io.read(kUnit, "(4D20.8)", cost);
    std::int32_t k = 0;
    io.read(kUnit, "(16I5)", k);
    if (k < 0) {
      // Records: flag, sizes, x and y four to a record, the cost, then k.
      const int record = 2 + (nvar + 3) / 4 + (m + 3) / 4 + 2;
      throw InputError(file + ": record " + std::to_string(record) + ": the iteration count " + std::to_string(k) +
                       " is negative");
    }
    s.iterations = k;
    s.outcome = flag == 1 ? report::Outcome::converged : report::Outcome::iteration_limit;
    s.method = "talven";
    // "(4D20.8)" keeps eight significant digits: a value stands for any
    // value within half a unit of the eighth digit, at most 5e-8 of it.
    s.relative_precision = 5e-8;
    return s;
  });
}

}  // namespace corvo::app
