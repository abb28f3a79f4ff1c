// Saving the case held by the editor.
#pragma once

#include <filesystem>
#include <string_view>

#include "corvo/algorithm_parameters.hpp"
#include "corvo/case_data.hpp"
#include "corvo/case_file_writer.hpp"

namespace corvo {

// Saves `case_data` with `title` as the case file `path`.
//
// When the parameters were never confirmed, `unconfirmed_texts` are first
// converted into `case_data.parameters` (the flag stays clear). Everything
// that can refuse the case happens before the file system is touched: a
// ConversionError or a CaseFileLayoutError leaves any existing file intact.
// The file is then replaced whole (FileWriteError if that fails, again
// leaving the old file as it was).
void save_case(const std::filesystem::path& path, std::string_view title, CaseData& case_data,
               const ParameterTexts& unconfirmed_texts, char decimal_separator);

// The first half of a save, for a caller that asks the user before the
// file is written: converts unconfirmed parameters as save_case does and
// renders the file with `precision`. Nothing is written.
RenderedCaseFile prepare_case_file(std::string_view title, CaseData& case_data,
                                   const ParameterTexts& unconfirmed_texts, char decimal_separator,
                                   FieldPrecision precision);

}  // namespace corvo
