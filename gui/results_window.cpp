#include "results_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "corvo/file_replacement.hpp"
#include "corvo/report/writers.hpp"
#include "corvo/results_summary.hpp"
#include "dialogs.h"
#include "network_view.h"

namespace {

const QString kAttention = QStringLiteral("ATENÇÃO!");

// The column that holds each table's element number: the generator's bus
// stands for it in the picture.
constexpr int kGeneratorBusColumn = 1;
constexpr int kNumberColumn = 0;

QString summary_html(const corvo::report::Results& results) {
  QString html = QStringLiteral("<table cellspacing=\"2\">");
  for (const corvo::SummaryLine& line : corvo::summary_lines(results)) {
    html += QStringLiteral("<tr><td><b>%1:</b></td><td>%2</td></tr>")
                .arg(QString::fromStdString(line.label).toHtmlEscaped(),
                     QString::fromStdString(line.text).toHtmlEscaped());
  }
  return html + QStringLiteral("</table>");
}

}  // namespace

ResultsWindow::ResultsWindow(Dialogs& dialogs, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("ResultsWindow"));
  setWindowTitle(QStringLiteral("Resultados"));
  setWindowFlag(Qt::Window);
  resize(1200, 780);

  Summary = new QLabel(this);
  Summary->setObjectName(QStringLiteral("Summary"));
  Summary->setTextFormat(Qt::RichText);
  Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Summary->setWordWrap(true);

  Tables = new QTabWidget(this);
  Tables->setObjectName(QStringLiteral("Tables"));
  GeneratorsTable = make_table(QStringLiteral("GeneratorsTable"));
  BusesTable = make_table(QStringLiteral("BusesTable"));
  LinesTable = make_table(QStringLiteral("LinesTable"));
  Tables->addTab(GeneratorsTable, QStringLiteral("Geradores"));
  Tables->addTab(BusesTable, QStringLiteral("Barras"));
  Tables->addTab(LinesTable, QStringLiteral("Ramos"));

  Picture = new NetworkView(this);
  connect(Picture, &NetworkView::busChosen, this, &ResultsWindow::bus_chosen);
  connect(Picture, &NetworkView::lineChosen, this, &ResultsWindow::line_chosen);

  Legend = new PriceLegend(this);
  auto* drawing = new QWidget(this);
  auto* drawing_layout = new QVBoxLayout(drawing);
  drawing_layout->setContentsMargins(0, 0, 0, 0);
  drawing_layout->addWidget(Picture, 1);
  drawing_layout->addWidget(Legend);

  auto* split = new QSplitter(Qt::Horizontal, this);
  split->addWidget(Tables);
  split->addWidget(drawing);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  split->setSizes({520, 680});

  auto* centre = new QWidget(this);
  auto* layout = new QVBoxLayout(centre);
  layout->addWidget(Summary);
  layout->addWidget(split, 1);
  setCentralWidget(centre);
  build_menus();
  statusBar();
}

void ResultsWindow::build_menus() {
  QMenu* exports = menuBar()->addMenu(QStringLiteral("&Exportar"));
  ExportCsvSemicolonAction = exports->addAction(QStringLiteral("Tabelas CSV (\";\" e vírgula decimal)…"));
  ExportCsvCommaAction = exports->addAction(QStringLiteral("Tabelas CSV (\",\" e ponto decimal)…"));
  ExportJsonAction = exports->addAction(QStringLiteral("JSON…"));
  exports->addSeparator();
  ExportPngAction = exports->addAction(QStringLiteral("Imagem da rede PNG…"));
  ExportSvgAction = exports->addAction(QStringLiteral("Imagem da rede SVG…"));
  QMenu* view = menuBar()->addMenu(QStringLiteral("E&xibir"));
  QAction* zoom_in = view->addAction(QStringLiteral("Aproximar"));
  zoom_in->setShortcut(QKeySequence::ZoomIn);
  QAction* zoom_out = view->addAction(QStringLiteral("Afastar"));
  zoom_out->setShortcut(QKeySequence::ZoomOut);
  connect(ExportCsvSemicolonAction, &QAction::triggered, this,
          [this] { ExportCsv(corvo::CsvDialect::semicolon_comma); });
  connect(ExportCsvCommaAction, &QAction::triggered, this, [this] { ExportCsv(corvo::CsvDialect::comma_point); });
  connect(ExportJsonAction, &QAction::triggered, this, &ResultsWindow::ExportJson);
  connect(ExportPngAction, &QAction::triggered, this, [this] { ExportPicture(false); });
  connect(ExportSvgAction, &QAction::triggered, this, [this] { ExportPicture(true); });
  connect(zoom_in, &QAction::triggered, this, [this] { Picture->Zoom(1.25); });
  connect(zoom_out, &QAction::triggered, this, [this] { Picture->Zoom(0.8); });
}

QTableView* ResultsWindow::make_table(const QString& name) {
  auto* table = new QTableView(this);
  table->setObjectName(name);
  table->setSortingEnabled(true);
  table->setAlternatingRowColors(true);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->setVisible(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  // Column widths from the first rows only: measuring 15 000 rows would
  // hold the window up.
  table->horizontalHeader()->setResizeContentsPrecision(200);
  return table;
}

void ResultsWindow::set_model(QTableView* table, ResultsTableModel* model) {
  QAbstractItemModel* old = table->model();
  auto* proxy = new QSortFilterProxyModel(table);
  proxy->setSortRole(ResultsTableModel::kSortRole);
  proxy->setSourceModel(model);
  model->setParent(proxy);
  table->setModel(proxy);
  delete old;
  table->sortByColumn(kNumberColumn, Qt::AscendingOrder);
  table->resizeColumnsToContents();
  connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this, table] { row_chosen(table); });
}

void ResultsWindow::ShowResults(const QString& case_name, SharedResults results,
                                std::shared_ptr<const corvo::NetworkLayout> layout) {
  results_ = std::move(results);
  case_name_ = case_name;
  setWindowTitle(QStringLiteral("Resultados - %1").arg(case_name));
  Summary->setText(summary_html(*results_));
  set_model(GeneratorsTable, make_generators_model(results_, this));
  set_model(BusesTable, make_buses_model(results_, this));
  set_model(LinesTable, make_lines_model(results_, this));
  if (layout) {
    SetLayout(std::move(layout));
  } else {
    Picture->ShowMessage(QStringLiteral("Desenhando a rede…"));
    Legend->Clear();
  }
}

void ResultsWindow::SetLayout(std::shared_ptr<const corvo::NetworkLayout> layout) {
  if (!results_ || !layout || layout->bus_positions.size() != results_->buses.size()) return;
  Picture->ShowNetwork(std::move(layout), results_);
  Legend->SetPrices(Picture->Prices());
}

void ResultsWindow::Clear() {
  hide();
  results_.reset();
  case_name_.clear();
  setWindowTitle(QStringLiteral("Resultados"));
  Summary->clear();
  for (QTableView* table : {GeneratorsTable, BusesTable, LinesTable}) {
    QAbstractItemModel* old = table->model();
    table->setModel(nullptr);
    delete old;
  }
  Picture->ShowMessage(QString());
  Legend->Clear();
}

void ResultsWindow::LayoutFailed(const QString& message) {
  Picture->ShowMessage(QStringLiteral("A rede não pôde ser desenhada: %1").arg(message));
  Legend->Clear();
}

// The row of element `element` (its number in `number_column`) becomes the
// current one and comes into view.
void ResultsWindow::select_element(QTableView* table, int element, int number_column) {
  const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(table->model());
  if (proxy == nullptr) return;
  const QAbstractItemModel* source = proxy->sourceModel();
  for (int row = 0; row < source->rowCount(); ++row) {
    if (source->index(row, number_column).data(ResultsTableModel::kSortRole).toInt() != element) continue;
    const QModelIndex index = proxy->mapFromSource(source->index(row, 0));
    following_picture_ = true;
    Tables->setCurrentWidget(table);
    table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    table->scrollTo(index, QAbstractItemView::PositionAtCenter);
    following_picture_ = false;
    return;
  }
}

void ResultsWindow::bus_chosen(int bus) { select_element(BusesTable, bus, kNumberColumn); }

void ResultsWindow::line_chosen(int line) { select_element(LinesTable, line, kNumberColumn); }

void ResultsWindow::row_chosen(QTableView* table) {
  if (following_picture_) return;
  const QModelIndex current = table->selectionModel()->currentIndex();
  if (!current.isValid()) return;
  const int column = table == GeneratorsTable ? kGeneratorBusColumn : kNumberColumn;
  const int element = current.sibling(current.row(), column).data(ResultsTableModel::kSortRole).toInt();
  if (table == LinesTable) {
    Picture->SelectLine(element);
  } else {
    Picture->SelectBus(element);
  }
}

int ResultsWindow::CurrentBusRow() const {
  const QModelIndex current = BusesTable->selectionModel() ? BusesTable->selectionModel()->currentIndex() : QModelIndex();
  return current.isValid() ? current.sibling(current.row(), kNumberColumn).data(ResultsTableModel::kSortRole).toInt() : 0;
}

int ResultsWindow::CurrentLineRow() const {
  const QModelIndex current = LinesTable->selectionModel() ? LinesTable->selectionModel()->currentIndex() : QModelIndex();
  return current.isValid() ? current.sibling(current.row(), kNumberColumn).data(ResultsTableModel::kSortRole).toInt() : 0;
}

bool ResultsWindow::write_file(const QString& path, const QByteArray& bytes) {
  try {
    corvo::replace_file_contents(QFile::encodeName(path).toStdString(),
                                 std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const corvo::FileWriteError& error) {
    dialogs_.message_box(this, QString::fromUtf8(error.what()), kAttention, MessageIcon::Warning);
    return false;
  }
  return true;
}

// The five tables of `corvo report --format csv`, into a folder; files of
// those names already there are replaced only when the user agrees.
void ResultsWindow::ExportCsv(corvo::CsvDialect dialect) {
  if (!results_) return;
  const std::optional<QString> folder = dialogs_.choose_folder(this, QStringLiteral("Exportar tabelas CSV"));
  if (!folder) return;
  const std::vector<corvo::report::CsvTable> tables = corvo::results_csv_tables(*results_, dialect);
  QStringList existing;
  for (const corvo::report::CsvTable& table : tables) {
    if (QFileInfo::exists(QDir(*folder).filePath(QString::fromStdString(table.file_name)))) {
      existing << QString::fromStdString(table.file_name);
    }
  }
  if (!existing.isEmpty() &&
      dialogs_.ask(this, kAttention,
                   QStringLiteral("A pasta %1 já tem %2.\nDeseja substituir?")
                       .arg(QDir::toNativeSeparators(*folder), existing.join(QStringLiteral(", "))),
                   false) != Answer::Yes) {
    return;
  }
  for (const corvo::report::CsvTable& table : tables) {
    const QString path = QDir(*folder).filePath(QString::fromStdString(table.file_name));
    if (!write_file(path, QByteArray::fromStdString(table.content))) return;
  }
  statusBar()->showMessage(QStringLiteral("Tabelas gravadas em %1").arg(QDir::toNativeSeparators(*folder)));
}

void ResultsWindow::ExportJson() {
  if (!results_) return;
  const std::optional<QString> file = dialogs_.choose_file_to_save(
      this, QStringLiteral("Exportar JSON"), case_name_ + QStringLiteral(".json"),
      QStringLiteral("JSON (*.json)"), QStringLiteral("json"));
  if (!file) return;
  const std::string text = corvo::report::to_json(*results_).dump(1) + "\n";
  if (write_file(*file, QByteArray::fromStdString(text))) {
    statusBar()->showMessage(QStringLiteral("Resultados gravados em %1").arg(QDir::toNativeSeparators(*file)));
  }
}

void ResultsWindow::ExportPicture(bool svg) {
  if (!Picture->HasNetwork()) {
    dialogs_.message_box(this, QStringLiteral("A rede ainda está sendo desenhada."), kAttention,
                         MessageIcon::Information);
    return;
  }
  const QString suffix = svg ? QStringLiteral("svg") : QStringLiteral("png");
  const std::optional<QString> file = dialogs_.choose_file_to_save(
      this, svg ? QStringLiteral("Exportar imagem SVG") : QStringLiteral("Exportar imagem PNG"),
      case_name_ + "." + suffix,
      svg ? QStringLiteral("Imagem SVG (*.svg)") : QStringLiteral("Imagem PNG (*.png)"), suffix);
  if (!file) return;
  if (write_file(*file, svg ? Picture->PictureAsSvg() : Picture->PictureAsPng())) {
    statusBar()->showMessage(QStringLiteral("Imagem gravada em %1").arg(QDir::toNativeSeparators(*file)));
  }
}
