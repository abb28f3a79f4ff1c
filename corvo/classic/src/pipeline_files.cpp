#include "corvo/classic/pipeline_files.hpp"

#include <fstream>
#include <sstream>
#include <vector>

#include "dispatch/orsa.hpp"
#include "records/format.hpp"
#include "records/records.hpp"
#include "talven/driver.hpp"

namespace corvo::classic {
namespace {

namespace fs = std::filesystem;

// orsa's prompt takes names of at most 9 characters: the extension goes at
// the first blank among the first ten positions.
constexpr std::size_t kLongestCaseName = 9;

struct ProgramRun {
  int status = 0;
  std::string console;
  std::string errors;
};

ProgramRun run_orsa_in(const fs::path& dir, const std::string& case_name) {
  std::istringstream typed(case_name + "\n");
  std::ostringstream out, err;
  ProgramRun run;
  run.status = records::run_program([&dir](records::Records& io) { dispatch::run_orsa(io, dir); }, typed,
                                    out, err);
  run.console = out.str();
  run.errors = err.str();
  return run;
}

ProgramRun run_talven_in(const fs::path& dir) {
  std::istringstream nothing;
  std::ostringstream out, err;
  ProgramRun run;
  run.status = talven::run_talven(dir, nothing, out, err);
  run.console = out.str();
  run.errors = err.str();
  return run;
}

void require_success(const char* program, const ProgramRun& run) {
  if (run.status != 0) {
    throw PipelineFilesError(std::string(program) + " ended with status " + std::to_string(run.status) +
                             ": " + run.errors);
  }
}

std::string file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void append_records(std::string& text, std::string_view tmpl, const std::vector<records::OutValue>& items) {
  for (const std::string& r : records::write_records(records::Format::parse(tmpl), items).records) {
    text += r;
    text += "\r\n";
  }
}

std::vector<records::OutValue> reals(const std::vector<double>& values) {
  return {values.begin(), values.end()};
}

}  // namespace

std::vector<std::string> pipeline_file_names(const fs::path& case_file) {
  const std::string name = case_file.stem().string();
  const bool usable = case_file.extension() == ".dat" && !name.empty() && name.size() <= kLongestCaseName &&
                      name.find_first_of(" \t") == std::string::npos;
  if (!usable) {
    throw PipelineFilesError(case_file.string() +
                             ": the pipeline's files need a case file named NAME.dat, with a NAME of 1 to " +
                             std::to_string(kLongestCaseName) + " characters without blanks");
  }
  if (name == "orsa") {
    throw PipelineFilesError(case_file.string() +
                             ": a case named orsa would have its report orsa.ip over the problem file");
  }
  return {name + ".lst", "orsa.ip", "orsa.flw", name + ".ip", "talven.flw"};
}

ClassicResult solve_and_write_pipeline_files(const fs::path& case_file) {
  pipeline_file_names(case_file);
  ClassicResult result = solve_case_file(case_file);

  const fs::path dir = case_file.parent_path();
  require_success("orsa", run_orsa_in(dir, case_file.stem().string()));
  require_success("talven", run_talven_in(dir));

  // The in-memory method and the programs must agree to the last digit
  // the flow file shows; a difference is a fault of this library.
  if (result.outcome != Outcome::Failed && file_bytes(dir / "talven.flw") != flow_file_text(result)) {
    throw PipelineFilesError((dir / "talven.flw").string() +
                             " does not hold the result of the in-memory method");
  }
  return result;
}

std::string flow_file_text(const ClassicResult& r) {
  const std::int32_t flag = r.outcome == Outcome::Converged ? 1 : 0;
  std::string text;
  append_records(text, "(16I5)", {flag});
  append_records(text, "(16I5)", {r.n, r.m});
  append_records(text, "(4D20.8)", reals(r.x));
  append_records(text, "(4D20.8)", reals(r.y));
  append_records(text, "(4D20.8)", {r.cost});
  append_records(text, "(16I5)", {r.iterations});
  append_records(text, "(4D20.8)", {r.mu, r.gap, r.primal_index, r.dual_index, r.epsln});
  return text;
}

}  // namespace corvo::classic
