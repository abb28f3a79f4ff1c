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
//
// The formats give reactances and limits two decimals. A value typed with
// two decimals is written exactly; one read from a file written elsewhere
// (a public network's reactance of 0.0037, say) would lose its digits, or
// become a zero reactance that orsa refuses. With FieldPrecision::
// keep_values a real field whose formatted text does not read back as its
// value gets as many more decimals as its value needs and its columns hold;
// every value that the formats hold exactly is written byte for byte as
// they write it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

enum class FieldPrecision {
  as_formatted,  // the formats above, whatever they round
  keep_values,   // more decimals where a value needs them and its columns hold them
};

struct RenderedCaseFile {
  std::string text;
  // The items whose written text reads back as another value than the
  // case's, e.g. "Ramo 3, Reatância Série (p.u.): 0,0576 gravado como 0.06".
  std::vector<std::string> rounded;
};

// As above, with the precision of the real fields chosen, and the list of
// values that the file does not hold exactly.
RenderedCaseFile render_case_file(std::string_view title, const CaseData& case_data,
                                  FieldPrecision precision);

}  // namespace corvo
