// The real dialogs, answered from a timer while they run modally.
#include "qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <functional>

namespace {

// Calls `act` on the modal widget once it is up. Should `act` leave it
// open (a failed assertion returns early), it is closed, so that the test
// fails instead of waiting for ever.
void when_modal(const std::function<void(QWidget&)>& act) {
  QTimer::singleShot(0, [act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      act(*modal);
    } else {
      ADD_FAILURE() << "no modal widget";
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(window);
      if (dialog && dialog->isVisible()) {
        ADD_FAILURE() << "dialog left open: " << dialog->objectName().toStdString();
        dialog->reject();
      }
    }
  });
}

SaveDialogSettings settings() {
  return {"SaveDialog1", "caso1", "dat", "Arquivo de Dados (CORVO)", "*.dat"};
}

TEST(QtDialogs, SaveDialogSettingsAndAccept) {
  QtDialogs dialogs;
  when_modal([](QWidget& widget) {
    auto* dialog = qobject_cast<QFileDialog*>(&widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "SaveDialog1");
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->defaultSuffix(), "dat");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Arquivo de Dados (CORVO) (*.dat)"});
    EXPECT_TRUE(dialog->testOption(QFileDialog::HideNameFilterDetails));
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog->directory().absolutePath(), QDir::current().absolutePath());
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "caso1");
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  const std::optional<QString> chosen = dialogs.execute_save_dialog(nullptr, settings());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, QDir::current().absoluteFilePath("caso1.dat"));
}

TEST(QtDialogs, SaveDialogCancelled) {
  QtDialogs dialogs;
  when_modal([](QWidget& widget) { static_cast<QDialog&>(widget).reject(); });
  EXPECT_FALSE(dialogs.execute_save_dialog(nullptr, settings()).has_value());
}

TEST(QtDialogs, MessageBoxShowsTextCaptionAndIcon) {
  QtDialogs dialogs;
  when_modal([](QWidget& widget) {
    auto* box = qobject_cast<QMessageBox*>(&widget);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Utilizar ',' como separador decimal!");
    EXPECT_EQ(box->windowTitle(), "ATENÇÃO!");
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    box->accept();
  });
  dialogs.message_box(nullptr, "Utilizar ',' como separador decimal!", "ATENÇÃO!",
                      MessageIcon::Information);
}

TEST(QtDialogs, ErrorBoxShowsMessage) {
  QtDialogs dialogs;
  when_modal([](QWidget& widget) {
    auto* box = qobject_cast<QMessageBox*>(&widget);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "'0.1' não é um valor real válido");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->accept();
  });
  dialogs.show_exception(nullptr, "'0.1' não é um valor real válido");
}

TEST(QtDialogs, ShowModalReturnsWhenFormCloses) {
  QtDialogs dialogs;
  QDialog form;
  when_modal([&form](QWidget& widget) {
    EXPECT_EQ(&widget, &form);
    form.accept();
  });
  dialogs.show_modal(form);
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

// Saving over an existing file asks, about the name with its extension;
// "Não" gives no file, "Sim" the file.
TEST(QtDialogs, SaveOverAnExistingFileAsks) {
  QTemporaryDir folder;
  std::ofstream(folder.filePath("caso1.dat").toStdString()) << "older case\n";
  SaveDialogSettings existing = settings();
  existing.file_name = folder.filePath("caso1");
  for (const bool replace : {false, true}) {
    QtDialogs dialogs;
    QString question;
    QTimer::singleShot(0, [&question, replace] {
      static_cast<QDialog*>(QApplication::activeModalWidget())->accept();  // the file dialog's Save
      QTimer::singleShot(0, [&question, replace] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        question = box->text();
        for (QAbstractButton* button : box->buttons()) {
          if (button->text() == (replace ? "Sim" : "Não")) button->click();
        }
      });
    });
    const std::optional<QString> chosen = dialogs.execute_save_dialog(nullptr, existing);
    EXPECT_EQ(question, "O arquivo " + folder.filePath("caso1.dat") + " já existe.\nDeseja substituí-lo?");
    EXPECT_EQ(chosen.has_value(), replace);
  }
}

struct AskCase {
  bool with_cancel;
  const char* button;  // clicked, or nullptr to close the box by Esc
  Answer answer;
};

TEST(QtDialogs, QuestionButtonsAndAnswers) {
  const AskCase cases[] = {
      {true, "Sim", Answer::Yes},   {true, "Não", Answer::No},   {true, "Cancelar", Answer::Cancel},
      {true, nullptr, Answer::Cancel}, {false, "Sim", Answer::Yes}, {false, nullptr, Answer::No},
  };
  for (const AskCase& c : cases) {
    QtDialogs dialogs;
    when_modal([&c](QWidget& widget) {
      auto* box = qobject_cast<QMessageBox*>(&widget);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), "CORVO");
      EXPECT_EQ(box->text(), "Gravar alterações?");
      QStringList texts;
      for (QAbstractButton* button : box->buttons()) texts << button->text();
      texts.sort();
      EXPECT_EQ(texts, c.with_cancel ? QStringList({"Cancelar", "Não", "Sim"}) : QStringList({"Não", "Sim"}));
      if (c.button == nullptr) {
        box->reject();
        return;
      }
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == c.button) button->click();
      }
    });
    EXPECT_EQ(dialogs.ask(nullptr, "CORVO", "Gravar alterações?", c.with_cancel), c.answer)
        << (c.button ? c.button : "Esc");
  }
}

TEST(QtDialogs, FieldErrorNamesThePlace) {
  QtDialogs dialogs;
  when_modal([](QWidget& widget) {
    auto* box = qobject_cast<QMessageBox*>(&widget);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Ramos, linha 3, Reatância Série (p.u.): '0,1x' não é um valor real válido");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->accept();
  });
  dialogs.show_field_error(nullptr, "Ramos, linha 3, Reatância Série (p.u.)", "'0,1x' não é um valor real válido");
}

TEST(QtDialogs, NotesAreTheDetailsOfTheBox) {
  QtDialogs dialogs;
  when_modal([](QWidget& widget) {
    auto* box = qobject_cast<QMessageBox*>(&widget);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "O caso foi convertido.");
    EXPECT_EQ(box->detailedText(), "primeira\nsegunda");
    box->accept();
  });
  dialogs.show_notes(nullptr, "Caso MATPOWER convertido", "O caso foi convertido.", {"primeira", "segunda"});
}

TEST(QtDialogs, OpenDialogTakesAnExistingFile) {
  QTemporaryDir folder;
  std::ofstream(folder.filePath("ieee9.dat").toStdString()) << "x\n";
  QtDialogs dialogs;
  when_modal([&folder](QWidget& widget) {
    auto* dialog = qobject_cast<QFileDialog*>(&widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    dialog->selectFile(folder.filePath("ieee9.dat"));
    static_cast<QDialog*>(dialog)->accept();
  });
  const std::optional<QString> chosen =
      dialogs.choose_file_to_open(nullptr, "Abrir caso", {"Casos (*.dat *.m)"});
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, folder.filePath("ieee9.dat"));
}

}  // namespace
