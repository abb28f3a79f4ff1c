#include "corvo/app/results_output.hpp"

#include <filesystem>

#include "corvo/app/file_output.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/report/writers.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

void write_csv(const report::Results& results, const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw InputError(dir.string() + ": cannot create the folder: " + ec.message());
  for (const report::CsvTable& t : report::csv_tables(results)) write_file_safely(dir / t.file_name, t.content);
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

void write_results(const OutputFormat& format, const report::Results& results, std::ostream& out) {
  if (format.format == "json") {
    out << report::to_json(results).dump(1) << '\n';
  } else if (format.format == "csv") {
    write_csv(results, format.output);
  } else {
    report::write_text(out, results);
  }
}

}  // namespace corvo::app
