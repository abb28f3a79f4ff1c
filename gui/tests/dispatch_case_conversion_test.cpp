// The one conversion between the editor's case and the dispatch library's:
// a case read by orsa's loader, taken into the forms and handed back, is
// the loader's case bit for bit; the forms hold the file's own decimal
// values; and what orsa refuses is refused naming the form, row and column.
#include "corvo/dispatch_case_conversion.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "bundled_cases.hpp"
#include "case_builder.hpp"
#include "dispatch/case_loader.hpp"

namespace {

std::vector<std::uint64_t> bits(const std::vector<double>& values) {
  std::vector<std::uint64_t> result;
  for (const double v : values) result.push_back(std::bit_cast<std::uint64_t>(v));
  return result;
}

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

void expect_same_case(const dispatch::CaseData& a, const dispatch::CaseData& b, const std::string& what) {
  EXPECT_EQ(a.title, b.title) << what;
  EXPECT_EQ(a.n, b.n) << what;
  EXPECT_EQ(a.nl, b.nl) << what;
  EXPECT_EQ(bits(a.sb), bits(b.sb)) << what;
  EXPECT_EQ(a.se, b.se) << what;
  EXPECT_EQ(a.re, b.re) << what;
  EXPECT_EQ(bits(a.x), bits(b.x)) << what;
  EXPECT_EQ(bits(a.line_upper), bits(b.line_upper)) << what;
  EXPECT_EQ(bits(a.line_lower), bits(b.line_lower)) << what;
  EXPECT_EQ(a.bus_type, b.bus_type) << what;
  EXPECT_EQ(bits(a.load), bits(b.load)) << what;
  EXPECT_EQ(a.bus_generator, b.bus_generator) << what;
  EXPECT_EQ(bits(a.constant_cost), bits(b.constant_cost)) << what;
  EXPECT_EQ(bits(a.linear_cost), bits(b.linear_cost)) << what;
  EXPECT_EQ(bits(a.quadratic_cost), bits(b.quadratic_cost)) << what;
  EXPECT_EQ(bits(a.gen_upper), bits(b.gen_upper)) << what;
  EXPECT_EQ(bits(a.gen_lower), bits(b.gen_lower)) << what;
  EXPECT_EQ(a.nref, b.nref) << what;
  EXPECT_EQ(a.ngen, b.ngen) << what;
  const dispatch::AlgorithmParameters &p = a.parameters, &q = b.parameters;
  EXPECT_EQ((std::vector<std::int32_t>{p.nbmax, p.nlmax, p.ndc, p.ndp, p.maxit, p.iprint}),
            (std::vector<std::int32_t>{q.nbmax, q.nlmax, q.ndc, q.ndp, q.maxit, q.iprint}))
      << what;
  EXPECT_EQ(bits({p.epsln, p.epslgiv, p.epslnp, p.epslim, p.rho, p.bigm, p.sigma}),
            bits({q.epsln, q.epslgiv, q.epslnp, q.epslim, q.rho, q.bigm, q.sigma}))
      << what;
}

// Solving from the forms sees exactly what solving the file sees.
TEST(DispatchCaseConversion, EveryBundledCaseComesBackBitForBit) {
  for (const std::string& name : corvo_test::bundled_case_files()) {
    const dispatch::CaseData loaded = dispatch::load_case_file(corvo_test::cases_folder() / name);
    const corvo::EditorCase editor = corvo::editor_case_from_dispatch(loaded);
    expect_same_case(corvo::dispatch_case_from_editor(editor.data, editor.title_bytes), loaded, name);
  }
}

// ieee14.dat, records 1 to 3 and the record of bus 1 (reference bus):
// "         1         2  0.059170   9999.00  -9999.00"
// "      0.00      0.00     20.00  0.086059    332.40      0.00"
// The forms show the file's decimal values, not their per-unit round trip.
TEST(DispatchCaseConversion, FormsHoldTheFilesDecimalValues) {
  const dispatch::CaseData loaded = dispatch::load_case_file(corvo_test::cases_folder() / "ieee14.dat");
  const corvo::EditorCase editor = corvo::editor_case_from_dispatch(loaded);
  const corvo::CaseData& c = editor.data;
  EXPECT_EQ(editor.title_bytes, "IEEE 14-bus test system, from MATPOWER case14 (DC dispatch form)");
  EXPECT_EQ(c.n, 14);
  EXPECT_EQ(c.nl, 20);
  EXPECT_EQ(c.Sb, 100.0);
  EXPECT_EQ(c.se[0], 1);
  EXPECT_EQ(c.re[0], 2);
  EXPECT_EQ(c.x[0], 0.05917);
  EXPECT_EQ(c.line_upper[0], 9999.0);
  EXPECT_EQ(c.line_lower[0], -9999.0);
  EXPECT_EQ(c.bus_type[0], 2);
  EXPECT_EQ(c.linear_cost[0], 20.0);
  EXPECT_EQ(c.quadratic_cost[0], 0.086059);
  EXPECT_EQ(c.gen_upper[0], 332.4);
  EXPECT_TRUE(c.parameters_confirmed);
  EXPECT_EQ(c.parameters.maxit, 99);
  EXPECT_EQ(c.parameters.epsln, 1.0e-8);
}

// A negative generation bus: the reader drops its load and negates its
// linear cost; the forms show the cost as typed.
TEST(DispatchCaseConversion, NegativeGenerationBus) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.bus_type = {2, 3};
  c.load = {0.0, 30.0};
  c.linear_cost = {10.0, 4.0};
  c.gen_upper = {200.0, 20.0};
  const dispatch::CaseData d = corvo::dispatch_case_from_editor(c, "t");
  EXPECT_EQ(d.load, (std::vector<double>{0.0, 0.0}));
  // 4 $/MWh negated, times Sb = 100.
  EXPECT_EQ(d.linear_cost, (std::vector<double>{1000.0, -400.0}));
  EXPECT_EQ(d.bus_generator, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(d.ngen, 2);
  EXPECT_EQ(d.nref, 1);
  const corvo::EditorCase back = corvo::editor_case_from_dispatch(d);
  EXPECT_EQ(back.data.linear_cost, (std::vector<double>{10.0, 4.0}));
  EXPECT_EQ(back.data.load, (std::vector<double>{0.0, 0.0}));
}

// Per unit on Sb = 100 (hand calculation): 100 MW is 1 pu, 10 $/MWh is
// 1000 $/h per pu, 0.01 $/MW2h is 100 per pu squared; a zero tolerance
// takes orsa's default.
TEST(DispatchCaseConversion, PerUnitAsTheReader) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.parameters.epsln = 0.0;
  const dispatch::CaseData d = corvo::dispatch_case_from_editor(c, "Caso exemplo");
  EXPECT_EQ(d.title, "Caso exemplo" + std::string(68, ' '));
  EXPECT_EQ(d.line_upper, (std::vector<double>{1.0}));
  EXPECT_EQ(d.load, (std::vector<double>{0.0, 0.5}));
  EXPECT_EQ(d.linear_cost, (std::vector<double>{1000.0}));
  EXPECT_EQ(d.quadratic_cost, (std::vector<double>{100.0}));
  EXPECT_EQ(d.gen_upper, (std::vector<double>{2.0}));
  EXPECT_EQ(d.parameters.epsln, 1.0e-8);
}

struct RefusalCase {
  const char* what;
  void (*change)(corvo::CaseData&);
  const char* place;
  const char* problem;  // nullptr: the text of a denormal value is not the point
};

const RefusalCase kRefusals[] = {
    {"base power zero", [](corvo::CaseData& c) { c.Sb = 0.0; }, "Dados do problema, Potência Base (MVA)",
     "a potência base é zero"},
    {"receiving bus outside", [](corvo::CaseData& c) { c.re[0] = 3; }, "Ramos, linha 1, Barra de Destino",
     "a barra 3 não está entre 1 e 2"},
    {"sending bus zero", [](corvo::CaseData& c) { c.se[0] = 0; }, "Ramos, linha 1, Barra de Origem",
     "a barra 0 não está entre 1 e 2"},
    {"bus type 4", [](corvo::CaseData& c) { c.bus_type[1] = 4; }, "Barras, linha 2, Tipo",
     "o tipo 4 não está entre 0 e 3"},
    {"no reference bus", [](corvo::CaseData& c) { c.bus_type[0] = 1; }, "Barras, Tipo",
     "nenhuma barra é de referência (tipo 2)"},
    {"zero reactance", [](corvo::CaseData& c) { c.x[0] = 0.0; }, "Ramos, linha 1, Reatância Série (p.u.)",
     "a reatância é zero"},
    {"denormal reactance", [](corvo::CaseData& c) { c.x[0] = 1e-320; },
     "Ramos, linha 1, Reatância Série (p.u.)", nullptr},
    {"limit beyond per unit", [](corvo::CaseData& c) { c.Sb = 1e-310; },
     "Ramos, linha 1, Limite Máximo (MW)", "o valor 100 não é finito em p.u."},
    {"isolated bus", [](corvo::CaseData& c) { c.re[0] = 1; }, "Barras, linha 2", "a barra 2 não tem nenhum ramo"},
};

TEST(DispatchCaseConversion, RefusesWhatOrsaRefusesNamingThePlace) {
  for (const RefusalCase& r : kRefusals) {
    corvo::CaseData c = corvo_test::two_bus_case();
    r.change(c);
    try {
      corvo::dispatch_case_from_editor(c, "");
      ADD_FAILURE() << r.what << ": accepted";
    } catch (const corvo::CaseCheckError& error) {
      EXPECT_EQ(error.place(), r.place) << r.what;
      if (r.problem) {
        EXPECT_EQ(error.problem(), r.problem) << r.what;
      }
    }
  }
}

TEST(DispatchCaseConversion, ArraysThatDoNotMatchTheirCountsAreAProgrammingError) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.x.push_back(0.2);
  EXPECT_THROW(corvo::dispatch_case_from_editor(c, ""), std::invalid_argument);
}

}  // namespace
