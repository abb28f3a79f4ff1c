#include "corvo/case_opening.hpp"

#include <exception>

#include "corvo/app/case_input.hpp"
#include "corvo/dispatch_case_conversion.hpp"

namespace corvo {

OpenedCase open_case(const std::filesystem::path& file) {
  OpenedCase opened;
  dispatch::CaseData data;
  try {
    const app::CaseInput input = app::load_case_input(file);
    opened.name = input.name;
    opened.from_matpower = input.format != app::InputFormat::case_file;
    // A case from another format comes in as `corvo import` writes it:
    // our case file's text read back through orsa's reader.
    data = app::case_data_of(input);
    if (opened.from_matpower) opened.notes = app::imported_case(input.network).mappings;
  } catch (const std::exception& error) {
    throw CaseOpenError(error.what());
  }
  EditorCase editor = editor_case_from_dispatch(data);
  opened.data = std::move(editor.data);
  opened.title = decode_title(editor.title_bytes);
  return opened;
}

}  // namespace corvo
