// Opening a case in the editor: our case file, read by orsa's own rules
// through the case loader, or a MATPOWER case (.m), converted on the way
// in exactly as `corvo import` converts it.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "corvo/case_data.hpp"
#include "corvo/title_text.hpp"

namespace corvo {

struct OpenedCase {
  std::string name;  // the file name without its extension, e.g. "ieee118"
  CaseData data;     // in the forms' units, parameters confirmed
  DecodedTitle title;
  std::vector<std::string> notes;  // what the MATPOWER import changed, one sentence each
  bool from_matpower = false;
};

// A file that cannot be opened as a case; the message is the loader's or
// the import's (file, record, columns, field).
class CaseOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

OpenedCase open_case(const std::filesystem::path& file);

}  // namespace corvo
