// Saving: the file is written whole, or an existing one is left intact.
#include "corvo/case_saving.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "case_builder.hpp"
#include "corvo/case_file_writer.hpp"
#include "corvo/default_extension.hpp"
#include "corvo/file_replacement.hpp"
#include "corvo/number_conversion.hpp"

namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

class CaseSaving : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("corvo_case_saving_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder_);
  }
  // Everything in the folder apart from `except`.
  int other_entries(const fs::path& except) const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) count += entry.path() != except;
    return count;
  }

  fs::path folder_;
};

TEST_F(CaseSaving, WritesTheRenderedCase) {
  corvo::CaseData c = corvo_test::two_bus_case();
  const fs::path file = folder_ / "caso1.dat";
  corvo::save_case(file, "Caso", c, corvo::default_parameter_texts(), ',');
  EXPECT_EQ(read_file(file), corvo::render_case_file("Caso", c));
  EXPECT_EQ(other_entries(file), 0);
}

TEST_F(CaseSaving, UnconfirmedParametersComeFromTheTexts) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.parameters = {};
  c.parameters_confirmed = false;
  corvo::ParameterTexts texts = corvo::default_parameter_texts();
  texts[4] = "35";
  const fs::path file = folder_ / "caso1.dat";
  corvo::save_case(file, "Caso", c, texts, ',');
  EXPECT_FALSE(c.parameters_confirmed);
  EXPECT_EQ(c.parameters.maxit, 35);
  EXPECT_EQ(c.parameters.sigma, 0.1);
  EXPECT_NE(read_file(file).find("\r\n        35         0   1.0E-10"), std::string::npos);
}

TEST_F(CaseSaving, ConfirmedParametersIgnoreTheTexts) {
  corvo::CaseData c = corvo_test::two_bus_case();
  c.parameters.maxit = 42;
  corvo::ParameterTexts texts = corvo::default_parameter_texts();
  texts[0] = "not a number";
  const fs::path file = folder_ / "caso1.dat";
  corvo::save_case(file, "Caso", c, texts, ',');
  EXPECT_NE(read_file(file).find("\r\n        42         0"), std::string::npos);
}

TEST_F(CaseSaving, ReplacesAnExistingFile) {
  const fs::path file = folder_ / "caso1.dat";
  write_file(file, std::string(5000, 'x'));
  corvo::CaseData c = corvo_test::two_bus_case();
  corvo::save_case(file, "Caso", c, corvo::default_parameter_texts(), ',');
  EXPECT_EQ(read_file(file), corvo::render_case_file("Caso", c));
}

TEST_F(CaseSaving, ConversionErrorLeavesExistingFileIntact) {
  const fs::path file = folder_ / "caso1.dat";
  write_file(file, "the user's earlier case\n");
  corvo::CaseData c = corvo_test::two_bus_case();
  c.parameters_confirmed = false;
  corvo::ParameterTexts texts = corvo::default_parameter_texts();
  texts[10] = "0.99";  // rho with a point
  EXPECT_THROW(corvo::save_case(file, "Caso", c, texts, ','), corvo::ConversionError);
  EXPECT_EQ(read_file(file), "the user's earlier case\n");
  EXPECT_EQ(other_entries(file), 0);
  EXPECT_EQ(c.parameters.epslim, 1.0e-10);  // converted before rho
}

TEST_F(CaseSaving, ConversionErrorCreatesNoFile) {
  const fs::path file = folder_ / "caso1.dat";
  corvo::CaseData c = corvo_test::two_bus_case();
  c.parameters_confirmed = false;
  corvo::ParameterTexts texts = corvo::default_parameter_texts();
  texts[0] = "";
  EXPECT_THROW(corvo::save_case(file, "Caso", c, texts, ','), corvo::ConversionError);
  EXPECT_EQ(other_entries(fs::path()), 0);
}

TEST_F(CaseSaving, TooWideValueLeavesExistingFileIntact) {
  const fs::path file = folder_ / "caso1.dat";
  write_file(file, "old\n");
  corvo::CaseData c = corvo_test::two_bus_case();
  c.parameters.maxit = 100;
  EXPECT_THROW(corvo::save_case(file, "Caso", c, corvo::default_parameter_texts(), ','),
               corvo::CaseFileLayoutError);
  EXPECT_EQ(read_file(file), "old\n");
}

TEST_F(CaseSaving, MissingFolderNamesFileAndReason) {
  const fs::path file = folder_ / "missing" / "caso1.dat";
  corvo::CaseData c = corvo_test::two_bus_case();
  try {
    corvo::save_case(file, "Caso", c, corvo::default_parameter_texts(), ',');
    FAIL() << "saved into a missing folder";
  } catch (const corvo::FileWriteError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Não foi possível gravar o arquivo " + file.string() + ": No such file or directory");
  }
}

TEST_F(CaseSaving, TargetThatIsAFolderIsLeftAlone) {
  const fs::path file = folder_ / "caso1.dat";
  fs::create_directory(file);
  write_file(file / "inside", "keep");
  corvo::CaseData c = corvo_test::two_bus_case();
  EXPECT_THROW(corvo::save_case(file, "Caso", c, corvo::default_parameter_texts(), ','),
               corvo::FileWriteError);
  EXPECT_EQ(read_file(file / "inside"), "keep");
  EXPECT_EQ(other_entries(file), 0);  // no temporary file left behind
}

TEST_F(CaseSaving, ReadOnlyFolderLeavesExistingFileIntact) {
  if (::geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the superuser";
  const fs::path file = folder_ / "caso1.dat";
  write_file(file, "old\n");
  fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::remove);
  corvo::CaseData c = corvo_test::two_bus_case();
  EXPECT_THROW(corvo::save_case(file, "Caso", c, corvo::default_parameter_texts(), ','),
               corvo::FileWriteError);
  EXPECT_EQ(read_file(file), "old\n");
}

TEST_F(CaseSaving, WriteThatFailsIsReportedAndTheOldFileKept) {
  // A file size limit of 10 bytes makes the write of the case fail with
  // EFBIG, as a full disk fails it with ENOSPC (SIGXFSZ ignored so that the
  // write returns the error instead of ending the process).
  const fs::path file = folder_ / "caso1.dat";
  write_file(file, "old\n");
  corvo::CaseData c = corvo_test::two_bus_case();
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 10;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    corvo::save_case(file, "Caso", c, corvo::default_parameter_texts(), ',');
  } catch (const corvo::FileWriteError& error) {
    message = error.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous_handler);
  EXPECT_EQ(message, "Não foi possível gravar o arquivo " + file.string() + ": File too large");
  EXPECT_EQ(read_file(file), "old\n");
  EXPECT_EQ(other_entries(file), 0);  // the temporary file is removed
}

TEST(FileReplacement, EmptyFileNameIsRefused) {
  EXPECT_THROW(corvo::replace_file_contents(fs::temp_directory_path() / "", "x"),
               corvo::FileWriteError);
}

struct ExtensionCase {
  const char* path;
  const char* expected;
};

class DefaultExtension : public testing::TestWithParam<ExtensionCase> {};

TEST_P(DefaultExtension, AddedOnlyWithoutExtension) {
  EXPECT_EQ(corvo::with_default_extension(GetParam().path, "dat"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, DefaultExtension,
                         testing::Values(ExtensionCase{"caso1", "caso1.dat"},
                                         ExtensionCase{"/tmp/caso1", "/tmp/caso1.dat"},
                                         ExtensionCase{"/tmp/caso1.dat", "/tmp/caso1.dat"},
                                         ExtensionCase{"/tmp/caso1.txt", "/tmp/caso1.txt"},
                                         ExtensionCase{"/tmp/a.b/caso1", "/tmp/a.b/caso1.dat"},
                                         ExtensionCase{"/tmp/", "/tmp/"}));

}  // namespace
