// Walking a template over the items of one statement, on output and on
// input, with template reuse when the items outlast the template.
#include <string>

#include "records/format.hpp"

namespace records {
namespace {

using Kind = Element::Kind;

enum class Walk { Continue, Stop };

// ---- Output ----------------------------------------------------------------

class RecordWriter {
 public:
  explicit RecordWriter(std::span<const OutValue> items) : items_(items) {}

  bool items_done() const { return next_ == items_.size(); }

  Walk walk(std::span<const Element> elements) {
    for (const Element& e : elements) {
      if (e.kind == Kind::Group) {
        for (int r = 0; r < e.repeat; ++r) {
          if (walk(e.children) == Walk::Stop) return Walk::Stop;
        }
        continue;
      }
      if (e.is_field()) {
        if (items_done()) return Walk::Stop;
        put(render(e, items_[next_++]));
      } else {
        act(e);
      }
      last_was_dollar_ = e.kind == Kind::Dollar;
    }
    return Walk::Continue;
  }

  void end_record() {
    out_.records.push_back(std::move(line_));
    line_.clear();
    column_ = 0;
  }

  WrittenRecords finish() {
    end_record();
    out_.keep_open = last_was_dollar_;
    return std::move(out_);
  }

 private:
  void act(const Element& e) {
    switch (e.kind) {
      case Kind::Literal:
        put(e.text);
        break;
      case Kind::Skip:
        column_ += static_cast<std::size_t>(e.width);
        break;
      case Kind::Tab:
        column_ = static_cast<std::size_t>(e.width - 1);
        break;
      case Kind::Slash:
        end_record();
        break;
      default:  // Dollar acts at the end of the statement
        break;
    }
  }

  // Writes text at the current column; skipped columns become blanks.
  void put(const std::string& text) {
    if (line_.size() < column_) line_.resize(column_, ' ');
    line_.replace(column_, std::min(text.size(), line_.size() - column_), text);
    column_ += text.size();
  }

  static std::string render(const Element& e, const OutValue& item) {
    switch (e.kind) {
      case Kind::Integer:
        if (const auto* v = std::get_if<std::int32_t>(&item)) return render_integer(*v, e.width);
        throw std::invalid_argument("an integer item is needed for an I field");
      case Kind::Fixed:
        if (const auto* v = std::get_if<double>(&item)) return render_fixed(*v, e.width, e.digits);
        throw std::invalid_argument("a real item is needed for an F field");
      case Kind::Exponent:
        if (const auto* v = std::get_if<double>(&item)) {
          return render_exponent(*v, e.width, e.digits);
        }
        throw std::invalid_argument("a real item is needed for a D field");
      default:
        if (const auto* v = std::get_if<std::string>(&item)) return render_text(*v, e.width);
        throw std::invalid_argument("a text item is needed for an A field");
    }
  }

  std::span<const OutValue> items_;
  std::size_t next_ = 0;
  std::string line_;
  std::size_t column_ = 0;
  bool last_was_dollar_ = false;
  WrittenRecords out_;
};

// ---- Input -----------------------------------------------------------------

class RecordReader {
 public:
  RecordReader(std::span<const InTarget> targets,
               const std::function<std::optional<std::string>()>& next_record)
      : targets_(targets), next_record_(next_record) {}

  bool targets_done() const { return next_ == targets_.size(); }

  void take_record() {
    std::optional<std::string> record = next_record_();
    if (!record) throw EndOfInput{};
    record_ = std::move(*record);
    column_ = 0;
  }

  Walk walk(std::span<const Element> elements) {
    for (const Element& e : elements) {
      switch (e.kind) {
        case Kind::Group:
          for (int r = 0; r < e.repeat; ++r) {
            if (walk(e.children) == Walk::Stop) return Walk::Stop;
          }
          break;
        case Kind::Skip:
          column_ += static_cast<std::size_t>(e.width);
          break;
        case Kind::Tab:
          column_ = static_cast<std::size_t>(e.width - 1);
          break;
        case Kind::Slash:
          take_record();
          break;
        case Kind::Literal:
          column_ += e.text.size();
          break;
        case Kind::Dollar:
          break;
        default:
          if (targets_done()) return Walk::Stop;
          field(e, targets_[next_++]);
      }
    }
    return Walk::Continue;
  }

 private:
  // The next w columns; columns past the end of the record are blanks.
  std::string columns(std::size_t width) const {
    std::string text;
    if (column_ < record_.size()) text = record_.substr(column_, width);
    text.resize(width, ' ');
    return text;
  }

  void field(const Element& e, const InTarget& target) {
    std::size_t width = static_cast<std::size_t>(e.width);
    if (e.kind == Kind::Text && width == 0) {
      const auto* text = std::get_if<std::string*>(&target);
      width = text ? (*text)->size() : 0;
    }
    std::string text = columns(width);
    int first_column = static_cast<int>(column_) + 1;
    column_ += width;
    try {
      store(e, target, text);
    } catch (const FieldError& error) {
      throw FieldError(error.what(), text, first_column);
    }
  }

  static void store(const Element& e, const InTarget& target, const std::string& text) {
    switch (e.kind) {
      case Kind::Integer:
        if (auto* const* v = std::get_if<std::int32_t*>(&target)) {
          **v = convert_integer(text);
          return;
        }
        throw std::invalid_argument("an integer destination is needed for an I field");
      case Kind::Fixed:
      case Kind::Exponent:
        if (auto* const* v = std::get_if<double*>(&target)) {
          **v = convert_real(text, e.digits);
          return;
        }
        throw std::invalid_argument("a real destination is needed for an F or D field");
      default:
        if (auto* const* v = std::get_if<std::string*>(&target)) {
          **v = convert_text(text, (*v)->size());
          return;
        }
        throw std::invalid_argument("a text destination is needed for an A field");
    }
  }

  std::span<const InTarget> targets_;
  const std::function<std::optional<std::string>()>& next_record_;
  std::size_t next_ = 0;
  std::string record_;
  std::size_t column_ = 0;
};

std::span<const Element> from(const Format& format, std::size_t index) {
  return std::span<const Element>(format.elements()).subspan(index);
}

}  // namespace

WrittenRecords write_records(const Format& format, std::span<const OutValue> items) {
  if (!items.empty() && !format.has_field()) {
    throw std::invalid_argument("template " + format.text() + " takes no items");
  }
  RecordWriter writer(items);
  std::size_t start = 0;
  while (writer.walk(from(format, start)) == Walk::Continue && !writer.items_done()) {
    writer.end_record();  // template reuse: the next items start a new record
    start = format.reversion_index();
  }
  return writer.finish();
}

void read_records(const Format& format, std::span<const InTarget> targets,
                  const std::function<std::optional<std::string>()>& next_record) {
  if (!targets.empty() && !format.has_field()) {
    throw std::invalid_argument("template " + format.text() + " takes no items");
  }
  RecordReader reader(targets, next_record);
  reader.take_record();
  std::size_t start = 0;
  while (reader.walk(from(format, start)) == Walk::Continue && !reader.targets_done()) {
    reader.take_record();
    start = format.reversion_index();
  }
}

}  // namespace records
