// Units, statements, the stop and the run-time error report.
#include "records/records.hpp"

#include <filesystem>
#include <iostream>
#include <new>
#include <optional>

namespace records {

struct Records::Unit {
  std::string name;       // file name, empty for the console
  std::istream* in = nullptr;
  std::ostream* out = nullptr;
  std::ifstream file_in;
  std::ofstream file_out;
  const char* end_of_record = "\r\n";
  long records_read = 0;
  long records_written = 0;
  bool line_open = false;  // last record left open by a final "$"
  bool write_failed = false;  // already reported by a write statement

  bool is_console() const { return name.empty(); }
};

namespace {

std::string trimmed_name(std::string_view name) {
  std::size_t end = name.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1));
}

std::string describe_unit(int unit, const std::string& name) {
  if (unit == kConsole) return "on the console";
  return "on unit " + std::to_string(unit) + " (file " + name + ")";
}

[[noreturn]] void fail(const char* statement, int unit, const std::string& name,
                       const std::string& detail) {
  throw RunTimeError("Run-time error in " + std::string(statement) + " statement " +
                     describe_unit(unit, name) + ": " + detail);
}

}  // namespace

Records::Records() : Records(std::cin, std::cout) {}

Records::Records(std::istream& console_in, std::ostream& console_out)
    : console_in_(console_in), console_out_(console_out) {
  auto console = std::make_unique<Unit>();
  console->in = &console_in_;
  console->out = &console_out_;
  console->end_of_record = "\n";
  units_[kConsole] = std::move(console);
}

Records::~Records() = default;

bool Records::file_exists(std::string_view name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(trimmed_name(name), ec);
}

void Records::open(int unit, std::string_view name, Status status) {
  std::string file = trimmed_name(name);
  if (unit == kConsole) fail("open", unit, file, "the console cannot be opened as a file");
  if (file.empty()) fail("open", unit, file, "empty file name");
  // Two units on one file would let a write destroy what another unit reads.
  std::error_code ec;
  for (const auto& [number, other] : units_) {
    if (number != unit && !other->is_console() &&
        std::filesystem::equivalent(other->name, file, ec)) {
      fail("open", unit, file, "the file is already open on unit " + std::to_string(number));
    }
  }
  auto u = std::make_unique<Unit>();
  u->name = file;
  if (status == Status::Old) {
    if (!file_exists(file)) fail("open", unit, file, "file not found");
    u->file_in.open(file, std::ios::binary);
    if (!u->file_in) fail("open", unit, file, "the file cannot be read");
    u->in = &u->file_in;
  } else {
    u->file_out.open(file, std::ios::binary | std::ios::trunc);
    if (!u->file_out) fail("open", unit, file, "the file cannot be created");
    u->out = &u->file_out;
  }
  units_[unit] = std::move(u);
}

Records::Unit& Records::unit_for(int unit, const char* statement) {
  auto it = units_.find(unit);
  if (it == units_.end()) fail(statement, unit, "?", "the unit is not open");
  return *it->second;
}

const Format& Records::format(std::string_view tmpl) {
  auto it = formats_.find(tmpl);
  if (it == formats_.end()) {
    it = formats_.emplace(std::string(tmpl), std::make_unique<Format>(Format::parse(tmpl))).first;
  }
  return *it->second;
}

void Records::emit_records(Unit& u, int unit, const std::vector<std::string>& lines,
                           bool keep_open) {
  // The console has one open line at most; any unit's next write ends it.
  if (u.is_console() ? console_line_open_ : u.line_open) *u.out << u.end_of_record;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    *u.out << lines[i];
    if (i + 1 < lines.size() || !keep_open) *u.out << u.end_of_record;
  }
  u.records_written += static_cast<long>(lines.size());
  if (u.is_console()) {
    console_line_open_ = keep_open;
    u.out->flush();
  } else {
    u.line_open = keep_open;
  }
  if (!*u.out) {
    u.write_failed = true;
    fail("write", unit, u.name, "the record could not be written");
  }
}

void Records::write_items(int unit, std::string_view tmpl, std::span<const OutValue> items) {
  Unit& u = unit_for(unit, "write");
  if (u.out == nullptr) fail("write", unit, u.name, "the unit is open for reading only");
  WrittenRecords written;
  try {
    written = write_records(format(tmpl), items);
  } catch (const std::invalid_argument& e) {
    fail("write", unit, u.name, std::string(e.what()) + " in " + std::string(tmpl));
  }
  emit_records(u, unit, written.records, written.keep_open);
}

void Records::read_items(int unit, std::string_view tmpl, std::span<const InTarget> targets) {
  Unit& u = unit_for(unit, "read");
  if (u.in == nullptr) fail("read", unit, u.name, "the unit is open for writing only");
  if (u.is_console()) console_out_.flush();
  auto next_record = [&u]() -> std::optional<std::string> {
    std::string line;
    if (!std::getline(*u.in, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++u.records_read;
    return line;
  };
  std::function<std::optional<std::string>()> source = next_record;
  try {
    read_records(format(tmpl), targets, source);
  } catch (const EndOfInput&) {
    fail("read", unit, u.name,
         "end of file after record " + std::to_string(u.records_read) + " (template " +
             std::string(format(tmpl).text()) + ")");
  } catch (const FieldError& e) {
    int last = e.first_column() + static_cast<int>(e.field().size()) - 1;
    fail("read", unit, u.name,
         "record " + std::to_string(u.records_read) + ", columns " +
             std::to_string(e.first_column()) + "-" + std::to_string(last) + ", field '" +
             e.field() + "': " + e.what() + " (template " + std::string(format(tmpl).text()) +
             ")");
  } catch (const std::invalid_argument& e) {
    fail("read", unit, u.name, std::string(e.what()) + " in " + std::string(tmpl));
  }
}

void Records::write_list(int unit, std::int32_t value) {
  std::string number = std::to_string(value);
  std::string record = " " + std::string(number.size() < 11 ? 11 - number.size() : 0, ' ') + number;
  Unit& u = unit_for(unit, "write");
  if (u.out == nullptr) fail("write", unit, u.name, "the unit is open for reading only");
  emit_records(u, unit, {record}, false);
}

void Records::write_list(int unit, std::string_view text) {
  Unit& u = unit_for(unit, "write");
  if (u.out == nullptr) fail("write", unit, u.name, "the unit is open for reading only");
  emit_records(u, unit, {" " + std::string(text)}, false);
}

void Records::require_records(int unit, std::uintmax_t records, std::string_view what) {
  Unit& u = unit_for(unit, "read");
  if (u.is_console() || u.in == nullptr || records == 0) return;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(u.name, ec);
  if (ec) return;  // not a regular file: nothing to compare with
  // A file read to its end (its last record without a line break) has
  // nothing left; tellg would report no position at all there.
  std::uintmax_t left = 0;
  if (!u.file_in.eof()) {
    const std::streamoff at = u.file_in.tellg();
    if (at < 0) return;
    const auto used = static_cast<std::uintmax_t>(at);
    left = size > used ? size - used : 0;
  }
  if (records <= left) return;
  fail("read", unit, u.name,
       "record " + std::to_string(u.records_read) + ": " + std::string(what) + " need at least " +
           std::to_string(records) + " more records, but the file has only " + std::to_string(left) +
           " bytes left");
}

void Records::stop() { throw StopRequest{}; }

void Records::flush_all() {
  for (auto& [number, u] : units_) {
    if (u->out == nullptr) continue;
    if (u->line_open) {
      *u->out << u->end_of_record;
      u->line_open = false;
    }
    u->out->flush();
  }
  if (console_line_open_) {
    console_out_ << '\n';
    console_line_open_ = false;
  }
  console_out_.flush();
}

std::string Records::close_all() {
  std::string failures;
  for (auto& [number, u] : units_) {
    if (u->out == nullptr || u->is_console()) continue;
    if (u->line_open) {
      *u->out << u->end_of_record;
      u->line_open = false;
    }
    u->file_out.close();  // flushes the buffer; a full device shows here
    if (!u->file_out && !u->write_failed) {
      failures += "Run-time error in close statement " + describe_unit(number, u->name) +
                  ": the records could not all be written to the file\n";
    }
    u->out = nullptr;
  }
  if (console_line_open_) {
    console_out_ << '\n';
    console_line_open_ = false;
  }
  console_out_.flush();
  if (!console_out_) failures += "Run-time error in write statement on the console: output failed\n";
  return failures;
}

void Records::finish_stop() {
  std::string failures = close_all();
  if (!failures.empty()) {
    failures.pop_back();
    throw RunTimeError(failures);
  }
  console_out_ << "Stop - Program terminated.\n";
  console_out_.flush();
  if (!console_out_) fail("write", kConsole, "", "output failed");
}

int run_program(const std::function<void(Records&)>& body) {
  return run_program(body, std::cin, std::cout, std::cerr);
}

namespace {

// Reports `first` and whatever closing the files found wrong after it.
int report_error(Records& io, std::ostream& err, const std::string& first) {
  err << first << '\n' << io.close_all();
  return kRunTimeErrorStatus;
}

}  // namespace

int run_program(const std::function<void(Records&)>& body, std::istream& in, std::ostream& out,
                std::ostream& err) {
  Records io(in, out);
  try {
    try {
      body(io);
    } catch (const StopRequest&) {
      io.finish_stop();
      return 0;
    }
    std::string failures = io.close_all();
    if (failures.empty()) return 0;
    err << failures;
    return kRunTimeErrorStatus;
  } catch (const RunTimeError& e) {
    return report_error(io, err, e.what());
  } catch (const std::bad_alloc&) {
    return report_error(io, err, "Run-time error: not enough memory for the problem");
  }
}

}  // namespace records
