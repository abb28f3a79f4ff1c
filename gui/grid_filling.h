// Showing a case's rows in a grid form again, and the question before Esc
// throws typed rows away.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class DataGrid;
class Dialogs;
class QWidget;

// Puts the texts of rows 1..`rows` into `grid`, one list of cells per row
// (a shorter list leaves the row's last cells empty).
void fill_rows(DataGrid& grid, int rows, const std::function<QStringList(int row_index)>& row_texts);

// A value as the grid shows it, typed with `decimal_separator`.
QString number_text(double value, char decimal_separator);

// Asks whether the values typed in the grid may be thrown away; true for
// "Sim".
bool confirm_discard(Dialogs& dialogs, QWidget* owner);
