// A whole `corvo solve --format json` of one fuzz input, as a user runs it
// (through the command's own entry point, on a file in a scratch folder),
// and what counts as a finding besides a crash or a sanitizer report: an
// exit status other than 0, 1 and 2; output that is not one JSON document
// or holds a number that is not finite; a verdict that disagrees with the
// exit status or the conditions; and a solver that says it converged at a
// point the independent check does not verify.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "corvo/app/solve_command.hpp"

namespace fuzz_solve {

[[noreturn]] inline void finding(const std::string& what, const std::string& out, const std::string& err) {
  std::cerr << "finding: " << what << "\n--- standard output\n" << out << "\n--- standard error\n" << err << '\n';
  std::abort();
}

inline bool all_finite(const nlohmann::json& j) {
  if (j.is_number_float()) return std::isfinite(j.get<double>());
  if (j.is_structured())
    for (const auto& v : j)
      if (!all_finite(v)) return false;
  return true;
}

// Each run works in the folder that LLVMFuzzerInitialize made current.
inline void make_scratch_folder() {
  std::string dir = (std::filesystem::temp_directory_path() / "fuzz-solve-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) std::abort();
  std::filesystem::current_path(dir);
}

inline void solve_and_check(const std::uint8_t* data, std::size_t size, const std::string& file) {
  {
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  corvo::app::SolveArgs args;
  args.input = file;
  args.output_format.format = "json";
  std::ostringstream out, err;
  const int status = corvo::app::run_solve(args, out, err);
  if (status == 2 || (status == 1 && out.str().empty())) {
    if (err.str().empty()) finding("refused without a message", out.str(), err.str());
    return;
  }
  if (status != 0 && status != 1) finding("exit status " + std::to_string(status), out.str(), err.str());
  nlohmann::json doc;
  try {
    doc = nlohmann::json::parse(out.str());
  } catch (const nlohmann::json::exception& e) {
    finding(std::string("standard output is not one JSON document: ") + e.what(), out.str(), err.str());
  }
  if (!all_finite(doc)) finding("a number that is not finite in the JSON document", out.str(), err.str());
  const nlohmann::json& check = doc.at("optimality");
  const bool optimal = check.at("verdict") == "optimal";
  if (optimal != (status == 0)) finding("the verdict disagrees with the exit status", out.str(), err.str());
  for (const auto& c : check.at("conditions"))
    if (optimal && !c.at("holds").get<bool>()) finding("optimal with a condition that fails", out.str(), err.str());
  if (doc.at("summary").at("outcome") == "converged" && !optimal)
    finding("the solver converged at a point the check does not verify", out.str(), err.str());
}

}  // namespace fuzz_solve
