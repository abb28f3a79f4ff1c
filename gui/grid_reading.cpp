#include "grid_reading.h"

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

}  // namespace

void read_integer_column(DataGrid& grid, int column, std::span<std::int32_t> target) {
  for (std::size_t i = 0; i < target.size(); ++i) {
    target[i] = corvo::StrToInt(cell_text(grid, i, column));
  }
}

void read_real_column(DataGrid& grid, int column, std::span<double> target,
                      char decimal_separator) {
  for (std::size_t i = 0; i < target.size(); ++i) {
    target[i] = corvo::StrToFloat(cell_text(grid, i, column), decimal_separator);
  }
}

void read_generator_column(DataGrid& grid, int column, std::span<const std::int32_t> bus_type,
                           std::span<double> target, char decimal_separator) {
  for (std::size_t i = 0; i < target.size(); ++i) {
    const std::string text = cell_text(grid, i, column);
    target[i] = bus_type[i] != 0 ? corvo::StrToFloat(text, decimal_separator) : 0.0;
  }
}
