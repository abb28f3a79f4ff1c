// The main form: its controls, the OK that takes over the problem data, the
// enabling of the buttons and the warning before each form.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include "form_driver.h"

namespace {

using namespace form_driver;

class MainForm : public testing::Test {
 protected:
  FakeDialogs dialogs;
  TForm1 main{dialogs};

  std::vector<bool> enabled() const {
    return {main.Button5->isEnabled(), main.Button1->isEnabled(), main.Button2->isEnabled(),
            main.Button3->isEnabled(), main.Button4->isEnabled()};
  }
};

TEST_F(MainForm, WindowCaptionAndSize) {
  EXPECT_EQ(main.windowTitle(), "CORVO - Interface Gráfica");
  EXPECT_EQ(main.width(), 498);
  EXPECT_EQ(main.height(), 642);
  EXPECT_FALSE(main.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(main.Label1->text(), "CORVO GUI");
  EXPECT_TRUE(main.Label1->font().bold());
}

struct EditCase {
  const char* name;
  const char* label;
  int max_length;
};

TEST_F(MainForm, EditsWithLabelsAndLengths) {
  const EditCase edits[] = {{"LabeledEdit1", "Número de Barras:", 3},
                            {"LabeledEdit2", "Número de Ramos:", 3},
                            {"LabeledEdit3", "Potência Base (MVA):", 9},
                            {"LabeledEdit4", "Título do Caso em Estudo:", 80}};
  for (const EditCase& expected : edits) {
    auto* edit = main.findChild<LabeledEdit*>(expected.name);
    ASSERT_NE(edit, nullptr) << expected.name;
    EXPECT_EQ(edit->EditLabel()->text(), QString::fromUtf8(expected.label));
    EXPECT_EQ(edit->Edit()->maxLength(), expected.max_length) << expected.name;
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(edit->parentWidget(), main.GroupBox1);
  }
}

struct ButtonCase {
  const char* name;
  const char* caption;
  const char* group;
  bool enabled;
};

TEST_F(MainForm, ButtonsInTheirGroupsAndInitialState) {
  EXPECT_EQ(main.GroupBox1->title(), "Dados do problema:");
  EXPECT_EQ(main.GroupBox2->title(), "Dados da Rede:");
  EXPECT_EQ(main.GroupBox3->title(), "Gravar arquivo:");
  const ButtonCase buttons[] = {
      {"Button5", "OK", "GroupBox1", true},
      {"Button1", "Inserir Dados dos Ramos", "GroupBox2", false},
      {"Button2", "Inserir Dados das Barras", "GroupBox2", false},
      {"Button3", "Configurar Parâmetros do Algoritmo", "GroupBox3", true},
      {"Button4", "GRAVAR", "GroupBox3", false},
  };
  for (const ButtonCase& expected : buttons) {
    auto* button = main.findChild<QPushButton*>(expected.name);
    ASSERT_NE(button, nullptr) << expected.name;
    EXPECT_EQ(button->text(), QString::fromUtf8(expected.caption));
    EXPECT_EQ(button->parentWidget()->objectName(), expected.group);
    EXPECT_EQ(button->isEnabled(), expected.enabled) << expected.name;
  }
}

TEST_F(MainForm, FormCreateClearsFlagAndSetsComma) {
  EXPECT_FALSE(main.Case.parameters_confirmed);
  EXPECT_EQ(main.DecimalSeparator, ',');
}

TEST_F(MainForm, OkTakesOverProblemDataAndEnablesLineButtonOnly) {
  confirm_problem(main, "3", "2", "100");
  EXPECT_TRUE(dialogs.events.empty());
  EXPECT_EQ(main.Case.n, 3);
  EXPECT_EQ(main.Case.nl, 2);
  EXPECT_EQ(main.Case.Sb, 100.0);
  EXPECT_EQ(main.Case.se.size(), 2u);
  EXPECT_EQ(main.Case.line_lower.size(), 2u);
  EXPECT_EQ(main.Case.bus_type.size(), 3u);
  EXPECT_EQ(main.Case.gen_lower.size(), 3u);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, true, false}));
}

struct BasePowerCase {
  const char* text;
  double value;
};

class BasePower : public MainForm, public testing::WithParamInterface<BasePowerCase> {};

TEST_P(BasePower, AcceptedWithComma) {
  confirm_problem(main, "3", "2", GetParam().text);
  EXPECT_TRUE(dialogs.errors().empty());
  EXPECT_EQ(main.Case.Sb, GetParam().value);
  EXPECT_TRUE(main.Button1->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Texts, BasePower,
                         testing::Values(BasePowerCase{"100", 100.0}, BasePowerCase{"100,5", 100.5},
                                         BasePowerCase{"1E+5", 1.0e5}));

// The line count is converted and stored first, so it stays when the bus
// count is wrong; the rest of the handler is skipped.
TEST_F(MainForm, EmptyBusCountShowsErrorAndKeepsLineData) {
  confirm_problem(main, "", "2", "100");
  EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"'' não é um valor inteiro válido"}));
  EXPECT_EQ(main.Case.nl, 2);
  EXPECT_EQ(main.Case.se.size(), 2u);
  EXPECT_EQ(main.Case.n, 0);
  EXPECT_TRUE(main.Case.bus_type.empty());
  EXPECT_EQ(main.Case.Sb, 0.0);
  EXPECT_FALSE(main.Button1->isEnabled());
}

TEST_F(MainForm, BasePowerWithPointShowsErrorAndKeepsCounts) {
  confirm_problem(main, "3", "2", "100.5");
  EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"'100.5' não é um valor real válido"}));
  EXPECT_EQ(main.Case.nl, 2);
  EXPECT_EQ(main.Case.n, 3);
  EXPECT_EQ(main.Case.Sb, 0.0);
  EXPECT_FALSE(main.Button1->isEnabled());
}

TEST_F(MainForm, ErrorLeavesEnabledLineButtonEnabled) {
  confirm_problem(main, "3", "2", "100");
  confirm_problem(main, "x", "2", "100");
  EXPECT_EQ(dialogs.errors().size(), 1u);
  EXPECT_TRUE(main.Button1->isEnabled());
}

struct CountCase {
  const char* n;
  const char* nl;
  const char* message;
};

class InvalidCount : public MainForm, public testing::WithParamInterface<CountCase> {};

// Refused with a warning before anything is stored; the buttons stay.
TEST_P(InvalidCount, IsRefusedWithNothingChanged) {
  confirm_problem(main, "3", "2", "100");
  confirm_problem(main, GetParam().n, GetParam().nl, "50");
  EXPECT_EQ(dialogs.events,
            (std::vector<std::string>{std::string("box ATENÇÃO! ") + GetParam().message}));
  EXPECT_EQ(dialogs.icons.back(), MessageIcon::Warning);
  EXPECT_EQ(main.Case.n, 3);
  EXPECT_EQ(main.Case.nl, 2);
  EXPECT_EQ(main.Case.Sb, 100.0);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, true, false}));
}

// A negative line count and a bus count below one; the line count is
// looked at first.
INSTANTIATE_TEST_SUITE_P(
    Counts, InvalidCount,
    testing::Values(
        CountCase{"3", "-1", "O Número de Ramos deve ser um inteiro maior ou igual a zero!"},
        CountCase{"0", "2", "O Número de Barras deve ser um inteiro maior que zero!"},
        CountCase{"-5", "4", "O Número de Barras deve ser um inteiro maior que zero!"},
        CountCase{"0", "0", "O Número de Barras deve ser um inteiro maior que zero!"},
        CountCase{"0", "-2", "O Número de Ramos deve ser um inteiro maior ou igual a zero!"}));

// A case may have no line: the line grid then has no row, and its OK
// still leads on to the bus grid and to "GRAVAR".
TEST_F(MainForm, ZeroLinesAreAccepted) {
  confirm_problem(main, "1", "0", "100");
  EXPECT_TRUE(dialogs.events.empty());
  EXPECT_EQ(main.Case.nl, 0);
  EXPECT_EQ(main.Case.n, 1);
  dialogs.on_modal = [this](QDialog&) {
    EXPECT_EQ(main.Form2->Ramos->rowCount(), 0);
    press(main.Form2->Button1);
  };
  press(main.Button1);
  dialogs.on_modal = nullptr;
  EXPECT_TRUE(main.Case.se.empty());
  confirm_buses(main, dialogs, {{"2", "20", "0", "10", "0,01", "200", "0"}});
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true}));
  EXPECT_TRUE(dialogs.errors().empty());
}

// The counts are looked at in conversion order: a line count that does not
// convert is reported as a conversion error first.
TEST_F(MainForm, ConversionErrorComesBeforeLaterCountRefusal) {
  confirm_problem(main, "0", "x", "100");
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"error 'x' não é um valor inteiro válido"}));
}

TEST_F(MainForm, EachFormButtonWarnsBeforeItsForm) {
  enter_two_bus_case(main, dialogs);
  dialogs.events.clear();
  dialogs.icons.clear();
  press(main.Button1);
  press(main.Button2);
  press(main.Button3);
  EXPECT_EQ(dialogs.events,
            (std::vector<std::string>{kAttention, "modal Form2", "closed by close box", kAttention,
                                      "modal Form3", "closed by close box", kAttention,
                                      "modal Form4", "closed by close box"}));
  EXPECT_EQ(dialogs.icons, std::vector<MessageIcon>(3, MessageIcon::Information));
}

TEST_F(MainForm, FormInstanceIsKnownWhileOpenAndDestroyedAfter) {
  QPointer<QDialog> seen;
  dialogs.on_modal = [&](QDialog& form) {
    EXPECT_EQ(&form, main.Form4);
    EXPECT_TRUE(form.isModal());
    seen = &form;
  };
  press(main.Button3);
  EXPECT_EQ(main.Form4, nullptr);
  EXPECT_TRUE(seen.isNull());
}

TEST_F(MainForm, EnablingSequence) {
  EXPECT_EQ(enabled(), (std::vector<bool>{true, false, false, true, false}));
  press(main.Button1);  // disabled: nothing happens
  press(main.Button4);
  EXPECT_TRUE(dialogs.events.empty());

  confirm_problem(main, "2", "1", "100");
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, true, false}));
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, false}));
  confirm_buses(main, dialogs, {{"2", "0", "0", "10", "0,01", "200", "0"}, {"0", "50"}});
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true}));
  confirm_parameters(main, dialogs);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true}));
  EXPECT_TRUE(dialogs.errors().empty());
}

TEST_F(MainForm, ParameterFormCanBeConfirmedFirst) {
  confirm_parameters(main, dialogs);
  EXPECT_TRUE(main.Case.parameters_confirmed);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, false, false, true, false}));
}

// A second OK makes arrays for the new counts that keep the values of the
// lines and buses they share with the old ones and zeros elsewhere.
TEST_F(MainForm, SecondOkKeepsOverlap) {
  enter_two_bus_case(main, dialogs);
  confirm_problem(main, "3", "2", "200");
  EXPECT_EQ(main.Case.se, (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(main.Case.x, (std::vector<double>{0.1, 0.0}));
  EXPECT_EQ(main.Case.bus_type, (std::vector<std::int32_t>{2, 0, 0}));
  EXPECT_EQ(main.Case.load, (std::vector<double>{0.0, 50.0, 0.0}));
  EXPECT_EQ(main.Case.linear_cost, (std::vector<double>{10.0, 0.0, 0.0}));
  EXPECT_EQ(main.Case.Sb, 200.0);
}

// After a second OK, "GRAVAR" waits until every grid whose count changed
// has been confirmed again; a grid whose count stayed keeps its values and
// needs no new confirmation. The other buttons stay enabled.
struct RecountCase {
  const char* name;
  const char* n;
  const char* nl;
  bool save_after_ok;          // "GRAVAR" right after the second OK
  bool save_after_buses_only;  // after confirming the bus grid alone
  bool save_after_lines_only;  // after confirming the line grid alone
};

class SecondOk : public MainForm, public testing::WithParamInterface<RecountCase> {
 protected:
  void recount() {
    enter_two_bus_case(main, dialogs);
    ASSERT_TRUE(main.Button4->isEnabled());
    confirm_problem(main, GetParam().n, GetParam().nl, "100");
  }
  void confirm_line_grid() {
    std::vector<QStringList> rows{{"1", "2", "0,1", "100", "-100"}};
    if (std::string(GetParam().nl) == "2") rows.push_back({"2", "3", "0,2", "100", "-100"});
    confirm_lines(main, dialogs, rows);
  }
  void confirm_bus_grid() {
    std::vector<QStringList> rows{{"2", "0", "0", "10", "0,01", "200", "0"}, {"0", "50"}};
    if (std::string(GetParam().n) == "3") rows.push_back({"0", "5"});
    confirm_buses(main, dialogs, rows);
  }
};

TEST_P(SecondOk, SaveWaitsForEveryResizedGrid) {
  const RecountCase& c = GetParam();
  recount();
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, c.save_after_ok}));
  confirm_bus_grid();
  EXPECT_EQ(main.Button4->isEnabled(), c.save_after_buses_only);
  confirm_line_grid();
  EXPECT_TRUE(main.Button4->isEnabled());
  EXPECT_TRUE(dialogs.errors().empty());
}

TEST_P(SecondOk, LinesFirstThenBuses) {
  const RecountCase& c = GetParam();
  recount();
  confirm_line_grid();
  EXPECT_EQ(main.Button4->isEnabled(), c.save_after_lines_only);
  confirm_bus_grid();
  EXPECT_TRUE(main.Button4->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SecondOk,
    testing::Values(RecountCase{"Unchanged", "2", "1", true, true, true},
                    RecountCase{"MoreBuses", "3", "1", false, true, false},
                    RecountCase{"MoreLines", "2", "2", false, false, true},
                    RecountCase{"Both", "3", "2", false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Once the line arrays were made anew, the case can no longer be saved even
// if the bus count then fails.
TEST_F(MainForm, FailedSecondOkStillDisablesSave) {
  enter_two_bus_case(main, dialogs);
  confirm_problem(main, "", "3", "100");
  EXPECT_EQ(dialogs.errors().size(), 1u);
  EXPECT_EQ(main.Case.nl, 3);
  EXPECT_EQ(main.Case.n, 2);
  EXPECT_FALSE(main.Button4->isEnabled());
}

}  // namespace
