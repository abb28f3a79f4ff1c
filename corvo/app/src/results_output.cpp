#include "corvo/app/results_output.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "corvo/app/file_output.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/report/writers.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

// Every table is checked against the inputs before the first is written,
// so that a refused run leaves the folder as it was.
void write_csv(const report::Results& results, const fs::path& dir, const std::vector<fs::path>& inputs) {
  const std::vector<report::CsvTable> tables = report::csv_tables(results);
  for (const report::CsvTable& t : tables) {
    for (const fs::path& input : inputs) {
      std::error_code ec;
      if (fs::equivalent(dir / t.file_name, input, ec))
        throw InputError((dir / t.file_name).string() + ": the table would replace the input file " +
                         input.string() + "; choose another --output folder");
    }
  }
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw InputError(dir.string() + ": cannot create the folder: " + ec.message());
  for (const report::CsvTable& t : tables) write_file_safely(dir / t.file_name, t.content);
}

// Output that did not reach its file must not pass for a result.
void check_written(std::ostream& out) {
  out.flush();
  if (out) return;
  const int error = errno;
  throw InputError(std::string("standard output: the results could not be written") +
                   (error != 0 ? std::string(" (") + std::strerror(error) + ")" : std::string()));
}

}  // namespace

void add_output_options(CLI::App& cmd, OutputFormat& format) {
  cmd.add_option("--format", format.format, "text (default), json or csv")
      ->check(CLI::IsMember({"text", "json", "csv"}));
  cmd.add_option("--output", format.output, "folder for the CSV files (with --format csv)");
}

void check_output_format(const OutputFormat& format) {
  if (format.format == "csv" && format.output.empty()) throw InputError("--format csv needs --output DIR");
  if (format.format != "csv" && !format.output.empty()) throw InputError("--output is for --format csv only");
}

void write_results(const OutputFormat& format, const report::Results& results, std::ostream& out,
                   const std::vector<fs::path>& inputs) {
  errno = 0;
  if (format.format == "json") {
    report::write_json(out, results);
  } else if (format.format == "csv") {
    write_csv(results, format.output, inputs);
  } else {
    report::write_text(out, results);
  }
  check_written(out);
}

}  // namespace corvo::app
