// A MATPOWER case file (format version 2) read as text: the assignments
// `mpc.NAME = value;` of numbers, quoted texts, numeric matrices and cell
// arrays. The file is never executed; a statement that is none of these
// is refused, since its effect on the case could not be known.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvo::import {

// A file that cannot be imported; the message names the file, the place
// and what is wrong.
class ImportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A numeric matrix held row after row in one block, so that a file of
// millions of short rows costs a few doubles per value and no allocation
// per row. m[r] is row r, m[r][c] its value in column c.
class Matrix {
 public:
  Matrix() = default;
  Matrix(std::initializer_list<std::initializer_list<double>> rows);
  // values.size() / columns rows taken as they are; throws
  // std::invalid_argument when the values do not fill whole rows.
  Matrix(std::size_t columns, std::vector<double> values);

  std::size_t size() const { return rows_; }
  bool empty() const { return rows_ == 0; }
  std::size_t columns() const { return columns_; }
  std::span<const double> operator[](std::size_t r) const {
    return {values_.data() + r * columns_, columns_};
  }

  // Appends a row; the first row fixes the number of columns, and a row of
  // another length is the caller's error (see parse_matpower).
  void append_row(std::span<const double> row);

  bool operator==(const Matrix& other) const = default;

 private:
  std::size_t rows_ = 0;
  std::size_t columns_ = 0;
  std::vector<double> values_;
};

struct MatpowerCase {
  std::string name;         // the function name, e.g. "case9"
  std::string description;  // the first comment line, e.g. "CASE9 Power flow data for ..."
  std::string version;
  double base_mva = 0.0;
  Matrix bus;
  Matrix gen;
  Matrix branch;
  Matrix gencost;
  // Names of the other numeric matrices of the file that are not empty
  // (for example "areas" or "dcline"), so that a reader can refuse data it
  // would have to model.
  std::vector<std::string> other_matrices;
};

// The largest case file read, in bytes. The largest public MATPOWER cases
// (about 80 000 buses) take a few tens of MB; reading costs the file's
// size plus 8 bytes per value kept, at most about five times the file.
inline constexpr std::size_t kMaxMatpowerFileBytes = std::size_t{256} << 20;

// Parses the text of a case file; `source` names the file in messages.
// Needs version 2 (the text '2' or the number 2), baseMVA, bus and branch;
// gen and gencost are checked by the mapping. Text of more than
// kMaxMatpowerFileBytes is refused.
MatpowerCase parse_matpower(std::string_view text, const std::string& source);

}  // namespace corvo::import
