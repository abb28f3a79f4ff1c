// The report as one JSON document, written as it goes: a network of 78 000
// buses has a million numbers to write, and a document tree of them first
// would cost as much time as a third of the solve and twice its memory.
// Numbers that are not finite (a loading against a zero limit, a diverged
// point) become null; texts are made valid UTF-8 (display_text.hpp), which
// the document must be. Keys come in alphabetical order, one per line.
#include <charconv>
#include <cmath>
#include <sstream>

#include "corvo/report/display_text.hpp"
#include "corvo/report/writers.hpp"

namespace corvo::report {
namespace {

// Writes objects and arrays with one member per line, indented by one
// blank per level; the caller gives keys in the order they are to appear.
class JsonOut {
 public:
  explicit JsonOut(std::ostream& out) : out_(out) {}

  void begin_object(const char* key = nullptr) { open(key, '{'); }
  void end_object() { close('}'); }
  void begin_array(const char* key = nullptr) { open(key, '['); }
  void end_array() { close(']'); }

  void number(const char* key, double v) {
    member(key);
    if (!std::isfinite(v)) {
      out_ << "null";
      return;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out_.write(buf, r.ptr - buf);
  }
  void integer(const char* key, std::int64_t v) {
    member(key);
    out_ << v;
  }
  void boolean(const char* key, bool v) {
    member(key);
    out_ << (v ? "true" : "false");
  }
  void null(const char* key) {
    member(key);
    out_ << "null";
  }
  // A text that is valid UTF-8 already.
  void text(const char* key, const std::string& utf8) {
    member(key);
    quoted(utf8);
  }

 private:
  void open(const char* key, char bracket) {
    member(key);
    out_ << bracket;
    first_ = true;
    ++depth_;
  }
  void close(char bracket) {
    --depth_;
    if (!first_) newline();
    out_ << bracket;
    first_ = false;
  }
  void member(const char* key) {
    if (!first_) out_ << ',';
    if (depth_ > 0) newline();
    first_ = false;
    if (key != nullptr) {
      quoted(key);
      out_ << ": ";
    }
  }
  void newline() {
    out_ << '\n';
    for (int i = 0; i < depth_; ++i) out_ << ' ';
  }
  void quoted(std::string_view s) {
    out_ << '"';
    for (const char c : s) {
      const auto u = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        out_ << '\\' << c;
      } else if (u < 0x20) {
        static const char* const hex = "0123456789abcdef";
        switch (c) {
          case '\n': out_ << "\\n"; break;
          case '\r': out_ << "\\r"; break;
          case '\t': out_ << "\\t"; break;
          case '\b': out_ << "\\b"; break;
          case '\f': out_ << "\\f"; break;
          default: out_ << "\\u00" << hex[u >> 4] << hex[u & 15];
        }
      } else {
        out_ << c;
      }
    }
    out_ << '"';
  }

  std::ostream& out_;
  int depth_ = 0;
  bool first_ = true;
};

std::string text_of(const std::string& s) { return utf8_with_replacements(s); }

void limit_name(JsonOut& j, const char* key, AtLimit a) {
  if (a == AtLimit::none) j.null(key);
  else j.text(key, at_limit_name(a));
}

// An array of one object per row, the object's members written by write_row(row).
template <class Row, class WriteRow>
void objects(JsonOut& j, const char* key, const std::vector<Row>& rows, WriteRow write_row) {
  j.begin_array(key);
  for (const Row& row : rows) {
    j.begin_object();
    write_row(row);
    j.end_object();
  }
  j.end_array();
}

void summary(JsonOut& j, const Summary& s) {
  j.begin_object("summary");
  j.number("base_mva", s.base_mva);
  j.text("case", text_of(s.case_name));
  j.number("constant_cost", s.constant_cost);
  j.number("cost", s.cost);
  j.number("cost_with_constant", s.cost_with_constant);
  j.integer("iterations", s.iterations);
  j.text("message", text_of(s.message));
  j.text("method", text_of(s.method));
  j.text("outcome", outcome_name(s.outcome));
  j.text("title", case_title_utf8(s.title));
  j.number("total_generation_mw", s.total_generation_mw);
  j.number("total_load_mw", s.total_load_mw);
  j.end_object();
}

void buses(JsonOut& j, const std::vector<BusRow>& rows) {
  objects(j, "buses", rows, [&j](const BusRow& b) {
    j.number("angle_deg", b.angle_deg);
    j.integer("bus", b.bus);
    j.number("congestion", b.congestion);
    j.number("energy", b.energy);
    j.number("generation_mw", b.generation_mw);
    j.number("lmp", b.lmp);
    j.number("load_mw", b.load_mw);
    j.integer("type", b.type);
  });
}

void dropped(JsonOut& j, const std::vector<DroppedRow>& rows) {
  objects(j, "dropped", rows, [&j](const DroppedRow& d) {
    j.text("element", text_of(d.element));
    j.text("kind", text_of(d.kind));
    j.text("reason", text_of(d.reason));
  });
}

void generators(JsonOut& j, const std::vector<GeneratorRow>& rows) {
  objects(j, "generators", rows, [&j](const GeneratorRow& g) {
    limit_name(j, "at_limit", g.at_limit);
    j.integer("bus", g.bus);
    j.integer("generator", g.generator);
    if (!g.id.empty()) j.text("id", text_of(g.id));
    j.number("incremental_cost", g.incremental_cost);
    j.number("lower_mw", g.lower_mw);
    j.number("output_mw", g.output_mw);
    j.number("upper_mw", g.upper_mw);
  });
}

void lines(JsonOut& j, const std::vector<LineRow>& rows, bool angle_limits) {
  objects(j, "lines", rows, [&j, angle_limits](const LineRow& l) {
    if (angle_limits) {
      limit_name(j, "angle_binding", l.angle_binding);
      j.number("angle_deg", l.angle_deg);
      j.number("angle_max_deg", l.angle_max_deg);
      j.number("angle_min_deg", l.angle_min_deg);
      j.number("angle_mu_lower", l.angle_mu_lower);
      j.number("angle_mu_upper", l.angle_mu_upper);
    }
    limit_name(j, "binding", l.binding);
    if (!l.circuit.empty()) j.text("circuit", text_of(l.circuit));
    j.number("flow_mw", l.flow_mw);
    j.integer("from", l.from);
    j.integer("line", l.line);
    j.number("loading_percent", l.loading_percent);
    j.number("lower_mw", l.lower_mw);
    j.number("mu_lower", l.mu_lower);
    j.number("mu_upper", l.mu_upper);
    j.number("shadow_price", l.shadow_price);
    j.integer("to", l.to);
    j.number("upper_mw", l.upper_mw);
  });
}

void texts(JsonOut& j, const char* key, const std::vector<std::string>& list) {
  j.begin_array(key);
  for (const std::string& s : list) j.text(nullptr, text_of(s));
  j.end_array();
}

void optimality(JsonOut& j, const OptimalityCheck& check, const Tolerances& tol, bool angles_free) {
  j.begin_object("optimality");
  j.boolean("angles_free", angles_free);
  j.number("binding_tolerance_mw", tol.binding_mw);
  objects(j, "conditions", check.conditions, [&j](const Condition& c) {
    j.number("allowance", c.allowance);
    j.boolean("holds", c.holds);
    j.text("name", text_of(c.name));
    j.number("tolerance", c.tolerance);
    j.text("unit", text_of(c.unit));
    j.number("value", c.value);
    j.text("where", text_of(c.where));
  });
  texts(j, "failing", check.failing);
  texts(j, "notes", check.notes);
  j.text("verdict", check.optimal ? "optimal" : "not optimal");
  j.end_object();
}

void relaxation(JsonOut& j, const std::vector<RelaxationRow>& rows) {
  objects(j, "relaxation", rows, [&j](const RelaxationRow& r) {
    j.number("amount", r.amount);
    j.text("element", text_of(r.element));
    j.text("unit", text_of(r.unit));
    j.text("what", text_of(r.what));
  });
}

}  // namespace

void write_json(std::ostream& out, const Results& r) {
  JsonOut j(out);
  j.begin_object();
  buses(j, r.buses);
  dropped(j, r.dropped);
  generators(j, r.generators);
  lines(j, r.lines, r.angle_limits);
  optimality(j, r.check, r.tolerances, r.angles_free);
  relaxation(j, r.relaxation);
  summary(j, r.summary);
  j.end_object();
  out << '\n';
}

nlohmann::json to_json(const Results& r) {
  std::ostringstream text;
  write_json(text, r);
  return nlohmann::json::parse(text.str());
}

}  // namespace corvo::report
