#include "results_models.h"

#include <cmath>
#include <limits>

#include "corvo/number_text.hpp"
#include "corvo/results_summary.hpp"

namespace {

constexpr int kMegawatts = 2;
constexpr int kPrices = 4;
constexpr int kDegrees = 4;
constexpr int kPercent = 1;

QString limit_text(corvo::report::AtLimit at) { return QString::fromStdString(corvo::limit_name(at)); }

}  // namespace

ResultsTableModel::ResultsTableModel(std::vector<Column> columns, int rows, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), rows_(rows) {}

int ResultsTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ResultsTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const Column& column = columns_[static_cast<std::size_t>(index.column())];
  const QVariant value = column.value(index.row());
  const bool real = value.typeId() == QMetaType::Double;
  switch (role) {
    case Qt::DisplayRole:
      if (real) return QString::fromStdString(corvo::table_number_text(value.toDouble(), column.decimals, ','));
      return value;
    case kSortRole:
      // A value that is not finite (a loading against a zero limit) sorts
      // first.
      if (real && std::isnan(value.toDouble())) return -std::numeric_limits<double>::infinity();
      return value;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(value.typeId() == QMetaType::QString ? Qt::AlignLeft | Qt::AlignVCenter
                                                                       : Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return columns_[static_cast<std::size_t>(section)].heading;
}

ResultsTableModel* make_generators_model(const SharedResults& r, QObject* parent) {
  const auto g = [r](int row) -> const corvo::report::GeneratorRow& {
    return r->generators[static_cast<std::size_t>(row)];
  };
  std::vector<ResultsTableModel::Column> columns = {
      {QStringLiteral("Gerador"), 0, [g](int row) { return QVariant(static_cast<qlonglong>(g(row).generator)); }},
      {QStringLiteral("Barra"), 0, [g](int row) { return QVariant(static_cast<qlonglong>(g(row).bus)); }},
      {QStringLiteral("Geração (MW)"), kMegawatts, [g](int row) { return QVariant(g(row).output_mw); }},
      {QStringLiteral("Mínimo (MW)"), kMegawatts, [g](int row) { return QVariant(g(row).lower_mw); }},
      {QStringLiteral("Máximo (MW)"), kMegawatts, [g](int row) { return QVariant(g(row).upper_mw); }},
      {QStringLiteral("Custo incremental ($/MWh)"), kPrices,
       [g](int row) { return QVariant(g(row).incremental_cost); }},
      {QStringLiteral("No limite"), 0, [g](int row) { return QVariant(limit_text(g(row).at_limit)); }},
  };
  return new ResultsTableModel(std::move(columns), static_cast<int>(r->generators.size()), parent);
}

ResultsTableModel* make_buses_model(const SharedResults& r, QObject* parent) {
  const auto b = [r](int row) -> const corvo::report::BusRow& { return r->buses[static_cast<std::size_t>(row)]; };
  std::vector<ResultsTableModel::Column> columns = {
      {QStringLiteral("Barra"), 0, [b](int row) { return QVariant(static_cast<qlonglong>(b(row).bus)); }},
      {QStringLiteral("Tipo"), 0, [b](int row) { return QVariant(b(row).type); }},
      {QStringLiteral("Ângulo (graus)"), kDegrees, [b](int row) { return QVariant(b(row).angle_deg); }},
      {QStringLiteral("Carga (MW)"), kMegawatts, [b](int row) { return QVariant(b(row).load_mw); }},
      {QStringLiteral("Geração (MW)"), kMegawatts, [b](int row) { return QVariant(b(row).generation_mw); }},
      {QStringLiteral("LMP ($/MWh)"), kPrices, [b](int row) { return QVariant(b(row).lmp); }},
      {QStringLiteral("Energia ($/MWh)"), kPrices, [b](int row) { return QVariant(b(row).energy); }},
      {QStringLiteral("Congestionamento ($/MWh)"), kPrices, [b](int row) { return QVariant(b(row).congestion); }},
  };
  return new ResultsTableModel(std::move(columns), static_cast<int>(r->buses.size()), parent);
}

ResultsTableModel* make_lines_model(const SharedResults& r, QObject* parent) {
  const auto l = [r](int row) -> const corvo::report::LineRow& { return r->lines[static_cast<std::size_t>(row)]; };
  std::vector<ResultsTableModel::Column> columns = {
      {QStringLiteral("Ramo"), 0, [l](int row) { return QVariant(static_cast<qlonglong>(l(row).line)); }},
      {QStringLiteral("De"), 0, [l](int row) { return QVariant(static_cast<qlonglong>(l(row).from)); }},
      {QStringLiteral("Para"), 0, [l](int row) { return QVariant(static_cast<qlonglong>(l(row).to)); }},
      {QStringLiteral("Fluxo (MW)"), kMegawatts, [l](int row) { return QVariant(l(row).flow_mw); }},
      {QStringLiteral("Limite mínimo (MW)"), kMegawatts, [l](int row) { return QVariant(l(row).lower_mw); }},
      {QStringLiteral("Limite máximo (MW)"), kMegawatts, [l](int row) { return QVariant(l(row).upper_mw); }},
      {QStringLiteral("Carregamento (%)"), kPercent, [l](int row) { return QVariant(l(row).loading_percent); }},
      {QStringLiteral("No limite"), 0, [l](int row) { return QVariant(limit_text(l(row).binding)); }},
      {QStringLiteral("Preço sombra ($/MWh)"), kPrices, [l](int row) { return QVariant(l(row).shadow_price); }},
  };
  return new ResultsTableModel(std::move(columns), static_cast<int>(r->lines.size()), parent);
}
