#include "grid_filling.h"

#include <QTableWidgetItem>

#include "corvo/number_text.hpp"
#include "data_grid.h"
#include "dialogs.h"

void fill_rows(DataGrid& grid, int rows, const std::function<QStringList(int row_index)>& row_texts) {
  // One repaint for the whole table instead of one per cell.
  grid.setUpdatesEnabled(false);
  for (int row = 0; row < rows; ++row) {
    const QStringList cells = row_texts(row);
    for (int column = 0; column < cells.size(); ++column) {
      grid.setItem(row, column, new QTableWidgetItem(cells[column]));
    }
  }
  grid.setUpdatesEnabled(true);
}

QString number_text(double value, char decimal_separator) {
  return QString::fromStdString(corvo::form_number_text(value, decimal_separator));
}

bool confirm_discard(Dialogs& dialogs, QWidget* owner) {
  return dialogs.ask(owner, QStringLiteral("ATENÇÃO!"),
                     QStringLiteral("Descartar os valores digitados nesta tabela?"),
                     false) == Answer::Yes;
}
