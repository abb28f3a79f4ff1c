// Units: files with CR LF records, console rules, the stop and the
// run-time error report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "records/records.hpp"

namespace records {
namespace {

namespace fs = std::filesystem;

class UnitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("records_units_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  static std::string slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void put(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  fs::path dir_, old_;
};

TEST_F(UnitsTest, FileRecordsEndWithCarriageReturnLineFeed) {
  std::istringstream in;
  std::ostringstream out;
  {
    Records io(in, out);
    io.open(7, "out.txt   ", Status::Unknown);  // trailing blanks are not part of the name
    io.write(7, "(/,' a',I3)", 5);
    io.write_list(7, 12);
    io.write_list(7, "Observation Matrix");
    EXPECT_EQ(io.close_all(), "");
  }
  EXPECT_EQ(slurp("out.txt"), "\r\n a  5\r\n" + std::string(10, ' ') + "12\r\n Observation Matrix\r\n");
  EXPECT_EQ(out.str(), "");
}

TEST_F(UnitsTest, UnknownRewritesAnExistingFile) {
  put("old.txt", "something long that was here before\r\n");
  std::istringstream in;
  std::ostringstream out;
  {
    Records io(in, out);
    io.open(8, "old.txt", Status::Unknown);
    io.write(8, "('x')");
    EXPECT_EQ(io.close_all(), "");
  }
  EXPECT_EQ(slurp("old.txt"), "x\r\n");
}

TEST_F(UnitsTest, InputAcceptsLfCrLfAndAMissingLastLineEnd) {
  put("in.txt", "    1\r\n    2\n    3");
  std::istringstream in;
  std::ostringstream out;
  Records io(in, out);
  io.open(3, "in.txt", Status::Old);
  std::int32_t a = 0, b = 0, c = 0;
  io.read(3, "(I5)", a);
  io.read(3, "(I5)", b);
  io.read(3, "(I5)", c);
  EXPECT_EQ(a + b * 10 + c * 100, 321);
  // A carriage return is not part of the record: an A field sees blanks.
  put("text.txt", "ab\r\n");
  io.open(4, "text.txt", Status::Old);
  std::string t(4, '?');
  io.read(4, "(A4)", t);
  EXPECT_EQ(t, "ab  ");
}

TEST_F(UnitsTest, ConsolePromptStaysOpenAcrossAReadUntilTheNextWrite) {
  std::istringstream in("caso1\n");
  std::ostringstream out;
  std::ostringstream err;
  int status = run_program(
      [](Records& io) {
        io.write(kConsole, "(' File:___',$)");
        std::string name(14, ' ');
        io.read(kConsole, "(a)", name);
        io.write(kConsole, "(' got ',A)", name);
        io.write(kConsole, "(' again',$)");
        io.stop();
      },
      in, out, err);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.str(),
            " File:___\n got caso1         \n again\nStop - Program terminated.\n");
  EXPECT_EQ(err.str(), "");
}

struct ErrorCase {
  const char* name;
  std::string file_content;
  std::string tmpl;
  int reads;
  std::vector<std::string> expected_parts;
};

class ErrorReport : public UnitsTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorReport, NamesStatementUnitFileRecordAndField) {
  const ErrorCase& c = GetParam();
  if (!c.file_content.empty()) put("case.dat", c.file_content);
  std::istringstream in;
  std::ostringstream out, err;
  int status = run_program(
      [&](Records& io) {
        io.open(9, "report.lst", Status::Unknown);
        io.write(9, "(' before')");
        io.open(3, "case.dat", Status::Old);
        for (int r = 0; r < c.reads; ++r) {
          std::int32_t i = 0;
          double d = 0;
          io.read(3, c.tmpl, i, d);
        }
        io.stop();
      },
      in, out, err);
  EXPECT_EQ(status, kRunTimeErrorStatus);
  for (const std::string& part : c.expected_parts) {
    EXPECT_NE(err.str().find(part), std::string::npos) << err.str() << " lacks " << part;
  }
  EXPECT_EQ(out.str(), "");  // no stop message after an error
  EXPECT_EQ(slurp("report.lst"), " before\r\n");  // records written before stay
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ErrorReport,
    ::testing::Values(
        ErrorCase{"MissingFile", "", "(I5,D10.2)", 0,
                  {"open statement", "unit 3", "case.dat", "file not found"}},
        ErrorCase{"EndOfFile", "    1      2.50\n", "(I5,D10.2)", 2,
                  {"read statement", "unit 3", "case.dat", "end of file after record 1"}},
        ErrorCase{"BadReal", "    1      2.50\n    2    2.5.0\n", "(I5,D10.2)", 2,
                  {"read statement", "unit 3", "case.dat", "record 2", "columns 6-15",
                   "'    2.5.0 '", "second decimal point"}},
        ErrorCase{"BadInteger", "   1x\n", "(I5,D10.2)", 1,
                  {"read statement", "record 1", "columns 1-5", "'   1x'"}},
        ErrorCase{"OutOfRange", "    1    1.0E999\n", "(I5,D12.2)", 1,
                  {"read statement", "record 1", "out of range"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UnitsTest, OneFileCannotBeOpenOnTwoUnits) {
  put("orsa.ip", "caso1\r\n");
  std::istringstream in;
  std::ostringstream out, err;
  int status = run_program(
      [](Records& io) {
        io.open(1, "orsa.ip", Status::Old);
        io.open(2, "orsa.ip", Status::Unknown);
      },
      in, out, err);
  EXPECT_EQ(status, kRunTimeErrorStatus);
  EXPECT_NE(err.str().find("already open on unit 1"), std::string::npos);
  EXPECT_EQ(slurp("orsa.ip"), "caso1\r\n");  // the input survives
}

TEST_F(UnitsTest, ConsoleEndOfInputIsReported) {
  std::istringstream in;
  std::ostringstream out, err;
  int status = run_program(
      [](Records& io) {
        std::string answer(1, ' ');
        io.read(kConsole, "(a)", answer);
      },
      in, out, err);
  EXPECT_EQ(status, kRunTimeErrorStatus);
  EXPECT_NE(err.str().find("read statement on the console: end of file"), std::string::npos);
}

TEST_F(UnitsTest, TemplatesAreParsedOncePerText) {
  std::istringstream in;
  std::ostringstream out;
  Records io(in, out);
  const Format& a = io.format("(5F16.4)");
  const Format& b = io.format("(5F16.4)");
  EXPECT_EQ(&a, &b);
}

TEST(FileExists, DropsTrailingBlanks) {
  EXPECT_FALSE(Records::file_exists("surely-not-here.dat    "));
  EXPECT_FALSE(Records::file_exists("      "));
}

}  // namespace
}  // namespace records
