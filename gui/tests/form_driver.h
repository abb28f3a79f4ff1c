// Driving the forms as a user would: typing into edits and grid cells and
// pressing buttons (a disabled button ignores the click).
#pragma once

#include <QPushButton>
#include <QTableWidgetItem>
#include <functional>
#include <string>
#include <vector>

#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "data_grid.h"
#include "fake_dialogs.h"
#include "labeled_edit.h"

namespace form_driver {

inline const std::string kAttention = "box ATENÇÃO! Utilizar ',' como separador decimal!";

inline void type(LabeledEdit* edit, const QString& text) { edit->setText(text); }

// Types `text` into cell (row, column), both counted from 1.
inline void type_cell(DataGrid* grid, int row, int column, const QString& text) {
  grid->setItem(row - 1, column - 1, new QTableWidgetItem(text));
}

// Types whole rows, one QStringList per row, from row 1.
inline void type_rows(DataGrid* grid, const std::vector<QStringList>& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
      type_cell(grid, static_cast<int>(r) + 1, c + 1, rows[r][c]);
    }
  }
}

inline void press(QPushButton* button) { button->click(); }

// Types the problem data on the main form and presses its OK.
inline void confirm_problem(TForm1& main, const QString& n, const QString& nl, const QString& sb,
                            const QString& title = QString()) {
  type(main.LabeledEdit1, n);
  type(main.LabeledEdit2, nl);
  type(main.LabeledEdit3, sb);
  type(main.LabeledEdit4, title);
  press(main.Button5);
}

// Opens the line form, types `rows` and presses its OK.
inline void confirm_lines(TForm1& main, FakeDialogs& dialogs,
                          const std::vector<QStringList>& rows) {
  dialogs.on_modal = [&main, rows](QDialog&) {
    type_rows(main.Form2->Ramos, rows);
    press(main.Form2->Button1);
  };
  press(main.Button1);
  dialogs.on_modal = nullptr;
}

// Opens the bus form, types `rows` and presses its OK.
inline void confirm_buses(TForm1& main, FakeDialogs& dialogs,
                          const std::vector<QStringList>& rows) {
  dialogs.on_modal = [&main, rows](QDialog&) {
    type_rows(main.Form3->Barras, rows);
    press(main.Form3->Button1);
  };
  press(main.Button2);
  dialogs.on_modal = nullptr;
}

// Opens the parameter form, lets `edit` change it, and presses OK.
inline void confirm_parameters(TForm1& main, FakeDialogs& dialogs,
                               const std::function<void(TForm4&)>& edit = {}) {
  dialogs.on_modal = [&main, edit](QDialog&) {
    if (edit) edit(*main.Form4);
    press(main.Form4->Button1);
  };
  press(main.Button3);
  dialogs.on_modal = nullptr;
}

// The two-bus example typed in full.
inline void enter_two_bus_case(TForm1& main, FakeDialogs& dialogs) {
  confirm_problem(main, "2", "1", "100", "Caso exemplo");
  confirm_lines(main, dialogs, {{"1", "2", "0,1", "100", "-100"}});
  confirm_buses(main, dialogs, {{"2", "0", "0", "10", "0,01", "200", "0"}, {"0", "50"}});
}

}  // namespace form_driver
