// The line and bus forms: their layout, the sizing of the grids and the OK
// that takes a grid over into the case.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>

#include "form_driver.h"

namespace {

using namespace form_driver;

QStringList headings(const DataGrid& grid) {
  QStringList result;
  for (int c = 0; c < grid.columnCount(); ++c) result << grid.horizontalHeaderItem(c)->text();
  return result;
}

QStringList row_numbers(const DataGrid& grid) {
  QStringList result;
  for (int r = 0; r < grid.rowCount(); ++r) {
    result << grid.model()->headerData(r, Qt::Vertical).toString();
  }
  return result;
}

class GridForms : public testing::Test {
 protected:
  FakeDialogs dialogs;
  TForm1 main{dialogs};
};

TEST_F(GridForms, LineFormLayout) {
  confirm_problem(main, "3", "2", "100");
  dialogs.on_modal = [&](QDialog& form) {
    EXPECT_EQ(form.windowTitle(), "CORVO - Dados dos Ramos");
    EXPECT_EQ(form.width(), 548);
    EXPECT_EQ(form.height(), 470);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    TForm2& lines = *main.Form2;
    EXPECT_EQ(lines.Label1->text(), "Dados dos Ramos");
    EXPECT_EQ(lines.Button1->text(), "OK");
    EXPECT_EQ(lines.Ramos->objectName(), "Ramos");
    EXPECT_EQ(lines.Ramos->cornerTitle(), "Ramo");
    EXPECT_EQ(headings(*lines.Ramos),
              (QStringList{"Barra de\nOrigem", "Barra de\nDestino", "Reatância Série\n(p.u.)",
                           "Limite Máximo\n(MW)", "Limite Mínimo\n(MW)"}));
    EXPECT_EQ(row_numbers(*lines.Ramos), (QStringList{"1", "2"}));
    EXPECT_EQ(lines.DecimalSeparator, ',');
  };
  press(main.Button1);
}

TEST_F(GridForms, BusFormLayout) {
  enter_two_bus_case(main, dialogs);
  dialogs.on_modal = [&](QDialog& form) {
    EXPECT_EQ(form.windowTitle(), "CORVO - Dados das Barras");
    EXPECT_EQ(form.width(), 776);
    EXPECT_EQ(form.height(), 501);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    TForm3& buses = *main.Form3;
    EXPECT_EQ(buses.Label1->text(), "Dados das Barras");
    EXPECT_EQ(buses.Barras->objectName(), "Barras");
    EXPECT_EQ(buses.Barras->cornerTitle(), "Barra");
    EXPECT_EQ(headings(*buses.Barras),
              (QStringList{"Tipo", "Carga\n(MW)", "Termo Constante\nda F. C. ($/h)",
                           "Coef. Linear\nda F. C. ($/MWh)", "Coef. Quadrático\nda F. C. ($/MW2h)",
                           "Limite Superior\n(MW)", "Limite Inferior\n(MW)"}));
    EXPECT_EQ(row_numbers(*buses.Barras), (QStringList{"1", "2"}));
    EXPECT_EQ(buses.GroupBox1->title(), "Tipos de Barras:");
    QStringList types;
    for (const QLabel* label : buses.GroupBox1->findChildren<QLabel*>()) types << label->text();
    EXPECT_EQ(types, (QStringList{"Barra de Carga: 0", "Barra de Geração: 1",
                                  "Barra de Referência: 2", "Barra de Geração Negativa: 3"}));
  };
  press(main.Button2);
}

TEST_F(GridForms, LineExampleIsStoredAndEnablesBusButton) {
  confirm_problem(main, "3", "2", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}, {"2", "3", "0,2", "50", "-50"}});
  EXPECT_TRUE(dialogs.errors().empty());
  EXPECT_EQ(main.Case.se, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(main.Case.re, (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(main.Case.x, (std::vector<double>{0.1, 0.2}));
  EXPECT_EQ(main.Case.line_upper, (std::vector<double>{100.0, 50.0}));
  EXPECT_EQ(main.Case.line_lower, (std::vector<double>{-100.0, -50.0}));
  EXPECT_TRUE(main.Button2->isEnabled());
  EXPECT_FALSE(main.Button4->isEnabled());
  // OK closed the form: no close box was needed.
  EXPECT_EQ(dialogs.events.back(), "modal Form2");
}

// Columns are read one after the other over all rows, so a point in the
// reactance stops after both bus columns of every line are stored.
TEST_F(GridForms, ReactanceWithPointStopsAfterBusNumbers) {
  confirm_problem(main, "3", "2", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0.1", "100", "-100"}, {"2", "3", "0,2", "50", "-50"}});
  EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"'0.1' não é um valor real válido"}));
  EXPECT_EQ(main.Case.se, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(main.Case.re, (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(main.Case.x, (std::vector<double>{0.0, 0.0}));
  EXPECT_FALSE(main.Button2->isEnabled());
  EXPECT_EQ(dialogs.events.back(), "closed by close box");  // OK left it open
}

TEST_F(GridForms, ErrorKeepsFormOpenForCorrection) {
  confirm_problem(main, "2", "1", "100");
  dialogs.on_modal = [&](QDialog& form) {
    type_rows(main.Form2->Ramos, {{"1", "2", "0.1", "100", "-100"}});
    press(main.Form2->Button1);
    EXPECT_TRUE(form.isVisible());
    type_cell(main.Form2->Ramos, 1, 3, "0,1");
    press(main.Form2->Button1);
    EXPECT_FALSE(form.isVisible());
  };
  press(main.Button1);
  EXPECT_EQ(main.Case.x, (std::vector<double>{0.1}));
  EXPECT_TRUE(main.Button2->isEnabled());
}

TEST_F(GridForms, ExponentIsAccepted) {
  confirm_problem(main, "2", "1", "100");
  confirm_lines(main, dialogs, {{"1", "2", "1E-3", "1,5E+2", "-1e2"}});
  EXPECT_EQ(main.Case.x, (std::vector<double>{1.0e-3}));
  EXPECT_EQ(main.Case.line_upper, (std::vector<double>{150.0}));
  EXPECT_EQ(main.Case.line_lower, (std::vector<double>{-100.0}));
}

// The grid is sized from the edit's current text; OK reads the confirmed
// count.
TEST_F(GridForms, GridSizedFromCurrentTextWhileOkReadsConfirmedCount) {
  confirm_problem(main, "3", "2", "100");
  type(main.LabeledEdit2, "4");
  dialogs.on_modal = [&](QDialog&) {
    EXPECT_EQ(main.Form2->Ramos->rowCount(), 4);
    type_rows(main.Form2->Ramos, {{"1", "2", "0,1", "100", "-100"},
                                  {"2", "3", "0,2", "50", "-50"},
                                  {"not", "read", "", "", ""}});
    press(main.Form2->Button1);
  };
  press(main.Button1);
  EXPECT_TRUE(dialogs.errors().empty());
  EXPECT_EQ(main.Case.se, (std::vector<std::int32_t>{1, 2}));
  EXPECT_TRUE(main.Button2->isEnabled());
}

// Fewer rows than the confirmed count: the missing cells read as empty.
TEST_F(GridForms, MissingRowReadsAsEmptyCell) {
  confirm_problem(main, "3", "2", "100");
  type(main.LabeledEdit2, "1");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"'' não é um valor inteiro válido"}));
  EXPECT_EQ(main.Case.se, (std::vector<std::int32_t>{1, 0}));
  EXPECT_FALSE(main.Button2->isEnabled());
}

TEST_F(GridForms, UnconvertibleCountTextShowsErrorAndOffersNoRows) {
  confirm_problem(main, "3", "2", "100");
  type(main.LabeledEdit2, "x");
  dialogs.on_modal = [&](QDialog&) { EXPECT_EQ(main.Form2->Ramos->rowCount(), 0); };
  press(main.Button1);
  EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"'x' não é um valor inteiro válido"}));
}

TEST_F(GridForms, CloseBoxChangesNothing) {
  confirm_problem(main, "2", "1", "100");
  dialogs.on_modal = [&](QDialog&) { type_rows(main.Form2->Ramos, {{"1", "2", "0,1", "1", "1"}}); };
  press(main.Button1);
  EXPECT_EQ(main.Case.se, (std::vector<std::int32_t>{0}));
  EXPECT_FALSE(main.Button2->isEnabled());
}

// Each opening starts from an empty grid.
TEST_F(GridForms, ReopenedGridIsEmpty) {
  confirm_problem(main, "2", "1", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  dialogs.on_modal = [&](QDialog&) {
    main.Form2->Ramos->SetActiveCell(1, 1);
    EXPECT_TRUE(main.Form2->Ramos->ActiveCellText().isEmpty());
  };
  press(main.Button1);
}

TEST_F(GridForms, BusExampleIsStoredAndEnablesSave) {
  confirm_problem(main, "3", "2", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}, {"2", "3", "0,2", "50", "-50"}});
  confirm_buses(main, dialogs,
                {{"2", "0", "0", "10", "0,01", "200", "0"},
                 {"0", "50"},
                 {"3", "20", "1,5", "12", "0", "30", "5"}});
  EXPECT_TRUE(dialogs.errors().empty());
  EXPECT_EQ(main.Case.bus_type, (std::vector<std::int32_t>{2, 0, 3}));
  EXPECT_EQ(main.Case.load, (std::vector<double>{0.0, 50.0, 20.0}));
  EXPECT_EQ(main.Case.constant_cost, (std::vector<double>{0.0, 0.0, 1.5}));
  EXPECT_EQ(main.Case.linear_cost, (std::vector<double>{10.0, 0.0, 12.0}));
  EXPECT_EQ(main.Case.quadratic_cost, (std::vector<double>{0.01, 0.0, 0.0}));
  EXPECT_EQ(main.Case.gen_upper, (std::vector<double>{200.0, 0.0, 30.0}));
  EXPECT_EQ(main.Case.gen_lower, (std::vector<double>{0.0, 0.0, 5.0}));
  EXPECT_TRUE(main.Button4->isEnabled());
}

// The generator cells of a load bus are not converted and give 0, even
// when something was typed in them.
TEST_F(GridForms, LoadBusGeneratorCellsAreNotRead) {
  confirm_problem(main, "2", "1", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  main.Case.linear_cost = {7.0, 7.0};
  confirm_buses(main, dialogs, {{"0", "10"}, {"0", "50", "junk", "1.5", "", "x", "y"}});
  EXPECT_TRUE(dialogs.errors().empty());
  EXPECT_EQ(main.Case.linear_cost, (std::vector<double>{0.0, 0.0}));
  EXPECT_TRUE(main.Button4->isEnabled());
}

TEST_F(GridForms, GenerationBusWithEmptyCostStops) {
  confirm_problem(main, "2", "1", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  confirm_buses(main, dialogs, {{"1", "10", "", "10", "0,01", "200", "0"}, {"0", "50"}});
  EXPECT_EQ(dialogs.errors(), (std::vector<std::string>{"'' não é um valor real válido"}));
  EXPECT_EQ(main.Case.bus_type, (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(main.Case.load, (std::vector<double>{10.0, 50.0}));
  EXPECT_EQ(main.Case.linear_cost, (std::vector<double>{0.0, 0.0}));
  EXPECT_FALSE(main.Button4->isEnabled());
}

TEST_F(GridForms, BusTypeIsNotRangeChecked) {
  confirm_problem(main, "2", "1", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  confirm_buses(main, dialogs,
                {{"7", "0", "0", "10", "0,01", "200", "0"}, {"-1", "50", "1", "2", "3", "4", "5"}});
  EXPECT_TRUE(dialogs.errors().empty());
  EXPECT_EQ(main.Case.bus_type, (std::vector<std::int32_t>{7, -1}));
  EXPECT_EQ(main.Case.gen_lower, (std::vector<double>{0.0, 5.0}));
}

TEST_F(GridForms, BusGridSizedFromCurrentText) {
  confirm_problem(main, "2", "1", "100");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  type(main.LabeledEdit1, "5");
  dialogs.on_modal = [&](QDialog&) { EXPECT_EQ(main.Form3->Barras->rowCount(), 5); };
  press(main.Button2);
}

}  // namespace
