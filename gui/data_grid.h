// The spreadsheet grid of the line and bus forms: numbered data rows, a
// title in the heading cell above the row numbers, two-line column
// headings, and the three operations the forms use. Rows and columns are
// numbered from 1 over the data cells.
#pragma once

#include <QStringList>
#include <QTableWidget>

class DataGrid : public QTableWidget {
  Q_OBJECT

 public:
  DataGrid(const QString& name, const QString& corner_title, const QStringList& headings,
           QWidget* parent);

  // Makes that cell the active one. The grid's cursor follows only when
  // ShowActiveCell asks: reading a 10 000-row grid cell by cell would
  // otherwise move the cursor and scroll 70 000 times.
  void SetActiveCell(int row, int column);
  // Puts the grid's cursor on the active cell and scrolls to it (a cell
  // whose text was refused).
  void ShowActiveCell();
  // The active cell's text as typed; empty for a cell never typed in or one
  // beyond the rows the grid offers.
  QString ActiveCellText() const;
  // The number of data rows the grid offers (a negative count offers none).
  void SetRowCount(int rows);

  QString cornerTitle() const { return corner_title_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString corner_title_;
  int active_row_ = 1;
  int active_column_ = 1;
};
