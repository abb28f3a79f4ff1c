#include "corvo/case_saving.hpp"

#include <string>

#include "corvo/case_file_writer.hpp"
#include "corvo/file_replacement.hpp"

namespace corvo {

void save_case(const std::filesystem::path& path, std::string_view title, CaseData& case_data,
               const ParameterTexts& unconfirmed_texts, char decimal_separator) {
  const RenderedCaseFile file = prepare_case_file(title, case_data, unconfirmed_texts,
                                                  decimal_separator, FieldPrecision::as_formatted);
  replace_file_contents(path, file.text);
}

RenderedCaseFile prepare_case_file(std::string_view title, CaseData& case_data,
                                   const ParameterTexts& unconfirmed_texts, char decimal_separator,
                                   FieldPrecision precision) {
  if (!case_data.parameters_confirmed) {
    convert_parameters(unconfirmed_texts, decimal_separator, case_data.parameters);
  }
  return render_case_file(title, case_data, precision);
}

}  // namespace corvo
