// From the forms to the solution: the two-bus example is typed into the
// forms and saved as caso1.dat, orsa turns it into orsa.ip, talven solves
// it, and talven.flw holds the converged cost.
//
// The reference bus generates the whole 50 MW load, 0.5 per unit on the
// 100 MVA base. In per unit its linear cost is 10 $/MWh x 100 = 1000 and
// its quadratic cost 0.01 x 100^2 = 100, so the cost is
// 1000 x 0.5 + 0.5 x 100 x 0.5^2 = 512.5 $/h.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <vector>

#include "form_driver.h"
#include "records/records.hpp"
#include "two_bus_file.h"

namespace {

using namespace form_driver;

std::string read_file(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ProgramRun {
  int exit_code;
  std::string output;
};

// Runs `program` in `folder` with `input` on its standard input and waits
// for it to end.
ProgramRun run_in(const QString& folder, const QString& program, const QByteArray& input) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, {});
  EXPECT_TRUE(process.waitForStarted(-1)) << program.toStdString();
  process.write(input);
  process.closeWriteChannel();
  process.waitForFinished(-1);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAll().toStdString()};
}

struct FlowFile {
  std::int32_t converged = 0;
  std::int32_t n = 0;
  std::int32_t m = 0;
  double cost = 0.0;
};

// The first five entries of talven.flw: the convergence flag, n and m,
// x(1..n), y(1..m) and the cost.
FlowFile read_flow_file(const QString& path) {
  records::Records io;
  io.open(1, path.toStdString(), records::Status::Old);
  FlowFile flow;
  io.read(1, "(16I5)", flow.converged);
  io.read(1, "(16I5)", flow.n, flow.m);
  std::vector<double> x(static_cast<std::size_t>(flow.n)), y(static_cast<std::size_t>(flow.m));
  io.read(1, "(4D20.8)", x);
  io.read(1, "(4D20.8)", y);
  io.read(1, "(4D20.8)", flow.cost);
  return flow;
}

TEST(Pipeline, TwoBusCaseFromFormsToConvergedCost) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());

  FakeDialogs dialogs;
  TForm1 main(dialogs);
  enter_two_bus_case(main, dialogs);
  dialogs.save_answer = folder.filePath("caso1.dat");
  press(main.Button4);
  ASSERT_TRUE(dialogs.errors().empty());
  ASSERT_EQ(read_file(folder.filePath("caso1.dat")), kTwoBusFile);

  const ProgramRun orsa = run_in(folder.path(), QStringLiteral(ORSA_PROGRAM), "caso1\n");
  ASSERT_EQ(orsa.exit_code, 0) << orsa.output;
  EXPECT_NE(orsa.output.find("Stop - Program terminated."), std::string::npos) << orsa.output;
  ASSERT_TRUE(QDir(folder.path()).exists("orsa.ip")) << orsa.output;

  const ProgramRun talven = run_in(folder.path(), QStringLiteral(TALVEN_PROGRAM), "");
  ASSERT_EQ(talven.exit_code, 0) << talven.output;
  ASSERT_TRUE(QDir(folder.path()).exists("talven.flw")) << talven.output;

  const FlowFile flow = read_flow_file(folder.filePath("talven.flw"));
  EXPECT_EQ(flow.converged, 1) << talven.output;
  EXPECT_NEAR(flow.cost, 512.5, 1e-3) << talven.output;
}

}  // namespace
