// A scratch folder in which orsa, talven and corvo run as a user runs
// them, and the public cases of the repository.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string>

namespace run_folder {

namespace fs = std::filesystem;

inline const fs::path kCases = CORVO_CASES_DIR;

inline std::string read_file(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void write_file(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline nlohmann::json reference() { return nlohmann::json::parse(read_file(kCases / "reference.json")); }

// The case file of a reference solution. reference.json names it as it lay
// in the folder the data came from ("shared/cases/variants/ieee9t.dat");
// the part after "cases/" is its place under the repository's cases/.
inline fs::path reference_case_file(const nlohmann::json& ref) {
  const std::string named = ref.at("case_file").get<std::string>();
  const std::string folder = "cases/";
  const auto at = named.find(folder);
  if (at == std::string::npos) throw std::runtime_error("reference.json: case_file without cases/: " + named);
  return kCases / named.substr(at + folder.size());
}

class RunFolder {
 public:
  RunFolder() {
    std::string pattern = (fs::temp_directory_path() / "corvo_app_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
  }
  ~RunFolder() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  const fs::path& path() const { return dir_; }

  // Runs a command line in the folder; its output goes to <log>.out and
  // <log>.err there. Returns the exit status.
  int run(const std::string& command, const std::string& log, const std::string& input = "") const {
    write_file(dir_ / (log + ".in"), input);
    const std::string line = "cd '" + dir_.string() + "' && " + command + " < " + log + ".in > " + log + ".out 2> " +
                             log + ".err";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string out(const std::string& log) const { return read_file(dir_ / (log + ".out")); }
  std::string err(const std::string& log) const { return read_file(dir_ / (log + ".err")); }

  // orsa then talven on the case file NAME.dat already in the folder.
  void solve(const std::string& name) const {
    ASSERT_EQ(run(std::string("'") + ORSA_EXE + "'", "orsa", name + "\n"), 0);
    ASSERT_EQ(run(std::string("'") + TALVEN_EXE + "'", "talven"), 0);
  }

  // corvo with its arguments; returns the exit status.
  int corvo(const std::string& args, const std::string& log = "corvo") const {
    return run(std::string("'") + CORVO_EXE + "' " + args, log);
  }

 private:
  fs::path dir_;
};

// The convergence flag of talven.flw (first record, "(16I5)").
inline int convergence_flag(const fs::path& flow) { return std::stoi(read_file(flow).substr(0, 5)); }

}  // namespace run_folder
