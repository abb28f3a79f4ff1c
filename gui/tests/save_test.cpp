// "GRAVAR": the save dialog, the file written, and what happens when the
// dialog is cancelled or the file cannot be written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "form_driver.h"
#include "two_bus_file.h"

namespace {

using namespace form_driver;
namespace fs = std::filesystem;

std::string read_file(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Saving : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    enter_two_bus_case(main, dialogs);
    ASSERT_TRUE(main.Button4->isEnabled());
    dialogs.events.clear();
  }
  QString file(const QString& name = "caso1.dat") const { return folder.filePath(name); }
  int entries() const {
    return static_cast<int>(std::distance(fs::directory_iterator(folder.path().toStdString()),
                                          fs::directory_iterator()));
  }

  QTemporaryDir folder;
  FakeDialogs dialogs;
  TForm1 main{dialogs};
};

TEST_F(Saving, DialogProposesCaso1WithDatExtension) {
  press(main.Button4);
  ASSERT_TRUE(dialogs.last_save_settings.has_value());
  const SaveDialogSettings& settings = *dialogs.last_save_settings;
  EXPECT_EQ(settings.name, "SaveDialog1");
  EXPECT_EQ(settings.file_name, "caso1");
  EXPECT_EQ(settings.default_extension, "dat");
  EXPECT_EQ(settings.filter_name, "Arquivo de Dados (CORVO)");
  EXPECT_EQ(settings.filter_pattern, "*.dat");
}

TEST_F(Saving, WithoutParameterFormWritesDefaults) {
  dialogs.save_answer = file();
  press(main.Button4);
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"save dialog"}));
  EXPECT_EQ(read_file(file()), kTwoBusFile);
  EXPECT_EQ(entries(), 1);
  EXPECT_FALSE(main.Case.parameters_confirmed);
  EXPECT_EQ(main.Case.parameters.maxit, 20);
  EXPECT_TRUE(main.Button4->isEnabled());
}

TEST_F(Saving, CancelWritesNothingAndChangesNothing) {
  dialogs.save_answer.reset();
  press(main.Button4);
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"save dialog"}));
  EXPECT_EQ(entries(), 0);
  EXPECT_EQ(main.Case.parameters.maxit, 0);
  EXPECT_TRUE(main.Button4->isEnabled());
}

TEST_F(Saving, ConfirmedParametersAreWritten) {
  confirm_parameters(main, dialogs, [](TForm4& form) {
    type(form.LabeledEdit5, "35");
    type(form.LabeledEdit6, "1");
    type(form.LabeledEdit11, "0,95");
  });
  dialogs.save_answer = file();
  press(main.Button4);
  const std::string text = read_file(file());
  EXPECT_NE(text.find("\r\n        35         1   1.0E-10   1.0E-35   1.0E-06   1.0E-10\r\n"
                      "      0.95   1.0E+05   1.0E-01\r\n"),
            std::string::npos)
      << text;
}

// The form was destroyed when it closed, so what it showed is gone and the
// defaults are written.
TEST_F(Saving, ParameterFormClosedWithoutOkGivesDefaults) {
  dialogs.on_modal = [&](QDialog&) { type(main.Form4->LabeledEdit5, "77"); };
  press(main.Button3);
  dialogs.on_modal = nullptr;
  dialogs.save_answer = file();
  press(main.Button4);
  EXPECT_EQ(read_file(file()), kTwoBusFile);
}

TEST_F(Saving, ExistingFileIsReplacedWithoutQuestion) {
  std::ofstream(file().toStdString()) << "older case\n";
  dialogs.save_answer = file();
  press(main.Button4);
  EXPECT_EQ(dialogs.events, (std::vector<std::string>{"save dialog"}));
  EXPECT_EQ(read_file(file()), kTwoBusFile);
  EXPECT_EQ(entries(), 1);
}

TEST_F(Saving, FileThatCannotBeCreatedIsReported) {
  const QString target = folder.filePath("no/such/folder/caso1.dat");
  dialogs.save_answer = target;
  press(main.Button4);
  EXPECT_EQ(dialogs.events,
            (std::vector<std::string>{"save dialog",
                                      "box ATENÇÃO! Não foi possível gravar o arquivo " +
                                          target.toStdString() + ": No such file or directory"}));
  EXPECT_EQ(entries(), 0);
  EXPECT_TRUE(main.Button4->isEnabled());
}

TEST_F(Saving, TooWideValueIsRefusedAndOldFileKept) {
  std::ofstream(file().toStdString()) << "older case\n";
  confirm_parameters(main, dialogs, [](TForm4& form) { type(form.LabeledEdit5, "100"); });
  dialogs.events.clear();
  dialogs.save_answer = file();
  press(main.Button4);
  EXPECT_EQ(dialogs.events,
            (std::vector<std::string>{
                "save dialog",
                "box ATENÇÃO! maxit: o valor 100 não cabe nas 2 colunas do arquivo de dados.\n"
                "O arquivo não foi gravado."}));
  EXPECT_EQ(read_file(file()), "older case\n");
  EXPECT_EQ(entries(), 1);
}

TEST_F(Saving, TitleIsWrittenOneBytePerCharacter) {
  type(main.LabeledEdit4, "Sistema Elétrico");
  dialogs.save_answer = file();
  press(main.Button4);
  EXPECT_EQ(read_file(file()).substr(0, 18), "Sistema El\xE9trico\r\n");
}

TEST_F(Saving, TitleIsReadWhenSaving) {
  type(main.LabeledEdit4, "Outro titulo");
  dialogs.save_answer = file();
  press(main.Button4);
  EXPECT_EQ(read_file(file()).substr(0, 14), "Outro titulo\r\n");
}

}  // namespace
