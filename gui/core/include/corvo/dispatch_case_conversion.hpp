// The one place where the editor's case and the dispatch library's case
// meet.
//
// The editor holds a case as the forms show it: per bus, in MW, $/h,
// $/MWh and $/MW2h, with a generator column on every bus. The dispatch
// library (orsa's reader, the solvers, the report) holds it per generator
// and in per unit. These two functions convert between them with exactly
// the arithmetic of orsa's reader, so that a case solved from the forms
// gives the same bits as the same case read from its file.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "corvo/case_data.hpp"
#include "dispatch/case_data.hpp"

namespace corvo {

// A case that orsa would refuse, named by the place a user looks at:
// `form` ("Ramos", "Barras", "Dados do problema", "Parâmetros"), the
// `row` (line or bus number; 0 for none) and the `column` heading.
class CaseCheckError : public std::runtime_error {
 public:
  CaseCheckError(std::string form, std::int32_t row, std::string column, const std::string& problem);
  const std::string& form() const { return form_; }
  std::int32_t row() const { return row_; }
  const std::string& column() const { return column_; }
  const std::string& problem() const { return problem_; }
  // "Ramos, linha 3, Barra de Destino"
  std::string place() const;

 private:
  std::string form_;
  std::int32_t row_;
  std::string column_;
  std::string problem_;
};

// The case as the editor holds it, read from the case loader's result:
// values back in the units of the forms, each rounded to the digits a case
// file can hold (kCaseFileDigits), which gives back the file's own decimal
// value; parameters confirmed. The title is the loader's 80 columns
// without their trailing blanks, as bytes.
struct EditorCase {
  CaseData data;
  std::string title_bytes;
};
EditorCase editor_case_from_dispatch(const dispatch::CaseData& loaded);

// The case as orsa's reader would hold it after reading the case file the
// editor writes for it, but with every value as typed (no rounding to the
// file's decimals). Refuses with CaseCheckError, in orsa's order, what orsa
// refuses: a count below its least, Sb of zero, a line end outside 1..n, a
// reactance of zero or without a finite susceptance, a bus type outside
// 0..3, no reference bus, a value that is not finite in per unit, a bus
// without any line. The arrays must match their counts
// (std::invalid_argument otherwise).
dispatch::CaseData dispatch_case_from_editor(const CaseData& data, std::string_view title_bytes);

}  // namespace corvo
