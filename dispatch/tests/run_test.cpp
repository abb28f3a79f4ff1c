// Whole runs of orsa in a scratch directory: the console dialogue, the
// file names, the stops on bad cases and the three output files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "orsa_test_support.hpp"
#include "records/records.hpp"

namespace dispatch::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCases = CORVO_CASES_DIR;
const fs::path kGolden = ORSA_GOLDEN_DIR;

// The console text of the prompt: three empty lines, the caption, the
// underline, three empty lines and the prompt itself, left open by "$".
const std::string kPrompt =
    "\n\n\n          Input name of data file:  \n          -----------------------\n\n\n"
    "                     File:____________";
const std::string kNotFound = "\n\n\n\nFile not found; Enter new file name ? (y/n) \n";
const std::string kStop = "Stop - Program terminated.\n";

// The two-bus case caso1 in the case editor's formats; each record can be
// replaced to make a bad case.
struct CaseText {
  std::string title = "Caso exemplo: duas barras\r\n";
  std::string sizes = "         2         1    100.00\r\n";
  std::string lines = "         1         2      0.10    100.00   -100.00\r\n";
  std::string types = "         2         0\r\n";
  std::string buses =
      "      0.00      0.00     10.00  0.010000    200.00      0.00\r\n"
      "     50.00\r\n";
  std::string parameters =
      "       100       150\r\n"
      "       500       500\r\n"
      "        20         0   1.0E-10   1.0E-35   1.0E-06   1.0E-10\r\n"
      "      0.99   1.0E+05   1.0E-01\r\n";
  std::string text() const { return title + sizes + lines + types + buses + parameters; }
};

// The listing's error message: "(/,/,' ** Error - ',A,' **',/,/)" writes
// two empty records, the text and two more empty records.
std::string listing_error(const std::string& text) {
  return "\r\n\r\n ** Error - " + text + " **\r\n\r\n\r\n";
}

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(OrsaRun, BundledCaso1IsTheTwoBusCaseInTheEditorsFormats) {
  EXPECT_EQ(read_file(kCases / "caso1.dat"), CaseText{}.text());
}

// ---- Golden files ----------------------------------------------------------
//
// The golden files hold the exact bytes of the three outputs: every record
// ends with CR LF; text fields keep their trailing blanks (the case name
// fills 14 columns, the title 80); reals follow the D rendering (a point,
// the digits, D and a two-digit exponent, right-justified), e.g. 100 under
// D13.4 is four blanks and .1000D+03, -10 under D20.13 is one blank and
// -.1000000000000D+02; a list longer than its template goes on in new
// records of the same layout (four values per record under 4D20.13, so a
// row of six variables takes two records). The problem file of caso1 is
// the two-bus program: six rows over six variables, costs 0, 1000, 0...
// and 0, 100, 0..., guess 0, 1, 0..., flags 1, 0..., one bound -2.
// ieee9 has nine buses, so its bus types take two records (8 + 1). Its
// program has 35 variables (8 angles, 3 x 3 generator columns, 2 x 9 line
// columns), so every row takes nine records (8 x 4 + 3), and 33 rows in
// blocks: the balances of buses 1..9, the upper limits of generators 1..3
// (rows 10-12: -1 in the generator's column and in its upper slack's,
// right-hand side -Pmax), their lower limits (rows 13-15), the upper flow
// limits of lines 1..9 (rows 16-24: -y at the sending end, +y at the
// receiving end, -1 in the slack, right-hand side -limit) and their lower
// flow limits (rows 25-33); the right-hand side follows the same order.

struct GoldenCase {
  const char* name;
  fs::path case_file;
};

class OrsaGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(OrsaGolden, ListingProblemFileAndFlowDataFileMatchByteForByte) {
  const GoldenCase& g = GetParam();
  ScratchDirectory dir;
  fs::copy_file(kCases / g.case_file, std::string(g.name) + ".dat");
  const RunResult r = run_orsa_with(std::string(g.name) + "\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.console, kPrompt + "\n" + kStop);
  EXPECT_EQ(r.errors, "");
  EXPECT_EQ(read_file(std::string(g.name) + ".lst"),
            read_file(kGolden / (std::string(g.name) + ".lst")));
  EXPECT_EQ(read_file("orsa.ip"), read_file(kGolden / (std::string(g.name) + "_orsa.ip")));
  EXPECT_EQ(read_file("orsa.flw"), read_file(kGolden / (std::string(g.name) + "_orsa.flw")));
}

INSTANTIATE_TEST_SUITE_P(Cases, OrsaGolden,
                         ::testing::Values(GoldenCase{"caso1", "caso1.dat"},
                                           GoldenCase{"ieee9", "ieee9.dat"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Console dialogue and file names -------------------------------------

TEST(OrsaDialogue, MissingFileAndAnswersOtherThanYesStopWithoutOpeningAnything) {
  for (const char* answer : {"n", "N", "", "x", "no"}) {
    ScratchDirectory dir;
    const RunResult r = run_orsa_with(std::string("nosuch\n") + answer + "\n");
    EXPECT_EQ(r.status, 0) << answer;
    EXPECT_EQ(r.console, kPrompt + "\n" + kNotFound + kStop) << answer;
    EXPECT_TRUE(fs::is_empty(dir.path())) << answer;
  }
}

TEST(OrsaDialogue, YesShowsThePromptAgain) {
  for (const char* answer : {"y", "Y"}) {
    ScratchDirectory dir;
    write_file("caso1.dat", CaseText{}.text());
    const RunResult r = run_orsa_with(std::string("nosuch\n") + answer + "\ncaso1\n");
    EXPECT_EQ(r.status, 0) << answer;
    EXPECT_EQ(r.console, kPrompt + "\n" + kNotFound + kPrompt + "\n" + kStop) << answer;
    EXPECT_TRUE(fs::exists("caso1.lst")) << answer;
  }
}

TEST(OrsaDialogue, NameWithoutBlankInItsFirstTenCharactersIsRefused) {
  ScratchDirectory dir;
  // Without an extension the listing would be created on this very file.
  const std::string user_file = CaseText{}.text();
  write_file("abcdefghij", user_file);
  write_file("caso1.dat", CaseText{}.text());
  const RunResult r = run_orsa_with("abcdefghij\ncaso1\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(
      r.console,
      kPrompt +
          "\n\n\n\n\nName too long: a case name has at most 9 characters; enter a new name\n" +
          kPrompt + "\n" + kStop);
  EXPECT_EQ(read_file("abcdefghij"), user_file);
  EXPECT_TRUE(fs::exists("caso1.lst"));
}

TEST(OrsaDialogue, ConsoleInputEndingInTheDialogueIsARunTimeError) {
  ScratchDirectory dir;
  const RunResult r = run_orsa_with("nosuch\ny\n");
  EXPECT_EQ(r.status, records::kRunTimeErrorStatus);
  EXPECT_NE(r.errors, "");
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(OrsaDialogue, FileNamesFollowTheTypedName) {
  struct NameCase {
    std::string typed, case_file, listing, case_record, out_record;
  };
  const std::vector<NameCase> cases = {
      {"caso1", "caso1.dat", "caso1.lst", "caso1         ", "caso1.out     "},
      {"abcdefghi", "abcdefghi.dat", "abcdefghi.lst", "abcdefghi     ", "abcdefghi.out "},
      {"caso1.dat", "caso1.dat.dat", "caso1.dat.lst", "caso1.dat     ", "caso1.dat.out "},
      {"", ".dat", ".lst", "              ", ".out          "},
      {"a23456789012345678", "a23456789012345678", "", "", ""},  // refused; input then ends
  };
  for (const NameCase& c : cases) {
    ScratchDirectory dir;
    write_file(c.case_file, CaseText{}.text());
    const RunResult r = run_orsa_with(c.typed + "\n");
    if (c.listing.empty()) {
      EXPECT_EQ(r.status, records::kRunTimeErrorStatus) << c.typed;
      EXPECT_EQ(read_file(c.case_file), CaseText{}.text());
      continue;
    }
    EXPECT_EQ(r.status, 0) << c.typed;
    EXPECT_TRUE(fs::exists(c.listing)) << c.typed;
    const std::string ip = read_file("orsa.ip");
    EXPECT_EQ(ip.substr(0, 16), c.case_record + "\r\n") << c.typed;
    const std::string flw = read_file("orsa.flw");
    EXPECT_EQ(flw.substr(0, 16), c.out_record + "\r\n") << c.typed;
  }
}

// ---- Stops on bad cases ----------------------------------------------------

struct BadCase {
  const char* what;
  CaseText text;
  std::string listing_tail;  // what the listing ends with
};

std::vector<BadCase> bad_cases() {
  std::vector<BadCase> v;
  auto add = [&](const char* what, auto change, std::string tail) {
    CaseText t;
    change(t);
    v.push_back({what, t, std::move(tail)});
  };
  add(
      "isolated bus",
      [](CaseText& t) {
        t.sizes = "         3         1    100.00\n";
        t.types = "         2         0         0\n";
        t.buses += "     10.00\n";
      },
      "\r\n\r\n ** Error in Adjacency list **\r\n\r\n\r\n");
  add(
      "no lines",
      [](CaseText& t) {
        t.sizes = "         2         0    100.00\n";
        t.lines = "";
      },
      "\r\n\r\n ** Error in Adjacency list **\r\n\r\n\r\n");
  add(
      "zero reactance",
      [](CaseText& t) { t.lines = "         1         2      0.00    100.00   -100.00\n"; },
      "\r\n\r\n *** Error - Reactance of line  1 -  2 is equal to zero ***\r\n\r\n\r\n");
  add(
      "zero reactance on the second line reports that line",
      [](CaseText& t) {
        t.sizes = "         2         2    100.00\n";
        t.lines += "         2         1      0.00    100.00   -100.00\n";
      },
      "\r\n\r\n *** Error - Reactance of line  2 -  1 is equal to zero ***\r\n\r\n\r\n");
  add(
      "no bus", [](CaseText& t) { t.sizes = "         0         1    100.00\n"; },
      listing_error("Number of buses n = 0 is less than 1"));
  add(
      "negative line count", [](CaseText& t) { t.sizes = "         2        -1    100.00\n"; },
      listing_error("Number of lines nl = -1 is negative"));
  add(
      "zero base power", [](CaseText& t) { t.sizes = "         2         1      0.00\n"; },
      listing_error("Base power Sb is equal to zero"));
  // Per unit: limits and loads divided by Sb, linear costs times Sb,
  // quadratic costs times Sb squared. Sb = 1.0D+307 squared overflows, so
  // the quadratic cost 0.01 of bus 1 becomes Infinity; with 1.0D+308 the
  // linear cost 10 does first (the limits 200/Sb and 0/Sb are finite);
  // with 1.0D-308 the first line limit 100/Sb does.
  add(
      "base power overflowing the quadratic cost",
      [](CaseText& t) { t.sizes = "         2         1  1.0D+307\n"; },
      listing_error("Bus 1: quadratic cost 0.01 is not finite in per unit (Sb = 1e+307)"));
  add(
      "base power overflowing the linear cost",
      [](CaseText& t) { t.sizes = "         2         1  1.0D+308\n"; },
      listing_error("Bus 1: linear cost 10 is not finite in per unit (Sb = 1e+308)"));
  add(
      "tiny base power overflowing a line limit",
      [](CaseText& t) { t.sizes = "         2         1  1.0D-308\n"; },
      listing_error("Line 1: upper limit 100 is not finite in per unit (Sb = 1e-308)"));
  // 1.0D-320 is a denormal whose reciprocal overflows (the nearest denormal
  // shows as 9.99989e-321 with six digits). Two parallel lines
  // of 1.0D-308 each have a finite susceptance 1.0D+308, but their sum in
  // Bmat, and so the coefficient of the angle of bus 2 in the balance of
  // bus 1, A(1,1), overflows.
  add(
      "reactance without a finite susceptance",
      [](CaseText& t) { t.lines = "         1         2  1.0D-320    100.00   -100.00\n"; },
      listing_error("Line 1: reactance 9.99989e-321 has no finite susceptance 1/x"));
  add(
      "parallel lines whose susceptances overflow in their sum",
      [](CaseText& t) {
        t.sizes = "         2         2    100.00\n";
        t.lines = "         1         2  1.0D-308    100.00   -100.00\n"
                  "         1         2  1.0D-308    100.00   -100.00\n";
      },
      listing_error("Problem entry A(1,1) is not finite"));
  add(
      "se outside the buses",
      [](CaseText& t) { t.lines = "         0         2      0.10    100.00   -100.00\n"; },
      listing_error("Line 1: bus se = 0 is not within 1 to 2"));
  add(
      "re outside the buses",
      [](CaseText& t) { t.lines = "         1         3      0.10    100.00   -100.00\n"; },
      listing_error("Line 1: bus re = 3 is not within 1 to 2"));
  add(
      "bus of type 4 with a long record",
      [](CaseText& t) {
        t.types = "         2         4\n";
        t.buses =
            "      0.00      0.00     10.00  0.010000    200.00      0.00\n"
            "     50.00      0.00     10.00  0.010000    200.00      0.00\n";
      },
      listing_error("Bus 2: type 4 is not within 0 to 3"));
  add(
      "negative bus type", [](CaseText& t) { t.types = "        -1         2\n"; },
      listing_error("Bus 1: type -1 is not within 0 to 3"));
  add(
      "no reference bus", [](CaseText& t) { t.types = "         1         0\n"; },
      listing_error("No reference bus: no bus is of type 2"));
  return v;
}

TEST(OrsaStops, BadCasesEndTheListingWithOneMessageAndStop) {
  for (const BadCase& c : bad_cases()) {
    ScratchDirectory dir;
    write_file("caso1.dat", c.text.text());
    const RunResult r = run_orsa_with("caso1\n");
    EXPECT_EQ(r.status, 0) << c.what;
    EXPECT_EQ(r.console, kPrompt + "\n" + kStop) << c.what;
    const std::string listing = read_file("caso1.lst");
    EXPECT_TRUE(ends_with(listing, c.listing_tail)) << c.what << "\n" << listing;
    EXPECT_EQ(read_file("caso1.dat"), c.text.text()) << c.what;
    // Nothing of the problem is written before the case has been accepted.
    EXPECT_EQ(read_file("orsa.ip"), "") << c.what;
  }
}

TEST(OrsaStops, ZeroReactanceStopsAfterTheListRecordsOfTheFlowDataFile) {
  ScratchDirectory dir;
  CaseText t;
  t.lines = "         1         2      0.00    100.00   -100.00\n";
  write_file("caso1.dat", t.text());
  run_orsa_with("caso1\n");
  // The flow data file ends with the last list record, incd = 1, 1.
  EXPECT_TRUE(ends_with(read_file("orsa.flw"), "    1    1    2    2    3\r\n    1    1\r\n"));
}

TEST(OrsaStops, CaseFileEndingEarlyIsARunTimeErrorAndKeepsWhatWasWritten) {
  ScratchDirectory dir;
  CaseText t;
  t.parameters = "       100       150\n";
  write_file("caso1.dat", t.text());
  const RunResult r = run_orsa_with("caso1\n");
  EXPECT_EQ(r.status, records::kRunTimeErrorStatus);
  EXPECT_NE(r.errors, "");
  EXPECT_TRUE(ends_with(read_file("caso1.lst"), " nbmax = 100    nlmax = 150\r\n"));
}

// Sizes that the file cannot back end the run before any storage is sized
// from them. After record 2 the case needs nl line records, ceil(n/8) type
// records and n bus records, each of at least one byte.
TEST(OrsaStops, CountsTheFileCannotHoldAreARunTimeError) {
  struct Sizes {
    std::string record;
    std::string expected;
  };
  const std::vector<Sizes> table = {
      {"1000000000         0    100.00\n",
       "record 2: n = 1000000000 buses and nl = 0 lines need at least 1125000000 more records"},
      {"         22000000000    100.00\n",
       "record 2: n = 2 buses and nl = 2000000000 lines need at least 2000000003 more records"},
  };
  for (const Sizes& s : table) {
    ScratchDirectory dir;
    CaseText t;
    t.sizes = s.record;
    write_file("caso1.dat", t.text());
    const RunResult r = run_orsa_with("caso1\n");
    EXPECT_EQ(r.status, records::kRunTimeErrorStatus) << s.record;
    EXPECT_NE(r.errors.find("Run-time error in read statement on unit 3 (file caso1.dat): " +
                            s.expected),
              std::string::npos)
        << r.errors;
    EXPECT_EQ(read_file("caso1.dat"), t.text());
    EXPECT_EQ(read_file("orsa.ip"), "");
  }
}

// A file that ends with record 2, without its line break, has nothing
// left for the records it announces (found by fuzzing: the check once
// skipped a file read to its end, and orsa sized 3 GB of storage).
TEST(OrsaStops, CountsBeyondAFileThatEndsAtRecordTwo) {
  ScratchDirectory dir;
  write_file("caso1.dat", "A title\n    111111111111111     2  6");
  const RunResult r = run_orsa_with("caso1\n");
  EXPECT_EQ(r.status, records::kRunTimeErrorStatus);
  EXPECT_NE(r.errors.find("record 2: n = 111111 buses and nl = 111111111 lines need at least 111236111 more "
                          "records, but the file has only 0 bytes left"),
            std::string::npos)
      << r.errors;
}

// ---- What the listing and the flow data file show for particular cases ----

struct ShownCase {
  const char* what;
  CaseText text;
  const char* file;
  std::string shown;  // records that must appear in the file, CR LF included
};

std::vector<ShownCase> shown_cases() {
  std::vector<ShownCase> v;
  auto add = [&](const char* what, auto change, const char* file, std::string shown) {
    CaseText t;
    change(t);
    v.push_back({what, t, file, std::move(shown)});
  };
  // A negative generation bus is echoed with load 0 and the negated linear
  // cost; its constant cost (7) is that generator's constant cost.
  add(
      "negative generation bus",
      [](CaseText& t) {
        t.types = "         2         3\n";
        t.buses =
            "      0.00      0.00     10.00  0.010000    200.00      0.00\n"
            "     50.00      7.00     10.00  0.000000     30.00      0.00\n";
      },
      "caso1.lst",
      "         NG    .0000D+00    -.1000D+02     .0000D+00     .3000D+02     .0000D+00\r\n");
  add(
      "negative generation bus in the flow data file",
      [](CaseText& t) {
        t.types = "         2         3\n";
        t.buses =
            "      0.00      0.00     10.00  0.010000    200.00      0.00\n"
            "     50.00      7.00     10.00  0.000000     30.00      0.00\n";
      },
      "orsa.flw",
      "    .0000D+00    .7000D+01\r\n    .1000D+02   -.1000D+02\r\n"
      "    .1000D-01    .0000D+00\r\n    .0000D+00    .0000D+00\r\n");
  // With two buses of type 2 the later one is the reference bus: record 7
  // of the flow data file holds ngen 2 and nref 2.
  add(
      "two reference buses",
      [](CaseText& t) {
        t.types = "         2         2\n";
        t.buses =
            "      0.00      0.00     10.00  0.010000    200.00      0.00\n"
            "     50.00      0.00     20.00  0.010000    200.00      0.00\n";
      },
      "orsa.flw", "\r\n    2    2\r\n");
  add(
      "two reference buses, both echoed RF",
      [](CaseText& t) {
        t.types = "         2         2\n";
        t.buses =
            "      0.00      0.00     10.00  0.010000    200.00      0.00\n"
            "     50.00      0.00     20.00  0.010000    200.00      0.00\n";
      },
      "caso1.lst",
      "         RF    .0000D+00     .1000D+02     .1000D-01     .2000D+03     .0000D+00\r\n"
      "         RF    .5000D+02     .2000D+02     .1000D-01     .2000D+03     .0000D+00\r\n");
  // Zero tolerances are echoed with their defaults; the record T25 puts
  // the second label of each line in column 25.
  add(
      "zero tolerances",
      [](CaseText& t) {
        t.parameters =
            "       100       150\n"
            "       500       500\n"
            "        20         0   0.0E+00   0.0E+00   0.0E+00   0.0E+00\n"
            "      0.99   1.0E+05   1.0E-01\n";
      },
      "caso1.lst",
      " maxit =  20            iprint =  0\r\n"
      " epsln =   .100D-07     epslgiv =   .100D-34\r\n"
      " epslnp =   .100D-05    epslim =   .100D-09\r\n");
  add(
      "zero tolerances go to the problem file with their defaults",
      [](CaseText& t) {
        t.parameters =
            "       100       150\n"
            "       500       500\n"
            "        20         0   0.0E+00   0.0E+00   0.0E+00   0.0E+00\n"
            "      0.99   1.0E+05   1.0E-01\n";
      },
      "orsa.ip", "  .990D+00  .100D-07        20  .100D+06  .100D+00  .100D-05  .100D-34\r\n");
  return v;
}

TEST(OrsaRun, ParticularCasesShowInTheirFiles) {
  for (const ShownCase& c : shown_cases()) {
    ScratchDirectory dir;
    write_file("caso1.dat", c.text.text());
    ASSERT_EQ(run_orsa_with("caso1\n").status, 0) << c.what;
    const std::string bytes = read_file(c.file);
    EXPECT_NE(bytes.find(c.shown), std::string::npos) << c.what << "\n" << bytes;
  }
}

// ---- A case of one bus -------------------------------------------------------

TEST(OrsaRun, SingleBusWritesNoLowerBoundRecordAndEmptyFMatrixRows) {
  ScratchDirectory dir;
  CaseText t;
  t.sizes = "         1         1    100.00\n";
  t.lines = "         1         1      0.10    100.00   -100.00\n";
  t.types = "         2\n";
  t.buses = "     20.00      0.00     10.00  0.010000    200.00      0.00\n";
  write_file("caso1.dat", t.text());
  const RunResult r = run_orsa_with("caso1\n");
  EXPECT_EQ(r.status, 0);
  const std::string ip = read_file("orsa.ip");
  // flags (five zeros), then directly the five dual guesses.
  EXPECT_NE(
      ip.find("         0         0         0         0         0\r\n"
              "  .0000000000000D+00  .0000000000000D+00  .0000000000000D+00  .0000000000000D+00\r\n"
              "  .0000000000000D+00\r\n"
              "  .0000000000000D+00  .0000000000000D+00  .0000000000000D+00  .0000000000000D+00\r\n"
              "  .0000000000000D+00\r\n"
              "  .990D+00"),
      std::string::npos)
      << ip;
  // The F Matrix row of the one line is an empty record, before epslim.
  EXPECT_TRUE(ends_with(read_file("orsa.flw"), "\r\n\r\n    .1000D-09\r\n"));
  EXPECT_TRUE(ends_with(read_file("caso1.lst"), " F Matrix\r\n\r\n\r\n\r\n"));
}

}  // namespace
}  // namespace dispatch::testing
