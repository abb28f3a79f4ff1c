// The summary of the results window.
#include "corvo/results_summary.hpp"

#include <gtest/gtest.h>

namespace {

corvo::report::Results two_bus_results() {
  corvo::report::Results r;
  r.summary.case_name = "caso1";
  r.summary.title = "Caso exemplo: duas barras";
  r.summary.method = "robust";
  r.summary.outcome = corvo::report::Outcome::converged;
  r.summary.iterations = 9;
  r.summary.cost = 512.5;
  r.summary.constant_cost = 100.0;
  r.summary.cost_with_constant = 612.5;
  r.summary.total_load_mw = 50.0;
  r.summary.total_generation_mw = 50.0;
  r.check.optimal = true;
  return r;
}

TEST(ResultsSummary, OptimalCase) {
  const auto lines = corvo::summary_lines(two_bus_results());
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].text, "caso1 — Caso exemplo: duas barras");
  EXPECT_EQ(lines[1].text, "robusto, convergiu em 9 iterações");
  EXPECT_EQ(lines[2].text, "512,50 $/h sem custos constantes; 612,50 $/h com eles");
  EXPECT_EQ(lines[3].text, "50,00 MW");
  EXPECT_EQ(lines[5].label, "Veredito");
  EXPECT_EQ(lines[5].text, "ótimo (a verificação independente confirma)");
}

TEST(ResultsSummary, NotOptimalNamesTheFailingConditions) {
  corvo::report::Results r = two_bus_results();
  r.summary.method = "classic";
  r.summary.outcome = corvo::report::Outcome::iteration_limit;
  r.summary.iterations = 100;
  r.summary.title = "Sistema El\xE9trico";  // Latin-1, as the editor writes titles
  r.check.optimal = false;
  r.check.failing = {"solver outcome", "power balance", "something new"};
  r.check.notes = {"bus 3: angle at or below -2 rad"};
  const auto lines = corvo::summary_lines(r);
  EXPECT_EQ(lines[0].text, "caso1 — Sistema El\xC3\xA9trico");
  EXPECT_EQ(lines[1].text, "clássico, parou no limite de iterações (100 iterações)");
  EXPECT_EQ(lines[5].text, "não ótimo — falhou: resultado do método, balanço de potência, something new");
  EXPECT_EQ(lines[6].label, "Nota");
}

TEST(ResultsSummary, LimitNames) {
  EXPECT_EQ(corvo::limit_name(corvo::report::AtLimit::lower), "inferior");
  EXPECT_EQ(corvo::limit_name(corvo::report::AtLimit::upper), "superior");
  EXPECT_EQ(corvo::limit_name(corvo::report::AtLimit::none), "");
}

}  // namespace
