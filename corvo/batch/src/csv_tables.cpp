// The batch's tables as CSV files, written as the results arrive.
#include <memory>
#include <optional>

#include "corvo/app/input_error.hpp"
#include "corvo/batch/result_tables.hpp"
#include "corvo/report/display_text.hpp"
#include "corvo/report/writers.hpp"
#include "streamed_file.hpp"

namespace corvo::batch {
namespace {

namespace fs = std::filesystem;

std::size_t at(std::int32_t i) { return static_cast<std::size_t>(i); }

// Texts from the user's files as valid UTF-8 without control characters
// (a line break would end the record); quoted when they hold a comma or a
// quote.
std::string text(const std::string& raw) {
  const std::string s = report::controls_escaped(report::utf8_with_replacements(raw));
  if (s.find_first_of(",\"") == std::string::npos) return s;
  std::string q = "\"";
  for (char ch : s) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return q + "\"";
}

// One CSV file, its records gathered in memory and written in blocks.
class CsvFile {
 public:
  CsvFile(const fs::path& target, const char* header) : file_(target) { (buffer_ = header) += "\r\n"; }
  std::string& record() { return buffer_; }
  void end_record() {
    buffer_ += "\r\n";
    if (buffer_.size() >= kBlock) flush();
  }
  void commit() {
    flush();
    file_.commit();
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  void flush() {
    file_.write(buffer_);
    buffer_.clear();
  }
  StreamedFile file_;
  std::string buffer_;
};

void add_field(std::string& record, const std::string& field) { (record += ',') += field; }
void add_number(std::string& record, double v) { add_field(record, report::plain_number(v)); }

class CsvTables final : public ResultTables {
 public:
  CsvTables(const fs::path& folder, TableLabels labels)
      : labels_(std::move(labels)),
        summary_(folder / "summary.csv", "scenario,status,verdict,cost,cost_with_constant,iterations,seconds,reason"),
        buses_(folder / "buses.csv", "scenario,bus,lmp,energy,congestion"),
        generators_(folder / "generators.csv", "scenario,generator,output_mw,at_limit"),
        lines_(folder / "lines.csv", "scenario,line,flow_mw,loading_percent,binding,shadow_price"),
        relaxation_(folder / "relaxation.csv", "scenario,element,what,amount,unit") {
    for (std::size_t k = 0; k < labels_.bus_numbers.size(); ++k)
      bus_text_.push_back(std::to_string(labels_.bus_numbers[k]));
    generator_text_ = element_texts(labels_.generator_rows, labels_.generator_refs);
    branch_text_ = element_texts(labels_.branch_rows, labels_.branch_refs);
  }

  void add(const ScenarioResult& r) override {
    const std::string name = text(r.scenario);
    std::string& s = summary_.record();
    s += name;
    add_field(s, status_name(r.status));
    add_field(s, verdict_name(r.optimal));
    add_number(s, r.cost);
    add_number(s, r.cost_with_constant);
    add_field(s, std::to_string(r.iterations));
    add_number(s, r.seconds);
    add_field(s, text(r.reason));
    summary_.end_record();
    for (const BusValues& b : r.buses) {
      std::string& rec = buses_.record();
      rec += name;
      add_field(rec, bus_text_[at(b.bus)]);
      add_number(rec, b.lmp);
      add_number(rec, b.energy);
      add_number(rec, b.congestion);
      buses_.end_record();
    }
    for (const GeneratorValues& g : r.generators) {
      std::string& rec = generators_.record();
      rec += name;
      add_field(rec, generator_text_[at(g.generator)]);
      add_number(rec, g.output_mw);
      add_field(rec, report::at_limit_name(g.at_limit));
      generators_.end_record();
    }
    for (const LineValues& l : r.lines) {
      std::string& rec = lines_.record();
      rec += name;
      add_field(rec, branch_text_[at(l.branch)]);
      add_number(rec, l.flow_mw);
      add_number(rec, l.loading_percent);
      add_field(rec, report::at_limit_name(l.binding));
      add_number(rec, l.shadow_price);
      lines_.end_record();
    }
    for (const report::RelaxationRow& x : r.relaxation) {
      std::string& rec = relaxation_.record();
      rec += name;
      add_field(rec, text(x.element));
      add_field(rec, text(x.what));
      add_number(rec, x.amount);
      add_field(rec, text(x.unit));
      relaxation_.end_record();
    }
  }

  void finish() override {
    for (CsvFile* f : {&buses_, &generators_, &lines_, &relaxation_, &summary_}) f->commit();
  }

 private:
  std::vector<std::string> element_texts(const std::vector<std::int64_t>& rows, const std::vector<std::string>& refs) {
    std::vector<std::string> out;
    if (labels_.textual)
      for (const std::string& r : refs) out.push_back(text(r));
    else
      for (std::int64_t r : rows) out.push_back(std::to_string(r));
    return out;
  }

  TableLabels labels_;
  std::vector<std::string> bus_text_, generator_text_, branch_text_;
  CsvFile summary_, buses_, generators_, lines_, relaxation_;
};

}  // namespace

std::vector<std::string> csv_file_names() {
  return {"summary.csv", "buses.csv", "generators.csv", "lines.csv", "relaxation.csv"};
}

std::unique_ptr<ResultTables> csv_tables(const fs::path& folder, TableLabels labels) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) throw app::InputError(folder.string() + ": cannot create the folder: " + ec.message());
  return std::make_unique<CsvTables>(folder, std::move(labels));
}

}  // namespace corvo::batch
