// The batch's tables as one HDF5 file: a group per table, a 1-D dataset
// per column, so that any HDF5 reader (h5py, HDF5.jl, MATLAB's h5read)
// takes a column as an array without our code. The element tables are
// streamed into chunked datasets as the results arrive; the summary and
// the relaxation, one row per scenario or fewer, are written at the end.
//
// The file is the same byte for byte for the same results: no object
// keeps its modification time, and every write depends only on the data
// (chunks are filled in the scenarios' order and flushed when full).
#include <hdf5.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "corvo/app/input_error.hpp"
#include "corvo/batch/result_tables.hpp"
#include "corvo/report/display_text.hpp"
#include "streamed_file.hpp"

namespace corvo::batch {
namespace {

namespace fs = std::filesystem;

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

// The string datasets say UTF-8: texts from the user's files (a scenario
// name, a RAW id, a message quoting a file name) are made valid UTF-8.
std::string utf8(const std::string& text) { return report::utf8_with_replacements(text); }

std::vector<std::string> utf8(std::vector<std::string> texts) {
  for (std::string& t : texts) t = utf8(t);
  return texts;
}

// An HDF5 identifier closed by the function that goes with its kind.
class Handle {
 public:
  Handle() = default;
  Handle(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
  Handle(Handle&& o) noexcept : id_(o.id_), close_(o.close_) { o.id_ = -1; }
  Handle& operator=(Handle&& o) noexcept {
    reset();
    id_ = o.id_;
    close_ = o.close_;
    o.id_ = -1;
    return *this;
  }
  ~Handle() { reset(); }
  hid_t get() const { return id_; }
  // Closes now and reports whether the close succeeded.
  bool close() {
    const bool ok = id_ < 0 || close_(id_) >= 0;
    id_ = -1;
    return ok;
  }

 private:
  void reset() {
    if (id_ >= 0) close_(id_);
    id_ = -1;
  }
  hid_t id_ = -1;
  herr_t (*close_)(hid_t) = nullptr;
};

class Hdf5Error {
 public:
  std::string what;
};

hid_t checked(hid_t id, const std::string& what) {
  if (id < 0) throw Hdf5Error{what};
  return id;
}
void checked_call(herr_t status, const std::string& what) {
  if (status < 0) throw Hdf5Error{what};
}

Handle plist(hid_t kind) {
  Handle p(checked(H5Pcreate(kind), "a property list"), H5Pclose);
  // No modification times: the same results give the same bytes.
  checked_call(H5Pset_obj_track_times(p.get(), 0), "a property list");
  return p;
}

Handle group(hid_t file, const char* name) {
  const Handle gcpl = plist(H5P_GROUP_CREATE);
  return Handle(checked(H5Gcreate2(file, name, H5P_DEFAULT, gcpl.get(), H5P_DEFAULT), std::string("group ") + name),
                H5Gclose);
}

// A text type: fixed length (null-padded) or variable length, UTF-8.
Handle string_type(std::size_t length) {
  Handle t(checked(H5Tcopy(H5T_C_S1), "a string type"), H5Tclose);
  checked_call(H5Tset_size(t.get(), length == 0 ? H5T_VARIABLE : length), "a string type");
  checked_call(H5Tset_cset(t.get(), H5T_CSET_UTF8), "a string type");
  if (length != 0) checked_call(H5Tset_strpad(t.get(), H5T_STR_NULLPAD), "a string type");
  return t;
}

// A whole column written at once.
void write_column(hid_t group, const char* name, hid_t file_type, hid_t memory_type, std::size_t rows,
                  const void* data) {
  const hsize_t dims[1] = {rows};
  const Handle space(checked(H5Screate_simple(1, dims, nullptr), name), H5Sclose);
  const Handle dcpl = plist(H5P_DATASET_CREATE);
  const Handle set(checked(H5Dcreate2(group, name, file_type, space.get(), H5P_DEFAULT, dcpl.get(), H5P_DEFAULT), name),
                   H5Dclose);
  if (rows > 0) checked_call(H5Dwrite(set.get(), memory_type, H5S_ALL, H5S_ALL, H5P_DEFAULT, data), name);
}

void write_texts(hid_t group, const char* name, const std::vector<std::string>& texts) {
  std::vector<const char*> pointers;
  for (const std::string& t : texts) pointers.push_back(t.c_str());
  const Handle type = string_type(0);
  write_column(group, name, type.get(), type.get(), pointers.size(), pointers.data());
}

void write_fixed_texts(hid_t group, const char* name, const std::vector<std::string>& texts) {
  std::size_t width = 1;
  for (const std::string& t : texts) width = std::max(width, t.size());
  std::string packed(width * texts.size(), '\0');
  for (std::size_t i = 0; i < texts.size(); ++i) std::memcpy(packed.data() + i * width, texts[i].data(), texts[i].size());
  const Handle type = string_type(width);
  write_column(group, name, type.get(), type.get(), texts.size(), packed.data());
}

// A column that grows as rows arrive: chunked, extendible, its rows
// gathered and written a whole chunk at a time.
class Column {
 public:
  Column(hid_t group, const char* name, hid_t file_type, hid_t memory_type, std::size_t element_size,
         hsize_t chunk_rows)
      : name_(name), memory_type_(memory_type), element_size_(element_size), chunk_rows_(chunk_rows) {
    const hsize_t dims[1] = {0}, max_dims[1] = {H5S_UNLIMITED}, chunk[1] = {chunk_rows};
    const Handle space(checked(H5Screate_simple(1, dims, max_dims), name), H5Sclose);
    const Handle dcpl = plist(H5P_DATASET_CREATE);
    checked_call(H5Pset_chunk(dcpl.get(), 1, chunk), name);
    set_ = Handle(checked(H5Dcreate2(group, name, file_type, space.get(), H5P_DEFAULT, dcpl.get(), H5P_DEFAULT), name),
                  H5Dclose);
    buffer_.reserve(static_cast<std::size_t>(chunk_rows) * element_size);
  }

  void append(const void* value) {
    const auto* bytes = static_cast<const char*>(value);
    buffer_.insert(buffer_.end(), bytes, bytes + element_size_);
    if (buffer_.size() == static_cast<std::size_t>(chunk_rows_) * element_size_) flush();
  }

  void flush() {
    const hsize_t rows = buffer_.size() / element_size_;
    if (rows == 0) return;
    const hsize_t new_size[1] = {written_ + rows}, start[1] = {written_}, count[1] = {rows};
    checked_call(H5Dset_extent(set_.get(), new_size), name_);
    const Handle file_space(checked(H5Dget_space(set_.get()), name_), H5Sclose);
    checked_call(H5Sselect_hyperslab(file_space.get(), H5S_SELECT_SET, start, nullptr, count, nullptr), name_);
    const Handle memory_space(checked(H5Screate_simple(1, count, nullptr), name_), H5Sclose);
    checked_call(H5Dwrite(set_.get(), memory_type_, memory_space.get(), file_space.get(), H5P_DEFAULT, buffer_.data()),
                 name_);
    written_ += rows;
    buffer_.clear();
  }

  void close() {
    flush();
    if (!set_.close()) throw Hdf5Error{name_};
  }

 private:
  std::string name_;
  hid_t memory_type_;
  std::size_t element_size_;
  hsize_t chunk_rows_;
  Handle set_;
  std::vector<char> buffer_;
  hsize_t written_ = 0;
};

// A fixed-length text column of a streamed table.
class TextColumn {
 public:
  TextColumn(hid_t group, const char* name, std::size_t width, hsize_t chunk_rows)
      : type_(string_type(width)), width_(width), column_(group, name, type_.get(), type_.get(), width, chunk_rows),
        cell_(width, '\0') {}
  void append(const std::string& text) {
    std::fill(cell_.begin(), cell_.end(), '\0');
    std::memcpy(cell_.data(), text.data(), std::min(text.size(), width_));
    column_.append(cell_.data());
  }
  void close() { column_.close(); }

 private:
  Handle type_;
  std::size_t width_;
  Column column_;
  std::string cell_;
};

std::size_t widest(const std::vector<std::string>& texts) {
  std::size_t w = 1;
  for (const std::string& t : texts) w = std::max(w, t.size());
  return w;
}

// The element column of a table: row numbers, or RAW references as text.
class ElementColumn {
 public:
  ElementColumn(hid_t group, const char* name, bool textual, const std::vector<std::string>& refs, hsize_t chunk_rows) {
    if (textual)
      text_ = std::make_unique<TextColumn>(group, name, widest(refs), chunk_rows);
    else
      number_ = std::make_unique<Column>(group, name, H5T_STD_I64LE, H5T_NATIVE_INT64, sizeof(std::int64_t), chunk_rows);
  }
  void append(std::int64_t number, const std::string* ref) {
    if (text_)
      text_->append(*ref);
    else
      number_->append(&number);
  }
  void close() {
    if (text_) text_->close();
    if (number_) number_->close();
  }

 private:
  std::unique_ptr<TextColumn> text_;
  std::unique_ptr<Column> number_;
};

Column number_column(hid_t group, const char* name, hsize_t chunk_rows) {
  return Column(group, name, H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, sizeof(double), chunk_rows);
}

Column scenario_column(hid_t group, hsize_t chunk_rows) {
  return Column(group, "scenario_number", H5T_STD_I64LE, H5T_NATIVE_INT64, sizeof(std::int64_t), chunk_rows);
}

// Rows a chunk holds: at most 65 536, fewer for a batch that will never
// write that many (a chunk is stored whole).
hsize_t chunk_rows_for(std::size_t scenarios, std::size_t elements) {
  const std::size_t most = std::max<std::size_t>(1, scenarios * std::max<std::size_t>(1, elements));
  return static_cast<hsize_t>(std::min<std::size_t>(most, 65536));
}

struct SummaryRows {
  std::vector<std::int64_t> number;
  std::vector<std::string> scenario, status, verdict, reason;
  std::vector<double> cost, cost_with_constant, seconds;
  std::vector<std::int32_t> iterations;
};

struct RelaxationRows {
  std::vector<std::int64_t> number;
  std::vector<std::string> element, what, unit;
  std::vector<double> amount;
};

class Hdf5Tables final : public ResultTables {
 public:
  Hdf5Tables(const fs::path& target, TableLabels labels, std::size_t scenarios)
      : target_(target), labels_(std::move(labels)), file_(target) {
    labels_.generator_refs = utf8(std::move(labels_.generator_refs));
    labels_.branch_refs = utf8(std::move(labels_.branch_refs));
    file_.close_for_other_writer();
    try {
      H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
      const Handle fcpl = plist(H5P_FILE_CREATE);
      h5_ = Handle(checked(H5Fcreate(file_.temporary().c_str(), H5F_ACC_TRUNC, fcpl.get(), H5P_DEFAULT), "the file"),
                   H5Fclose);
      buses_group_ = group(h5_.get(), "buses");
      generators_group_ = group(h5_.get(), "generators");
      lines_group_ = group(h5_.get(), "lines");
      const hsize_t bus_chunk = chunk_rows_for(scenarios, labels_.bus_numbers.size());
      const hsize_t gen_chunk = chunk_rows_for(scenarios, labels_.generator_rows.size());
      const hsize_t line_chunk = chunk_rows_for(scenarios, labels_.branch_rows.size());
      const hid_t b = buses_group_.get(), g = generators_group_.get(), l = lines_group_.get();
      columns_ = std::make_unique<Columns>(Columns{
          scenario_column(b, bus_chunk),
          Column(b, "bus", H5T_STD_I64LE, H5T_NATIVE_INT64, sizeof(std::int64_t), bus_chunk),
          number_column(b, "lmp", bus_chunk),
          number_column(b, "energy", bus_chunk),
          number_column(b, "congestion", bus_chunk),
          scenario_column(g, gen_chunk),
          ElementColumn(g, "generator", labels_.textual, labels_.generator_refs, gen_chunk),
          number_column(g, "output_mw", gen_chunk),
          TextColumn(g, "at_limit", 5, gen_chunk),
          scenario_column(l, line_chunk),
          ElementColumn(l, "line", labels_.textual, labels_.branch_refs, line_chunk),
          number_column(l, "flow_mw", line_chunk),
          number_column(l, "loading_percent", line_chunk),
          TextColumn(l, "binding", 5, line_chunk),
          number_column(l, "shadow_price", line_chunk),
      });
    } catch (const Hdf5Error& e) {
      throw app::InputError(target_.string() + ": HDF5: cannot create " + e.what);
    }
  }

  void add(const ScenarioResult& r) override {
    try {
      add_rows(r);
    } catch (const Hdf5Error& e) {
      throw app::InputError(target_.string() + ": HDF5: cannot write " + e.what);
    }
  }

  void finish() override {
    try {
      write_summary();
      write_relaxation();
      Columns& c = *columns_;
      for (Column* col : {&c.bus_scenario, &c.bus, &c.lmp, &c.energy, &c.congestion, &c.gen_scenario, &c.output,
                          &c.line_scenario, &c.flow, &c.loading, &c.shadow})
        col->close();
      c.generator.close();
      c.at_limit.close();
      c.line.close();
      c.binding.close();
      buses_group_.close();
      generators_group_.close();
      lines_group_.close();
      if (!h5_.close()) throw Hdf5Error{"the file (closing it)"};
    } catch (const Hdf5Error& e) {
      throw app::InputError(target_.string() + ": HDF5: cannot write " + e.what);
    }
    file_.commit();
  }

 private:
  struct Columns {
    Column bus_scenario, bus, lmp, energy, congestion;
    Column gen_scenario;
    ElementColumn generator;
    Column output;
    TextColumn at_limit;
    Column line_scenario;
    ElementColumn line;
    Column flow, loading;
    TextColumn binding;
    Column shadow;
  };

  void add_rows(const ScenarioResult& r) {
    const auto number = static_cast<std::int64_t>(summary_.number.size() + 1);
    summary_.number.push_back(number);
    summary_.scenario.push_back(utf8(r.scenario));
    summary_.status.push_back(status_name(r.status));
    summary_.verdict.push_back(verdict_name(r.optimal));
    summary_.cost.push_back(r.cost);
    summary_.cost_with_constant.push_back(r.cost_with_constant);
    summary_.iterations.push_back(r.iterations);
    summary_.seconds.push_back(r.seconds);
    summary_.reason.push_back(utf8(r.reason));
    Columns& c = *columns_;
    for (const BusValues& b : r.buses) {
      c.bus_scenario.append(&number);
      c.bus.append(&labels_.bus_numbers[at(b.bus)]);
      c.lmp.append(&b.lmp);
      c.energy.append(&b.energy);
      c.congestion.append(&b.congestion);
    }
    for (const GeneratorValues& g : r.generators) {
      c.gen_scenario.append(&number);
      c.generator.append(labels_.generator_rows[at(g.generator)],
                         labels_.textual ? &labels_.generator_refs[at(g.generator)] : nullptr);
      c.output.append(&g.output_mw);
      c.at_limit.append(report::at_limit_name(g.at_limit));
    }
    for (const LineValues& l : r.lines) {
      c.line_scenario.append(&number);
      c.line.append(labels_.branch_rows[at(l.branch)], labels_.textual ? &labels_.branch_refs[at(l.branch)] : nullptr);
      c.flow.append(&l.flow_mw);
      c.loading.append(&l.loading_percent);
      c.binding.append(report::at_limit_name(l.binding));
      c.shadow.append(&l.shadow_price);
    }
    for (const report::RelaxationRow& x : r.relaxation) {
      relaxation_.number.push_back(number);
      relaxation_.element.push_back(utf8(x.element));
      relaxation_.what.push_back(x.what);
      relaxation_.amount.push_back(x.amount);
      relaxation_.unit.push_back(x.unit);
    }
  }

  void write_summary() {
    Handle g = group(h5_.get(), "summary");
    const SummaryRows& s = summary_;
    const std::size_t n = s.number.size();
    write_column(g.get(), "scenario_number", H5T_STD_I64LE, H5T_NATIVE_INT64, n, s.number.data());
    write_fixed_texts(g.get(), "scenario", s.scenario);
    write_fixed_texts(g.get(), "status", s.status);
    write_fixed_texts(g.get(), "verdict", s.verdict);
    write_column(g.get(), "cost", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, n, s.cost.data());
    write_column(g.get(), "cost_with_constant", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, n, s.cost_with_constant.data());
    write_column(g.get(), "iterations", H5T_STD_I32LE, H5T_NATIVE_INT32, n, s.iterations.data());
    write_column(g.get(), "seconds", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, n, s.seconds.data());
    write_texts(g.get(), "reason", s.reason);
    if (!g.close()) throw Hdf5Error{"group summary"};
  }

  void write_relaxation() {
    Handle g = group(h5_.get(), "relaxation");
    const RelaxationRows& x = relaxation_;
    const std::size_t n = x.number.size();
    write_column(g.get(), "scenario_number", H5T_STD_I64LE, H5T_NATIVE_INT64, n, x.number.data());
    write_texts(g.get(), "element", x.element);
    write_texts(g.get(), "what", x.what);
    write_column(g.get(), "amount", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, n, x.amount.data());
    write_texts(g.get(), "unit", x.unit);
    if (!g.close()) throw Hdf5Error{"group relaxation"};
  }

  fs::path target_;
  TableLabels labels_;
  StreamedFile file_;
  Handle h5_;
  Handle buses_group_, generators_group_, lines_group_;
  std::unique_ptr<Columns> columns_;
  SummaryRows summary_;
  RelaxationRows relaxation_;
};

}  // namespace

std::unique_ptr<ResultTables> hdf5_tables(const fs::path& file, TableLabels labels, std::size_t scenario_count) {
  return std::make_unique<Hdf5Tables>(file, std::move(labels), scenario_count);
}

}  // namespace corvo::batch
