// Reading a grid column into a case array, cell by cell from row 1 down.
// Each cell is converted as it is read and stored at once, so when a cell
// does not convert the cells above it are already stored; the error is a
// PlacedConversionError naming the grid, the row and the column heading.
#pragma once

#include <cstdint>
#include <span>

class DataGrid;

// Integers from column `column` into target[0..], one row per entry.
void read_integer_column(DataGrid& grid, int column, std::span<std::int32_t> target);

// Reals, with `decimal_separator`.
void read_real_column(DataGrid& grid, int column, std::span<double> target, char decimal_separator);

// A generator column of the bus grid: reals for the buses whose type is not
// 0, and 0 for a load bus without converting its cell (it may be empty).
void read_generator_column(DataGrid& grid, int column, std::span<const std::int32_t> bus_type,
                           std::span<double> target, char decimal_separator);
