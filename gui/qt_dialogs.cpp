#include "qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "corvo/default_extension.hpp"

void QtDialogs::message_box(QWidget* owner, const QString& text, const QString& caption,
                            MessageIcon icon) {
  const QMessageBox::Icon qt_icon =
      icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning;
  QMessageBox box(qt_icon, caption, text, QMessageBox::Ok, owner);
  box.exec();
}

void QtDialogs::show_exception(QWidget* owner, const QString& message) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok,
                  owner);
  box.exec();
}

std::optional<QString> QtDialogs::execute_save_dialog(QWidget* owner,
                                                      const SaveDialogSettings& settings) {
  QFileDialog dialog(owner);
  dialog.setObjectName(settings.name);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDirectory(QDir::current());
  // A replaced file is not questioned; the filter shows its name only.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilter(settings.filter_name + " (" + settings.filter_pattern + ")");
  dialog.setDefaultSuffix(settings.default_extension);
  dialog.selectFile(settings.file_name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  // Some platform dialogs leave the default extension to the program.
  const std::string chosen = dialog.selectedFiles().constFirst().toStdString();
  return QString::fromStdString(
      corvo::with_default_extension(chosen, settings.default_extension.toStdString()));
}

void QtDialogs::show_modal(QDialog& form) { form.exec(); }
