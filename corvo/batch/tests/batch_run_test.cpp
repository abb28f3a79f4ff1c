// Whole runs of `corvo batch` as a user runs it: the same files whatever
// the number of threads or MPI processes, the HDF5 file holding what the
// CSV files hold (read with the HDF5 library alone), exit statuses, and
// refusals that leave earlier results as they were.
#include <gtest/gtest.h>
#include <hdf5.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kData = CORVO_BATCH_TEST_DATA;
const fs::path kCases = CORVO_CASES_DIR;

std::string read_file(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void write_file(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "corvo_batch_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  const fs::path& path() const { return dir_; }
  fs::path operator/(const std::string& name) const { return dir_ / name; }

  // A command line run in the folder without standard input; its output
  // goes to LOG.out and LOG.err. Returns the exit status.
  int run(const std::string& command, const std::string& log = "run") const {
    const std::string line = "cd '" + dir_.string() + "' && " + command + " < /dev/null > " + log + ".out 2> " + log +
                             ".err";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int corvo(const std::string& args, const std::string& log = "run") const {
    return run(std::string("'") + CORVO_EXE + "' batch " + args, log);
  }
  std::string out(const std::string& log = "run") const { return read_file(dir_ / (log + ".out")); }
  std::string err(const std::string& log = "run") const { return read_file(dir_ / (log + ".err")); }

 private:
  fs::path dir_;
};

// The scenarios of case118 used for the comparisons: loads, units and
// branches switched, limits and costs changed, bus 10 cut off with its
// unit (branch 9 is its only branch: a pattern of its own), and loads
// eight times the base, beyond the generation capacity (a pre-check).
std::string case118_scenarios() {
  std::string s = "scenario,load_scale,load:59,gen_status:5,gen_max:10,gen_cost:20,branch_status:7,branch_status:9,rate:38\n";
  for (int h = 0; h < 14; ++h) {
    s += "hour " + std::to_string(h) + "," + std::to_string(0.6 + 0.04 * h) + ",";
    s += (h % 3 == 0 ? "300," : ",");
    s += (h % 4 == 1 ? "0," : ",");
    s += (h % 5 == 2 ? "100," : ",");
    s += (h % 2 == 0 ? "15," : ",");
    s += (h % 6 == 3 ? "0," : ",");
    s += (h == 7 ? "0," : ",");
    s += (h % 7 == 4 ? "60" : "");
    s += "\n";
  }
  s += "too much load,8,,,,,,,\n";
  s += "radial cut,,,,,,,0,1\n";
  return s;
}

// A CSV file's records, with one column blanked (the seconds of the
// summary, the only value that may differ from run to run).
std::string without_column(const std::string& csv, std::size_t column) {
  std::istringstream in(csv);
  std::string line, out;
  while (std::getline(in, line)) {
    std::size_t start = 0;
    for (std::size_t c = 0; c < column && start != std::string::npos; ++c) {
      start = line.find(',', start);
      if (start != std::string::npos) ++start;
    }
    if (start != std::string::npos) {
      const std::size_t end = line.find(',', start);
      line.erase(start, end == std::string::npos ? std::string::npos : end - start);
    }
    out += line + "\n";
  }
  return out;
}

const std::vector<std::string> kTables{"buses.csv", "generators.csv", "lines.csv", "relaxation.csv"};
constexpr std::size_t kSecondsColumn = 6;

void expect_same_csv(const fs::path& a, const fs::path& b) {
  for (const std::string& t : kTables) EXPECT_EQ(read_file(a / t), read_file(b / t)) << t;
  const std::string sa = read_file(a / "summary.csv"), sb = read_file(b / "summary.csv");
  EXPECT_FALSE(sa.empty());
  EXPECT_EQ(without_column(sa, kSecondsColumn), without_column(sb, kSecondsColumn));
}

TEST(BatchRun, OneOrThreeThreadsWriteTheSameFiles) {
  Scratch dir;
  write_file(dir / "s.csv", case118_scenarios());
  const std::string net = "'" + (kCases / "matpower/case118.m").string() + "'";
  EXPECT_EQ(dir.corvo(net + " --scenarios s.csv --threads 1 --output one", "one"), 1) << dir.err("one");
  EXPECT_EQ(dir.corvo(net + " --scenarios s.csv --threads 3 --output three", "three"), 1) << dir.err("three");
  expect_same_csv(dir / "one", dir / "three");
  const std::string summary = read_file(dir / "one/summary.csv");
  EXPECT_NE(summary.find("too much load,precheck_failed,not optimal"), std::string::npos) << summary;
  EXPECT_NE(summary.find("hour 13,converged,optimal"), std::string::npos) << summary;
  // The same counts, whatever the method makes of the tight ratings.
  std::string three = dir.out("three");
  ASSERT_NE(three.find("results in three"), std::string::npos) << three;
  three.replace(three.find("results in three"), 16, "results in one");
  EXPECT_EQ(dir.out("one"), three);
  EXPECT_EQ(dir.out("one").rfind("corvo batch: 16 scenarios, ", 0), 0u) << dir.out("one");
}

TEST(BatchRun, OutagesWithOneOrThreeThreads) {
  Scratch dir;
  const std::string net = "'" + (kCases / "matpower/case30.m").string() + "'";
  const int one = dir.corvo(net + " --outages n-1 --threads 1 --output one", "one");
  const int three = dir.corvo(net + " --outages n-1 --threads 3 --output three", "three");
  EXPECT_EQ(one, three);
  EXPECT_LE(one, 1) << dir.err("one");
  expect_same_csv(dir / "one", dir / "three");
  // case30's radial branches are listed, not solved.
  EXPECT_NE(dir.err("one").find("branches left out, as their outage would cut part of the network off"),
            std::string::npos);
  EXPECT_NE(read_file(dir / "one/summary.csv").find("\r\nout:1,"), std::string::npos);
}

// ---- HDF5 read with the HDF5 library alone --------------------------------

struct Column {
  std::vector<double> numbers;      // float and integer datasets
  std::vector<std::string> texts;   // string datasets
};

using Group = std::map<std::string, Column>;

Column read_column(hid_t file, const std::string& name) {
  Column c;
  const hid_t set = H5Dopen2(file, name.c_str(), H5P_DEFAULT);
  EXPECT_GE(set, 0) << name;
  if (set < 0) return c;
  const hid_t type = H5Dget_type(set);
  const hid_t space = H5Dget_space(set);
  const auto rows = static_cast<std::size_t>(H5Sget_simple_extent_npoints(space));
  EXPECT_EQ(H5Sget_simple_extent_ndims(space), 1) << name;
  if (H5Tget_class(type) == H5T_STRING) {
    if (H5Tis_variable_str(type) > 0) {
      std::vector<char*> p(rows);
      if (rows > 0) H5Dread(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, p.data());
      for (char* s : p) c.texts.emplace_back(s ? s : "");
      if (rows > 0) H5Dvlen_reclaim(type, space, H5P_DEFAULT, p.data());
    } else {
      const std::size_t width = H5Tget_size(type);
      std::string raw(width * rows, '\0');
      if (rows > 0) H5Dread(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, raw.data());
      for (std::size_t i = 0; i < rows; ++i) c.texts.push_back(std::string(raw.data() + i * width, strnlen(raw.data() + i * width, width)));
    }
  } else {
    c.numbers.resize(rows);
    if (rows > 0) H5Dread(set, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, c.numbers.data());
  }
  H5Sclose(space);
  H5Tclose(type);
  H5Dclose(set);
  return c;
}

// Every dataset of every group, by "group/column".
std::map<std::string, Column> read_hdf5(const fs::path& path) {
  std::map<std::string, Column> all;
  const hid_t file = H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT);
  EXPECT_GE(file, 0) << path;
  if (file < 0) return all;
  for (const char* group : {"summary", "buses", "generators", "lines", "relaxation"}) {
    const hid_t g = H5Gopen2(file, group, H5P_DEFAULT);
    EXPECT_GE(g, 0) << group;
    if (g < 0) continue;
    H5G_info_t info;
    H5Gget_info(g, &info);
    for (hsize_t k = 0; k < info.nlinks; ++k) {
      char name[256] = {};
      H5Lget_name_by_idx(g, ".", H5_INDEX_NAME, H5_ITER_INC, k, name, sizeof name, H5P_DEFAULT);
      const std::string full = std::string(group) + "/" + name;
      all[full] = read_column(file, full);
    }
    H5Gclose(g);
  }
  H5Fclose(file);
  return all;
}

std::vector<std::vector<std::string>> csv_records(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
      const std::size_t comma = line.find(',', start);
      cells.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    rows.push_back(cells);
  }
  return rows;
}

double number(const std::string& cell) { return cell.empty() ? std::nan("") : std::stod(cell); }

bool same_number(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// Each record of the CSV table equals the HDF5 row: the same scenario (by
// its number in the summary), element, numbers to the bit, texts.
void expect_table_matches(const std::map<std::string, Column>& h5, const std::string& group, const std::string& csv,
                          const std::vector<std::string>& summary_names) {
  const auto records = csv_records(csv);
  ASSERT_FALSE(records.empty());
  const std::vector<std::string>& header = records[0];
  const std::size_t rows = records.size() - 1;
  for (std::size_t c = 0; c < header.size(); ++c) {
    const std::string& column = header[c];
    if (column == "scenario") {
      const Column& numbers = h5.at(group + "/scenario_number");
      ASSERT_EQ(numbers.numbers.size(), rows) << group;
      for (std::size_t r = 0; r < rows; ++r)
        EXPECT_EQ(summary_names.at(static_cast<std::size_t>(numbers.numbers[r]) - 1), records[r + 1][c]) << group;
      continue;
    }
    ASSERT_TRUE(h5.count(group + "/" + column)) << group << "/" << column;
    const Column& col = h5.at(group + "/" + column);
    if (!col.texts.empty() || col.numbers.empty()) {
      ASSERT_EQ(col.texts.size(), rows) << column;
      for (std::size_t r = 0; r < rows; ++r) EXPECT_EQ(col.texts[r], records[r + 1][c]) << group << "/" << column;
    } else {
      ASSERT_EQ(col.numbers.size(), rows) << column;
      for (std::size_t r = 0; r < rows; ++r)
        EXPECT_TRUE(same_number(col.numbers[r], number(records[r + 1][c])))
            << group << "/" << column << " row " << r << ": " << col.numbers[r] << " vs " << records[r + 1][c];
    }
  }
}

TEST(BatchRun, Hdf5HoldsTheCsvTablesWhateverTheThreads) {
  Scratch dir;
  write_file(dir / "s.csv", case118_scenarios());
  const std::string net = "'" + (kCases / "matpower/case118.m").string() + "'";
  EXPECT_EQ(dir.corvo(net + " --scenarios s.csv --threads 2 --output csv"), 1) << dir.err();
  EXPECT_EQ(dir.corvo(net + " --scenarios s.csv --threads 1 --format hdf5 --output one.h5"), 1) << dir.err();
  EXPECT_EQ(dir.corvo(net + " --scenarios s.csv --threads 3 --format hdf5 --output three.h5"), 1) << dir.err();
  const auto one = read_hdf5(dir / "one.h5");
  const auto three = read_hdf5(dir / "three.h5");
  ASSERT_EQ(one.size(), three.size());
  for (const auto& [name, column] : one) {
    if (name == "summary/seconds") continue;
    EXPECT_EQ(column.texts, three.at(name).texts) << name;
    ASSERT_EQ(column.numbers.size(), three.at(name).numbers.size()) << name;
    for (std::size_t i = 0; i < column.numbers.size(); ++i)
      EXPECT_TRUE(same_number(column.numbers[i], three.at(name).numbers[i])) << name << " " << i;
  }
  const std::vector<std::string>& names = one.at("summary/scenario").texts;
  ASSERT_EQ(names.size(), 16u);
  EXPECT_EQ(names[0], "hour 0");
  std::vector<double> numbers;
  for (std::size_t i = 1; i <= 16; ++i) numbers.push_back(static_cast<double>(i));
  EXPECT_EQ(one.at("summary/scenario_number").numbers, numbers);
  for (const char* table : {"buses", "generators", "lines", "relaxation"})
    expect_table_matches(one, table, read_file(dir / (std::string("csv/") + table + ".csv")), names);
  // The summary without its seconds.
  std::string summary = read_file(dir / "csv/summary.csv");
  auto records = csv_records(without_column(summary, kSecondsColumn));
  ASSERT_EQ(records.size(), 17u);
  for (std::size_t r = 1; r < records.size(); ++r) {
    EXPECT_EQ(one.at("summary/status").texts[r - 1], records[r][1]);
    EXPECT_EQ(one.at("summary/verdict").texts[r - 1], records[r][2]);
    EXPECT_TRUE(same_number(one.at("summary/cost").numbers[r - 1], number(records[r][3])));
    EXPECT_EQ(one.at("summary/iterations").numbers[r - 1], number(records[r][5]));
  }
}

// ---- MPI -------------------------------------------------------------------

TEST(BatchRun, ThreeMpiProcessesWriteWhatOneProcessWrites) {
  const std::string mpirun = CORVO_MPIRUN;
  if (mpirun.empty()) GTEST_SKIP() << "mpirun is not installed (the set-up script installs openmpi-bin)";
  if (!CORVO_BATCH_WITH_MPI) GTEST_SKIP() << "corvo was built without MPI (libopenmpi-dev not found)";
  Scratch dir;
  write_file(dir / "s.csv", case118_scenarios());
  const std::string net = "'" + (kCases / "matpower/case118.m").string() + "'";
  EXPECT_EQ(dir.corvo(net + " --scenarios s.csv --threads 1 --output one", "one"), 1) << dir.err("one");
  // Open MPI's own allocations are not ours to report as leaks.
  const std::string launch = "ASAN_OPTIONS=\"${ASAN_OPTIONS:-}:detect_leaks=0\" '" + mpirun +
                             "' --allow-run-as-root --oversubscribe -n 3 '" + CORVO_EXE + "' batch ";
  EXPECT_EQ(dir.run(launch + net + " --scenarios s.csv --threads 2 --output mpi", "mpi"), 1) << dir.err("mpi");
  expect_same_csv(dir / "one", dir / "mpi");
  EXPECT_EQ(dir.run(launch + net + " --scenarios s.csv --format hdf5 --output mpi.h5", "mpi_h5"), 1)
      << dir.err("mpi_h5");
  EXPECT_EQ(dir.corvo(net + " --scenarios s.csv --format hdf5 --output one.h5", "one_h5"), 1) << dir.err("one_h5");
  const auto one = read_hdf5(dir / "one.h5"), mpi = read_hdf5(dir / "mpi.h5");
  ASSERT_EQ(one.size(), mpi.size());
  for (const auto& [name, column] : one) {
    if (name == "summary/seconds") continue;
    EXPECT_EQ(column.texts, mpi.at(name).texts) << name;
    ASSERT_EQ(column.numbers.size(), mpi.at(name).numbers.size()) << name;
    for (std::size_t i = 0; i < column.numbers.size(); ++i)
      EXPECT_TRUE(same_number(column.numbers[i], mpi.at(name).numbers[i])) << name;
  }
  // A refused scenario file stops every process with status 2, and one
  // message.
  write_file(dir / "bad.csv", "scenario,load:99999\na,1\n");
  EXPECT_EQ(dir.run(launch + net + " --scenarios bad.csv --output bad", "bad"), 2);
  const std::string err = dir.err("bad");
  const std::string message = "bad.csv: line 1, column 2 (load:99999): the network has no bus 99999";
  EXPECT_NE(err.find(message), std::string::npos) << err;
  EXPECT_EQ(err.find(message), err.rfind(message)) << "one message, not one per process:\n" << err;
  EXPECT_FALSE(fs::exists(dir / "bad"));
}

// ---- Exit statuses and refusals -------------------------------------------

TEST(BatchRun, ExitStatusesAndMessages) {
  Scratch dir;
  const std::string net = "'" + (kData / "three_bus.m").string() + "'";
  write_file(dir / "good.csv", "scenario,load_scale\nlow,0.5\nhigh,1.5\n");
  EXPECT_EQ(dir.corvo(net + " --scenarios good.csv --output good"), 0) << dir.err();
  EXPECT_EQ(dir.out(), "corvo batch: 2 scenarios, 2 optimal, 0 failed; results in good\n");
  EXPECT_EQ(dir.err().find('\r'), std::string::npos) << "no progress bar when standard error is not a terminal";
  EXPECT_TRUE(fs::exists(dir / "good/summary.csv"));

  // One infeasible scenario: it keeps its row, the others are written,
  // status 1 and the failure named.
  write_file(dir / "mixed.csv", "scenario,gen_status:2,branch_status:2\nok,,\ncut,0,0\n");
  EXPECT_EQ(dir.corvo(net + " --scenarios mixed.csv --output mixed"), 1);
  EXPECT_NE(dir.err().find("corvo batch: 1 of 2 scenarios not verified optimal:\n  cut (infeasible)"),
            std::string::npos)
      << dir.err();
  const std::string summary = read_file(dir / "mixed/summary.csv");
  EXPECT_NE(summary.find("\r\ncut,infeasible,not optimal,,,"), std::string::npos) << summary;
  EXPECT_NE(read_file(dir / "mixed/buses.csv").find("\r\nok,3,"), std::string::npos);
  EXPECT_EQ(read_file(dir / "mixed/buses.csv").find("\r\ncut,"), std::string::npos);
  // The least relaxation: 20 MW more over branch 1 (the hand-worked
  // table's "infeasible" scenario).
  const std::string relaxation = read_file(dir / "mixed/relaxation.csv");
  const std::string head = "scenario,element,what,amount,unit\r\ncut,branch 1 (bus 1-2),flow above its upper limit,";
  ASSERT_EQ(relaxation.rfind(head, 0), 0u) << relaxation;
  EXPECT_NEAR(std::stod(relaxation.substr(head.size())), 20.0, 1e-6) << relaxation;

  // Refusals: status 2, nothing solved or written.
  struct Refusal {
    std::string args;
    std::string message;
  };
  write_file(dir / "bad.csv", "scenario,load:2\nx,abc\n");
  const Refusal refusals[] = {
      {"--scenarios bad.csv --output out", "bad.csv: line 2, column 2 (load:2): 'abc' is not a finite number"},
      {"--scenarios good.csv --outages n-1 --output out", "give the scenarios with --scenarios FILE.csv or --outages n-1"},
      {"--output out", "give the scenarios with --scenarios FILE.csv or --outages n-1"},
      {"--scenarios missing.csv --output out", "missing.csv: no such file"},
      {"--scenarios good.csv --output good.csv --format hdf5", "the results would replace the input file good.csv"},
  };
  for (const Refusal& r : refusals) {
    EXPECT_EQ(dir.corvo(net + " " + r.args), 2) << r.args;
    EXPECT_NE(dir.err().find(r.message), std::string::npos) << r.args << "\n" << dir.err();
    EXPECT_FALSE(fs::exists(dir / "out")) << r.args;
  }
  EXPECT_EQ(read_file(dir / "good.csv"), "scenario,load_scale\nlow,0.5\nhigh,1.5\n");
}

// A run that is refused leaves the results of an earlier run as they were,
// with no temporary file beside them.
TEST(BatchRun, EarlierResultsSurviveARefusedRun) {
  Scratch dir;
  const std::string net = "'" + (kData / "three_bus.m").string() + "'";
  write_file(dir / "good.csv", "scenario,load_scale\nlow,0.5\n");
  ASSERT_EQ(dir.corvo(net + " --scenarios good.csv --output res"), 0) << dir.err();
  const std::string before = read_file(dir / "res/buses.csv");
  write_file(dir / "res/lines.csv.keep", "");
  fs::remove(dir / "res/lines.csv");
  fs::create_directory(dir / "res/lines.csv");  // a table that cannot be replaced
  EXPECT_EQ(dir.corvo(net + " --scenarios good.csv --output res"), 2);
  EXPECT_NE(dir.err().find("lines.csv: a directory, not a regular file; it is not replaced"), std::string::npos)
      << dir.err();
  EXPECT_EQ(read_file(dir / "res/buses.csv"), before);
  for (const auto& entry : fs::directory_iterator(dir / "res"))
    EXPECT_NE(entry.path().filename().string().front(), '.') << "left behind: " << entry.path();
}

}  // namespace
