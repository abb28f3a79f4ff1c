// Creating the case arrays for new counts.
#include "corvo/case_data.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

TEST(CaseData, CountsGiveArraysOfThatSize) {
  corvo::CaseData c;
  corvo::set_line_count(c, 2);
  corvo::set_bus_count(c, 3);
  EXPECT_EQ(c.nl, 2);
  EXPECT_EQ(c.n, 3);
  for (const auto* line : {&c.se, &c.re}) EXPECT_EQ(line->size(), 2u);
  for (const auto* line : {&c.x, &c.line_upper, &c.line_lower}) EXPECT_EQ(line->size(), 2u);
  EXPECT_EQ(c.bus_type, std::vector<std::int32_t>(3, 0));
  for (const auto* bus :
       {&c.load, &c.constant_cost, &c.linear_cost, &c.quadratic_cost, &c.gen_upper, &c.gen_lower}) {
    EXPECT_EQ(*bus, std::vector<double>(3, 0.0));
  }
}

TEST(CaseData, NewCountsKeepOverlapAndZeroTheRest) {
  corvo::CaseData c;
  corvo::set_line_count(c, 2);
  c.se = {1, 2};
  c.x = {0.1, 0.2};
  corvo::set_line_count(c, 3);
  EXPECT_EQ(c.se, (std::vector<std::int32_t>{1, 2, 0}));
  EXPECT_EQ(c.x, (std::vector<double>{0.1, 0.2, 0.0}));
  corvo::set_line_count(c, 1);
  EXPECT_EQ(c.se, (std::vector<std::int32_t>{1}));

  corvo::set_bus_count(c, 1);
  c.load = {50.0};
  c.gen_lower = {5.0};
  corvo::set_bus_count(c, 2);
  EXPECT_EQ(c.load, (std::vector<double>{50.0, 0.0}));
  EXPECT_EQ(c.gen_lower, (std::vector<double>{5.0, 0.0}));
}

TEST(CaseData, NegativeCountIsRefusedWithoutChange) {
  corvo::CaseData c;
  corvo::set_line_count(c, 2);
  EXPECT_THROW(corvo::set_line_count(c, -1), std::invalid_argument);
  EXPECT_THROW(corvo::set_bus_count(c, -5), std::invalid_argument);
  EXPECT_EQ(c.nl, 2);
  EXPECT_EQ(c.se.size(), 2u);
  EXPECT_EQ(c.n, 0);
}

}  // namespace
