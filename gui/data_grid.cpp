#include "data_grid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

namespace {

constexpr int kMinimumColumnWidth = 60;

}  // namespace

DataGrid::DataGrid(const QString& name, const QString& corner_title, const QStringList& headings,
                   QWidget* parent)
    : QTableWidget(0, static_cast<int>(headings.size()), parent), corner_title_(corner_title) {
  setObjectName(name);
  setHorizontalHeaderLabels(headings);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  // Wide enough for the heading, and for a typed value under a short one.
  resizeColumnsToContents();
  for (int column = 0; column < columnCount(); ++column) {
    setColumnWidth(column, std::max(columnWidth(column), kMinimumColumnWidth));
  }
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(corner_title) + 16);

  // The corner button above the row numbers draws no text of its own; it is
  // painted here as one more heading cell holding the title.
  if (auto* corner = findChild<QAbstractButton*>()) corner->installEventFilter(this);
}

void DataGrid::SetActiveCell(int row, int column) {
  active_row_ = row;
  active_column_ = column;
}

void DataGrid::ShowActiveCell() {
  if (active_row_ >= 1 && active_row_ <= rowCount() && active_column_ >= 1 && active_column_ <= columnCount()) {
    setCurrentCell(active_row_ - 1, active_column_ - 1);
    scrollTo(model()->index(active_row_ - 1, active_column_ - 1));
  }
}

QString DataGrid::ActiveCellText() const {
  const QTableWidgetItem* cell = item(active_row_ - 1, active_column_ - 1);
  return cell ? cell->text() : QString();
}

void DataGrid::SetRowCount(int rows) { setRowCount(std::max(rows, 0)); }

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* corner = qobject_cast<QAbstractButton*>(watched);
  if (corner == nullptr || event->type() != QEvent::Paint) {
    return QTableWidget::eventFilter(watched, event);
  }
  QStyleOptionHeader option;
  option.initFrom(corner);
  option.rect = corner->rect();
  option.text = corner_title_;
  option.textAlignment = Qt::AlignCenter;
  option.position = QStyleOptionHeader::OnlyOneSection;
  option.orientation = Qt::Horizontal;
  QPainter painter(corner);
  corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
  return true;
}
