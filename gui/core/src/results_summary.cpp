#include "corvo/results_summary.hpp"

#include <map>

#include "corvo/number_text.hpp"
#include "corvo/title_text.hpp"

namespace corvo {

namespace {

std::string money(double value) { return table_number_text(value, 2, ',') + " $/h"; }
std::string power(double value) { return table_number_text(value, 2, ',') + " MW"; }

std::string method_name(const std::string& method) {
  if (method == "robust") return "robusto";
  if (method == "classic") return "clássico";
  return method;
}

std::string outcome_text(const report::Summary& s) {
  const std::string iterations = std::to_string(s.iterations) + (s.iterations == 1 ? " iteração" : " iterações");
  switch (s.outcome) {
    case report::Outcome::converged:
      return "convergiu em " + iterations;
    case report::Outcome::iteration_limit:
      return "parou no limite de iterações (" + iterations + ")";
    case report::Outcome::infeasible:
      return "inviável: " + s.message;
    case report::Outcome::stopped:
      break;
  }
  return "parou: " + s.message;
}

std::string verdict_text(const report::OptimalityCheck& check) {
  if (check.optimal) return "ótimo (a verificação independente confirma)";
  std::string text = "não ótimo";
  for (std::size_t i = 0; i < check.failing.size(); ++i) {
    text += (i == 0 ? " — falhou: " : ", ") + condition_name(check.failing[i]);
  }
  return text;
}

}  // namespace

std::string condition_name(const std::string& name) {
  static const std::map<std::string, std::string> names = {
      {"solver outcome", "resultado do método"},
      {"power balance", "balanço de potência"},
      {"limits", "limites"},
      {"angle bound", "limite de ângulo"},
      {"dual feasibility", "viabilidade dual"},
      {"complementarity", "complementaridade"},
  };
  const auto found = names.find(name);
  return found == names.end() ? name : found->second;
}

std::string limit_name(report::AtLimit at) {
  switch (at) {
    case report::AtLimit::lower:
      return "inferior";
    case report::AtLimit::upper:
      return "superior";
    case report::AtLimit::none:
      break;
  }
  return "";
}

std::vector<SummaryLine> summary_lines(const report::Results& results) {
  const report::Summary& s = results.summary;
  std::string caso = s.case_name;
  const std::string title = decode_title(s.title).utf8;
  if (!title.empty()) caso += " — " + title;
  std::vector<SummaryLine> lines = {
      {"Caso", caso},
      {"Método", method_name(s.method) + ", " + outcome_text(s)},
      {"Custo", money(s.cost) + " sem custos constantes; " + money(s.cost_with_constant) + " com eles"},
      {"Carga total", power(s.total_load_mw)},
      {"Geração total", power(s.total_generation_mw)},
      {"Veredito", verdict_text(results.check)},
  };
  for (const std::string& note : results.check.notes) lines.push_back({"Nota", note});
  return lines;
}

}  // namespace corvo
