// Reading the fixed-column output files of the programs in the end-to-end
// tests: whole files, their records (CR LF or LF), and runs of fixed-width
// fields that continue over consecutive records.
#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fixed_fields {

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// The records of a file; a carriage return before the line feed is dropped.
inline std::vector<std::string> records_of(const std::string& bytes) {
  std::vector<std::string> out;
  std::istringstream in(bytes);
  std::string r;
  while (std::getline(in, r)) {
    if (!r.empty() && r.back() == '\r') r.pop_back();
    out.push_back(r);
  }
  return out;
}

// A real in the D rendering (.ddddD+ee); the exponent letter D is read as E.
inline double real_of(std::string field) {
  std::replace(field.begin(), field.end(), 'D', 'E');
  return std::stod(field);
}

// Consecutive fixed-width fields over records, as the writer laid them out:
// `per_record` fields of `width` columns on each record, a list continuing
// on the next records.
class FieldReader {
 public:
  FieldReader(const std::vector<std::string>& records, std::size_t first)
      : records_(records), next_(first) {}

  std::vector<std::string> fields(std::size_t count, std::size_t per_record, std::size_t width) {
    std::vector<std::string> out;
    do {
      const std::string& r = records_.at(next_++);
      for (std::size_t k = 0; k < per_record && out.size() < count; ++k) {
        out.push_back(k * width < r.size() ? r.substr(k * width, width) : std::string());
      }
    } while (out.size() < count);
    return out;
  }
  std::vector<double> reals(std::size_t count, std::size_t per_record, std::size_t width) {
    std::vector<double> out;
    for (const std::string& f : fields(count, per_record, width)) out.push_back(real_of(f));
    return out;
  }
  std::vector<int> integers(std::size_t count, std::size_t per_record, std::size_t width) {
    std::vector<int> out;
    for (const std::string& f : fields(count, per_record, width)) out.push_back(std::stoi(f));
    return out;
  }

 private:
  const std::vector<std::string>& records_;
  std::size_t next_;
};

}  // namespace fixed_fields
