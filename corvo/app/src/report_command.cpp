#include "corvo/app/report_command.hpp"

#include <iostream>
#include <optional>

#include "corvo/app/case_map_labels.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/import/case_mapping.hpp"
#include "corvo/app/input_file.hpp"
#include "corvo/app/results_output.hpp"
#include "corvo/app/run_files.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "corvo/report/results.hpp"
#include "dispatch/case_loader.hpp"
#include "dispatch/case_names.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

struct CaseFile {
  std::string name;  // as shown in the report
  fs::path path;
};

// NAME (or NAME.dat) as given, or the case named in the problem file,
// with orsa's own rule for its file name.
CaseFile case_file_of(const ReportArgs& args) {
  if (!args.name.empty()) {
    const fs::path given(args.name);
    if (given.extension() == ".dat") return {given.stem().string(), args.folder / given};
    return {args.name, args.folder / (args.name + ".dat")};
  }
  const fs::path problem = args.folder / "orsa.ip";
  const std::string name = case_name_of_problem_file(problem);
  const auto names = dispatch::make_case_names(name);
  if (!names) throw InputError(problem.string() + ": record 1: case name '" + name + "' gives no case file name");
  std::string file = names->case_file;
  while (!file.empty() && file.back() == ' ') file.pop_back();
  return {name, args.folder / file};
}

// The map `corvo import` writes beside an imported case file, if any.
std::optional<import::CaseMap> case_map_beside(const fs::path& case_file) {
  fs::path map = case_file;
  map.replace_extension(".map.csv");
  if (!fs::exists(map)) return std::nullopt;
  // A map holds three short records per element: a few MB at most.
  constexpr std::size_t kLargestMap = std::size_t{64} << 20;
  const std::string text = read_input_file(map, kLargestMap);
  try {
    return import::parse_case_map(text, map.string());
  } catch (const import::ImportError& e) {
    throw InputError(e.what());
  }
}

}  // namespace

CLI::App* add_report_command(CLI::App& app, ReportArgs& args) {
  CLI::App* cmd = app.add_subcommand(
      "report", "Results of the orsa and talven run in this folder, in MW and $/MWh, checked for optimality");
  cmd->add_option("NAME", args.name, "case name (reads NAME.dat); default: the case named in orsa.ip");
  add_output_options(*cmd, args.output_format);
  cmd->add_option("--dir", args.folder, "folder of the run (default: the current folder)");
  return cmd;
}

int run_report(const ReportArgs& args, std::ostream& out, std::ostream& err) {
  try {
    check_output_format(args.output_format);
    const CaseFile cf = case_file_of(args);
    if (!fs::exists(cf.path)) throw InputError(cf.path.string() + ": no such case file");
    require_regular_input(cf.path);
    const dispatch::CaseData data = dispatch::load_case_file(cf.path);
    const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(data);
    report::QpSolution solution = read_flow_file(args.folder / "talven.flw", qp.nvar, qp.m);
    // After convergence talven writes values of magnitude up to epslnp as
    // zero.
    if (solution.outcome == report::Outcome::converged) solution.zero_threshold = data.parameters.epslnp;
    report::Results results = report::make_results(cf.name, data, qp, solution, report::ReportOptions{});
    if (const auto map = case_map_beside(cf.path)) {
      try {
        apply_case_map(results, *map);
      } catch (const InputError& e) {
        throw InputError(cf.path.string() + ": " + e.what());
      }
    }
    write_results(args.output_format, results, out, {cf.path, args.folder / "talven.flw"});
    return report::exit_status(results);
  } catch (const InputError& e) {
    err << "corvo report: " << e.what() << '\n';
  } catch (const dispatch::CaseFileError& e) {
    err << "corvo report: " << e.what() << '\n';
  }
  return report::kExitInputError;
}

}  // namespace corvo::app
