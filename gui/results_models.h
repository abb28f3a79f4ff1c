// The three result tables (generators, buses, lines) as models for sortable
// table views: numbers shown with a decimal comma, sorted by their value.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "corvo/report/results.hpp"

class ResultsTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The role that sorts a column: the value itself, not its text.
  static constexpr int kSortRole = Qt::UserRole;

  struct Column {
    QString heading;
    int decimals;  // for a real value; ignored for integers and texts
    std::function<QVariant(int row)> value;  // int, double or QString
  };

  ResultsTableModel(std::vector<Column> columns, int rows, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<Column> columns_;
  int rows_;
};

using SharedResults = std::shared_ptr<const corvo::report::Results>;

// Row r of each model is element r + 1 of its table (generator, bus, line).
ResultsTableModel* make_generators_model(const SharedResults& results, QObject* parent);
ResultsTableModel* make_buses_model(const SharedResults& results, QObject* parent);
ResultsTableModel* make_lines_model(const SharedResults& results, QObject* parent);
