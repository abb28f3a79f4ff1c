// The values talven reads back from the problem file's fields, and the
// case names under which the pipeline's files can be written.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "corvo/classic/pipeline_files.hpp"
#include "records/format.hpp"
#include "solver_problem.hpp"

namespace corvo::classic {
namespace {

struct RealField {
  const char* what;
  double value;
  int width;
  int digits;
  double read_back;
};

const RealField kRealFields[] = {
    {"a third keeps 13 digits", 1.0 / 3.0, 20, 13, 0.3333333333333},
    {"two thirds round up", 2.0 / 3.0, 20, 13, 0.6666666666667},
    {"a susceptance", 1.0 / 0.0576, 20, 13, 17.36111111111},
    {"a per-unit load", 1.25, 20, 13, 1.25},
    {"a negative bound", -2.0, 20, 13, -2.0},
    {"an exponent below -99", 1.0 / 3.0e120, 20, 13, 0.3333333333333e-120},
    {"rho in D10.3", 0.99, 10, 3, 0.99},
    {"bigm in D10.3 keeps 3 digits", 123456.789, 10, 3, 123000.0},
    {"epslgiv in D10.3", 1.0e-35, 10, 3, 1.0e-35},
    {"sigma cut to 3 digits", 0.12345, 10, 3, 0.123},
};

TEST(FieldRoundTrip, RealsReadBackAsTheFieldShowsThem) {
  for (const RealField& f : kRealFields) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(through_real_field(f.value, f.width, f.digits)),
              std::bit_cast<std::uint64_t>(f.read_back))
        << f.what;
  }
}

TEST(FieldRoundTrip, NegativeZeroReadsBackAsZero) {
  const double zero = through_real_field(-0.0, 20, 13);
  EXPECT_EQ(zero, 0.0);
  EXPECT_FALSE(std::signbit(zero));
}

TEST(FieldRoundTrip, IntegersThatFitAreExact) {
  for (std::int32_t v : {0, 1, -1, 99, 500, 2147483647}) EXPECT_EQ(through_integer_field(v, 10), v);
}

TEST(FieldRoundTrip, AnIntegerWiderThanItsFieldIsRefused) {
  EXPECT_THROW(through_integer_field(-2147483647 - 1, 10), records::FieldError);
}

struct NameCase {
  const char* case_file;
  bool usable;
};

const NameCase kNames[] = {
    {"caso1.dat", true},           {"/some/folder/ieee118.dat", true},
    {"abcdefghi.dat", true},       {"abcdefghij.dat", false},
    {"a b.dat", false},            {"caso1.DAT", false},
    {"caso1", false},              {"caso1.dat.bak", false},
    {"orsa.dat", false},           {".dat", false},
};

TEST(PipelineFileNames, OnlyNamesThatOrsaTakesAreUsable) {
  for (const NameCase& c : kNames) {
    if (c.usable) {
      EXPECT_NO_THROW(pipeline_file_names(c.case_file)) << c.case_file;
    } else {
      EXPECT_THROW(pipeline_file_names(c.case_file), PipelineFilesError) << c.case_file;
    }
  }
}

TEST(PipelineFileNames, AreTheFilesOfOrsaAndTalven) {
  EXPECT_EQ(pipeline_file_names("work/caso1.dat"),
            (std::vector<std::string>{"caso1.lst", "orsa.ip", "orsa.flw", "caso1.ip", "talven.flw"}));
}

}  // namespace
}  // namespace corvo::classic
