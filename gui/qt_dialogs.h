// The dialogs of the running program: Qt message boxes, the Qt file
// dialogs and QDialog::exec.
#pragma once

#include "dialogs.h"

class QtDialogs : public Dialogs {
 public:
  void message_box(QWidget* owner, const QString& text, const QString& caption,
                   MessageIcon icon) override;
  void show_exception(QWidget* owner, const QString& message) override;
  std::optional<QString> execute_save_dialog(QWidget* owner,
                                             const SaveDialogSettings& settings) override;
  void show_modal(QDialog& form) override;
  void show_field_error(QWidget* owner, const QString& place, const QString& message) override;
  Answer ask(QWidget* owner, const QString& caption, const QString& text, bool with_cancel) override;
  std::optional<QString> choose_file_to_open(QWidget* owner, const QString& caption,
                                             const QStringList& filters) override;
  std::optional<QString> choose_file_to_save(QWidget* owner, const QString& caption,
                                             const QString& proposed, const QString& filter,
                                             const QString& suffix) override;
  std::optional<QString> choose_folder(QWidget* owner, const QString& caption) override;
  void show_notes(QWidget* owner, const QString& caption, const QString& text,
                  const QStringList& notes) override;
};
