#include "qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "corvo/default_extension.hpp"

namespace {

// The platform's file dialogs may leave the default extension to the
// program, so the replacement question is asked here, about the name that
// will really be written.
bool may_replace(QWidget* owner, Dialogs& dialogs, const QString& path) {
  if (!QFileInfo::exists(path)) return true;
  return dialogs.ask(owner, QStringLiteral("ATENÇÃO!"),
                     QStringLiteral("O arquivo %1 já existe.\nDeseja substituí-lo?")
                         .arg(QDir::toNativeSeparators(path)),
                     false) == Answer::Yes;
}

QString with_suffix(const QString& path, const QString& suffix) {
  if (suffix.isEmpty()) return path;
  return QString::fromStdString(corvo::with_default_extension(path.toStdString(), suffix.toStdString()));
}

}  // namespace

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
  // The filter shows its name only; the question before a file is replaced
  // comes after the dialog (may_replace), about the name with its extension.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilter(settings.filter_name + " (" + settings.filter_pattern + ")");
  dialog.setDefaultSuffix(settings.default_extension);
  dialog.selectFile(settings.file_name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  // Some platform dialogs leave the default extension to the program.
  const QString chosen = with_suffix(dialog.selectedFiles().constFirst(), settings.default_extension);
  if (!may_replace(owner, *this, chosen)) return std::nullopt;
  return chosen;
}

void QtDialogs::show_modal(QDialog& form) { form.exec(); }

void QtDialogs::show_field_error(QWidget* owner, const QString& place, const QString& message) {
  show_exception(owner, place + ": " + message);
}

Answer QtDialogs::ask(QWidget* owner, const QString& caption, const QString& text,
                      bool with_cancel) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, owner);
  // The texts are set here so that they are Portuguese even where Qt's
  // own translations are not installed.
  QPushButton* yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
  QPushButton* cancel =
      with_cancel ? box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole) : nullptr;
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel ? cancel : no);
  box.exec();
  if (box.clickedButton() == yes) return Answer::Yes;
  if (cancel == nullptr || box.clickedButton() == no) return Answer::No;
  return Answer::Cancel;
}

std::optional<QString> QtDialogs::choose_file_to_open(QWidget* owner, const QString& caption,
                                                      const QStringList& filters) {
  QFileDialog dialog(owner, caption);
  dialog.setObjectName(QStringLiteral("OpenDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::choose_file_to_save(QWidget* owner, const QString& caption,
                                                      const QString& proposed,
                                                      const QString& filter,
                                                      const QString& suffix) {
  QFileDialog dialog(owner, caption);
  dialog.setObjectName(QStringLiteral("ExportDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(suffix);
  dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = with_suffix(dialog.selectedFiles().constFirst(), suffix);
  if (!may_replace(owner, *this, chosen)) return std::nullopt;
  return chosen;
}

std::optional<QString> QtDialogs::choose_folder(QWidget* owner, const QString& caption) {
  QFileDialog dialog(owner, caption);
  dialog.setObjectName(QStringLiteral("FolderDialog"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

void QtDialogs::show_notes(QWidget* owner, const QString& caption, const QString& text,
                           const QStringList& notes) {
  QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
  box.setObjectName(QStringLiteral("NotesBox"));
  box.setDetailedText(notes.join('\n'));
  box.exec();
}
