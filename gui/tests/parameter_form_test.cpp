// The parameter form: its edits and defaults, and the OK that stores the
// parameters and sets the flag.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "form_driver.h"

namespace {

using namespace form_driver;

class ParameterForm : public testing::Test {
 protected:
  FakeDialogs dialogs;
  TForm1 main{dialogs};
};

struct ParameterEditCase {
  const char* label;
  const char* text;
};

TEST_F(ParameterForm, LayoutLabelsAndDefaults) {
  const ParameterEditCase expected[] = {
      {"nbmax:", "100"},   {"nlmax:", "150"},    {"ndc:", "500"},     {"ndp:", "500"},
      {"maxit:", "20"},    {"iprint:", "0"},     {"epsln:", "1E-10"}, {"epslgiv:", "1E-35"},
      {"epslnp:", "1E-6"}, {"epslim:", "1E-10"}, {"rho:", "0,99"},    {"bigM:", "1E+5"},
      {"sigma:", "1E-1"}};
  dialogs.on_modal = [&](QDialog& form) {
    EXPECT_EQ(form.windowTitle(), "CORVO - Parâmetros do Algoritmo");
    EXPECT_EQ(form.width(), 379);
    EXPECT_EQ(form.height(), 464);
    TForm4& parameters = *main.Form4;
    EXPECT_EQ(parameters.Label1->text(), "Parâmetros do Algoritmo");
    EXPECT_TRUE(parameters.Label1->font().bold());
    EXPECT_EQ(parameters.GroupBox1->title(), "Parâmetros do algoritmo:");
    EXPECT_EQ(parameters.Button1->text(), "OK");
    for (int i = 0; i < 13; ++i) {
      auto* edit = form.findChild<LabeledEdit*>(QStringLiteral("LabeledEdit%1").arg(i + 1));
      ASSERT_NE(edit, nullptr) << i;
      EXPECT_EQ(edit->parentWidget(), parameters.GroupBox1);
      EXPECT_EQ(edit->EditLabel()->text(), expected[i].label);
      EXPECT_EQ(edit->text(), expected[i].text);
      EXPECT_EQ(edit->Edit()->maxLength(), 32767) << "no length limit";
    }
    EXPECT_EQ(parameters.LabeledEdit7->EditLabel()->text(), "epsln:");
    EXPECT_EQ(parameters.LabeledEdit13->text(), "1E-1");
  };
  press(main.Button3);
}

// Four rows: 4, 3, 3 and 3 edits, each label above its edit.
TEST_F(ParameterForm, EditsStandInFourRows) {
  dialogs.on_modal = [&](QDialog&) {
    TForm4& p = *main.Form4;
    const LabeledEdit* rows[4][4] = {
        {p.LabeledEdit1, p.LabeledEdit2, p.LabeledEdit3, p.LabeledEdit4},
        {p.LabeledEdit5, p.LabeledEdit6, p.LabeledEdit7, nullptr},
        {p.LabeledEdit8, p.LabeledEdit9, p.LabeledEdit10, nullptr},
        {p.LabeledEdit11, p.LabeledEdit12, p.LabeledEdit13, nullptr}};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4 && rows[r][c]; ++c) {
        EXPECT_EQ(rows[r][c]->y(), rows[r][0]->y());
        if (r > 0) {
          EXPECT_GT(rows[r][c]->y(), rows[r - 1][0]->y());
        }
        if (c > 0) {
          EXPECT_GT(rows[r][c]->x(), rows[r][c - 1]->x());
        }
        EXPECT_LT(rows[r][c]->EditLabel()->y(), rows[r][c]->Edit()->y());
      }
    }
  };
  press(main.Button3);
}

TEST_F(ParameterForm, OkAtOnceStoresConvertedDefaults) {
  confirm_parameters(main, dialogs);
  EXPECT_TRUE(dialogs.errors().empty());
  EXPECT_TRUE(main.Case.parameters_confirmed);
  const corvo::AlgorithmParameters& p = main.Case.parameters;
  EXPECT_EQ(p.nbmax, 100);
  EXPECT_EQ(p.nlmax, 150);
  EXPECT_EQ(p.ndc, 500);
  EXPECT_EQ(p.ndp, 500);
  EXPECT_EQ(p.maxit, 20);
  EXPECT_EQ(p.iprint, 0);
  EXPECT_EQ(p.epsln, 1.0e-10);
  EXPECT_EQ(p.epslgiv, 1.0e-35);
  EXPECT_EQ(p.epslnp, 1.0e-6);
  EXPECT_EQ(p.epslim, 1.0e-10);
  EXPECT_EQ(p.rho, 0.99);
  EXPECT_EQ(p.bigm, 1.0e5);
  EXPECT_EQ(p.sigma, 0.1);
}

TEST_F(ParameterForm, ExponentWithCommaIsStored) {
  confirm_parameters(main, dialogs, [](TForm4& form) { type(form.LabeledEdit7, "1,5E-8"); });
  EXPECT_EQ(main.Case.parameters.epsln, 1.5e-8);
}

// rho typed with a point: the flag is already set, the six integers and the
// four tolerances are stored, bigm and sigma keep their previous (never
// set) values, and the form stays open.
TEST_F(ParameterForm, PointInRhoStopsWithEarlierValuesStored) {
  dialogs.on_modal = [&](QDialog& form) {
    type(main.Form4->LabeledEdit5, "30");
    type(main.Form4->LabeledEdit11, "0.5");
    press(main.Form4->Button1);
    EXPECT_TRUE(form.isVisible());
  };
  press(main.Button3);
  EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"'0.5' não é um valor real válido"}));
  EXPECT_TRUE(main.Case.parameters_confirmed);
  const corvo::AlgorithmParameters& p = main.Case.parameters;
  EXPECT_EQ(p.maxit, 30);
  EXPECT_EQ(p.iprint, 0);
  EXPECT_EQ(p.ndp, 500);
  EXPECT_EQ(p.epslim, 1.0e-10);
  EXPECT_EQ(p.rho, 0.0);
  EXPECT_EQ(p.bigm, 0.0);
  EXPECT_EQ(p.sigma, 0.0);
}

TEST_F(ParameterForm, SecondOpeningShowsDefaultsAgain) {
  confirm_parameters(main, dialogs, [](TForm4& form) { type(form.LabeledEdit5, "40"); });
  dialogs.on_modal = [&](QDialog&) { EXPECT_EQ(main.Form4->LabeledEdit5->text(), "20"); };
  press(main.Button3);
  EXPECT_EQ(main.Case.parameters.maxit, 40);
  EXPECT_TRUE(main.Case.parameters_confirmed);
}

TEST_F(ParameterForm, CloseBoxLeavesDataAndFlag) {
  dialogs.on_modal = [&](QDialog&) { type(main.Form4->LabeledEdit5, "40"); };
  press(main.Button3);
  EXPECT_FALSE(main.Case.parameters_confirmed);
  EXPECT_EQ(main.Case.parameters.maxit, 0);
}

}  // namespace
