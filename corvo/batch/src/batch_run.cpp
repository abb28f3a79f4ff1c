#include "corvo/batch/batch_run.hpp"

#include <sched.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "corvo/batch/ordered_pool.hpp"
#include "corvo/batch/result_bytes.hpp"

namespace corvo::batch {
namespace {

void tally(BatchTally& t, const ScenarioResult& r) {
  ++t.scenarios;
  if (r.optimal) return;
  ++t.failed;
  if (t.failures.size() < kListedFailures) t.failures.push_back(r.scenario + " (" + status_name(r.status) + ")");
}

}  // namespace

BatchTally run_batch(const ScenarioSolver& solver, const std::vector<Scenario>& scenarios, int threads,
                     Processes& processes, ResultTables* tables,
                     const std::function<void(const ScenarioResult&)>& on_result) {
  const auto rank = static_cast<std::size_t>(processes.rank());
  const auto size = static_cast<std::size_t>(processes.size());
  // This process's scenarios: rank, rank + size, rank + 2 size, ...
  const std::size_t mine = scenarios.size() > rank ? (scenarios.size() - rank + size - 1) / size : 0;
  const int workers = std::max(1, std::min<int>(threads, static_cast<int>(std::max<std::size_t>(mine, 1))));
  std::vector<std::unique_ptr<ThreadWorkspaces>> workspaces;
  for (int w = 0; w < workers; ++w) workspaces.push_back(std::make_unique<ThreadWorkspaces>());
  OrderedPool<ScenarioResult> pool(mine, workers, 4 * static_cast<std::size_t>(workers),
                                   [&](std::size_t job, int worker) {
                                     return solver.solve(scenarios[rank + job * size],
                                                         *workspaces[static_cast<std::size_t>(worker)]);
                                   });
  BatchTally t;
  if (rank != 0) {
    for (std::size_t job = 0; job < mine; ++job) processes.send_to_first(to_bytes(pool.next()));
    return t;
  }
  for (std::size_t i = 0; i < scenarios.size(); ++i) {
    const int owner = static_cast<int>(i % size);
    const ScenarioResult r = owner == 0 ? pool.next() : from_bytes(processes.receive_from(owner));
    if (tables != nullptr) tables->add(r);
    tally(t, r);
    if (on_result) on_result(r);
  }
  return t;
}

int default_threads(int processes_on_machine) {
  cpu_set_t set;
  CPU_ZERO(&set);
  int cores = 0;
  if (sched_getaffinity(0, sizeof set, &set) == 0) cores = CPU_COUNT(&set);
  if (cores <= 0) cores = static_cast<int>(std::thread::hardware_concurrency());
  return std::max(1, cores / std::max(1, processes_on_machine));
}

}  // namespace corvo::batch
