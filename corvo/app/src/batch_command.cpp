#include "corvo/app/batch_command.hpp"

#include <filesystem>
#include <memory>
#include <vector>

#include "corvo/app/input_error.hpp"
#include "corvo/app/input_file.hpp"
#include "corvo/batch/batch_run.hpp"
#include "corvo/batch/outages.hpp"
#include "corvo/batch/processes.hpp"
#include "corvo/batch/progress.hpp"
#include "corvo/batch/result_tables.hpp"
#include "corvo/batch/scenario_file.hpp"
#include "corvo/batch/scenario_solver.hpp"
#include "corvo/import/matpower_case.hpp"
#include "corvo/network/names.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

// A scenario file of a year of hourly loads for every bus of a large
// network stays well below this.
constexpr std::size_t kMaxScenarioFileBytes = std::size_t{2} << 30;

// What every process holds before the first scenario is solved.
struct Prepared {
  CaseInput input;
  std::vector<batch::Scenario> scenarios;
  std::unique_ptr<batch::ScenarioSolver> solver;
  std::unique_ptr<batch::ResultTables> tables;  // the first process only
};

void check_arguments(const BatchArgs& args) {
  if (args.scenarios.empty() == args.outages.empty())
    throw InputError("give the scenarios with --scenarios FILE.csv or --outages n-1 (one of the two)");
  if (args.ignore_angle_limits && args.method == "classic")
    throw InputError("--ignore-angle-limits goes with --method robust (the classic method has no angle limits)");
  if (args.cold_start && args.method == "classic") throw InputError("--cold goes with --method robust");
}

// The default place of the results: beside where the user stands, named
// after the network.
fs::path output_path(const BatchArgs& args, const std::string& network_name) {
  if (!args.output.empty()) return args.output;
  return network_name + (args.format == "hdf5" ? "_batch.h5" : "_batch");
}

// A table must never replace a file the batch reads.
void refuse_replacing_inputs(const std::vector<fs::path>& targets, const std::vector<fs::path>& inputs) {
  for (const fs::path& target : targets)
    for (const fs::path& input : inputs) {
      std::error_code ec;
      if (!input.empty() && fs::equivalent(target, input, ec))
        throw InputError(target.string() + ": the results would replace the input file " + input.string() +
                         "; choose another --output");
    }
}

std::unique_ptr<batch::ResultTables> open_tables(const BatchArgs& args, const Prepared& p) {
  const fs::path out = output_path(args, p.input.network.name);
  const std::vector<fs::path> inputs{args.input, args.scenarios, args.input_options.costs};
  batch::TableLabels labels = batch::table_labels(p.input.network);
  if (args.format == "hdf5") {
    refuse_replacing_inputs({out}, inputs);
    return batch::hdf5_tables(out, std::move(labels), p.scenarios.size());
  }
  std::vector<fs::path> targets;
  for (const std::string& name : batch::csv_file_names()) targets.push_back(out / name);
  refuse_replacing_inputs(targets, inputs);
  std::error_code ec;
  if (fs::exists(out, ec) && !fs::is_directory(out, ec))
    throw InputError(out.string() + ": not a folder; --output names the folder of the CSV files");
  return batch::csv_tables(out, std::move(labels));
}

std::vector<batch::Scenario> scenarios_of(const BatchArgs& args, const network::Network& net, bool first,
                                          std::ostream& err) {
  if (!args.scenarios.empty())
    return batch::read_scenarios(read_input_file(args.scenarios, kMaxScenarioFileBytes), args.scenarios, net);
  batch::OutageList list = batch::single_branch_outages(net);
  if (first && !list.islanding.empty()) {
    err << "corvo batch: --outages n-1: " << list.islanding.size()
        << " branches left out, as their outage would cut part of the network off:\n";
    for (std::int32_t l : list.islanding) err << "  " << network::branch_name(net, l) << '\n';
  }
  if (list.scenarios.empty()) throw InputError(args.input + ": --outages n-1: no branch can go out without islanding");
  return std::move(list.scenarios);
}

std::unique_ptr<Prepared> prepare(const BatchArgs& args, bool first, std::ostream& err) {
  check_arguments(args);
  auto p = std::make_unique<Prepared>();
  p->input = load_case_input(args.input, args.input_options);
  if (first)
    for (const std::string& note : p->input.network.notes) err << "corvo batch: note: " << note << '\n';
  p->scenarios = scenarios_of(args, p->input.network, first, err);
  batch::SolveSettings settings;
  settings.method = args.method;
  settings.ignore_angle_limits = args.ignore_angle_limits;
  settings.warm_start = !args.cold_start;
  p->solver = std::make_unique<batch::ScenarioSolver>(p->input.network, settings);
  if (first) p->tables = open_tables(args, *p);
  return p;
}

void report_tally(const batch::BatchTally& t, const BatchArgs& args, const std::string& network_name,
                  std::ostream& out, std::ostream& err) {
  out << "corvo batch: " << t.scenarios << " scenarios, " << (t.scenarios - t.failed) << " optimal, " << t.failed
      << " failed; results in " << output_path(args, network_name).string() << '\n';
  if (t.failed == 0) return;
  err << "corvo batch: " << t.failed << " of " << t.scenarios << " scenarios not verified optimal:";
  for (const std::string& f : t.failures) err << "\n  " << f;
  if (t.failed > t.failures.size()) err << "\n  ... and " << (t.failed - t.failures.size()) << " more";
  err << "\n(the summary table gives each one's status and reason)\n";
}

}  // namespace

int run_batch(const BatchArgs& args, std::ostream& out, std::ostream& err, bool progress) {
  std::unique_ptr<batch::Processes> processes;
  try {
    processes = batch::start_processes();
  } catch (const std::runtime_error& e) {
    err << "corvo batch: " << e.what() << '\n';
    return 2;
  }
  const bool first = processes->rank() == 0;
  std::unique_ptr<Prepared> p;
  std::string problem;
  try {
    p = prepare(args, first, err);
  } catch (const InputError& e) {
    problem = e.what();
  } catch (const batch::ScenarioFileError& e) {
    problem = e.what();
  } catch (const network::NetworkError& e) {
    problem = e.what();
  } catch (const import::ImportError& e) {
    problem = e.what();
  }
  // Every process read the same files; one that could not (a file missing
  // on its machine) stops them all before any scenario is solved.
  const int not_ready = processes->first_not_ready(problem.empty());
  if (not_ready >= 0) {
    if (processes->rank() == not_ready)
      err << "corvo batch: " << (processes->size() > 1 ? "process " + std::to_string(not_ready) + ": " : "")
          << problem << '\n';
    return 2;
  }
  const int threads = args.threads > 0 ? args.threads : batch::default_threads(processes->local_size());
  batch::BatchTally tally;
  try {
    batch::ProgressBar bar(err, p->scenarios.size(), progress && first);
    tally = batch::run_batch(*p->solver, p->scenarios, threads, *processes, p->tables.get(),
                             [&bar](const batch::ScenarioResult& r) { bar.update(!r.optimal); });
    bar.finish();
    if (first) p->tables->finish();
  } catch (const std::exception& e) {
    err << "corvo batch: " << e.what() << '\n';
    if (processes->size() > 1) processes->abort(2);
    return 2;
  }
  int status = tally.failed > 0 ? 1 : 0;
  status = processes->shared_from_first(status);
  if (first) {
    report_tally(tally, args, p->input.network.name, out, err);
    out.flush();
    if (!out) {
      err << "corvo batch: standard output: the summary could not be written\n";
      return 2;
    }
  }
  return status;
}

}  // namespace corvo::app

// The entry point main() looks up after loading this module.
extern "C" int corvo_run_batch(const corvo::app::BatchArgs* args, std::ostream* out, std::ostream* err, int progress) {
  return corvo::app::run_batch(*args, *out, *err, progress != 0);
}
