// Opening a case and saving it: the file the editor writes for a case it
// opened holds every value of the case, and opening that file and saving it
// again gives the same bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bundled_cases.hpp"
#include "case_builder.hpp"
#include "corvo/algorithm_parameters.hpp"
#include "corvo/case_opening.hpp"
#include "corvo/case_saving.hpp"
#include "corvo/file_replacement.hpp"
#include "corvo/title_text.hpp"
#include "dispatch/case_loader.hpp"

namespace {

namespace fs = std::filesystem;

class CaseRoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("corvo-round-trip-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  // Saves the opened case as the editor does (values kept) into `name`.
  std::string save(corvo::OpenedCase& opened, const std::string& name) {
    const std::string title = corvo::encode_title(opened.title.utf8, opened.title.encoding);
    const corvo::RenderedCaseFile file =
        corvo::prepare_case_file(title, opened.data, corvo::default_parameter_texts(), ',',
                                 corvo::FieldPrecision::keep_values);
    EXPECT_TRUE(file.rounded.empty()) << name << ": " << file.rounded.front();
    corvo::replace_file_contents(folder / name, file.text);
    return file.text;
  }

  fs::path folder;
};

TEST_F(CaseRoundTrip, EveryBundledCaseSavesToTheSameBytesTwice) {
  for (const std::string& name : corvo_test::bundled_case_files()) {
    corvo::OpenedCase first = corvo::open_case(corvo_test::cases_folder() / name);
    const std::string written = save(first, "first.dat");
    corvo::OpenedCase second = corvo::open_case(folder / "first.dat");
    EXPECT_EQ(save(second, "second.dat"), written) << name;
  }
}

// The file the editor wrote reads, through orsa's loader, as the original
// file did: nothing of the network was rounded away.
TEST_F(CaseRoundTrip, SavedCaseReadsAsTheOriginal) {
  for (const std::string& name : corvo_test::bundled_case_files()) {
    corvo::OpenedCase opened = corvo::open_case(corvo_test::cases_folder() / name);
    save(opened, "saved.dat");
    const dispatch::CaseData original = dispatch::load_case_file(corvo_test::cases_folder() / name);
    const dispatch::CaseData saved = dispatch::load_case_file(folder / "saved.dat");
    EXPECT_EQ(saved.x, original.x) << name;
    EXPECT_EQ(saved.line_upper, original.line_upper) << name;
    EXPECT_EQ(saved.load, original.load) << name;
    EXPECT_EQ(saved.linear_cost, original.linear_cost) << name;
    EXPECT_EQ(saved.quadratic_cost, original.quadratic_cost) << name;
    EXPECT_EQ(saved.gen_upper, original.gen_upper) << name;
    EXPECT_EQ(saved.title, original.title) << name;
  }
}

// A case typed with parameters other than the defaults and an accented
// Latin-1 title, written by the editor, opened and saved again.
TEST_F(CaseRoundTrip, NonDefaultParametersAndAccentedTitle) {
  corvo::CaseData typed = corvo_test::two_bus_case();
  typed.parameters = {200, 300, 400, 450, 35, 1, 1.5e-8, 1e-30, 2e-6, 5e-11, 0.95, 2e5, 0.2};
  const std::string title = "Sistema El\xE9trico";
  corvo::replace_file_contents(folder / "typed.dat",
                               corvo::render_case_file(title, typed, corvo::FieldPrecision::keep_values).text);
  std::ifstream in(folder / "typed.dat", std::ios::binary);
  const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  corvo::OpenedCase opened = corvo::open_case(folder / "typed.dat");
  EXPECT_EQ(opened.title.utf8, "Sistema El\xC3\xA9trico");
  EXPECT_EQ(opened.name, "typed");
  EXPECT_EQ(opened.data.parameters.maxit, 35);
  EXPECT_EQ(opened.data.parameters.epsln, 1.5e-8);
  EXPECT_EQ(corvo::parameter_texts_of(opened.data.parameters, ','),
            (corvo::ParameterTexts{"200", "300", "400", "450", "35", "1", "1,5E-8", "1E-30", "2E-6",
                                   "5E-11", "0,95", "200000", "0,2"}));
  EXPECT_EQ(save(opened, "again.dat"), written);
}

TEST_F(CaseRoundTrip, RefusedFileNamesRecordAndColumns) {
  std::ofstream(folder / "bad.dat", std::ios::binary)
      << "t\r\n         2         1    100.00\r\n         1         2   1.2.3      100.00   -100.00\r\n";
  try {
    corvo::open_case(folder / "bad.dat");
    ADD_FAILURE() << "accepted";
  } catch (const corvo::CaseOpenError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("record 3"), std::string::npos) << message;
    EXPECT_NE(message.find("columns 21-30"), std::string::npos) << message;
  }
}

TEST_F(CaseRoundTrip, MatpowerCaseOpensWithItsNotes) {
  const corvo::OpenedCase opened = corvo::open_case(corvo_test::cases_folder() / "matpower/case9.m");
  EXPECT_TRUE(opened.from_matpower);
  EXPECT_EQ(opened.name, "case9");
  EXPECT_EQ(opened.data.n, 9);
  EXPECT_EQ(opened.data.nl, 9);
  EXPECT_EQ(opened.title.utf8.rfind("MATPOWER case9", 0), 0u) << opened.title.utf8;
  EXPECT_FALSE(opened.notes.empty());
}

}  // namespace
