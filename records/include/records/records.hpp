// Fixed-format record layer shared by the console programs.
//
// Every record that the programs read or write, on files and on the
// console, is laid out by a record template such as "(2I10,D10.2)".
// A `Records` object owns the units of one program run (files opened by
// number, plus the console) and the cache of parsed templates; each
// `write` or `read` call is one statement.
//
//   records::Records io;
//   io.open(7, "orsa.ip", records::Status::Unknown);
//   io.write(7, "(8I10)", m, n, ndp, ndc);
//   io.write(7, "(4D20.13)", std::span(c));       // a whole array
//   io.read(3, "(2I10,D10.2)", n, nl, sb);         // into references
//
// Failures (missing file, end of file, malformed field, failed write or
// close, a count the file cannot back) throw
// `records::RunTimeError`; `records::run_program` turns that into the
// run-time error report and the exit status `kRunTimeErrorStatus`, and the
// stop into "Stop - Program terminated." with status 0.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "records/format.hpp"

namespace records {

// The console is a unit of its own: writes go to standard output, reads
// come from standard input.
inline constexpr int kConsole = 0;

// Exit status of a run that ends with the run-time error report.
inline constexpr int kRunTimeErrorStatus = 2;

enum class Status { Old, Unknown };

// Thrown by every failing statement; the message is the complete report.
class RunTimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Thrown by Records::stop; caught by run_program.
struct StopRequest {};

namespace detail {
// Flattening of statement arguments into item lists.
inline void append_out(std::vector<OutValue>& items, std::int32_t v) { items.emplace_back(v); }
inline void append_out(std::vector<OutValue>& items, double v) { items.emplace_back(v); }
inline void append_out(std::vector<OutValue>& items, std::string_view v) {
  items.emplace_back(std::string(v));
}
inline void append_out(std::vector<OutValue>& items, const std::string& v) { items.emplace_back(v); }
inline void append_out(std::vector<OutValue>& items, const char* v) {
  items.emplace_back(std::string(v));
}
inline void append_out(std::vector<OutValue>& items, std::span<const double> v) {
  for (double e : v) items.emplace_back(e);
}
inline void append_out(std::vector<OutValue>& items, std::span<const std::int32_t> v) {
  for (std::int32_t e : v) items.emplace_back(e);
}
inline void append_out(std::vector<OutValue>& items, const std::vector<double>& v) {
  append_out(items, std::span<const double>(v));
}
inline void append_out(std::vector<OutValue>& items, const std::vector<std::int32_t>& v) {
  append_out(items, std::span<const std::int32_t>(v));
}
inline void append_out(std::vector<OutValue>& items, std::span<double> v) {
  append_out(items, std::span<const double>(v));
}
inline void append_out(std::vector<OutValue>& items, std::span<std::int32_t> v) {
  append_out(items, std::span<const std::int32_t>(v));
}

inline void append_in(std::vector<InTarget>& targets, std::int32_t& v) { targets.emplace_back(&v); }
inline void append_in(std::vector<InTarget>& targets, double& v) { targets.emplace_back(&v); }
inline void append_in(std::vector<InTarget>& targets, std::string& v) { targets.emplace_back(&v); }
inline void append_in(std::vector<InTarget>& targets, std::span<double> v) {
  for (double& e : v) targets.emplace_back(&e);
}
inline void append_in(std::vector<InTarget>& targets, std::span<std::int32_t> v) {
  for (std::int32_t& e : v) targets.emplace_back(&e);
}
inline void append_in(std::vector<InTarget>& targets, std::vector<double>& v) {
  append_in(targets, std::span<double>(v));
}
inline void append_in(std::vector<InTarget>& targets, std::vector<std::int32_t>& v) {
  append_in(targets, std::span<std::int32_t>(v));
}
}  // namespace detail

class Records {
 public:
  // Console streams are injectable for tests; by default the process's own.
  Records();
  Records(std::istream& console_in, std::ostream& console_out);
  ~Records();
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;

  // Binds `unit` to the file `name` (trailing blanks are not part of the
  // name). Old: the file must exist and is read from its first record.
  // Unknown: created when missing, rewritten from its start otherwise.
  void open(int unit, std::string_view name, Status status);

  // True when a file of that name (trailing blanks dropped) exists.
  static bool file_exists(std::string_view name);

  // One formatted write statement.
  void write_items(int unit, std::string_view tmpl, std::span<const OutValue> items);
  template <class... Args>
  void write(int unit, std::string_view tmpl, const Args&... args) {
    std::vector<OutValue> items;
    (detail::append_out(items, args), ...);
    write_items(unit, tmpl, items);
  }

  // One formatted read statement.
  void read_items(int unit, std::string_view tmpl, std::span<const InTarget> targets);
  template <class... Args>
  void read(int unit, std::string_view tmpl, Args&&... args) {
    std::vector<InTarget> targets;
    (detail::append_in(targets, args), ...);
    read_items(unit, tmpl, targets);
  }

  // List-directed write of one integer or one text: one record.
  void write_list(int unit, std::int32_t value);
  void write_list(int unit, std::string_view text);

  // Checks, before storage is sized from a count read on `unit`, that the
  // rest of the file can hold `records` more records (each takes at least
  // one byte). Throws RunTimeError naming `what` (the count, e.g. "n =
  // 1000000000 buses") and the record just read when it cannot. The
  // console is never checked.
  void require_records(int unit, std::uintmax_t records, std::string_view what);

  // Ends an open console line and throws StopRequest.
  [[noreturn]] void stop();

  // Closes every file, ends an open console line, writes "Stop - Program
  // terminated." and flushes the console. Called by run_program when a
  // StopRequest arrives. Throws RunTimeError, before the stop line, when
  // a file could not be written or closed.
  void finish_stop();
  // Ends open lines and flushes every unit, without checking (for a
  // caller that reads back what it wrote before the run ends).
  void flush_all();
  // Ends open lines, then flushes and closes every file and flushes the
  // console. Returns the report of every unit whose records did not all
  // reach the file (empty when all did).
  std::string close_all();

  // The parsed template, parsed once per distinct text.
  const Format& format(std::string_view tmpl);

 private:
  struct Unit;
  Unit& unit_for(int unit, const char* statement);
  void emit_records(Unit& u, int unit, const std::vector<std::string>& lines, bool keep_open);

  std::istream& console_in_;
  std::ostream& console_out_;
  bool console_line_open_ = false;
  std::map<int, std::unique_ptr<Unit>> units_;
  std::map<std::string, std::unique_ptr<Format>, std::less<>> formats_;
};

// Runs one program: `body` gets the program's Records. Returns the exit
// status: 0 after the stop (or when body returns), kRunTimeErrorStatus after
// a run-time error, whose report goes to standard error.
int run_program(const std::function<void(Records&)>& body);
int run_program(const std::function<void(Records&)>& body, std::istream& in, std::ostream& out,
                std::ostream& err);

}  // namespace records
