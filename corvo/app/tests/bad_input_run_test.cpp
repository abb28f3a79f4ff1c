// corvo run on inputs and outputs that are not what they should be: every
// one ends with exit status 2 and a message naming the file and what is
// wrong, without hanging, aborting, or touching a file it must not touch.
#include <sys/stat.h>

#include "run_folder.hpp"

namespace {

using run_folder::RunFolder;
namespace fs = std::filesystem;

constexpr int kInputError = 2;

// A folder with ieee9.dat solved by orsa and talven, case9.m, a FIFO
// pipe.m and pipe.dat, a directory dir.m and a file huge.m of 300 MB that
// takes no room (sparse).
void set_up(const RunFolder& f) {
  fs::copy_file(run_folder::kCases / "ieee9.dat", f.path() / "ieee9.dat");
  fs::copy_file(run_folder::kCases / "matpower" / "case9.m", f.path() / "case9.m");
  ASSERT_EQ(mkfifo((f.path() / "pipe.m").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((f.path() / "pipe.dat").c_str(), 0600), 0);
  fs::create_directory(f.path() / "dir.m");
  run_folder::write_file(f.path() / "huge.m", "");
  fs::resize_file(f.path() / "huge.m", std::uintmax_t{300} << 20);
  f.solve("ieee9");
}

struct BadRun {
  const char* name;
  const char* command;   // corvo's arguments and any shell redirection; run with a time limit
  const char* message;   // what standard error says
  const char* env = "";  // variables set for the run
};

void PrintTo(const BadRun& r, std::ostream* os) { *os << r.name; }

class CorvoBadRun : public ::testing::TestWithParam<BadRun> {};

TEST_P(CorvoBadRun, EndsWithAnInputErrorNamingTheCause) {
  RunFolder f;
  set_up(f);
  const std::string flow_before = run_folder::read_file(f.path() / "talven.flw");
  // In braces, so that a redirection of the row's own comes after those of
  // the run and wins.
  const int status = f.run(
      std::string("{ ") + GetParam().env + " timeout 20 '" + CORVO_EXE + "' " + GetParam().command + "; }", "corvo");
  EXPECT_EQ(status, kInputError) << f.err("corvo");
  EXPECT_NE(f.err("corvo").find(GetParam().message), std::string::npos) << f.err("corvo");
  // Nothing it read was replaced, and the nodes are still what they were.
  EXPECT_EQ(run_folder::read_file(f.path() / "talven.flw"), flow_before);
  EXPECT_TRUE(fs::is_fifo(f.path() / "pipe.dat"));
  EXPECT_TRUE(fs::is_fifo(f.path() / "pipe.m"));
  EXPECT_FALSE(fs::exists(f.path() / "out.dat"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CorvoBadRun,
    ::testing::Values(
        // Inputs that are not regular files: a FIFO would block, /dev/zero
        // never ends, a directory reads as nothing.
        BadRun{"ImportFifo", "import pipe.m -o out.dat", "pipe.m: a FIFO (named pipe), not a regular file"},
        BadRun{"ImportDevZero", "import /dev/zero -o out.dat", "/dev/zero: a character device, not a regular file"},
        BadRun{"ImportDirectory", "import dir.m -o out.dat", "dir.m: a directory, not a regular file"},
        BadRun{"ImportTooLarge", "import huge.m -o out.dat",
               "huge.m: the file holds 314572800 bytes; files of more than 268435456 bytes are not read"},
        BadRun{"SolveFifo", "solve pipe.dat", "pipe.dat: a FIFO (named pipe), not a regular file"},
        BadRun{"SolveMatpowerFifo", "solve pipe.m", "pipe.m: a FIFO (named pipe), not a regular file"},
        BadRun{"SolveDirectory", "solve dir.m", "dir.m: a directory, not a regular file"},
        BadRun{"ReportCaseFifo", "report pipe", "pipe.dat: a FIFO (named pipe), not a regular file"},
        // Output targets that are not regular files: a rename would replace
        // the node itself.
        BadRun{"ImportOverFifo", "import case9.m -o pipe.dat --force", "pipe.dat: a FIFO (named pipe), not a regular file; it is not replaced"},
        BadRun{"ImportOverDevice", "import case9.m -o /dev/null --force",
               "/dev/null: a character device, not a regular file; it is not replaced"},
        // The folder for temporary files missing or a file.
        BadRun{"TmpdirMissingSolve", "solve ieee9.dat", "(TMPDIR=/nonexistent/corvo) is missing or not a folder",
               "TMPDIR=/nonexistent/corvo"},
        BadRun{"TmpdirFileClassicMatpower", "solve --method classic case9.m", "(TMPDIR=ieee9.dat) is missing or not a folder",
               "TMPDIR=ieee9.dat"},
        BadRun{"TmpdirMissingReport", "report ieee9", "(TMPDIR=/nonexistent/corvo) is missing or not a folder",
               "TMPDIR=/nonexistent/corvo"},
        BadRun{"TmpdirMissingImport", "import case9.m -o out.dat",
               "(TMPDIR=/nonexistent/corvo) is missing or not a folder", "TMPDIR=/nonexistent/corvo"},
        // Standard output that cannot take the results, in every format.
        BadRun{"SolveTextFull", "solve ieee9.dat > /dev/full", "standard output: the results could not be written"},
        BadRun{"SolveJsonFull", "solve --format json ieee9.dat > /dev/full",
               "standard output: the results could not be written"},
        BadRun{"SolveMatpowerJsonClosed", "solve --format json case9.m >&-",
               "standard output: the results could not be written"},
        BadRun{"ReportTextClosed", "report ieee9 >&-", "standard output: the results could not be written"},
        BadRun{"ReportJsonFull", "report --format json ieee9 > /dev/full",
               "standard output: the results could not be written"}),
    [](const auto& info) { return std::string(info.param.name); });

// A table of the CSV output named like the case file it was solved from
// would replace it: refused before any table is written.
TEST(CorvoBadRunCsv, NeverReplacesItsInput) {
  RunFolder f;
  fs::copy_file(run_folder::kCases / "ieee9.dat", f.path() / "lines.csv");
  EXPECT_EQ(f.corvo("solve --format csv --output . lines.csv"), kInputError);
  EXPECT_NE(f.err("corvo").find("lines.csv: the table would replace the input file lines.csv"), std::string::npos)
      << f.err("corvo");
  EXPECT_EQ(run_folder::read_file(f.path() / "lines.csv"), run_folder::read_file(run_folder::kCases / "ieee9.dat"));
  EXPECT_FALSE(fs::exists(f.path() / "summary.csv"));
}

// The iteration count of ieee9's flow file is record 22: the flag, the
// sizes, 35 variables and 33 duals four to a record (9 + 9), the cost.
TEST(CorvoBadRunFlow, NegativeIterationCountIsRefusedNamingTheRecord) {
  RunFolder f;
  fs::copy_file(run_folder::kCases / "ieee9.dat", f.path() / "ieee9.dat");
  f.solve("ieee9");
  std::string flow = run_folder::read_file(f.path() / "talven.flw");
  std::size_t at = 0;
  for (int record = 1; record < 22; ++record) at = flow.find('\n', at) + 1;
  ASSERT_EQ(flow.substr(at, 7), "   12\r\n");
  flow.replace(at, 5, "  -12");
  run_folder::write_file(f.path() / "talven.flw", flow);
  EXPECT_EQ(f.corvo("report ieee9"), kInputError);
  EXPECT_EQ(f.err("corvo"), "corvo report: ./talven.flw: record 22: the iteration count -12 is negative\n");
}

}  // namespace
