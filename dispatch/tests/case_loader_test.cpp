// Loading a case file without the builder's output files: the values come
// back in per unit, and a case the builder refuses is an exception whose
// message names the file and what is wrong.
#include "dispatch/case_loader.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class CaseLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("case_loader_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path write_case(const std::string& text) {
    const fs::path path = dir_ / "case.dat";
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  fs::path dir_;
};

// The two-bus example: one line of 0.1 p.u. with limits of +-100 MW, a
// reference bus with a generator (10 $/MWh, 0.01 $/MW2h, 0 to 200 MW) and a
// load of 50 MW at bus 2, on 100 MVA.
const std::string kTwoBus =
    "Two buses\n"
    "         2         1    100.00\n"
    "         1         2      0.10    100.00   -100.00\n"
    "         2         0\n"
    "      0.00      0.00     10.00  0.010000    200.00      0.00\n"
    "     50.00\n"
    "       100       150\n"
    "       500       500\n"
    "        20         0       0.0       0.0       0.0       0.0\n"
    "      0.99   1.0E+05   1.0E-01\n";

TEST_F(CaseLoader, ReturnsTheCaseInPerUnitWithTheToleranceDefaults) {
  const dispatch::CaseData data = dispatch::load_case_file(write_case(kTwoBus));
  EXPECT_EQ(data.n, 2);
  EXPECT_EQ(data.nl, 1);
  EXPECT_EQ(data.ngen, 1);
  EXPECT_EQ(data.nref, 1);
  EXPECT_EQ(data.sb, 100.0);
  EXPECT_EQ(data.line_upper[0], 1.0);   // 100 MW / 100 MVA
  EXPECT_EQ(data.line_lower[0], -1.0);
  EXPECT_EQ(data.load[1], 0.5);         // 50 MW / 100 MVA
  EXPECT_EQ(data.gen_upper[0], 2.0);
  EXPECT_EQ(data.linear_cost[0], 1000.0);  // 10 $/MWh * 100
  EXPECT_DOUBLE_EQ(data.quadratic_cost[0], 100.0);  // 0.01 * 100^2
  EXPECT_EQ(data.parameters.maxit, 20);
  EXPECT_EQ(data.parameters.epsln, 1.0E-8);  // zero takes the default
  EXPECT_EQ(data.parameters.rho, 0.99);
  // Nothing is left behind beside the case file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

struct Refusal {
  const char* name;
  std::string text;
  const char* expected;  // a part of the message
};

class CaseLoaderRefusal : public CaseLoader, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CaseLoaderRefusal, NamesTheFileAndWhatIsWrong) {
  const fs::path path = write_case(GetParam().text);
  try {
    dispatch::load_case_file(path);
    FAIL() << "accepted";
  } catch (const dispatch::CaseFileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("case.dat"), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().expected), std::string::npos) << message;
  }
}

std::string replace(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseLoaderRefusal,
    ::testing::Values(
        Refusal{"BusOutOfRange", replace(kTwoBus, "         1         2      0.10",
                                         "         1         7      0.10"),
                "Line 1: bus re = 7 is not within 1 to 2"},
        Refusal{"ZeroReactance", replace(kTwoBus, "      0.10    100.00", "      0.00    100.00"),
                "Reactance of line 1 - 2 is equal to zero"},
        Refusal{"NoReferenceBus", replace(kTwoBus, "         2         0\n", "         1         0\n"),
                "No reference bus"},
        Refusal{"MalformedField", replace(kTwoBus, "    100.00\n         1", "  1.0.0.00\n         1"),
                "record 2"},
        Refusal{"EndsEarly", kTwoBus.substr(0, kTwoBus.find("     50.00")), "end of file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaseLoader, AMissingFileIsAnError) {
  EXPECT_THROW(dispatch::load_case_file(dir_ / "absent.dat"), dispatch::CaseFileError);
}

}  // namespace
