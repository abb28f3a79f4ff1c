#include "corvo/dispatch_case_conversion.hpp"

#include <cmath>
#include <string>
#include <vector>

#include "corvo/number_text.hpp"
#include "corvo/title_text.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/per_unit.hpp"

namespace corvo {

namespace {

constexpr const char* kProblemForm = "Dados do problema";
constexpr const char* kLineForm = "Ramos";
constexpr const char* kBusForm = "Barras";

std::size_t index_of(std::int32_t number) { return static_cast<std::size_t>(number) - 1; }

std::string number(double value) {
  const std::string text = form_number_text(value, ',');
  return text.empty() ? std::string("não finito") : text;
}

double from_file_digits(double value) { return round_to_significant(value, kCaseFileDigits); }

template <class Element>
void check_size(const std::vector<Element>& array, std::int32_t count, const char* name) {
  if (count < 0 || array.size() != static_cast<std::size_t>(count)) {
    throw std::invalid_argument(std::string("case array ") + name + " does not match its count");
  }
}

void check_shape(const CaseData& c) {
  if (c.n < 1) throw CaseCheckError(kProblemForm, 0, "Número de Barras", "o caso precisa de pelo menos uma barra");
  if (c.nl < 0) throw CaseCheckError(kProblemForm, 0, "Número de Ramos", "o número de ramos é negativo");
  check_size(c.se, c.nl, "se");
  check_size(c.re, c.nl, "re");
  check_size(c.x, c.nl, "x");
  check_size(c.line_upper, c.nl, "line_upper");
  check_size(c.line_lower, c.nl, "line_lower");
  check_size(c.bus_type, c.n, "bus_type");
  check_size(c.load, c.n, "load");
  check_size(c.constant_cost, c.n, "constant_cost");
  check_size(c.linear_cost, c.n, "linear_cost");
  check_size(c.quadratic_cost, c.n, "quadratic_cost");
  check_size(c.gen_upper, c.n, "gen_upper");
  check_size(c.gen_lower, c.n, "gen_lower");
}

void check_lines(const CaseData& c) {
  for (std::size_t l = 0; l < c.se.size(); ++l) {
    const auto row = static_cast<std::int32_t>(l) + 1;
    const struct {
      std::int32_t bus;
      const char* column;
    } ends[] = {{c.se[l], "Barra de Origem"}, {c.re[l], "Barra de Destino"}};
    for (const auto& end : ends) {
      if (end.bus < 1 || end.bus > c.n) {
        throw CaseCheckError(kLineForm, row, end.column,
                             "a barra " + std::to_string(end.bus) + " não está entre 1 e " +
                                 std::to_string(c.n));
      }
    }
    if (c.x[l] != 0.0 && !std::isfinite(1.0 / c.x[l])) {
      throw CaseCheckError(kLineForm, row, "Reatância Série (p.u.)",
                           "a reatância " + number(c.x[l]) + " não tem susceptância finita");
    }
  }
}

void check_bus_types(const CaseData& c) {
  bool has_reference = false;
  for (std::size_t i = 0; i < c.bus_type.size(); ++i) {
    const std::int32_t type = c.bus_type[i];
    if (type < dispatch::kLoadBus || type > dispatch::kNegativeGenerationBus) {
      throw CaseCheckError(kBusForm, static_cast<std::int32_t>(i) + 1, "Tipo",
                           "o tipo " + std::to_string(type) + " não está entre 0 e 3");
    }
    if (type == dispatch::kReferenceBus) has_reference = true;
  }
  if (!has_reference) {
    throw CaseCheckError(kBusForm, 0, "Tipo", "nenhuma barra é de referência (tipo 2)");
  }
}

void check_per_unit(const char* form, std::size_t index, const char* column, double value,
                    double per_unit) {
  if (!std::isfinite(per_unit)) {
    throw CaseCheckError(form, static_cast<std::int32_t>(index) + 1, column,
                         "o valor " + number(value) + " não é finito em p.u.");
  }
}

// The same quotients and products as the reader's checks, before any
// conversion and in the reader's order (line limits, then loads, then
// generators), so that a refused case names the value orsa would name.
void check_line_limits_per_unit(const CaseData& c) {
  const double sb = c.Sb;
  for (std::size_t l = 0; l < c.line_upper.size(); ++l) {
    check_per_unit(kLineForm, l, "Limite Máximo (MW)", c.line_upper[l], c.line_upper[l] / sb);
    check_per_unit(kLineForm, l, "Limite Mínimo (MW)", c.line_lower[l], c.line_lower[l] / sb);
  }
}

void check_buses_per_unit(const CaseData& c) {
  const double sb = c.Sb;
  for (std::size_t i = 0; i < c.load.size(); ++i) {
    const double load = c.bus_type[i] == dispatch::kNegativeGenerationBus ? 0.0 : c.load[i];
    check_per_unit(kBusForm, i, "Carga (MW)", load, load / sb);
  }
  const double sb_squared = std::pow(sb, 2.0);
  for (std::size_t i = 0; i < c.load.size(); ++i) {
    if (c.bus_type[i] == dispatch::kLoadBus) continue;
    check_per_unit(kBusForm, i, "Limite Superior (MW)", c.gen_upper[i], c.gen_upper[i] / sb);
    check_per_unit(kBusForm, i, "Limite Inferior (MW)", c.gen_lower[i], c.gen_lower[i] / sb);
    check_per_unit(kBusForm, i, "Coef. Linear da F. C. ($/MWh)", c.linear_cost[i],
                   c.linear_cost[i] * sb);
    check_per_unit(kBusForm, i, "Coef. Quadrático da F. C. ($/MW2h)", c.quadratic_cost[i],
                   c.quadratic_cost[i] * sb_squared);
  }
}

void check_network(const dispatch::CaseData& d) {
  for (std::size_t l = 0; l < d.x.size(); ++l) {
    if (d.x[l] == 0.0) {
      throw CaseCheckError(kLineForm, static_cast<std::int32_t>(l) + 1, "Reatância Série (p.u.)",
                           "a reatância é zero");
    }
  }
  const dispatch::NetworkLists lists = dispatch::build_network_lists(d.n, d.se, d.re);
  if (const std::int32_t bus = dispatch::first_isolated_bus(lists, d.n)) {
    throw CaseCheckError(kBusForm, bus, "", "a barra " + std::to_string(bus) + " não tem nenhum ramo");
  }
}

}  // namespace

CaseCheckError::CaseCheckError(std::string form, std::int32_t row, std::string column,
                               const std::string& problem)
    : std::runtime_error(problem),
      form_(std::move(form)),
      row_(row),
      column_(std::move(column)),
      problem_(problem) {}

std::string CaseCheckError::place() const {
  std::string text = form_;
  if (row_ > 0) text += ", linha " + std::to_string(row_);
  if (!column_.empty()) text += ", " + column_;
  return text;
}

EditorCase editor_case_from_dispatch(const dispatch::CaseData& d) {
  EditorCase result;
  CaseData& c = result.data;
  const double sb = d.sb;
  c.Sb = sb;
  set_line_count(c, d.nl);
  set_bus_count(c, d.n);
  for (std::size_t l = 0; l < c.se.size(); ++l) {
    c.se[l] = d.se[l];
    c.re[l] = d.re[l];
    c.x[l] = d.x[l];
    c.line_upper[l] = from_file_digits(d.line_upper[l] * sb);
    c.line_lower[l] = from_file_digits(d.line_lower[l] * sb);
  }
  const double sb_squared = std::pow(sb, 2.0);
  for (std::size_t i = 0; i < c.bus_type.size(); ++i) {
    c.bus_type[i] = d.bus_type[i];
    c.load[i] = from_file_digits(d.load[i] * sb);
    const std::int32_t generator = d.bus_generator[i];
    if (generator == 0) continue;
    const std::size_t k = index_of(generator);
    // The reader negates the linear cost of a negative generation bus.
    const double sign = d.bus_type[i] == dispatch::kNegativeGenerationBus ? -1.0 : 1.0;
    c.constant_cost[i] = d.constant_cost[k];
    c.linear_cost[i] = from_file_digits(sign * d.linear_cost[k] / sb);
    c.quadratic_cost[i] = from_file_digits(d.quadratic_cost[k] / sb_squared);
    c.gen_upper[i] = from_file_digits(d.gen_upper[k] * sb);
    c.gen_lower[i] = from_file_digits(d.gen_lower[k] * sb);
  }
  const dispatch::AlgorithmParameters& p = d.parameters;
  c.parameters = {p.nbmax, p.nlmax,   p.ndc,    p.ndp,    p.maxit, p.iprint, p.epsln,
                  p.epslgiv, p.epslnp, p.epslim, p.rho, p.bigm,  p.sigma};
  c.parameters_confirmed = true;
  result.title_bytes = title_without_padding(d.title);
  return result;
}

dispatch::CaseData dispatch_case_from_editor(const CaseData& c, std::string_view title_bytes) {
  check_shape(c);
  if (c.Sb == 0.0) {
    throw CaseCheckError(kProblemForm, 0, "Potência Base (MVA)", "a potência base é zero");
  }
  check_lines(c);
  check_line_limits_per_unit(c);
  check_bus_types(c);
  check_buses_per_unit(c);

  dispatch::CaseData d;
  d.title = std::string(title_bytes.substr(0, 80));
  d.title.resize(80, ' ');
  d.n = c.n;
  d.nl = c.nl;
  d.sb = c.Sb;
  d.se = c.se;
  d.re = c.re;
  d.x = c.x;
  d.line_upper = c.line_upper;
  d.line_lower = c.line_lower;
  dispatch::convert_line_limits_to_per_unit(d);

  d.bus_type = c.bus_type;
  d.load = c.load;
  d.bus_generator.assign(c.bus_type.size(), 0);
  for (std::size_t i = 0; i < c.bus_type.size(); ++i) {
    const std::int32_t type = c.bus_type[i];
    if (type == dispatch::kLoadBus) continue;
    if (type == dispatch::kReferenceBus) d.nref = static_cast<std::int32_t>(i) + 1;
    d.bus_generator[i] = ++d.ngen;
    // As the reader: a negative generation bus has no load of its own and
    // its linear cost enters negated.
    const bool negative = type == dispatch::kNegativeGenerationBus;
    if (negative) d.load[i] = 0.0;
    d.constant_cost.push_back(c.constant_cost[i]);
    d.linear_cost.push_back(negative ? -c.linear_cost[i] : c.linear_cost[i]);
    d.quadratic_cost.push_back(c.quadratic_cost[i]);
    d.gen_upper.push_back(c.gen_upper[i]);
    d.gen_lower.push_back(c.gen_lower[i]);
  }
  dispatch::convert_generators_to_per_unit(d);
  dispatch::convert_loads_to_per_unit(d);
  check_network(d);

  const AlgorithmParameters& p = c.parameters;
  d.parameters = {p.nbmax, p.nlmax,   p.ndc,    p.ndp,    p.maxit, p.iprint, p.epsln,
                  p.epslgiv, p.epslnp, p.epslim, p.rho, p.bigm,  p.sigma};
  dispatch::apply_tolerance_defaults(d.parameters);
  return d;
}

}  // namespace corvo
