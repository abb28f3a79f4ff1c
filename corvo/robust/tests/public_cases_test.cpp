// Every public case solved by the robust method: the cost within 1e-6
// relative of the independent reference optimum and, where the reference
// solution lists them, every bus price within 1e-3 $/MWh.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "dispatch/case_loader.hpp"
#include "robust/prechecks.hpp"
#include "robust/solver.hpp"

namespace {

namespace fs = std::filesystem;
using corvo::robust::slack::Status;

const fs::path kCases = CORVO_CASES_DIR;

struct PublicCase {
  std::string name;       // key of the reference solution, if it has one
  std::string file;       // relative to cases/
  double reference_cost;  // $/h without constant costs, from the cases' README
};

// The 2869-bus case runs in bench/run_large.py and in corvo solve's tests only, to keep this suite fast.
const PublicCase kPublicCases[] = {
    {"ieee9", "ieee9.dat", 4131.026608},
    {"ieee14", "ieee14.dat", 7642.603500},
    {"ieee30", "ieee30.dat", 565.205966},
    {"ieee39", "ieee39.dat", 41261.940786},
    {"ieee57", "ieee57.dat", 41006.676646},
    {"ieee9t", "variants/ieee9t.dat", 4143.598118},
    {"ieee30t", "variants/ieee30t.dat", 568.980320},
    {"ieee39t", "variants/ieee39t.dat", 41682.471357},
    {"ieee118", "large/ieee118.dat", 125947.877321},
    {"case300", "large/case300.dat", 706293.74},
    {"actv500", "large/actv500.dat", 54404.144},
    {"peg1354", "large/peg1354.dat", 83587.200},
};

class PublicCaseTest : public testing::TestWithParam<PublicCase> {};

// Bus prices of the reference solution ($/MWh, bus order), or none.
std::vector<double> reference_prices(const std::string& name) {
  std::ifstream in(kCases / "reference.json");
  const nlohmann::json all = nlohmann::json::parse(in);
  const auto& cases = all.at("cases");
  if (!cases.contains(name)) return {};
  return cases.at(name).at("lmp").get<std::vector<double>>();
}

TEST_P(PublicCaseTest, CostAndPricesMatchTheReference) {
  const PublicCase& pc = GetParam();
  const dispatch::CaseData data = dispatch::load_case_file(kCases / pc.file);
  EXPECT_TRUE(corvo::robust::precheck_case(data).empty());
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(data);
  const corvo::robust::slack::Solution s = corvo::robust::slack::solve_dispatch_qp(qp);

  ASSERT_EQ(s.status, Status::optimal) << s.message;
  EXPECT_NEAR(s.cost, pc.reference_cost, 1e-6 * pc.reference_cost);
  EXPECT_TRUE(s.angles_at_classic_bound.empty());
  ASSERT_EQ(s.x.size(), static_cast<std::size_t>(qp.nvar));
  ASSERT_EQ(s.y.size(), static_cast<std::size_t>(qp.m));

  // The price of bus i is the dual of its power-balance row, per MW.
  const std::vector<double> prices = reference_prices(pc.name);
  for (std::size_t i = 0; i < prices.size(); ++i) {
    EXPECT_NEAR(s.y[i] / data.sb, prices[i], 1e-3) << "bus " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Robust, PublicCaseTest, testing::ValuesIn(kPublicCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace

namespace {

// Same input, same bits: two solves of one case agree exactly.
TEST(RobustDeterminism, TwoSolvesGiveTheSameBits) {
  const dispatch::DispatchQp qp =
      dispatch::build_dispatch_qp(dispatch::load_case_file(kCases / "large/ieee118.dat"));
  const corvo::robust::slack::Solution first = corvo::robust::slack::solve_dispatch_qp(qp);
  const corvo::robust::slack::Solution second = corvo::robust::slack::solve_dispatch_qp(qp);
  EXPECT_EQ(first.iterations, second.iterations);
  EXPECT_EQ(first.x, second.x);
  EXPECT_EQ(first.y, second.y);
  EXPECT_EQ(first.z, second.z);
}

}  // namespace
