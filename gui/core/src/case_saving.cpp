#include "corvo/case_saving.hpp"

#include <string>

#include "corvo/case_file_writer.hpp"
#include "corvo/file_replacement.hpp"

namespace corvo {

void save_case(const std::filesystem::path& path, std::string_view title, CaseData& case_data,
               const ParameterTexts& unconfirmed_texts, char decimal_separator) {
  if (!case_data.parameters_confirmed) {
    convert_parameters(unconfirmed_texts, decimal_separator, case_data.parameters);
  }
  const std::string contents = render_case_file(title, case_data);
  replace_file_contents(path, contents);
}

}  // namespace corvo
