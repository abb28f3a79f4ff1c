// The console dialogue that obtains the case name.
#pragma once

#include <filesystem>

#include "dispatch/case_names.hpp"
#include "records/records.hpp"

namespace dispatch {

// Prompts until the typed name gives a case file that exists. A name whose
// first ten characters hold no blank is refused and the prompt shown
// again. For a missing case file the user is asked whether to enter a new
// name: "y" or "Y" shows the prompt again, any other answer stops the run.
// No file is opened here. The case file is looked for in `dir` (the
// working directory when empty); the names returned do not include it.
CaseNames ask_for_case(records::Records& io, const std::filesystem::path& dir = {});

}  // namespace dispatch
