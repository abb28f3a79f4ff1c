#include "corvo/case_file_writer.hpp"

#include "corvo/number_text.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace corvo {

namespace {

// Names an item in an error message: "Barra 3, Carga (MW)" or "maxit".
struct ItemName {
  std::string_view group;  // "Ramo", "Barra" or empty
  std::size_t number;      // line or bus number, 1-based
  std::string_view column;

  std::string text() const {
    if (group.empty()) return std::string(column);
    return std::string(group) + " " + std::to_string(number) + ", " + std::string(column);
  }
};

ItemName single(std::string_view column) { return {{}, 0, column}; }
ItemName line_item(std::size_t index, std::string_view column) {
  return {"Ramo", index + 1, column};
}
ItemName bus_item(std::size_t index, std::string_view column) {
  return {"Barra", index + 1, column};
}

template <class Value>
std::string printf_field(const char* format, Value value) {
  const int length = std::snprintf(nullptr, 0, format, value);
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format, value);
  return text;
}

std::string without_blanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

// The same format with `decimals` digits after the point: "% 10.2f" with
// 4 gives "% .4f", "% 10.1E" with 3 gives "% .3E" (the field's width is
// applied by the caller).
std::string with_decimals(std::string_view format, int decimals) {
  const std::size_t point = format.find('.');
  std::string flags(format.substr(1, point - 1));
  while (!flags.empty() && flags.back() >= '0' && flags.back() <= '9') flags.pop_back();
  return "%" + flags + "." + std::to_string(decimals) + std::string(1, format.back());
}

int decimals_of(std::string_view format) {
  const std::size_t point = format.find('.');
  return std::atoi(std::string(format.substr(point + 1)).c_str());
}

bool reads_back_as(const std::string& text, double value) {
  return std::strtod(text.c_str(), nullptr) == value;
}

// Builds the file record by record, checking each field's width.
class CaseFileText {
 public:
  explicit CaseFileText(FieldPrecision precision) : precision_(precision) {}

  template <class Value>
  void field(const char* format, Value value, std::size_t width, const ItemName& item) {
    std::string text = printf_field(format, value);
    if (text.size() > width) {
      throw CaseFileLayoutError(item.text() + ": o valor " + without_blanks(text) +
                                " não cabe nas " + std::to_string(width) +
                                " colunas do arquivo de dados");
    }
    if constexpr (std::is_floating_point_v<Value>) {
      if (!reads_back_as(text, value)) {
        if (precision_ == FieldPrecision::keep_values) text = closer_text(format, value, width, text);
        text = std::string(width - text.size(), ' ') + text;
        if (!reads_back_as(text, value)) {
          rounded_.push_back(item.text() + ": " + form_number_text(value, ',') + " gravado como " +
                             without_blanks(text));
        }
      }
    }
    text_ += text;
  }
  void literal(std::string_view text) { text_ += text; }
  // Records end with CR LF, like every file the programs write; the reader
  // accepts LF alone too.
  void end_record() { text_ += "\r\n"; }
  RenderedCaseFile take() { return {std::move(text_), std::move(rounded_)}; }

 private:
  // The text with the fewest decimals beyond the format's own that reads
  // back as `value` within `width` columns, or else the one with the most
  // decimals that fit.
  static std::string closer_text(const char* format, double value, std::size_t width,
                                 std::string best) {
    for (int decimals = decimals_of(format) + 1;; ++decimals) {
      const std::string text = printf_field(with_decimals(format, decimals).c_str(), value);
      if (text.size() > width) return best;
      best = text;
      if (reads_back_as(text, value)) return best;
    }
  }

  FieldPrecision precision_;
  std::string text_;
  std::vector<std::string> rounded_;
};

void check_title(std::string_view title) {
  const ItemName item = single("Título do Caso em Estudo");
  if (title.find_first_of("\r\n") != std::string_view::npos) {
    throw CaseFileLayoutError(item.text() + ": o texto não pode conter quebra de linha");
  }
  if (title.size() > kTitleWidth) {
    throw CaseFileLayoutError(item.text() + ": o texto tem " + std::to_string(title.size()) +
                              " caracteres, mais do que os " + std::to_string(kTitleWidth) +
                              " do arquivo de dados");
  }
}

template <class Element>
void check_size(const std::vector<Element>& array, std::int32_t count, const char* name) {
  if (array.size() != static_cast<std::size_t>(count)) {
    throw std::invalid_argument(std::string("case array ") + name + " has " +
                                std::to_string(array.size()) + " entries for a count of " +
                                std::to_string(count));
  }
}

void check_shape(const CaseData& c) {
  if (c.n < 1) throw std::invalid_argument("a case needs at least one bus");
  if (c.nl < 0) throw std::invalid_argument("negative line count");
  check_size(c.se, c.nl, "se");
  check_size(c.re, c.nl, "re");
  check_size(c.x, c.nl, "x");
  check_size(c.line_upper, c.nl, "line upper limit");
  check_size(c.line_lower, c.nl, "line lower limit");
  check_size(c.bus_type, c.n, "bus type");
  check_size(c.load, c.n, "load");
  check_size(c.constant_cost, c.n, "constant cost");
  check_size(c.linear_cost, c.n, "linear cost");
  check_size(c.quadratic_cost, c.n, "quadratic cost");
  check_size(c.gen_upper, c.n, "generator upper limit");
  check_size(c.gen_lower, c.n, "generator lower limit");
}

void write_sizes(CaseFileText& out, const CaseData& c) {
  out.field("%10d", c.n, 10, single("Número de Barras"));
  out.field("%10d", c.nl, 10, single("Número de Ramos"));
  out.field("%10.2f", c.Sb, 10, single("Potência Base (MVA)"));
  out.end_record();
}

void write_lines(CaseFileText& out, const CaseData& c) {
  for (std::size_t l = 0; l < c.se.size(); ++l) {
    out.field("%10d", c.se[l], 10, line_item(l, "Barra de Origem"));
    out.field("%10d", c.re[l], 10, line_item(l, "Barra de Destino"));
    out.field("% 10.2f", c.x[l], 10, line_item(l, "Reatância Série (p.u.)"));
    out.field("% 10.2f", c.line_upper[l], 10, line_item(l, "Limite Máximo (MW)"));
    out.field("% 10.2f", c.line_lower[l], 10, line_item(l, "Limite Mínimo (MW)"));
    out.end_record();
  }
}

// Eight types per record; the last record holds the remaining 1 to 8.
void write_bus_types(CaseFileText& out, const CaseData& c) {
  const std::size_t last = c.bus_type.size() - 1;
  int counter = 1;
  for (std::size_t i = 0; i < last; ++i) {
    out.field("%10d", c.bus_type[i], 10, bus_item(i, "Tipo"));
    ++counter;
    if (counter == 9) {
      out.end_record();
      counter = 1;
    }
  }
  out.field("%10d", c.bus_type[last], 10, bus_item(last, "Tipo"));
  out.end_record();
}

// A load bus carries its load alone; every other type the six generator
// fields.
void write_buses(CaseFileText& out, const CaseData& c) {
  for (std::size_t i = 0; i < c.bus_type.size(); ++i) {
    out.field("% 10.2f", c.load[i], 10, bus_item(i, "Carga (MW)"));
    if (c.bus_type[i] != 0) {
      out.field("% 10.2f", c.constant_cost[i], 10, bus_item(i, "Termo Constante da F. C. ($/h)"));
      out.field("% 10.2f", c.linear_cost[i], 10, bus_item(i, "Coef. Linear da F. C. ($/MWh)"));
      out.field("% 10.6f", c.quadratic_cost[i], 10,
                bus_item(i, "Coef. Quadrático da F. C. ($/MW2h)"));
      out.field("% 10.2f", c.gen_upper[i], 10, bus_item(i, "Limite Superior (MW)"));
      out.field("% 10.2f", c.gen_lower[i], 10, bus_item(i, "Limite Inferior (MW)"));
    }
    out.end_record();
  }
}

void write_parameters(CaseFileText& out, const AlgorithmParameters& p) {
  out.field("%10d", p.nbmax, 10, single("nbmax"));
  out.field("%10d", p.nlmax, 10, single("nlmax"));
  out.end_record();
  out.field("%10d", p.ndc, 10, single("ndc"));
  out.field("%10d", p.ndp, 10, single("ndp"));
  out.end_record();
  // maxit ends in column 10 and iprint stands in column 20.
  out.literal("        ");
  out.field("%2d", p.maxit, 2, single("maxit"));
  out.literal("         ");
  out.field("%1d", p.iprint, 1, single("iprint"));
  out.field("% 10.1E", p.epsln, 10, single("epsln"));
  out.field("% 10.1E", p.epslgiv, 10, single("epslgiv"));
  out.field("% 10.1E", p.epslnp, 10, single("epslnp"));
  out.field("% 10.1E", p.epslim, 10, single("epslim"));
  out.end_record();
  out.field("% 10.2f", p.rho, 10, single("rho"));
  out.field("% 10.1E", p.bigm, 10, single("bigM"));
  out.field("% 10.1E", p.sigma, 10, single("sigma"));
  out.end_record();
}

}  // namespace

std::string render_case_file(std::string_view title, const CaseData& case_data) {
  return render_case_file(title, case_data, FieldPrecision::as_formatted).text;
}

RenderedCaseFile render_case_file(std::string_view title, const CaseData& case_data,
                                  FieldPrecision precision) {
  check_shape(case_data);
  check_title(title);
  CaseFileText out(precision);
  out.literal(title);
  out.end_record();
  write_sizes(out, case_data);
  write_lines(out, case_data);
  write_bus_types(out, case_data);
  write_buses(out, case_data);
  write_parameters(out, case_data.parameters);
  return out.take();
}

}  // namespace corvo
