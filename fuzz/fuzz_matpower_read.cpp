// Fuzz target: any bytes as the text of a MATPOWER case file, through the
// reader. A refusal (ImportError) is an answer; a crash, another
// exception, a sanitizer report or a hang is a finding, and so is a case
// that breaks what the reader promises: whole rows, and no more values
// than the text has bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "corvo/import/matpower_case.hpp"

namespace {

void check_matrix(const corvo::import::Matrix& m, std::size_t text_size) {
  if (m.empty()) return;
  if (m.columns() == 0 || m.size() * m.columns() > text_size) std::abort();
  if (m[m.size() - 1].size() != m.columns()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const corvo::import::MatpowerCase mc = corvo::import::parse_matpower(text, "fuzz.m");
    for (const corvo::import::Matrix* m : {&mc.bus, &mc.gen, &mc.branch, &mc.gencost}) check_matrix(*m, size);
    if (mc.version != "2" || !(mc.base_mva > 0.0) || mc.bus.empty() || mc.branch.empty()) std::abort();
  } catch (const corvo::import::ImportError&) {
  }
  return 0;
}
