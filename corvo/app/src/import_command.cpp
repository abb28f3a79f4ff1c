#include "corvo/app/import_command.hpp"

#include "corvo/app/case_input.hpp"
#include "corvo/app/file_output.hpp"
#include "corvo/app/input_error.hpp"
#include "corvo/import/case_file_text.hpp"
#include "corvo/import/case_mapping.hpp"
#include "dispatch/case_loader.hpp"

namespace corvo::app {
namespace {

namespace fs = std::filesystem;

constexpr int kWritten = 0;
constexpr int kRefused = 2;

fs::path output_of(const ImportArgs& args) {
  if (!args.output.empty()) return args.output;
  return fs::path(args.input).stem().string() + ".dat";
}

// NAME.map.csv beside NAME.dat.
fs::path map_file_of(const fs::path& case_file) {
  fs::path map = case_file;
  map.replace_extension(".map.csv");
  return map;
}

// The written file must read back through orsa's reader with the sizes
// that were written.
void check_reads_back(const fs::path& written, const import::ImportedCase& c) {
  try {
    const dispatch::CaseData data = dispatch::load_case_file(written);
    if (static_cast<std::size_t>(data.n) != c.buses.size() || static_cast<std::size_t>(data.nl) != c.lines.size())
      throw InputError("the written case file does not read back with its sizes");
  } catch (const dispatch::CaseFileError& e) {
    throw InputError(std::string("the written case file does not read back: ") + e.what());
  }
}

void report_mappings(std::ostream& err, const ImportArgs& args, const fs::path& out, const import::ImportedCase& c) {
  int generators = 0;
  for (const auto& b : c.buses) generators += b.type != 0 ? 1 : 0;
  err << "corvo import: " << args.input << " -> " << out.string() << " (map: " << map_file_of(out).string()
      << "): " << c.buses.size() << " buses, " << c.lines.size() << " lines, " << generators << " generators\n";
  for (const std::string& m : c.mappings) err << "  " << m << '\n';
  if (c.mappings.empty()) err << "  no mapping needed: the data fit our case model as they are\n";
  if (out.stem().string().size() > 9)
    err << "  warning: orsa takes case names of at most 9 characters; rename the file to run it\n";
}

}  // namespace

CLI::App* add_import_command(CLI::App& app, ImportArgs& args) {
  CLI::App* cmd = app.add_subcommand(
      "import", "Convert a MATPOWER case file (version 2) or a PSS/E RAW file to our case file, with a map back to "
                "the source's numbers");
  cmd->add_option("CASE", args.input, "MATPOWER case file NAME.m, read as text, or PSS/E RAW file NAME.raw")
      ->required();
  add_input_options(*cmd, args.input_options);
  cmd->add_option("-o,--output", args.output, "case file to write (default: CASE's name with .dat, here)");
  cmd->add_flag("--force", args.force, "replace an existing case file and its map");
  return cmd;
}

int run_import(const ImportArgs& args, std::ostream& err) {
  try {
    const fs::path out = output_of(args);
    std::error_code ec;
    if (fs::equivalent(args.input, out, ec)) throw InputError(out.string() + ": the output would replace the input");
    if (fs::exists(out) && !args.force) throw InputError(out.string() + ": the file exists; --force replaces it");
    const fs::path map = map_file_of(out);
    if (fs::equivalent(args.input, map, ec)) throw InputError(map.string() + ": the map would replace the input");
    if (fs::exists(map) && !args.force) throw InputError(map.string() + ": the file exists; --force replaces it");
    const CaseInput input = load_case_input(args.input, args.input_options);
    if (input.format == InputFormat::case_file)
      throw InputError(args.input + ": already our case file (import reads .m and .raw files)");
    const import::ImportedCase c = imported_case(input.network);
    const std::string text = import::case_file_text(c);
    write_file_safely(out, text, [&](const fs::path& temp) { check_reads_back(temp, c); });
    write_file_safely(map, import::case_map_text(c.map));
    report_mappings(err, args, out, c);
    return kWritten;
  } catch (const InputError& e) {
    err << "corvo import: " << e.what() << '\n';
  } catch (const import::ImportError& e) {
    err << "corvo import: " << e.what() << '\n';
  }
  return kRefused;
}

}  // namespace corvo::app
