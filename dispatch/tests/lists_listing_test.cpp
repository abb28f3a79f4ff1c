// The lists in the listing, written only when the print flag is set.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dispatch/network_output.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/orsa.hpp"
#include "orsa_test_support.hpp"

namespace dispatch::testing {
namespace {

const std::vector<std::int32_t> kOneLineSe{1};
const std::vector<std::int32_t> kOneLineRe{2};

std::string listing_of_lists(const NetworkLists& lists, int print_flag) {
  {
    records::Records io;
    io.open(kListingUnit, "lists.lst", records::Status::Unknown);
    write_lists_listing(io, lists, print_flag);
  }
  return read_file("lists.lst");
}

TEST(ListsListing, NothingWithPrintFlagZero) {
  ScratchDirectory dir;
  EXPECT_EQ(listing_of_lists(build_network_lists(2, kOneLineSe, kOneLineRe), 0), "");
}

TEST(ListsListing, LabelRepeatsForEveryFifteenValues) {
  ScratchDirectory dir;
  // Two buses, one line: "(/,1X,'xadjcy = ',15I4)" with 1, 3, 5 gives an
  // empty record and the label with the three values in 4 columns each.
  std::string expected =
      "\r\n network adjacency and incidence lists\r\n"
      "\r\n xadjcy =    1   3   5\r\n"
      "\r\n adjcy =    1   2   2   1\r\n"
      "\r\n xincd =    1   1   2   2   3\r\n"
      "\r\n incd =    1   1\r\n";
  EXPECT_EQ(listing_of_lists(build_network_lists(2, kOneLineSe, kOneLineRe), 1), expected);

  // Seventeen buses in a chain: xadjcy has 18 values, 15 on the first
  // label record and 3 on a second one that repeats the label.
  std::vector<std::int32_t> se, re;
  for (std::int32_t i = 1; i < 17; ++i) {
    se.push_back(i);
    re.push_back(i + 1);
  }
  const std::string text = listing_of_lists(build_network_lists(17, se, re), 1);
  EXPECT_NE(
      text.find("\r\n xadjcy =    1   3   6   9  12  15  18  21  24  27  30  33  36  39  42\r\n"
                "\r\n xadjcy =   45  48  50\r\n"),
      std::string::npos)
      << text;
}

}  // namespace
}  // namespace dispatch::testing
