// The real dialogs, answered from a timer while they run modally.
#include "qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
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

}  // namespace
