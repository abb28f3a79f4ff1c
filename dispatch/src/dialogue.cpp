#include "dispatch/dialogue.hpp"

#include <string>

namespace dispatch {
namespace {

std::string read_typed_name(records::Records& io) {
  io.write(
      records::kConsole,
      "(/,/,/,10X,'Input name of data file:  ',/,10X,23('-'),/,/,/,20X,' File:____________',$)");
  std::string typed(kNameLength, ' ');
  io.read(records::kConsole, "(a)", typed);
  return typed;
}

// True when the user wants to type another name.
bool wants_new_name(records::Records& io) {
  io.write(records::kConsole, "(/,/,/,/,'File not found; Enter new file name ? (y/n) ')");
  std::string answer(1, ' ');
  io.read(records::kConsole, "(a)", answer);
  return answer == "y" || answer == "Y";
}

}  // namespace

CaseNames ask_for_case(records::Records& io, const std::filesystem::path& dir) {
  for (;;) {
    const auto names = make_case_names(read_typed_name(io));
    if (!names) {
      io.write(records::kConsole,
               "(/,/,/,/,'Name too long: a case name has at most 9 characters; enter a new name')");
      continue;
    }
    if (records::Records::file_exists((dir / names->case_file).string())) return *names;
    if (!wants_new_name(io)) io.stop();
  }
}

}  // namespace dispatch
