// The classic method against the real programs: on every public case, orsa
// then talven run as executables in one folder, the library's file mode in
// another; every file must be the same byte for byte, the in-memory result
// must be what talven.flw holds, and the problem the method iterates on
// must be, bit for bit, what talven reads from orsa.ip.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "corvo/classic/classic_method.hpp"
#include "corvo/classic/pipeline_files.hpp"
#include "dispatch/case_loader.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "dispatch/network_lists.hpp"
#include "dispatch/network_matrices.hpp"
#include "fixed_fields.hpp"
#include "records/format.hpp"
#include "records/records.hpp"
#include "run_folder.hpp"
#include "solver_problem.hpp"
#include "talven/problem_file.hpp"
#include "talven/units.hpp"

namespace corvo::classic {
namespace {

namespace fs = std::filesystem;
using testing::file_bytes;
using testing::run_program_in;
using testing::RunFolder;

const fs::path kOrsa = ORSA_EXE;
const fs::path kTalven = TALVEN_EXE;
const fs::path kCases = CORVO_CASES_DIR;

// One bus and no angle variable: the problem file has no lower-bound
// record.
constexpr const char* kSingleBus =
    "Uma barra\n"
    "         1         1    100.00\n"
    "         1         1      0.10    100.00   -100.00\n"
    "         2\n"
    "     20.00      0.00     10.00  0.010000    200.00      0.00\n"
    "       100       150\n"
    "       500       500\n"
    "        20         0   1.0E-10   1.0E-35   1.0E-06   1.0E-10\n"
    "      0.99   1.0E+05   1.0E-01\n";

struct ClassicCase {
  const char* name;
  const char* file;   // under cases/, or nullptr for a case written from `text`
  const char* text;   // the case file itself when `file` is nullptr
};

const ClassicCase kCasesTable[] = {
    {"caso1", "caso1.dat", nullptr},
    {"ieee9", "ieee9.dat", nullptr},
    {"ieee14", "ieee14.dat", nullptr},
    {"ieee30", "ieee30.dat", nullptr},
    {"ieee39", "ieee39.dat", nullptr},
    {"ieee57", "ieee57.dat", nullptr},
    {"ieee9t", "variants/ieee9t.dat", nullptr},
    {"ieee30t", "variants/ieee30t.dat", nullptr},
    {"ieee39t", "variants/ieee39t.dat", nullptr},
    {"ieee118", "large/ieee118.dat", nullptr},
    {"um", nullptr, kSingleBus},
};

void PrintTo(const ClassicCase& c, std::ostream* os) { *os << c.name; }

// Puts the case into `dir` as NAME.dat.
void place_case(const ClassicCase& c, const fs::path& dir) {
  const fs::path target = dir / (std::string(c.name) + ".dat");
  if (c.file == nullptr) {
    std::ofstream(target, std::ios::binary) << c.text;
  } else {
    fs::copy_file(kCases / c.file, target);
  }
}

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

class ClassicPipeline : public ::testing::TestWithParam<ClassicCase> {
 protected:
  void SetUp() override {
    place_case(GetParam(), program_folder_.path());
    place_case(GetParam(), library_folder_.path());
  }
  // orsa then talven, as executables, in the program folder.
  void run_programs() {
    const std::string name = GetParam().name;
    ASSERT_EQ(run_program_in(program_folder_.path(), kOrsa, name + "\n", log_folder_.path() / "orsa"), 0)
        << file_bytes(log_folder_.path() / "orsa.err");
    ASSERT_EQ(run_program_in(program_folder_.path(), kTalven, "", log_folder_.path() / "talven"), 0)
        << file_bytes(log_folder_.path() / "talven.err");
  }
  fs::path program_file(const std::string& name) const { return program_folder_.path() / name; }
  fs::path library_case() const { return library_folder_.path() / (std::string(GetParam().name) + ".dat"); }

  RunFolder program_folder_;
  RunFolder library_folder_;
  RunFolder log_folder_;
};

// The fields of talven.flw as the real talven wrote them.
struct FlowFields {
  int flag = 0, n = 0, m = 0, k = 0;
  std::vector<std::string> x, y, cost, last;
};

FlowFields read_flow_fields(const fs::path& path) {
  const std::vector<std::string> recs = fixed_fields::records_of(file_bytes(path));
  fixed_fields::FieldReader in(recs, 0);
  FlowFields f;
  f.flag = in.integers(1, 16, 5).at(0);
  const std::vector<int> sizes = in.integers(2, 16, 5);
  f.n = sizes.at(0);
  f.m = sizes.at(1);
  f.x = in.fields(static_cast<std::size_t>(f.n), 4, 20);
  f.y = in.fields(static_cast<std::size_t>(f.m), 4, 20);
  f.cost = in.fields(1, 4, 20);
  f.k = in.integers(1, 16, 5).at(0);
  f.last = in.fields(5, 4, 20);
  return f;
}

std::string flow_field(double v) { return records::render_exponent(v, 20, 8); }

// The dual slacks as the case report prints them ("(5F16.4)") after the
// header of the final report.
std::vector<std::string> report_slacks(const fs::path& report, std::size_t n) {
  const std::vector<std::string> recs = fixed_fields::records_of(file_bytes(report));
  std::size_t at = 0;
  while (at < recs.size() && recs[at].find("Dual Slacks") == std::string::npos) ++at;
  ++at;
  while (at < recs.size() && recs[at].empty()) ++at;
  fixed_fields::FieldReader in(recs, at);
  return in.fields(n, 5, 16);
}

TEST_P(ClassicPipeline, WritesTheFilesOfOrsaAndTalvenByteForByte) {
  run_programs();
  const ClassicResult result = solve_and_write_pipeline_files(library_case());
  EXPECT_NE(result.outcome, Outcome::Failed) << result.message;
  for (const std::string& name : pipeline_file_names(library_case())) {
    EXPECT_TRUE(file_bytes(program_file(name)) == file_bytes(library_folder_.path() / name))
        << name << " differs";
  }
  // Nothing else is left in the folder: the case file and the five files.
  EXPECT_EQ(std::distance(fs::directory_iterator(library_folder_.path()), fs::directory_iterator()), 6);
}

TEST_P(ClassicPipeline, InMemoryResultIsWhatTalvenWrites) {
  run_programs();
  const ClassicResult r = solve_case_file(library_case());
  ASSERT_NE(r.outcome, Outcome::Failed) << r.message;
  std::cout << GetParam().name << ": " << (r.outcome == Outcome::Converged ? "converged" : "iteration limit")
            << " at k = " << r.iterations << ", cost " << flow_field(r.cost) << "\n";

  const FlowFields f = read_flow_fields(program_file("talven.flw"));
  EXPECT_EQ(f.flag, r.outcome == Outcome::Converged ? 1 : 0);
  ASSERT_EQ(f.n, r.n);
  ASSERT_EQ(f.m, r.m);
  ASSERT_EQ(r.x.size(), static_cast<std::size_t>(r.n));
  ASSERT_EQ(r.y.size(), static_cast<std::size_t>(r.m));
  for (std::size_t j = 0; j < r.x.size(); ++j) ASSERT_EQ(f.x[j], flow_field(r.x[j])) << "x(" << j + 1 << ")";
  for (std::size_t i = 0; i < r.y.size(); ++i) ASSERT_EQ(f.y[i], flow_field(r.y[i])) << "y(" << i + 1 << ")";
  EXPECT_EQ(f.cost.at(0), flow_field(r.cost));
  EXPECT_EQ(f.k, r.iterations);
  const double last[] = {r.mu, r.gap, r.primal_index, r.dual_index, r.epsln};
  for (std::size_t e = 0; e < 5; ++e) EXPECT_EQ(f.last[e], flow_field(last[e])) << "entry " << e + 1 << " of the last record";

  const std::vector<std::string> z =
      report_slacks(program_file(std::string(GetParam().name) + ".ip"), r.z.size());
  for (std::size_t j = 0; j < r.z.size(); ++j) {
    ASSERT_EQ(z[j], records::render_fixed(r.z[j], 16, 4)) << "z(" << j + 1 << ")";
  }
}

// talven's own reader on orsa.ip against the problem the method builds.
TEST_P(ClassicPipeline, IteratesOnTheProblemTalvenReads) {
  const std::string name = GetParam().name;
  ASSERT_EQ(run_program_in(program_folder_.path(), kOrsa, name + "\n", log_folder_.path() / "orsa"), 0);
  std::istringstream no_input;
  std::ostringstream console;
  records::Records io(no_input, console);
  talven::Problem read;
  io.open(talven::kProblemUnit, program_file("orsa.ip").string(), records::Status::Old);
  io.open(talven::kReportUnit, (log_folder_.path() / "echo.ip").string(), records::Status::Unknown);
  io.read(talven::kProblemUnit, "(a)", read.case_name);
  io.read(talven::kProblemUnit, "(a80)", read.title);
  talven::read_and_echo(io, read);

  const dispatch::CaseData data = dispatch::load_case_file(library_case());
  const dispatch::NetworkLists lists = dispatch::build_network_lists(data.n, data.se, data.re);
  const SolverProblem built =
      solver_problem(dispatch::build_dispatch_qp(data, lists, dispatch::build_bmat(lists, data.x)), data.parameters);

  ASSERT_EQ(built.m, read.m);
  ASSERT_EQ(built.n, read.n);
  EXPECT_EQ(built.dims.ndp, read.ndp);
  EXPECT_EQ(built.dims.ndc, read.ndc);
  const auto same_bits = [](const std::vector<double>& a, const std::vector<double>& b, const char* what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t j = 0; j < a.size(); ++j) ASSERT_EQ(bits(a[j]), bits(b[j])) << what << "(" << j + 1 << ")";
  };
  same_bits(built.c, read.c, "c");
  same_bits(built.q, read.q, "q");
  same_bits(built.b, read.b, "b");
  same_bits(built.x0, read.x, "x");
  same_bits(built.lb, read.lb, "lb");
  EXPECT_EQ(built.negative, read.negative);
  for (int i = 0; i < read.m; ++i) {
    for (int j = 0; j < read.n; ++j) {
      ASSERT_EQ(bits(built.a(i, j)), bits(read.a(i, j))) << "A(" << i + 1 << "," << j + 1 << ")";
    }
  }
  const double built_parameters[] = {built.rho, built.epsln, built.bigm, built.sigma, built.epslnp, built.epslgiv};
  const double read_parameters[] = {read.rho, read.epsln, read.bigm, read.sigma, read.epslnp, read.epslgiv};
  for (std::size_t e = 0; e < 6; ++e) EXPECT_EQ(bits(built_parameters[e]), bits(read_parameters[e])) << "parameter " << e;
  EXPECT_EQ(built.maxit, read.maxit);
  EXPECT_EQ(built.iprint, read.iprint);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClassicPipeline, ::testing::ValuesIn(kCasesTable),
                         [](const auto& info) { return std::string(info.param.name); });

// A case orsa refuses is refused before any file is written: a listing of
// an earlier run in the folder stays as it was.
TEST(ClassicPipelineFiles, RefusedCaseWritesNothing) {
  RunFolder folder;
  std::string zero_reactance = file_bytes(kCases / "caso1.dat");
  const std::size_t at = zero_reactance.find("      0.10");
  ASSERT_NE(at, std::string::npos);
  zero_reactance.replace(at, 10, "      0.00");
  std::ofstream(folder.path() / "caso1.dat", std::ios::binary) << zero_reactance;
  std::ofstream(folder.path() / "caso1.lst", std::ios::binary) << "earlier listing\r\n";

  EXPECT_THROW(solve_and_write_pipeline_files(folder.path() / "caso1.dat"), dispatch::CaseFileError);
  EXPECT_EQ(file_bytes(folder.path() / "caso1.lst"), "earlier listing\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

TEST(ClassicPipelineFiles, RefusedNameWritesNothing) {
  RunFolder folder;
  fs::copy_file(kCases / "caso1.dat", folder.path() / "orsa.dat");
  EXPECT_THROW(solve_and_write_pipeline_files(folder.path() / "orsa.dat"), PipelineFilesError);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

// A step factor rho of 1.0E+30 throws the iterate far out until the gap is
// no longer finite: talven reports the failure and writes no flow record,
// and the method must fail with the same message and the same files.
TEST(ClassicPipelineFiles, FailedRunGivesTalvensMessageAndFiles) {
  std::string case_text = file_bytes(kCases / "caso1.dat");
  const std::size_t at = case_text.find("      0.99");
  ASSERT_NE(at, std::string::npos);
  case_text.replace(at, 10, "   1.0E+30");
  RunFolder programs, library, logs;
  for (const RunFolder* folder : {&programs, &library}) {
    std::ofstream(folder->path() / "caso1.dat", std::ios::binary) << case_text;
  }
  ASSERT_EQ(run_program_in(programs.path(), kOrsa, "caso1\n", logs.path() / "orsa"), 0);
  ASSERT_EQ(run_program_in(programs.path(), kTalven, "", logs.path() / "talven"), 0);

  const ClassicResult r = solve_and_write_pipeline_files(library.path() / "caso1.dat");
  ASSERT_EQ(r.outcome, Outcome::Failed);
  EXPECT_NE(file_bytes(programs.path() / "caso1.ip").find("*** Error - " + r.message + " ***"), std::string::npos)
      << r.message;
  for (const std::string& name : pipeline_file_names(library.path() / "caso1.dat")) {
    EXPECT_TRUE(file_bytes(programs.path() / name) == file_bytes(library.path() / name)) << name << " differs";
  }
}

}  // namespace
}  // namespace corvo::classic
