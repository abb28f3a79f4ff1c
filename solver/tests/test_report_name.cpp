// The case report's name from the 14-character case name.
#include <gtest/gtest.h>

#include "talven/report_name.hpp"

namespace talven {
namespace {

struct NameCase {
  const char* case_name;  // padded to 14 characters below
  const char* report;
};

class ReportName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ReportName, FromCaseName) {
  std::string padded = GetParam().case_name;
  padded.resize(14, ' ');
  EXPECT_EQ(report_file_name(padded), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReportName,
    ::testing::Values(NameCase{"caso1", "caso1.ip"}, NameCase{"orsa", "orsa.ip"},
                      NameCase{"abcdefghi", "abcdefghi.ip"},      // blank at position 10
                      NameCase{"abcdefghij", "abcdefghij"},       // 10 characters: no extension
                      NameCase{"abcdefghijklmn", "abcdefghijklmn"},
                      NameCase{"talven.flw", "talven.flw"},
                      NameCase{"", ".ip"},                        // blank at position 1
                      NameCase{"ab cd", "ab.ip"},                 // the extension overwrites cd
                      NameCase{"abcdefghi xyzw", "abcdefghi.ip w"}));

}  // namespace
}  // namespace talven
