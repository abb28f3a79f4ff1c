// The public cases of the repository that the editor's tests open.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corvo_test {

inline std::filesystem::path cases_folder() { return CORVO_CASES_DIR; }

// Every case file under cases/: the standard networks, the variants and
// the large ones.
inline std::vector<std::string> bundled_case_files() {
  return {"caso1.dat",         "ieee9.dat",          "ieee14.dat",         "ieee30.dat",
          "ieee39.dat",        "ieee57.dat",         "variants/ieee9t.dat", "variants/ieee30t.dat",
          "variants/ieee39t.dat", "large/ieee118.dat", "large/case300.dat",  "large/actv500.dat",
          "large/peg1354.dat", "large/peg2869.dat"};
}

}  // namespace corvo_test
