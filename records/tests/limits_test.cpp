// Hostile input to the record layer: templates that would crash or hang a
// program, counts that a file cannot back, and writes that do not reach
// their file. Each must end with a clear error, never with success.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "records/format.hpp"
#include "records/records.hpp"

namespace records {
namespace {

namespace fs = std::filesystem;

// ---- Templates ----------------------------------------------------------------

std::string nested(int depth, const std::string& inside) {
  return std::string(static_cast<std::size_t>(depth), '(') + inside +
         std::string(static_cast<std::size_t>(depth), ')');
}

struct RefusedTemplate {
  const char* name;
  std::string text;
  std::string reason;  // part of the error message
};

class TemplateLimits : public ::testing::TestWithParam<RefusedTemplate> {};

TEST_P(TemplateLimits, AreRefusedWhenParsed) {
  try {
    Format::parse(GetParam().text);
    FAIL() << "accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    // Only the start of a long template is quoted.
    EXPECT_LT(std::string(e.what()).size(), 300u);
  }
}

// Work of a pass: a group walked r times costs r times (its inside + 1);
// nX costs n. So 10(100000X) costs 10 * 100001 = 1000010, just above the
// limit of 1000000, and (100000(100000(100000X))) far above it.
INSTANTIATE_TEST_SUITE_P(
    Hostile, TemplateLimits,
    ::testing::Values(
        RefusedTemplate{"ThirtyThousandParentheses", nested(30000, "X"), "levels of parentheses"},
        RefusedTemplate{"ThirtyThreeLevels", nested(33, "I5"), "more than 32 levels"},
        RefusedTemplate{"NestedRepeats", "(100000(100000(100000X)))", "more than 1000000"},
        RefusedTemplate{"JustAboveTheWork", "(10(100000X))", "more than 1000000"},
        RefusedTemplate{"RepeatedLongLiteral", "(100000'" + std::string(20, 'a') + "')",
                        "more than 1000000"},
        RefusedTemplate{"ZeroGroup", "(0(I5))", "repeat count must be 1 or more"},
        RefusedTemplate{"ZeroGroupAfterField", "(I5,0(I5))", "repeat count must be 1 or more"},
        RefusedTemplate{"ZeroSlash", "(0/)", "repeat count must be 1 or more"},
        RefusedTemplate{"ZeroLiteral", "(0'a')", "repeat count must be 1 or more"},
        RefusedTemplate{"ZeroField", "(0I5)", "repeat count must be 1 or more"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemplateLimits, BoundsStillAllowTheirLastValue) {
  // 32 levels (the outer parentheses are level 1) and a pass of
  // 9 * 100001 = 900009 columns are within the limits.
  EXPECT_NO_THROW(Format::parse(nested(32, "I5")));
  EXPECT_NO_THROW(Format::parse("(9(100000X))"));
  WrittenRecords w = write_records(Format::parse(nested(32, "I3")), std::vector<OutValue>{1, 2});
  ASSERT_EQ(w.records.size(), 2u);  // reuse: one record per item
  EXPECT_EQ(w.records[1], "  2");
}

// ---- Counts that the file cannot back ----------------------------------------

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("records_limits_" + std::string(
                                    ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  fs::path dir_, old_;
};

TEST_F(FileTest, CountsBeyondTheBytesLeftAreRefusedNamingCountAndRecord) {
  // Three records of three bytes; after the first, 6 bytes are left, so at
  // most 6 more records can follow.
  std::ofstream("sizes.dat", std::ios::binary) << "a\r\nb\r\nc\r\n";
  std::istringstream in;
  std::ostringstream out, err;
  const int status = run_program(
      [](Records& io) {
        io.open(3, "sizes.dat", Status::Old);
        std::string first(1, ' ');
        io.read(3, "(a)", first);
        io.require_records(3, 6, "n = 6 things");
        io.require_records(3, 7, "n = 7 things");
      },
      in, out, err);
  EXPECT_EQ(status, kRunTimeErrorStatus);
  EXPECT_EQ(err.str(),
            "Run-time error in read statement on unit 3 (file sizes.dat): record 1: n = 7 things "
            "need at least 7 more records, but the file has only 6 bytes left\n");
}

// ---- Writes that fail ---------------------------------------------------------

// A unit on a full device: the records stay in the stream's buffer until
// the close, which must notice that they never reached the file.
struct FullDeviceCase {
  const char* name;
  int records;      // written before the end of the run
  bool with_stop;   // the run ends with the stop, or its body returns
  std::string statement;  // the statement the report names
};

class FullDevice : public FileTest, public ::testing::WithParamInterface<FullDeviceCase> {};

TEST_P(FullDevice, EndsWithRunTimeErrorNamingUnitAndFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  fs::create_symlink("/dev/full", "orsa.ip");
  const FullDeviceCase& c = GetParam();
  std::istringstream in;
  std::ostringstream out, err;
  const int status = run_program(
      [&c](Records& io) {
        io.open(7, "orsa.ip", Status::Unknown);
        for (int r = 0; r < c.records; ++r) io.write(7, "(4D20.13)", 1.0, 2.0, 3.0, 4.0);
        if (c.with_stop) io.stop();
      },
      in, out, err);
  EXPECT_EQ(status, kRunTimeErrorStatus);
  EXPECT_NE(err.str().find("Run-time error in " + c.statement + " statement on unit 7 (file orsa.ip)"),
            std::string::npos)
      << err.str();
  EXPECT_EQ(out.str().find("Stop - Program terminated."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, FullDevice,
    ::testing::Values(FullDeviceCase{"OneRecordThenStop", 1, true, "close"},
                      FullDeviceCase{"OneRecordThenReturn", 1, false, "close"},
                      // 82 bytes a record: 2000 records overflow any stream buffer.
                      FullDeviceCase{"ManyRecords", 2000, true, "write"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailedConsole, StopLineThatCannotBeWrittenIsAnError) {
  std::istringstream in;
  std::ostringstream out, err;
  out.setstate(std::ios::badbit);
  EXPECT_EQ(run_program([](Records& io) { io.stop(); }, in, out, err), kRunTimeErrorStatus);
  EXPECT_NE(err.str().find("on the console"), std::string::npos);
}

}  // namespace
}  // namespace records
