// Reads a PSS/E RAW file section by section into the network model. The
// sections come in a fixed order per version (raw_layout.hpp); each ends
// with a record `0`, and `Q` ends the data. Records are read through
// raw::Record so that every error names the file, the line and the field.
#include "corvo/network/raw_reader.hpp"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unordered_map>
#include <utility>

#include "raw_layout.hpp"
#include "raw_records.hpp"
#include "raw_transformer.hpp"

namespace corvo::network {
namespace {

using raw::Field;
using raw::Record;
using raw::Section;

constexpr std::int64_t kLargestBusNumber = 2147483647;

std::string show(double value) {
  std::ostringstream out;
  out.precision(12);
  out << value;
  return out.str();
}

std::string plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

bool is_comment_line(std::string_view line) { return raw::trim(line).substr(0, 2) == "@!"; }

// The smallest power of ten above the largest bus number: psse2mpc numbers
// the star buses of three-winding transformers from there.
std::int64_t star_bus_base(std::int64_t largest_bus) {
  std::int64_t base = 1;
  while (base <= largest_bus) base *= 10;
  return base;
}

class RawReader {
 public:
  RawReader(std::string_view text, const std::string& source, const RawOptions& options)
      : source_(source), options_(options), lines_(text) {}

  Network read() {
    network_.format = SourceFormat::psse_raw;
    network_.name = std::filesystem::path(source_).stem().string();
    network_.source = source_;
    read_case_identification();
    for (const Section section : layout_.sections) {
      if (data_ended_) break;
      if (section == Section::system_wide && !system_wide_data_follows()) continue;
      read_section(section);
    }
    if (!data_ended_) skip_rest();
    if (bus_count_ == 0) throw RawError(source_ + ": no bus data");
    assemble_branches();
    apply_costs();
    add_summary_notes();
    return std::move(network_);
  }

 private:
  // ---- lines ----------------------------------------------------------

  std::vector<Field> fields_of(std::size_t index) const {
    return raw::split_fields(lines_[index], source_, line_number(index));
  }
  static std::int64_t line_number(std::size_t index) { return static_cast<std::int64_t>(index) + 1; }

  // The next line that holds a record (blank lines, lines holding only a
  // comment and `@!` column headers are passed over), or none at the end.
  std::optional<std::size_t> next_record_line() {
    while (cursor_ < lines_.size()) {
      const std::size_t index = cursor_++;
      if (is_comment_line(lines_[index])) continue;
      if (raw::is_blank_record(fields_of(index))) continue;
      return index;
    }
    return std::nullopt;
  }

  // The next line of a record that spans several lines, taken as it is (a
  // blank line is a line of defaults).
  Record continuation(const Record& first, const std::string& what, std::size_t lines_in_record) {
    while (cursor_ < lines_.size() && is_comment_line(lines_[cursor_])) ++cursor_;
    if (cursor_ >= lines_.size())
      first.fail("the file ends inside this record (it has " + std::to_string(lines_in_record) + " lines)");
    const std::size_t index = cursor_++;
    return Record(fields_of(index), line_number(index), what, source_);
  }

  // ---- case identification -------------------------------------------

  void read_case_identification() {
    const auto index = next_record_line();
    if (!index) throw RawError(source_ + ": the file is empty");
    const Record id(fields_of(*index), line_number(*index), "case identification", source_);
    const std::int64_t ic = id.integer(1, "IC", 0);
    if (ic != 0)
      id.fail("IC", std::to_string(ic) + ": the file changes a case held by the program that wrote it; only a whole case (IC = 0) can be read");
    network_.base_mva = id.real(2, "SBASE", 100.0);
    if (!(network_.base_mva > 0.0)) id.fail("SBASE", "the system base must be positive (it is " + show(network_.base_mva) + ")");
    const std::optional<std::int64_t> rev = id.has(3) ? std::optional(id.integer(3, "REV")) : std::nullopt;
    const auto supported = [](std::int64_t v) { return v == 33 || v == 34 || v == 35; };
    if (options_.version) {
      if (!supported(*options_.version))
        throw RawError(source_ + ": RAW version " + std::to_string(*options_.version) + " was asked for; versions 33, 34 and 35 can be read");
      if (rev && *rev != *options_.version)
        network_.notes.push_back("read as RAW version " + std::to_string(*options_.version) +
                                 " as asked; the header says version " + std::to_string(*rev));
      layout_ = raw::layout_of(*options_.version);
    } else {
      if (!rev) id.fail("REV", "missing: the version is not known (give it with --raw-version)");
      if (!supported(*rev))
        id.fail("REV", "RAW version " + std::to_string(*rev) + " cannot be read (versions 33, 34 and 35 can; --raw-version reads the file as one of them)");
      layout_ = raw::layout_of(static_cast<int>(*rev));
    }
    // The two lines after it are the title, taken as they are.
    std::string title;
    for (int k = 0; k < 2 && cursor_ < lines_.size(); ++k) {
      const std::string_view line = raw::trim(lines_[cursor_++]);
      if (line.empty()) continue;
      if (!title.empty()) title += " / ";
      title += line;
    }
    network_.title = title;
  }

  // The system-wide data of versions 34 and 35 (GENERAL, NEWTON, RATING,
  // ... records) begins with a keyword, where bus data begins with a number.
  bool system_wide_data_follows() {
    const std::size_t saved = cursor_;
    const auto index = next_record_line();
    cursor_ = saved;
    if (!index) return false;
    const std::vector<Field> fields = fields_of(*index);
    return !fields[0].quoted && !raw::parse_real(fields[0].text) && !raw::is_data_end(fields);
  }

  // ---- sections ---------------------------------------------------------

  void read_section(Section section) {
    const bool runs_to_end = section == Section::substation;
    std::size_t records = 0;
    std::size_t lines = 0;
    while (true) {
      const auto index = next_record_line();
      if (!index) {
        if (records > 0 && !runs_to_end)
          throw RawError(source_ + ": the file ends inside the " + raw::section_name(section) +
                         " (no record 0 ends it)");
        data_ended_ = true;
        break;
      }
      std::vector<Field> fields = fields_of(*index);
      if (raw::is_data_end(fields)) {
        data_ended_ = true;
        break;
      }
      if (raw::is_section_end(fields)) {
        // The substation data nests sections of its own (nodes, switching
        // devices, terminals), each ended by its own `0`.
        if (runs_to_end) continue;
        break;
      }
      ++records;
      const std::size_t before = cursor_;
      read_record(section, Record(std::move(fields), line_number(*index), raw::section_name(section), source_),
                  records);
      lines += 1 + (cursor_ - before);
    }
    note_skipped(section, records, lines);
  }

  void read_record(Section section, const Record& record, std::size_t position) {
    switch (section) {
      case Section::bus: return read_bus(record);
      case Section::load: return read_load(record);
      case Section::fixed_shunt: return read_fixed_shunt(record);
      case Section::generator: return read_generator(record, position);
      case Section::branch: return read_branch(record, position);
      case Section::switching_device: return read_switching_device(record, position);
      case Section::transformer: return read_transformer(record, position);
      case Section::two_terminal_dc: return skip_dc_link(record, 3, 2, "two-terminal DC line");
      case Section::vsc_dc: return skip_dc_link(record, 3, 2, "VSC DC line");
      case Section::multi_terminal_dc: return skip_multi_terminal_dc(record);
      default: return;  // skipped sections of one line per record
    }
  }

  // Lines after the last section of the version, up to `Q` or the end.
  void skip_rest() {
    std::size_t lines = 0;
    while (const auto index = next_record_line()) {
      if (raw::is_data_end(fields_of(*index))) break;
      ++lines;
    }
    if (lines > 0)
      network_.notes.push_back(plural(lines, "line", "lines") + " after the " +
                               raw::section_name(layout_.sections.back()) + " skipped");
  }

  void note_skipped(Section section, std::size_t records, std::size_t lines) {
    if (records == 0) return;
    const std::string name = raw::section_name(section);
    const auto counted = [&](const char* why) {
      const bool by_lines = section == Section::gne || section == Section::substation ||
                            (section == Section::impedance_correction && layout_.impedance_tables_span_lines);
      const std::string count = by_lines ? plural(lines, "line", "lines") : plural(records, "record", "records");
      network_.notes.push_back(name + ": " + count + " skipped (" + why + ")");
    };
    switch (section) {
      case Section::bus:
      case Section::load:
      case Section::fixed_shunt:
      case Section::generator:
      case Section::branch:
      case Section::transformer:
        return;
      case Section::switching_device:
        network_.notes.push_back(name + ": " + plural(records, "device", "devices") +
                                 " read as branches (X as the reactance, RATE1 as the flow limit, STAT as the status)");
        return;
      case Section::switched_shunt:
        network_.notes.push_back(name + ": " + plural(records, "record", "records") +
                                 " ignored (they hold reactive susceptance only, which the DC model does not use)");
        return;
      case Section::system_wide: return counted("solution settings and rating names");
      case Section::impedance_correction:
        return counted("the DC model takes each transformer's impedance as written");
      case Section::multi_section_line: return counted("groupings of branches, which are read one by one");
      case Section::two_terminal_dc:
      case Section::vsc_dc:
      case Section::multi_terminal_dc: return counted("blocked DC links");
      case Section::facts: return counted("FACTS devices are not modelled");
      case Section::induction_machine: return counted("induction machines are not modelled");
      case Section::substation: return counted("node-breaker detail of buses already read");
      default: return counted("not used by the DC dispatch");
    }
  }

  // ---- buses, loads, shunts, generators ---------------------------------

  std::int32_t bus_index(const Record& r, std::size_t position, std::string_view name, bool metered_sign = false) {
    std::int64_t number = r.integer(position, name);
    // A non-transformer branch marks its metered end by a negative J.
    if (metered_sign && number < 0) number = -number;
    const auto it = index_of_bus_.find(number);
    if (it == index_of_bus_.end()) r.fail(name, "bus " + std::to_string(number) + " is not in the bus data");
    return it->second;
  }

  // A status of 0 (out of service) or 1 (in service).
  static bool in_service(const Record& r, std::size_t position, std::string_view name) {
    const std::int64_t status = r.integer(position, name, 1);
    if (status != 0 && status != 1) r.fail(name, std::to_string(status) + " is not a status (0 or 1)");
    return status == 1;
  }

  void read_bus(const Record& r) {
    r.check_size(layout_.bus_fields, layout_.version);
    Bus bus;
    bus.number = r.integer(1, "I");
    if (bus.number < 1 || bus.number > kLargestBusNumber)
      r.fail("I", std::to_string(bus.number) + " is not a bus number (1 to " + std::to_string(kLargestBusNumber) + ")");
    bus.name = r.text(2, "NAME", "");
    const double base_kv = r.real(3, "BASKV", 0.0);
    if (base_kv < 0.0) r.fail("BASKV", "the base voltage is negative (" + show(base_kv) + " kV)");
    const std::int64_t type = r.integer(4, "IDE", 1);
    if (type < 1 || type > 4) r.fail("IDE", std::to_string(type) + " is not a bus type (1 to 4)");
    bus.reference = type == 3;
    bus.in_service = type != 4;
    bus.angle_deg = r.real(9, "VA", 0.0);
    const auto [it, inserted] = index_of_bus_.emplace(bus.number, static_cast<std::int32_t>(network_.buses.size()));
    if (!inserted)
      r.fail("I", "bus " + std::to_string(bus.number) + " is already defined on line " +
                      std::to_string(bus_lines_[static_cast<std::size_t>(it->second)]));
    largest_bus_ = std::max(largest_bus_, bus.number);
    bus_base_kv_.push_back(base_kv);
    bus_lines_.push_back(r.line());
    network_.buses.push_back(std::move(bus));
    ++bus_count_;
  }

  void read_load(const Record& r) {
    r.check_size(layout_.load_fields, layout_.version);
    const std::int32_t bus = bus_index(r, 1, "I");
    const bool on = in_service(r, 3, "STATUS");
    const double pl = r.real(6, "PL", 0.0);
    const double ip = r.real(8, "IP", 0.0);
    const double yp = r.real(10, "YP", 0.0);
    if (!on) return;
    network_.buses[static_cast<std::size_t>(bus)].load_mw += pl;
    if (ip != 0.0 || yp != 0.0) ++loads_with_voltage_terms_;
  }

  void read_fixed_shunt(const Record& r) {
    r.check_size(layout_.shunt_fields, layout_.version);
    const std::int32_t bus = bus_index(r, 1, "I");
    const bool on = in_service(r, 3, "STATUS");
    const double gl = r.real(4, "GL", 0.0);
    if (on) network_.buses[static_cast<std::size_t>(bus)].shunt_mw += gl;
  }

  void read_generator(const Record& r, std::size_t position) {
    r.check_size(layout_.gen_fields, layout_.version);
    Generator gen;
    gen.bus = bus_index(r, 1, "I");
    gen.source.row = static_cast<std::int64_t>(position);
    gen.source.id = r.text(2, "ID", "1");
    gen.in_service = in_service(r, layout_.gen_stat, "STAT");
    gen.pmax_mw = r.real(layout_.gen_pt, "PT", 9999.0);
    gen.pmin_mw = r.real(layout_.gen_pb, "PB", -9999.0);
    if (gen.in_service && gen.pmax_mw < gen.pmin_mw)
      r.fail("PT", "the upper limit " + show(gen.pmax_mw) + " MW is below the lower limit PB = " + show(gen.pmin_mw) + " MW");
    const std::int64_t bus_number = network_.buses[static_cast<std::size_t>(gen.bus)].number;
    const auto [it, inserted] = generator_of_.emplace(std::make_pair(bus_number, gen.source.id), network_.generators.size());
    if (!inserted)
      r.fail("ID", "a second generator at bus " + std::to_string(bus_number) + " with machine id '" + gen.source.id +
                       "' (the first is on line " + std::to_string(generator_lines_[it->second]) + ")");
    generator_lines_.push_back(r.line());
    network_.generators.push_back(std::move(gen));
  }

  // ---- branches -------------------------------------------------------

  double rating(const Record& r, std::size_t position, const std::string& name) {
    const double rate = r.real(position, name, 0.0);
    if (rate < 0.0) r.fail(name, "a negative rating (" + show(rate) + " MVA)");
    return rate;
  }

  // A flow limit of ±rating; a rating of 0 means no limit.
  static void set_limits(Branch& branch, double rate) {
    branch.flow_min_mw = rate > 0.0 ? -rate : -kUnlimited;
    branch.flow_max_mw = rate > 0.0 ? rate : kUnlimited;
  }

  void check_ends(const Record& r, std::int32_t from, std::int32_t to) {
    if (from == to) r.fail("J", "the branch joins bus " + std::to_string(network_.buses[static_cast<std::size_t>(from)].number) + " to itself");
  }

  void read_branch(const Record& r, std::size_t position) {
    r.check_size(layout_.branch_fields, layout_.version);
    Branch branch;
    branch.from = bus_index(r, 1, "I");
    branch.to = bus_index(r, 2, "J", true);
    check_ends(r, branch.from, branch.to);
    branch.source = {static_cast<std::int64_t>(position), r.text(3, "CKT", "1")};
    branch.x_pu = r.real(5, "X");
    set_limits(branch, rating(r, layout_.branch_rate, layout_.branch_rate_name));
    const double gi = r.real(layout_.branch_gi, "GI", 0.0);
    const double gj = r.real(layout_.branch_gj, "GJ", 0.0);
    branch.in_service = in_service(r, layout_.branch_stat, "ST");
    // psse2mpc adds the conductances at the ends of a branch in service to
    // the shunts of its buses; the DC model then takes them as load.
    if (branch.in_service && (gi != 0.0 || gj != 0.0)) {
      network_.buses[static_cast<std::size_t>(branch.from)].shunt_mw += gi * network_.base_mva;
      network_.buses[static_cast<std::size_t>(branch.to)].shunt_mw += gj * network_.base_mva;
      ++branches_with_conductance_;
    }
    lines_read_.push_back(std::move(branch));
  }

  void read_switching_device(const Record& r, std::size_t position) {
    r.check_size(layout_.switch_fields, layout_.version);
    Branch branch;
    branch.from = bus_index(r, 1, "I");
    branch.to = bus_index(r, 2, "J");
    check_ends(r, branch.from, branch.to);
    branch.source = {static_cast<std::int64_t>(position), r.text(3, "CKT", "1")};
    branch.x_pu = r.real(4, "X", 0.0001);
    set_limits(branch, rating(r, 5, "RATE1"));
    branch.in_service = in_service(r, 17, "STAT");
    switches_read_.push_back(std::move(branch));
  }

  raw::Winding winding(const Record& line, int number, std::int32_t bus, int cw) const {
    raw::Winding w;
    w.number = number;
    w.bus = network_.buses[static_cast<std::size_t>(bus)].number;
    w.bus_kv = bus_base_kv_[static_cast<std::size_t>(bus)];
    const std::string n = std::to_string(number);
    // WINDV defaults to 1 pu, or to the bus base voltage when given in kV.
    w.windv = line.real(1, "WINDV" + n, cw == 2 ? w.bus_kv : 1.0);
    w.nomv = line.real(2, "NOMV" + n, 0.0);
    if (w.nomv < 0.0) line.fail("NOMV" + n, "a negative nominal voltage (" + show(w.nomv) + " kV)");
    return w;
  }

  void read_transformer(const Record& first, std::size_t position) {
    first.check_size(layout_.transformer_fields, layout_.version);
    const std::int32_t bus_i = bus_index(first, 1, "I");
    const std::int32_t bus_j = bus_index(first, 2, "J");
    const bool three = first.integer(3, "K", 0) != 0;
    const std::int32_t bus_k = three ? bus_index(first, 3, "K") : bus_i;
    check_ends(first, bus_i, bus_j);
    if (three && (bus_k == bus_i || bus_k == bus_j))
      first.fail("K", "the third winding is on the same bus as another winding");
    const SourceRef source{static_cast<std::int64_t>(position), first.text(4, "CKT", "1")};
    const int cw = code(first, 5, "CW");
    const int cz = code(first, 6, "CZ");
    const std::int64_t status = first.integer(12, "STAT", 1);
    if (status < 0 || status > (three ? 4 : 1))
      first.fail("STAT", std::to_string(status) + " is not a status (" + (three ? "0 to 4" : "0 or 1") + ")");

    const std::size_t record_lines = three ? 5 : 4;
    const Record impedance = continuation(first, "transformer data (impedance line)", record_lines);
    impedance.check_size(11, layout_.version);
    std::vector<Record> winding_lines;
    for (int n = 1; n <= (three ? 3 : 2); ++n) {
      winding_lines.push_back(continuation(first, "transformer data (winding " + std::to_string(n) + " line)", record_lines));
      winding_lines.back().check_size(layout_.winding_fields, layout_.version);
    }
    const auto pair = [&](const char* name, std::size_t at) {
      const std::string suffix = name;
      return raw::PairImpedance{suffix, impedance.real(at, "R" + suffix, 0.0), impedance.real(at + 1, "X" + suffix),
                                impedance.real(at + 2, "SBASE" + suffix, network_.base_mva)};
    };
    // A field that cannot be converted is named on the line that holds it.
    const auto converted = [&](auto&& compute) {
      try {
        return compute();
      } catch (const raw::ConversionError& e) {
        const bool winding_field = e.field.rfind("WINDV", 0) == 0 || e.field.rfind("NOMV", 0) == 0;
        const Record& line = winding_field ? winding_lines[static_cast<std::size_t>(e.field.back() - '1')] : impedance;
        line.fail(e.field, e.what());
      }
    };

    if (!three) {
      const raw::Winding w1 = winding(winding_lines[0], 1, bus_i, cw);
      const raw::Winding w2 = winding(winding_lines[1], 2, bus_j, cw);
      Branch branch;
      branch.from = bus_i;
      branch.to = bus_j;
      branch.source = source;
      branch.x_pu = converted([&] { return raw::pair_reactance(cz, pair("1-2", 1), w1, network_.base_mva); });
      branch.tap = converted([&] { return raw::two_winding_tap(cw, w1, w2); });
      branch.shift_deg = winding_lines[0].real(3, "ANG1", 0.0);
      set_limits(branch, rating(winding_lines[0], 4, layout_.winding_rate_name(1)));
      branch.in_service = status == 1;
      two_winding_read_.push_back(std::move(branch));
      return;
    }

    const std::int32_t buses[3] = {bus_i, bus_j, bus_k};
    raw::Winding w[3];
    for (int n = 0; n < 3; ++n) w[n] = winding(winding_lines[static_cast<std::size_t>(n)], n + 1, buses[n], cw);
    const double x12 = converted([&] { return raw::pair_reactance(cz, pair("1-2", 1), w[0], network_.base_mva); });
    const double x23 = converted([&] { return raw::pair_reactance(cz, pair("2-3", 4), w[1], network_.base_mva); });
    const double x31 = converted([&] { return raw::pair_reactance(cz, pair("3-1", 7), w[2], network_.base_mva); });
    const raw::StarReactances star_x = raw::star_reactances(x12, x23, x31);
    const double x[3] = {star_x.x1, star_x.x2, star_x.x3};

    ++three_winding_count_;
    if (star_base_ == 0) star_base_ = star_bus_base(largest_bus_);
    Bus star;
    star.number = star_base_ + three_winding_count_;
    star.name = "star point of " + std::to_string(w[0].bus) + "-" + std::to_string(w[1].bus) + "-" +
                std::to_string(w[2].bus) + " '" + source.id + "'";
    star.angle_deg = impedance.real(11, "ANSTAR", 0.0);
    star.in_service = status != 0;
    const auto star_index = static_cast<std::int32_t>(network_.buses.size());
    network_.buses.push_back(std::move(star));

    // STAT: 0 all windings out, 1 all in, 2 winding 2 out, 3 winding 3
    // out, 4 winding 1 out.
    const bool winding_on[3] = {status == 1 || status == 2 || status == 3, status == 1 || status == 3 || status == 4,
                                status == 1 || status == 2 || status == 4};
    for (int n = 0; n < 3; ++n) {
      const Record& line = winding_lines[static_cast<std::size_t>(n)];
      Branch branch;
      branch.from = buses[n];
      branch.to = star_index;
      branch.source = source;
      branch.x_pu = x[n];
      branch.tap = converted([&] { return raw::star_winding_tap(cw, w[n]); });
      branch.shift_deg = line.real(3, "ANG" + std::to_string(n + 1), 0.0);
      set_limits(branch, rating(line, 4, layout_.winding_rate_name(n + 1)));
      branch.in_service = winding_on[n];
      three_winding_read_.push_back(std::move(branch));
    }
  }

  static int code(const Record& r, std::size_t position, std::string_view name) {
    const std::int64_t value = r.integer(position, name, 1);
    if (value < 1 || value > 3) r.fail(name, std::to_string(value) + " is not a code (1, 2 or 3)");
    return static_cast<int>(value);
  }

  // ---- DC links: refused in service, skipped when blocked -----------------

  void refuse_if_in_service(const Record& first, std::size_t mode_at, const char* kind) {
    const std::int64_t mode = first.integer(mode_at, "MDC", 0);
    if (mode != 0)
      first.fail("MDC", std::string(kind) + " '" + first.text(1, "NAME", "") + "' is in service (MDC = " +
                            std::to_string(mode) + "): DC links are not modelled, and leaving it out would change the network");
  }

  void skip_dc_link(const Record& first, std::size_t lines, std::size_t mode_at, const char* kind) {
    refuse_if_in_service(first, mode_at, kind);
    for (std::size_t k = 1; k < lines; ++k) continuation(first, kind, lines);
  }

  void skip_multi_terminal_dc(const Record& first) {
    refuse_if_in_service(first, 5, "multi-terminal DC line");
    const std::int64_t converters = first.integer(2, "NCONV", 0);
    const std::int64_t dc_buses = first.integer(3, "NDCBS", 0);
    const std::int64_t dc_links = first.integer(4, "NDCLN", 0);
    if (converters < 0 || dc_buses < 0 || dc_links < 0 || converters + dc_buses + dc_links > 100000)
      first.fail("NCONV", "the counts of converters, DC buses and DC links are out of range");
    const auto lines = static_cast<std::size_t>(1 + converters + dc_buses + dc_links);
    for (std::size_t k = 1; k < lines; ++k) continuation(first, raw::section_name(Section::multi_terminal_dc), lines);
  }

  // ---- the network put together --------------------------------------

  // Branches in psse2mpc's order: lines, then two-winding transformers,
  // then the three branches of each three-winding transformer; the
  // switching devices, which psse2mpc does not read, after the lines.
  void assemble_branches() {
    for (auto* part : {&lines_read_, &switches_read_, &two_winding_read_, &three_winding_read_})
      for (Branch& branch : *part) network_.branches.push_back(std::move(branch));
  }

  static bool takes_part(const Network& network, const Generator& gen) {
    return gen.in_service && network.buses[static_cast<std::size_t>(gen.bus)].in_service;
  }

  void apply_costs() {
    const GeneratorCosts& costs = options_.costs;
    std::vector<bool> costed(network_.generators.size(), false);
    for (const GeneratorCostRow& row : costs.rows) {
      const auto it = generator_of_.find({row.bus, row.id});
      if (it == generator_of_.end())
        throw RawError(costs.source + ": line " + std::to_string(row.line) + ": no generator at bus " +
                       std::to_string(row.bus) + " with machine id '" + row.id + "' in " + source_);
      Generator& gen = network_.generators[it->second];
      gen.cost.model = CostCurve::Model::polynomial;
      gen.cost.c2 = row.c2;
      gen.cost.c1 = row.c1;
      gen.cost.c0 = row.c0;
      costed[it->second] = true;
    }
    std::size_t missing = 0;
    std::size_t first = 0;
    for (std::size_t g = 0; g < network_.generators.size(); ++g) {
      if (costed[g] || !takes_part(network_, network_.generators[g])) continue;
      if (missing++ == 0) first = g;
    }
    if (missing == 0) return;
    const Generator& gen = network_.generators[first];
    const std::string where = costs.source.empty()
                                  ? std::string("no costs were given (RAW files carry none: --costs FILE, a CSV with header bus,id,c2,c1,c0)")
                                  : "it has no row in " + costs.source;
    throw RawError(source_ + ": line " + std::to_string(generator_lines_[first]) + ": generator record " +
                   std::to_string(gen.source.row) + " at bus " +
                   std::to_string(network_.buses[static_cast<std::size_t>(gen.bus)].number) + " with machine id '" +
                   gen.source.id + "' is in service but has no cost: " + where +
                   (missing > 1 ? " (and " + plural(missing - 1, "more generator lacks", "more generators lack") + " one)" : ""));
  }

  void add_summary_notes() {
    if (three_winding_count_ == 1)
      network_.notes.push_back("three-winding transformers: star bus " + std::to_string(star_base_ + 1) +
                               " added, joined to the three winding buses");
    if (three_winding_count_ > 1)
      network_.notes.push_back("three-winding transformers: star buses " + std::to_string(star_base_ + 1) + " to " +
                               std::to_string(star_base_ + three_winding_count_) +
                               " added, one per transformer in file order, each joined to its three winding buses");
    if (loads_with_voltage_terms_ > 0)
      network_.notes.push_back("load data: the constant-current (IP) and constant-admittance (YP) parts of " +
                               plural(loads_with_voltage_terms_, "load", "loads") + " left out; only the constant power PL is used");
    if (branches_with_conductance_ > 0)
      network_.notes.push_back("non-transformer branch data: the end conductances GI and GJ of " +
                               plural(branches_with_conductance_, "branch", "branches") +
                               " added to the shunts of their buses, as psse2mpc adds them");
  }

  const std::string& source_;
  const RawOptions& options_;
  raw::Lines lines_;
  std::size_t cursor_ = 0;
  bool data_ended_ = false;
  raw::Layout layout_;
  Network network_;

  std::unordered_map<std::int64_t, std::int32_t> index_of_bus_;
  std::vector<double> bus_base_kv_;        // per bus read from the file
  std::vector<std::int64_t> bus_lines_;
  std::size_t bus_count_ = 0;
  std::int64_t largest_bus_ = 0;
  std::map<std::pair<std::int64_t, std::string>, std::size_t> generator_of_;  // (bus number, id) -> index
  std::vector<std::int64_t> generator_lines_;
  std::vector<Branch> lines_read_, switches_read_, two_winding_read_, three_winding_read_;
  std::int64_t star_base_ = 0;
  std::int64_t three_winding_count_ = 0;
  std::size_t loads_with_voltage_terms_ = 0;
  std::size_t branches_with_conductance_ = 0;
};

}  // namespace

Network read_raw(std::string_view text, const std::string& source, const RawOptions& options) {
  return RawReader(text, source, options).read();
}

Network read_raw_file(const std::string& path, const RawOptions& options) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RawError(path + ": cannot open the RAW file");
  std::ostringstream text;
  text << in.rdbuf();
  return read_raw(text.str(), path, options);
}

}  // namespace corvo::network
