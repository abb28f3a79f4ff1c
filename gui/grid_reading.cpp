#include "grid_reading.h"

#include <QTableWidgetItem>
#include <cstddef>
#include <string>

#include "corvo/number_conversion.hpp"
#include "data_grid.h"

namespace {

// The text of a cell as an 8-bit string.
std::string cell_text(DataGrid& grid, std::size_t index, int column) {
  grid.SetActiveCell(static_cast<int>(index) + 1, column);
  return grid.ActiveCellText().toUtf8().toStdString();
}

// "Ramos, linha 3, Reatância Série (p.u.)": the grid, the row and the
// column's heading on one line.
std::string place_of(const DataGrid& grid, std::size_t index, int column) {
  const QTableWidgetItem* heading = grid.horizontalHeaderItem(column - 1);
  QString text = grid.objectName() + QStringLiteral(", linha %1").arg(index + 1);
  if (heading) text += ", " + heading->text().replace('\n', ' ');
  return text.toStdString();
}

template <class Convert>
auto convert_cell(DataGrid& grid, std::size_t index, int column, Convert convert) {
  const std::string text = cell_text(grid, index, column);
  try {
    return convert(text);
  } catch (const corvo::ConversionError& error) {
    grid.ShowActiveCell();
    throw corvo::PlacedConversionError(error, place_of(grid, index, column));
  }
}

}  // namespace

void read_integer_column(DataGrid& grid, int column, std::span<std::int32_t> target) {
  for (std::size_t i = 0; i < target.size(); ++i) {
    target[i] = convert_cell(grid, i, column, [](const std::string& text) { return corvo::StrToInt(text); });
  }
}

void read_real_column(DataGrid& grid, int column, std::span<double> target,
                      char decimal_separator) {
  for (std::size_t i = 0; i < target.size(); ++i) {
    target[i] = convert_cell(grid, i, column, [decimal_separator](const std::string& text) {
      return corvo::StrToFloat(text, decimal_separator);
    });
  }
}

void read_generator_column(DataGrid& grid, int column, std::span<const std::int32_t> bus_type,
                           std::span<double> target, char decimal_separator) {
  for (std::size_t i = 0; i < target.size(); ++i) {
    if (bus_type[i] == 0) {
      // A load bus takes 0 without its cell being converted (it may be
      // empty); the cell is still made the active one, as it is read.
      grid.SetActiveCell(static_cast<int>(i) + 1, column);
      target[i] = 0.0;
      continue;
    }
    target[i] = convert_cell(grid, i, column, [decimal_separator](const std::string& text) {
      return corvo::StrToFloat(text, decimal_separator);
    });
  }
}
