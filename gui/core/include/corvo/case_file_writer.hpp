// Rendering of the case file that the dispatch builder reads.
//
// Every record is laid out with printf formats in fixed 10-column fields:
//
//   title                      "%s\n"
//   n, nl, Sb                  "%10d%10d%10.2f\n"
//   one record per line        "%10d%10d% 10.2f% 10.2f% 10.2f\n"
//   bus types, eight a record  "%10d" each, "\n" after every eighth
//   one record per bus         "% 10.2f\n" (load bus) or
//                              "% 10.2f% 10.2f% 10.2f% 10.6f% 10.2f% 10.2f\n"
//   nbmax, nlmax               "%10d%10d\n"
//   ndc, ndp                   "%10d%10d\n"
//   maxit, iprint, tolerances  "        %2d         %1d% 10.1E% 10.1E% 10.1E% 10.1E\n"
//   rho, bigm, sigma           "% 10.2f% 10.1E% 10.1E\n"
//
// A value wider than its columns would shift every later field of its
// record and be read wrongly, so such a case is refused with
// CaseFileLayoutError naming the item, and nothing is rendered.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "corvo/case_data.hpp"

namespace corvo {

inline constexpr std::size_t kTitleWidth = 80;

// A value or title that does not fit the file's columns.
class CaseFileLayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole case file for `case_data` with `title` (8-bit text, at most 80
// characters, no line break) as its first record. The counts must be at
// least 1 bus and 0 lines, and every array must hold as many entries as its
// count says (std::invalid_argument otherwise).
std::string render_case_file(std::string_view title, const CaseData& case_data);

}  // namespace corvo
