// The talven executable itself: no arguments, "orsa.ip" in the working
// directory, exit status 0 after the stop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "run_dir.hpp"

namespace {

using talven::testing::read_file;
using talven::testing::RunDir;

TEST(Program, SolvesExampleInWorkingDirectory) {
  RunDir dir;
  std::filesystem::copy_file(std::string(TALVEN_CASES_DIR) + "/twobus.ip", dir / "orsa.ip");
  const std::string command = "cd '" + dir.path().string() + "' && '" + TALVEN_EXE + "' > console.txt 2> errors.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string golden = std::string(TALVEN_GOLDEN_DIR) + "/twobus/";
  EXPECT_EQ(read_file(dir / "console.txt"), read_file(golden + "console.txt"));
  EXPECT_EQ(read_file(dir / "caso1.ip"), read_file(golden + "caso1.ip"));
  EXPECT_EQ(read_file(dir / "talven.flw"), read_file(golden + "talven.flw"));
  EXPECT_EQ(read_file(dir / "errors.txt"), "");
}

TEST(Program, MissingProblemFileEndsWithRunTimeError) {
  RunDir dir;
  const std::string command = "cd '" + dir.path().string() + "' && '" + TALVEN_EXE + "' > console.txt 2> errors.txt";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(read_file(dir / "errors.txt"), "");
}

}  // namespace
