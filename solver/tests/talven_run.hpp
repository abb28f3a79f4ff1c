// One whole run of talven in a test directory, with its console, its
// error report and its exit status.
#pragma once

#include <sstream>
#include <string>

#include "problem_writer.hpp"
#include "run_dir.hpp"
#include "talven/driver.hpp"

namespace talven::testing {

inline const std::string kStop = "Stop - Program terminated.\n";

struct RunResult {
  int status = -1;
  std::string console, errors;
};

// Runs talven on the orsa.ip already in the directory.
inline RunResult run_in(const RunDir& dir) {
  std::istringstream in;
  std::ostringstream out, err;
  RunResult run;
  run.status = run_talven(dir.path(), in, out, err);
  run.console = out.str();
  run.errors = err.str();
  return run;
}

// Writes the problem file, then runs talven on it.
inline RunResult run_problem(const RunDir& dir, const ProblemInput& input) {
  write_problem_file(dir / "orsa.ip", input);
  return run_in(dir);
}

}  // namespace talven::testing
