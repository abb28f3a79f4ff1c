// One row of a matrix that is written out densely but has few non-zeros.
#pragma once

#include <cstddef>
#include <vector>

namespace dispatch {

// Columns are numbered from 1, as in the files. Entries keep the order in
// which their columns were first set.
class SparseRow {
 public:
  struct Entry {
    int column;
    double value;
  };

  // Sets the column to `value`, replacing what an earlier call put there.
  void assign(int column, double value);
  // The first contribution to a column is stored as it is; later ones are
  // added to it. A column with a single contribution therefore holds
  // exactly that value, bit for bit.
  void gather(int column, double value);

  // The value of a column; 0.0 for a column never set.
  double at(int column) const;
  const std::vector<Entry>& entries() const { return entries_; }

  // Columns 1..columns as a full row (index 0 is column 1).
  std::vector<double> dense(std::size_t columns) const;

 private:
  Entry* find(int column);
  std::vector<Entry> entries_;
};

}  // namespace dispatch
