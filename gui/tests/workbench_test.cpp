// The workbench headless, with the dialogs answered by the test: opening
// case files and MATPOWER cases into the forms, the round trip of a save,
// refused files, the question before unsaved changes are lost, Enter and
// Esc, error boxes that name their place, and the standard dialogs in
// Portuguese.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "data_grid.h"
#include "form_driver.h"
#include "labeled_edit.h"
#include "translations.h"
#include "workbench_driver.h"

namespace {

using namespace workbench_driver;
using form_driver::kAttention;

class WorkbenchTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bench.folder.isValid()); }
  TForm1& form() { return *bench.window.Form1; }

  // Opens the line form, lets `act` work on it, and closes it by its close
  // box if `act` left it open.
  void with_line_form(const std::function<void(TForm2&)>& act) {
    bench.dialogs.on_modal = [this, act](QDialog&) { act(*form().Form2); };
    form().Button1->click();
    bench.dialogs.on_modal = nullptr;
  }
  void with_bus_form(const std::function<void(TForm3&)>& act) {
    bench.dialogs.on_modal = [this, act](QDialog&) { act(*form().Form3); };
    form().Button2->click();
    bench.dialogs.on_modal = nullptr;
  }
  void with_parameter_form(const std::function<void(TForm4&)>& act) {
    bench.dialogs.on_modal = [this, act](QDialog&) { act(*form().Form4); };
    form().Button3->click();
    bench.dialogs.on_modal = nullptr;
  }

  Workbench bench;
};

QString cell(DataGrid* grid, int row, int column) {
  grid->SetActiveCell(row, column);
  return grid->ActiveCellText();
}

// ieee14.dat, records 2 and 3 and the record of bus 1:
// "        14        20    100.00"
// "         1         2  0.059170   9999.00  -9999.00"
// "      0.00      0.00     20.00  0.086059    332.40      0.00"
TEST_F(WorkbenchTest, OpenFillsEditsGridsAndParameters) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee14.dat")));
  EXPECT_EQ(form().LabeledEdit1->text(), "14");
  EXPECT_EQ(form().LabeledEdit2->text(), "20");
  EXPECT_EQ(form().LabeledEdit3->text(), "100");
  EXPECT_EQ(form().LabeledEdit4->text(), "IEEE 14-bus test system, from MATPOWER case14 (DC dispatch form)");
  EXPECT_TRUE(form().Button1->isEnabled());
  EXPECT_TRUE(form().Button2->isEnabled());
  EXPECT_TRUE(form().Button4->isEnabled());
  EXPECT_TRUE(bench.window.SolveAction->isEnabled());
  EXPECT_FALSE(form().IsModified());
  with_line_form([](TForm2& lines) {
    EXPECT_EQ(lines.Ramos->rowCount(), 20);
    EXPECT_EQ(cell(lines.Ramos, 1, 1), "1");
    EXPECT_EQ(cell(lines.Ramos, 1, 2), "2");
    EXPECT_EQ(cell(lines.Ramos, 1, 3), "0,05917");
    EXPECT_EQ(cell(lines.Ramos, 1, 4), "9999");
    EXPECT_EQ(cell(lines.Ramos, 1, 5), "-9999");
  });
  with_bus_form([](TForm3& buses) {
    EXPECT_EQ(buses.Barras->rowCount(), 14);
    EXPECT_EQ(cell(buses.Barras, 1, 1), "2");
    EXPECT_EQ(cell(buses.Barras, 1, 4), "20");
    EXPECT_EQ(cell(buses.Barras, 1, 5), "0,086059");
    EXPECT_EQ(cell(buses.Barras, 1, 6), "332,4");
  });
  // maxit 99 and epsln 1.0E-08 from the file; the rest are the defaults'
  // own texts.
  with_parameter_form([](TForm4& parameters) {
    EXPECT_EQ(parameters.LabeledEdit5->text(), "99");
    EXPECT_EQ(parameters.LabeledEdit7->text(), "1E-8");
    EXPECT_EQ(parameters.LabeledEdit11->text(), "0,99");
  });
  EXPECT_EQ(bench.status(), "Caso aberto: " + bundled("ieee14.dat").toStdString());
}

// Open, "Gravar como…", open what was written, "Gravar como…" again: the
// same bytes; and the grids' OK takes the shown rows back unchanged.
TEST_F(WorkbenchTest, RoundTripThroughTheForms) {
  for (const char* name : {"ieee14.dat", "large/ieee118.dat", "ieee39.dat"}) {
    ASSERT_TRUE(bench.window.OpenFile(bundled(name)));
    with_line_form([](TForm2& lines) { lines.Button1->click(); });
    with_bus_form([](TForm3& buses) { buses.Button1->click(); });
    with_parameter_form([](TForm4& parameters) { parameters.Button1->click(); });
    bench.dialogs.save_answer = bench.file("first.dat");
    ASSERT_TRUE(bench.window.SaveAs()) << name;
    ASSERT_TRUE(bench.window.OpenFile(bench.file("first.dat")));
    bench.dialogs.save_answer = bench.file("second.dat");
    ASSERT_TRUE(bench.window.SaveAs()) << name;
    EXPECT_EQ(read_file(bench.file("second.dat")), read_file(bench.file("first.dat"))) << name;
    EXPECT_EQ(bench.status(), "Caso gravado em " + bench.file("second.dat").toStdString());
  }
  EXPECT_TRUE(bench.dialogs.errors().empty());
}

// "Gravar" writes the case's own file without a dialog.
TEST_F(WorkbenchTest, SaveWritesTheCasesOwnFile) {
  write_file(bench.file("caso.dat"), read_file(bundled("ieee9.dat")));
  ASSERT_TRUE(bench.window.OpenFile(bench.file("caso.dat")));
  with_line_form([](TForm2& lines) {
    form_driver::type_cell(lines.Ramos, 2, 4, "150");
    lines.Button1->click();
  });
  EXPECT_TRUE(form().IsModified());
  bench.dialogs.events.clear();
  ASSERT_TRUE(bench.window.Save());
  EXPECT_EQ(bench.dialogs.events, std::vector<std::string>{});
  EXPECT_FALSE(form().IsModified());
  EXPECT_NE(read_file(bench.file("caso.dat")).find("    150.00"), std::string::npos);
  EXPECT_EQ(bench.status(), "Caso gravado em " + bench.file("caso.dat").toStdString());
}

// A value its 10 columns cannot hold is named before anything is written.
TEST_F(WorkbenchTest, SaveAsksBeforeAValueIsRounded) {
  write_file(bench.file("caso.dat"), read_file(bundled("caso1.dat")));
  ASSERT_TRUE(bench.window.OpenFile(bench.file("caso.dat")));
  with_line_form([](TForm2& lines) {
    form_driver::type_cell(lines.Ramos, 1, 3, "0,123456789012");
    lines.Button1->click();
  });
  const std::string before = read_file(bench.file("caso.dat"));
  bench.dialogs.events.clear();
  bench.dialogs.answers = {Answer::No};
  EXPECT_FALSE(bench.window.Save());
  ASSERT_EQ(bench.dialogs.events.size(), 1u);
  EXPECT_NE(bench.dialogs.events[0].find("Ramo 1, Reatância Série (p.u.): 0,123456789012 gravado como 0.1234568"),
            std::string::npos)
      << bench.dialogs.events[0];
  EXPECT_EQ(read_file(bench.file("caso.dat")), before);
  bench.dialogs.answers = {Answer::Yes};
  EXPECT_TRUE(bench.window.Save());
  EXPECT_NE(read_file(bench.file("caso.dat")).find(" 0.1234568"), std::string::npos);
}

TEST_F(WorkbenchTest, RefusedFileShowsTheLoadersMessageAndKeepsTheForms) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee14.dat")));
  write_file(bench.file("bad.dat"),
             "t\r\n         2         1    100.00\r\n         1         2   1.2.3      100.00   -100.00\r\n");
  bench.dialogs.events.clear();
  EXPECT_FALSE(bench.window.OpenFile(bench.file("bad.dat")));
  ASSERT_EQ(bench.dialogs.events.size(), 1u);
  const std::string& box = bench.dialogs.events.front();
  EXPECT_EQ(box.rfind("box ATENÇÃO! Não foi possível abrir o caso.", 0), 0u) << box;
  EXPECT_NE(box.find("record 3, columns 21-30"), std::string::npos) << box;
  EXPECT_EQ(form().LabeledEdit1->text(), "14");
  EXPECT_EQ(form().CaseFile(), bundled("ieee14.dat"));
}

TEST_F(WorkbenchTest, MatpowerCaseOpensWithItsNotesAndNoFileOfItsOwn) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("matpower/case9.m")));
  ASSERT_FALSE(bench.dialogs.events.empty());
  EXPECT_EQ(bench.dialogs.events.back().rfind("notes Caso MATPOWER convertido (", 0), 0u);
  EXPECT_EQ(form().LabeledEdit1->text(), "9");
  EXPECT_TRUE(form().CaseFile().isEmpty());
  // "Gravar" asks where, proposing the case's name beside the .m file.
  bench.dialogs.save_answer.reset();
  EXPECT_FALSE(bench.window.Save());
  ASSERT_TRUE(bench.dialogs.last_save_settings.has_value());
  EXPECT_EQ(bench.dialogs.last_save_settings->file_name, bundled("matpower/case9"));
}

// A Latin-1 title is shown with its accent and written back as Latin-1; a
// UTF-8 one as UTF-8.
TEST_F(WorkbenchTest, AccentedTitlesKeepTheirEncoding) {
  const std::string body = read_file(bundled("caso1.dat"));
  const std::string rest = body.substr(body.find('\n') + 1);
  const struct {
    const char* what;
    std::string title;
  } titles[] = {{"Latin-1", "Sistema El\xE9trico"}, {"UTF-8", "Sistema El\xC3\xA9trico"}};
  for (const auto& t : titles) {
    write_file(bench.file("acento.dat"), t.title + "\r\n" + rest);
    ASSERT_TRUE(bench.window.OpenFile(bench.file("acento.dat")));
    EXPECT_EQ(form().LabeledEdit4->text(), QStringLiteral("Sistema Elétrico")) << t.what;
    bench.dialogs.save_answer = bench.file("saved.dat");
    ASSERT_TRUE(bench.window.SaveAs());
    EXPECT_EQ(read_file(bench.file("saved.dat")).substr(0, t.title.size() + 2), t.title + "\r\n") << t.what;
  }
}

struct PromptCase {
  const char* what;
  Answer answer;
  bool left;          // the case was left (the new one started)
  bool file_written;  // the changes went to the case's file
};

TEST_F(WorkbenchTest, UnsavedChangesPrompt) {
  const PromptCase cases[] = {
      {"Cancelar keeps the case", Answer::Cancel, false, false},
      {"Não gives the changes up", Answer::No, true, false},
      {"Sim saves first", Answer::Yes, true, true},
  };
  for (const PromptCase& c : cases) {
    write_file(bench.file("caso.dat"), read_file(bundled("caso1.dat")));
    ASSERT_TRUE(bench.window.OpenFile(bench.file("caso.dat")));
    QTest::keyClicks(form().LabeledEdit4->Edit(), " (revisto)");
    ASSERT_TRUE(form().IsModified());
    bench.dialogs.events.clear();
    bench.dialogs.answers = {c.answer};
    bench.window.New();
    EXPECT_EQ(bench.dialogs.events.front(), "ask CORVO Gravar alterações?") << c.what;
    EXPECT_EQ(form().LabeledEdit1->text().isEmpty(), c.left) << c.what;
    EXPECT_EQ(read_file(bench.file("caso.dat")).find("(revisto)") != std::string::npos, c.file_written)
        << c.what;
    bench.dialogs.answers.clear();
    bench.window.New();  // nothing to ask any more, or given up now
  }
}

TEST_F(WorkbenchTest, ClosingWithUnsavedChangesAsks) {
  bench.window.show();
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee9.dat")));
  QTest::keyClicks(form().LabeledEdit4->Edit(), "x");
  bench.dialogs.answers = {Answer::Cancel};
  EXPECT_FALSE(bench.window.close());
  EXPECT_TRUE(bench.window.isVisible());
  bench.dialogs.answers = {Answer::No};
  EXPECT_TRUE(bench.window.close());
  EXPECT_EQ(std::count(bench.dialogs.events.begin(), bench.dialogs.events.end(),
                       std::string("ask CORVO Gravar alterações?")),
            2);
}

TEST_F(WorkbenchTest, NoQuestionWithoutChanges) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee9.dat")));
  bench.dialogs.events.clear();
  bench.window.New();
  EXPECT_TRUE(bench.dialogs.events.empty());
  EXPECT_FALSE(form().Button1->isEnabled());
  EXPECT_FALSE(form().Button4->isEnabled());
}

TEST_F(WorkbenchTest, RecentFilesAreRememberedInTheSettings) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee9.dat")));
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee14.dat")));
  const QStringList stored = bench.settings.value("arquivosRecentes").toStringList();
  EXPECT_EQ(stored, (QStringList{bundled("ieee14.dat"), bundled("ieee9.dat")}));
  ASSERT_EQ(bench.window.RecentMenu->actions().size(), 2);
  bench.window.RecentMenu->actions().at(1)->trigger();
  EXPECT_EQ(form().LabeledEdit1->text(), "9");
}

// Enter in a problem edit is the main form's OK; Enter on the parameter
// form its OK.
TEST_F(WorkbenchTest, EnterConfirmsMainAndParameterForms) {
  form_driver::type(form().LabeledEdit1, "3");
  form_driver::type(form().LabeledEdit2, "2");
  form_driver::type(form().LabeledEdit3, "100");
  QTest::keyClick(form().LabeledEdit3->Edit(), Qt::Key_Return);
  EXPECT_TRUE(form().Button1->isEnabled());
  EXPECT_EQ(form().Case.n, 3);
  with_parameter_form([](TForm4& parameters) {
    parameters.LabeledEdit5->setText("30");
    QTest::keyClick(parameters.LabeledEdit5->Edit(), Qt::Key_Return);
    EXPECT_FALSE(parameters.isVisible());
  });
  EXPECT_TRUE(form().Case.parameters_confirmed);
  EXPECT_EQ(form().Case.parameters.maxit, 30);
}

// Esc on a grid with typed values asks first; without typing it closes.
TEST_F(WorkbenchTest, EscOnAGridAsksBeforeDiscarding) {
  ASSERT_TRUE(bench.window.OpenFile(bundled("ieee9.dat")));
  const double limit = form().Case.line_upper[0];
  bench.dialogs.answers = {Answer::No, Answer::Yes};
  with_line_form([](TForm2& lines) {
    form_driver::type_cell(lines.Ramos, 1, 4, "1");
    QTest::keyClick(&lines, Qt::Key_Escape);
    EXPECT_TRUE(lines.isVisible());
    QTest::keyClick(&lines, Qt::Key_Escape);
    EXPECT_FALSE(lines.isVisible());
  });
  EXPECT_EQ(form().Case.line_upper[0], limit);
  EXPECT_EQ(std::count(bench.dialogs.events.begin(), bench.dialogs.events.end(),
                       std::string("ask ATENÇÃO! Descartar os valores digitados nesta tabela?")),
            2);
  bench.dialogs.events.clear();
  with_bus_form([](TForm3& buses) {
    QTest::keyClick(&buses, Qt::Key_Escape);
    EXPECT_FALSE(buses.isVisible());
  });
  EXPECT_EQ(bench.dialogs.events, (std::vector<std::string>{kAttention, "modal Form3"}));
}

struct PlaceCase {
  const char* what;
  std::function<void(TForm1&, FakeDialogs&)> act;
  std::string place;
  std::string message;
};

TEST_F(WorkbenchTest, ErrorBoxesNameFormRowAndColumn) {
  const PlaceCase cases[] = {
      {"line grid",
       [](TForm1& main, FakeDialogs& dialogs) {
         form_driver::confirm_problem(main, "3", "3", "100");
         dialogs.on_modal = [&main](QDialog&) {
           form_driver::type_rows(main.Form2->Ramos, {{"1", "2", "0,1", "9", "-9"},
                                                      {"2", "3", "0,1", "9", "-9"},
                                                      {"1", "3", "0,1x", "9", "-9"}});
           main.Form2->Button1->click();
         };
         main.Button1->click();
       },
       "Ramos, linha 3, Reatância Série (p.u.)", "'0,1x' não é um valor real válido"},
      {"bus grid",
       [](TForm1& main, FakeDialogs& dialogs) {
         form_driver::confirm_problem(main, "2", "1", "100");
         form_driver::confirm_lines(main, dialogs, {{"1", "2", "0,1", "9", "-9"}});
         dialogs.on_modal = [&main](QDialog&) {
           form_driver::type_rows(main.Form3->Barras, {{"2", "0", "0", "10", "", "200", "0"}, {"0", "5"}});
           main.Form3->Button1->click();
         };
         main.Button2->click();
       },
       "Barras, linha 1, Coef. Quadrático da F. C. ($/MW2h)", "'' não é um valor real válido"},
      {"main form",
       [](TForm1& main, FakeDialogs&) { form_driver::confirm_problem(main, "2", "1", "1.5"); },
       "Dados do problema, Potência Base (MVA)", "'1.5' não é um valor real válido"},
      {"parameter form",
       [](TForm1& main, FakeDialogs& dialogs) {
         form_driver::confirm_parameters(main, dialogs, [](TForm4& p) { p.LabeledEdit11->setText("0.9"); });
       },
       "Parâmetros do algoritmo, rho", "'0.9' não é um valor real válido"},
  };
  for (const PlaceCase& c : cases) {
    Workbench fresh;
    c.act(*fresh.window.Form1, fresh.dialogs);
    EXPECT_EQ(fresh.dialogs.places, std::vector<std::string>{c.place}) << c.what;
    EXPECT_EQ(fresh.dialogs.errors(), std::vector<std::string>{c.message}) << c.what;
  }
}

// The standard dialogs' buttons in Portuguese, from Qt's own translation.
TEST(Translations, StandardDialogsSpeakPortuguese) {
  ASSERT_TRUE(install_portuguese_translations(*QCoreApplication::instance()));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancelar");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Save"), "Salvar");
  QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), "Não");
}

}  // namespace
