// Solving from the workbench and the results window: the solve on its
// worker thread, cancelling it, cases refused before or by the solve, the
// summary and tables against the reference solution, the exports, and the
// choice of a bus or line between the picture and the tables.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "Unit2.h"
#include "data_grid.h"
#include "form_driver.h"
#include "network_layouts.h"
#include "network_view.h"
#include "results_window.h"
#include "solve_runner.h"
#include "workbench_driver.h"

namespace {

using namespace workbench_driver;

// cases/reference.json, case ieee118 (MATPOWER's DC OPF of case118):
// objective 125947.87732073473 $/h, every LMP 39.381366 $/MWh (the robust
// method agrees to 7 digits), no binding
// line.
constexpr const char* kIeee118Cost = "125947,88";

class ResultsTest : public testing::Test {
 protected:
  TForm1& form() { return *bench.window.Form1; }
  ResultsWindow& results() { return *bench.window.Results; }

  // Solves the case in the forms and waits for the results and the layout.
  void solve() {
    bench.window.Solve();
    bench.window.Solver().wait();
    bench.window.Layouts().wait();
  }

  QString cell(QTableView* table, int row, int column) const {
    return table->model()->index(row, column).data().toString();
  }

  Workbench bench;
};

TEST_F(ResultsTest, SolveShowsTheResultsWindowWithTheReferenceCost) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("large/ieee118.dat")));
  int iterations = 0;
  QObject::connect(&bench.window.Solver(), &SolveRunner::iteration, [&iterations](int, double) { ++iterations; });
  bench.window.Solve();
  EXPECT_TRUE(bench.window.Solver().running());
  EXPECT_FALSE(bench.window.SolveAction->isEnabled());
  EXPECT_TRUE(bench.window.CancelButton->isVisibleTo(&bench.window));
  bench.window.Solver().wait();
  bench.window.Layouts().wait();
  EXPECT_GT(iterations, 0);
  EXPECT_TRUE(bench.window.SolveAction->isEnabled());
  EXPECT_FALSE(bench.window.CancelButton->isVisibleTo(&bench.window));
  ASSERT_TRUE(results().isVisible());
  EXPECT_EQ(results().windowTitle(), "Resultados - ieee118");
  const QString summary = results().Summary->text();
  EXPECT_TRUE(summary.contains(kIeee118Cost)) << summary.toStdString();
  EXPECT_TRUE(summary.contains(QStringLiteral("ótimo"))) << summary.toStdString();
  EXPECT_EQ(results().GeneratorsTable->model()->rowCount(), 54);
  EXPECT_EQ(results().BusesTable->model()->rowCount(), 118);
  EXPECT_EQ(results().LinesTable->model()->rowCount(), 186);
  // Bus 1's LMP, column "LMP ($/MWh)", with a decimal comma.
  EXPECT_EQ(cell(results().BusesTable, 0, 5), "39,3814");
  EXPECT_TRUE(results().Picture->HasNetwork());
  EXPECT_NE(bench.status().find("ieee118 resolvido: 125947,88 $/h, ótimo"), std::string::npos) << bench.status();
}

// The scenario of a user: a line limit lowered in the line grid; the line
// binds and the prices on its two sides part.
TEST_F(ResultsTest, LoweredLimitBindsAndSeparatesPrices) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("large/ieee118.dat")));
  // Line 36 joins buses 30 and 17 and carries about 228 MW unconstrained.
  bench.dialogs.on_modal = [this](QDialog&) {
    form_driver::type_cell(form().Form2->Ramos, 36, 4, "150");
    form_driver::type_cell(form().Form2->Ramos, 36, 5, "-150");
    form().Form2->Button1->click();
  };
  form().Button1->click();
  bench.dialogs.on_modal = nullptr;
  solve();
  const corvo::report::Results& r = *results().Results();
  EXPECT_NE(r.lines[35].binding, corvo::report::AtLimit::none);
  EXPECT_GT(r.lines[35].shadow_price, 0.0);
  EXPECT_NE(r.buses[29].lmp, r.buses[16].lmp);
  EXPECT_TRUE(r.check.optimal);
  // The lines table says so in Portuguese, sorted by loading it comes last.
  QTableView* lines = results().LinesTable;
  EXPECT_EQ(cell(lines, 35, 7), "superior");
  lines->sortByColumn(6, Qt::DescendingOrder);
  EXPECT_EQ(cell(lines, 0, 0), "36");
}

TEST_F(ResultsTest, CancelStopsTheRun) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("large/ieee118.dat")));
  bench.window.Solve();
  bench.window.CancelButton->click();
  bench.window.Solver().wait();
  EXPECT_EQ(bench.status(), "Resolução cancelada.");
  EXPECT_FALSE(results().isVisible());
  EXPECT_TRUE(bench.window.SolveAction->isEnabled());
}

// The two-bus example with 500 MW of load and 200 MW of generation: the
// pre-check refuses it before any iteration and says why.
TEST_F(ResultsTest, CaseRefusedByAPreCheckShowsTheReasons) {
  form_driver::enter_two_bus_case(form(), bench.dialogs);
  form().Case.load[1] = 500.0;
  bench.dialogs.events.clear();
  solve();
  ASSERT_EQ(bench.dialogs.events.size(), 1u);
  EXPECT_EQ(bench.dialogs.events[0].rfind("box ATENÇÃO! O caso caso1 não foi resolvido:\n• ", 0), 0u)
      << bench.dialogs.events[0];
  EXPECT_FALSE(results().isVisible());
}

// What orsa would refuse is refused before the solve, naming its place.
TEST_F(ResultsTest, CaseOrsaRefusesIsNamedBeforeTheSolve) {
  form_driver::enter_two_bus_case(form(), bench.dialogs);
  form().Case.bus_type[0] = 1;  // no reference bus left
  bench.window.Solve();
  EXPECT_FALSE(bench.window.Solver().running());
  EXPECT_EQ(bench.dialogs.places, std::vector<std::string>{"Barras, Tipo"});
  EXPECT_EQ(bench.dialogs.errors(), std::vector<std::string>{"nenhuma barra é de referência (tipo 2)"});
}

TEST_F(ResultsTest, ClassicMethodAsTheCommandLine) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee14.dat")));
  bench.window.ClassicAction->trigger();
  solve();
  // cases/reference.json: ieee14 7642.6035 $/h; talven converges in 16
  // iterations (the table of the README).
  const QString summary = results().Summary->text();
  EXPECT_TRUE(summary.contains("clássico, convergiu em 16 iterações")) << summary.toStdString();
  EXPECT_TRUE(summary.contains("7642,60")) << summary.toStdString();
}

TEST_F(ResultsTest, ExportsCsvJsonAndPictures) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("large/ieee118.dat")));
  solve();
  QDir(bench.folder.path()).mkdir("pt");
  bench.dialogs.folder_answer = bench.file("pt");
  results().ExportCsv(corvo::CsvDialect::semicolon_comma);
  const std::string buses = read_file(bench.file("pt/buses.csv"));
  EXPECT_EQ(buses.rfind("bus;type;angle_deg;load_mw;generation_mw;lmp;energy;congestion\r\n1;", 0), 0u) << buses;
  EXPECT_NE(buses.find(";39,38136"), std::string::npos);
  for (const char* name : {"summary.csv", "generators.csv", "lines.csv", "optimality.csv"}) {
    EXPECT_FALSE(read_file(bench.file("pt/") + name).empty()) << name;
  }
  // A second export into the same folder asks; "Não" leaves the files.
  write_file(bench.file("pt/buses.csv"), "mine\n");
  bench.dialogs.answers = {Answer::No};
  results().ExportCsv(corvo::CsvDialect::comma_point);
  EXPECT_EQ(read_file(bench.file("pt/buses.csv")), "mine\n");
  bench.dialogs.answers = {Answer::Yes};
  results().ExportCsv(corvo::CsvDialect::comma_point);
  EXPECT_NE(read_file(bench.file("pt/buses.csv")).find(",39.38136"), std::string::npos);

  bench.dialogs.file_answer = bench.file("ieee118.json");
  results().ExportJson();
  const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(read_file(bench.file("ieee118.json")))).object();
  EXPECT_NEAR(json["summary"].toObject()["cost"].toDouble(), 125947.87732073473, 1e-3);
  EXPECT_EQ(json["optimality"].toObject()["verdict"].toString(), "optimal");

  bench.dialogs.file_answer = bench.file("rede.png");
  results().ExportPicture(false);
  EXPECT_EQ(read_file(bench.file("rede.png")).substr(0, 8), "\x89PNG\r\n\x1a\n");
  bench.dialogs.file_answer = bench.file("rede.svg");
  results().ExportPicture(true);
  const std::string svg = read_file(bench.file("rede.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("LMP"), std::string::npos);
}

// A click on a bus selects its row; a row of the lines table selects the
// line in the picture; hovering tells the values.
TEST_F(ResultsTest, SelectionBetweenPictureAndTables) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("large/ieee118.dat")));
  solve();
  results().show();
  NetworkView* picture = results().Picture;
  ASSERT_TRUE(picture->HasNetwork());
  picture->SelectBus(5);  // brings bus 5 into view
  picture->scene()->clearSelection();
  const QPoint at = picture->mapFromScene(picture->BusPosition(5));
  QTest::mouseClick(picture->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(picture->SelectedBus(), 5);
  EXPECT_EQ(results().Tables->currentWidget(), results().BusesTable);
  EXPECT_EQ(results().CurrentBusRow(), 5);

  QTableView* lines = results().LinesTable;
  results().Tables->setCurrentWidget(lines);
  lines->selectionModel()->setCurrentIndex(lines->model()->index(6, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_EQ(picture->SelectedLine(), 7);
  EXPECT_EQ(picture->SelectedBus(), 0);

  // ieee118 line 7 joins buses 8 and 9.
  const QString line_tip = picture->ToolTipAt(picture->LineMiddle(7));
  EXPECT_TRUE(line_tip.startsWith(QStringLiteral("Ramo 7: barra 8 → barra 9"))) << line_tip.toStdString();
  const QString bus_tip = picture->ToolTipAt(picture->BusPosition(5));
  EXPECT_TRUE(bus_tip.startsWith(QStringLiteral("Barra 5 (carga)\nLMP: 39,3814 $/MWh"))) << bus_tip.toStdString();
}

TEST_F(ResultsTest, AnotherCaseForgetsTheResults) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee9.dat")));
  solve();
  EXPECT_TRUE(bench.window.ResultsAction->isEnabled());
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee14.dat")));
  EXPECT_FALSE(results().isVisible());
  EXPECT_FALSE(bench.window.ResultsAction->isEnabled());
  EXPECT_EQ(results().Results(), nullptr);
}

// The layout is made once per network: solving again, even with another
// limit, reuses it.
TEST_F(ResultsTest, LayoutOncePerNetwork) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee14.dat")));
  solve();
  form().Case.line_upper[0] = 100.0;
  solve();
  EXPECT_EQ(bench.window.Layouts().computed(), 1);
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee9.dat")));
  solve();
  EXPECT_EQ(bench.window.Layouts().computed(), 2);
}

}  // namespace
