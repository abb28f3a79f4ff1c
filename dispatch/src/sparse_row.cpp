#include "dispatch/sparse_row.hpp"

namespace dispatch {

SparseRow::Entry* SparseRow::find(int column) {
  for (Entry& e : entries_) {
    if (e.column == column) return &e;
  }
  return nullptr;
}

void SparseRow::assign(int column, double value) {
  if (Entry* e = find(column)) {
    e->value = value;
  } else {
    entries_.push_back({column, value});
  }
}

void SparseRow::gather(int column, double value) {
  if (Entry* e = find(column)) {
    e->value = e->value + value;
  } else {
    entries_.push_back({column, value});
  }
}

double SparseRow::at(int column) const {
  for (const Entry& e : entries_) {
    if (e.column == column) return e.value;
  }
  return 0.0;
}

std::vector<double> SparseRow::dense(std::size_t columns) const {
  std::vector<double> row(columns, 0.0);
  for (const Entry& e : entries_) {
    row[static_cast<std::size_t>(e.column) - 1] = e.value;
  }
  return row;
}

}  // namespace dispatch
