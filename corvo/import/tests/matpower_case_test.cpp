// Reading MATPOWER case files as text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "corvo/import/matpower_case.hpp"
#include "tiny_case.hpp"

namespace corvo::import {
namespace {

std::string file_text(const std::string& name) {
  std::ifstream in(std::string(CORVO_IMPORT_DATA) + "/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(MatpowerCase, ReadsCase9) {
  const MatpowerCase mc = parse_matpower(file_text("case9.m"), "case9.m");
  EXPECT_EQ(mc.name, "case9");
  EXPECT_EQ(mc.version, "2");
  EXPECT_EQ(mc.base_mva, 100.0);
  ASSERT_EQ(mc.bus.size(), 9u);
  ASSERT_EQ(mc.gen.size(), 3u);
  ASSERT_EQ(mc.branch.size(), 9u);
  ASSERT_EQ(mc.gencost.size(), 3u);
  EXPECT_EQ(mc.bus[8][2], 125.0);
  EXPECT_EQ(mc.branch[2][3], 0.17);
  EXPECT_EQ(std::vector<double>(mc.gencost[2].begin(), mc.gencost[2].end()),
            (std::vector<double>{2, 3000, 0, 3, 0.1225, 1, 335}));
  EXPECT_EQ(mc.description, "CASE9    Power flow data for 9 bus, 3 generator case.");
}

TEST(MatpowerCase, SkipsCellArraysOfNames) {
  const MatpowerCase mc = parse_matpower(file_text("case14.m"), "case14.m");
  EXPECT_EQ(mc.bus.size(), 14u);
  EXPECT_EQ(mc.branch.size(), 20u);
}

TEST(MatpowerCase, CommentsCommasAndContinuations) {
  const std::string text =
      "mpc.version = '2'; % format\n"
      "mpc.baseMVA = 1e2;\n"
      "mpc.bus = [ 1, 3, 0, 0, 0, 0 ; 2 1 ...\n 5 0 0 0 % second bus\n];\n"
      "mpc.branch = [1 2 0 0.1 0 0 0 0 0 0 1];\n";
  const MatpowerCase mc = parse_matpower(text, "t.m");
  EXPECT_EQ(mc.base_mva, 100.0);
  EXPECT_EQ(mc.bus, (Matrix{{1, 3, 0, 0, 0, 0}, {2, 1, 5, 0, 0, 0}}));
}

// Layouts of the same case that MATLAB reads alike: each must give exactly
// the case of the plain text.
struct Layout {
  const char* name;
  std::string text;
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

class MatpowerLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(MatpowerLayouts, GiveTheSameCase) {
  const MatpowerCase plain = parse_matpower(tiny_case::text(), "t.m");
  const MatpowerCase mc = parse_matpower(GetParam().text, "t.m");
  EXPECT_EQ(mc.name, plain.name);
  EXPECT_EQ(mc.description, "TINY  two buses");
  EXPECT_EQ(mc.version, "2");
  EXPECT_EQ(mc.base_mva, 100.0);
  EXPECT_EQ(mc.bus, plain.bus);
  EXPECT_EQ(mc.gen, plain.gen);
  EXPECT_EQ(mc.branch, plain.branch);
  EXPECT_EQ(mc.gencost, plain.gencost);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatpowerLayouts,
    ::testing::Values(
        Layout{"byte_order_mark", "\xEF\xBB\xBF" + tiny_case::text()},
        Layout{"crlf", replaced(tiny_case::text(), "\n", "\r\n")},
        Layout{"cr_only", replaced(tiny_case::text(), "\n", "\r")},
        Layout{"two_statements_on_a_line",
               replaced(tiny_case::text(), "mpc.version = '2';\nmpc.baseMVA = 100;",
                        "mpc.version = '2'; mpc.baseMVA = 100 ,")},
        Layout{"version_as_a_number", replaced(tiny_case::text(), "'2'", "2")},
        Layout{"plus_signs", replaced(tiny_case::text(), "\t345\t", "\t+345\t")},
        Layout{"rows_on_one_line", replaced(tiny_case::text(), "0.9;\n\t2", "0.9; 2")}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

// The reader converts what it keeps and nothing else: the values of an
// unknown matrix are checked and dropped, its name kept.
TEST(MatpowerCase, OtherMatricesAreNamedNotKept) {
  const MatpowerCase mc = parse_matpower(tiny_case::text() + "mpc.areas = [1 1; 2 2];\nmpc.empty = [];\n", "t.m");
  EXPECT_EQ(mc.other_matrices, std::vector<std::string>{"areas"});
}

struct BadText {
  const char* name;
  std::string text;
  const char* message;
};

class MatpowerCaseRefuses : public ::testing::TestWithParam<BadText> {};

TEST_P(MatpowerCaseRefuses, WithAMessageNamingThePlace) {
  try {
    parse_matpower(GetParam().text, "t.m");
    FAIL() << "accepted";
  } catch (const ImportError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatpowerCaseRefuses,
    ::testing::Values(
        BadText{"version1", "mpc.version = '1';\nmpc.baseMVA = 100;\n",
                "t.m: not a MATPOWER case of format version 2 (mpc.version = '1')"},
        BadText{"code", tiny_case::text() + "mpc.gen(1, 9) = 300;\n",
                "t.m: line 18: 'mpc.gen' is not followed by '=' (case files with code are not read)"},
        BadText{"other_statement", "x = 3;\n", "t.m: line 1: a statement that is not an assignment to mpc: 'x = 3;'"},
        BadText{"ragged", "mpc.bus = [1 2 3;\n4 5];\n", "t.m: line 2: a matrix row of 2 values after rows of 3"},
        BadText{"unclosed", "mpc.bus = [1 2 3;\n", "t.m: line 2: a matrix without its closing ']'"},
        BadText{"not_a_number", "mpc.bus = [1 2 x3];\n", "t.m: line 1: 'x3' is not a number"},
        BadText{"version_3", "mpc.version = 3;\n", "t.m: not a MATPOWER case of format version 2 (mpc.version = 3)"},
        BadText{"no_version", "mpc.baseMVA = 100;\n", "t.m: mpc.version is missing: not a MATPOWER case of format version 2"},
        // The line is counted across CR-only line ends too.
        BadText{"cr_only_line_count", "mpc.version = '2';\rmpc.baseMVA = 100;\rmpc.bus = [1 2 x];\r",
                "t.m: line 3: 'x' is not a number"},
        BadText{"out_of_range", "mpc.bus = [1 1e999];\n", "t.m: line 1: '1e999' is out of the range of a double"},
        BadText{"no_separator", "mpc.version = '2' mpc.baseMVA = 100;\n",
                "t.m: line 1: unexpected text after the value of mpc.version: 'mpc.baseMVA = 100;'"},
        // A statement quoted in a message is cut and its control bytes shown.
        BadText{"long_garbage", "x = \x01" + std::string(100, 'y') + "\n",
                "t.m: line 1: a statement that is not an assignment to mpc: 'x = \\x01yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy...'"},
        BadText{"not_a_token", "mpc.bus = [1 (2)];\n", "t.m: line 1: '(' is not a number"},
        BadText{"no_branches", "mpc.version = '2';\nmpc.baseMVA = 100;\nmpc.bus = [1 3 0 0 0 0];\n",
                "t.m: mpc.branch is missing or empty"}),
    [](const ::testing::TestParamInfo<BadText>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvo::import
