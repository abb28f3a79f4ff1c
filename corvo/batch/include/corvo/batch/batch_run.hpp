// Running a batch: the scenarios of this process on its threads, and, on
// the first process, every result in the scenarios' order into the
// tables.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "corvo/batch/processes.hpp"
#include "corvo/batch/result_tables.hpp"
#include "corvo/batch/scenario.hpp"
#include "corvo/batch/scenario_solver.hpp"

namespace corvo::batch {

struct BatchTally {
  std::size_t scenarios = 0;
  std::size_t failed = 0;  // not verified optimal
  // The failed scenarios in order, each with its status (at most
  // kListedFailures of them).
  std::vector<std::string> failures;
};

inline constexpr std::size_t kListedFailures = 20;

// Scenario i is solved by process i mod processes.size(). On the first
// process `tables` takes every result in order and `on_result` sees each
// (for a progress display); the tally is complete there only. Exceptions
// from a solving thread come out here.
BatchTally run_batch(const ScenarioSolver& solver, const std::vector<Scenario>& scenarios, int threads,
                     Processes& processes, ResultTables* tables,
                     const std::function<void(const ScenarioResult&)>& on_result);

// The threads a process uses by default: the cores it may run on, shared
// with the other processes of the batch on the same machine.
int default_threads(int processes_on_machine);

}  // namespace corvo::batch
