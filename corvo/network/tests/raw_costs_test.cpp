// The costs file of RAW networks: plain CSV `bus,id,c2,c1,c0`.
#include <gtest/gtest.h>

#include <string>

#include "corvo/network/raw_reader.hpp"

namespace corvo::network {
namespace {

TEST(GeneratorCostsFile, ReadsRowsWithQuotesBlankLinesAndCarriageReturns) {
  const GeneratorCosts costs =
      read_generator_costs("bus,id,c2,c1,c0\r\n1002,W1,0.02,12,0\r\n\r\n 7 , \"A,1\" ,0,1.5E1,-3\r\n", "c.csv");
  EXPECT_EQ(costs.source, "c.csv");
  ASSERT_EQ(costs.rows.size(), 2u);
  EXPECT_EQ(costs.rows[0].bus, 1002);
  EXPECT_EQ(costs.rows[0].id, "W1");
  EXPECT_EQ(costs.rows[0].c2, 0.02);
  EXPECT_EQ(costs.rows[0].c1, 12.0);
  EXPECT_EQ(costs.rows[0].c0, 0.0);
  EXPECT_EQ(costs.rows[0].line, 2);
  EXPECT_EQ(costs.rows[1].bus, 7);
  EXPECT_EQ(costs.rows[1].id, "A,1");
  EXPECT_EQ(costs.rows[1].c1, 15.0);
  EXPECT_EQ(costs.rows[1].c0, -3.0);
  EXPECT_EQ(costs.rows[1].line, 4);
}

struct BadCosts {
  const char* text;
  const char* message;
};

class GeneratorCostsRefusal : public testing::TestWithParam<BadCosts> {};

TEST_P(GeneratorCostsRefusal, NamesLineAndField) {
  try {
    read_generator_costs(GetParam().text, "c.csv");
    FAIL() << GetParam().text;
  } catch (const RawError& e) {
    EXPECT_STREQ(e.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneratorCostsRefusal,
    testing::Values(
        BadCosts{"", "c.csv: no header bus,id,c2,c1,c0 (the file is empty)"},
        BadCosts{"bus,id,c1,c2,c0\n", "c.csv: line 1: the header must be bus,id,c2,c1,c0 (found 'bus,id,c1,c2,c0')"},
        BadCosts{"bus,id,c2,c1,c0\n1,1,0,10\n", "c.csv: line 2: 4 fields; a row has 5 (bus,id,c2,c1,c0)"},
        BadCosts{"bus,id,c2,c1,c0\n0,1,0,10,0\n", "c.csv: line 2: field bus: '0' is not a bus number"},
        BadCosts{"bus,id,c2,c1,c0\n1,,0,10,0\n", "c.csv: line 2: field id: the machine id is empty"},
        BadCosts{"bus,id,c2,c1,c0\n1,1,0,ten,0\n", "c.csv: line 2: field c1: 'ten' is not a finite number"},
        BadCosts{"bus,id,c2,c1,c0\n1,1,-0.1,10,0\n",
                 "c.csv: line 2: field c2: -0.1 is negative: the cost would not be convex"},
        BadCosts{"bus,id,c2,c1,c0\n1,1,0,10,0\n1, 1 ,0,11,0\n",
                 "c.csv: line 3: a second row for the generator at bus 1 with machine id '1' (the first is on line 2)"},
        BadCosts{"bus,id,c2,c1,c0\n1,\"1,0,10,0\n", "c.csv: line 2: a quoted field without its closing quote"}));

TEST(GeneratorCostsFile, MissingFileIsNamed) {
  EXPECT_THROW(read_generator_costs_file("/nonexistent/x.costs.csv"), RawError);
}

}  // namespace
}  // namespace corvo::network
