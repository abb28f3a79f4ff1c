// The results window: the summary of a solve, the generator, bus and line
// tables (sortable, numbers with a decimal comma) and the network picture,
// with the exports (CSV in two dialects, JSON, the picture as PNG or SVG).
// Choosing a bus or a line in the picture selects its row, and back.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "corvo/network_layout.hpp"
#include "corvo/results_csv.hpp"
#include "results_models.h"

class Dialogs;
class NetworkView;
class PriceLegend;
class QLabel;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;

class ResultsWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit ResultsWindow(Dialogs& dialogs, QWidget* parent = nullptr);

  // Shows the results of the case `case_name`; the picture at once when
  // `layout` is given, else a note until SetLayout brings it.
  void ShowResults(const QString& case_name, SharedResults results,
                   std::shared_ptr<const corvo::NetworkLayout> layout);
  // The layout of the network whose results are shown; one for another
  // network (another bus count) is ignored.
  void SetLayout(std::shared_ptr<const corvo::NetworkLayout> layout);
  void LayoutFailed(const QString& message);
  // Forgets the results shown (another case was opened) and hides.
  void Clear();
  SharedResults Results() const { return results_; }
  QString CaseName() const { return case_name_; }

  QLabel* Summary;
  QTabWidget* Tables;
  QTableView* GeneratorsTable;
  QTableView* BusesTable;
  QTableView* LinesTable;
  NetworkView* Picture;
  PriceLegend* Legend;
  QAction* ExportCsvSemicolonAction;
  QAction* ExportCsvCommaAction;
  QAction* ExportJsonAction;
  QAction* ExportPngAction;
  QAction* ExportSvgAction;

  // The exports, each asking for its file or folder first.
  void ExportCsv(corvo::CsvDialect dialect);
  void ExportJson();
  void ExportPicture(bool svg);

  // The element of the current row of each table (0 for none).
  int CurrentBusRow() const;
  int CurrentLineRow() const;

 private:
  void build_menus();
  QTableView* make_table(const QString& name);
  void set_model(QTableView* table, ResultsTableModel* model);
  void select_element(QTableView* table, int element, int number_column);
  void bus_chosen(int bus);
  void line_chosen(int line);
  void row_chosen(QTableView* table);
  bool write_file(const QString& path, const QByteArray& bytes);

  Dialogs& dialogs_;
  SharedResults results_;
  QString case_name_;
  bool following_picture_ = false;  // a row selected because the picture chose it
};
