#include "corvo/case_opening.hpp"

#include <exception>

#include "corvo/app/case_input.hpp"
#include "corvo/dispatch_case_conversion.hpp"

namespace corvo {

OpenedCase open_case(const std::filesystem::path& file) {
  app::CaseInput input;
  try {
    input = app::load_case_input(file);
  } catch (const std::exception& error) {
    throw CaseOpenError(error.what());
  }
  EditorCase editor = editor_case_from_dispatch(input.data);
  OpenedCase opened;
  opened.name = input.name;
  opened.data = std::move(editor.data);
  opened.title = decode_title(editor.title_bytes);
  opened.notes = std::move(input.mappings);
  opened.from_matpower = input.from_matpower;
  return opened;
}

}  // namespace corvo
