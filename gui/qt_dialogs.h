// The dialogs of the running program: Qt message boxes, the Qt file
// dialog and QDialog::exec.
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
};
