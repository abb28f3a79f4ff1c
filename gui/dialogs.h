// The windowing operations that wait for the user: message boxes, the
// standard error box, the save dialog and showing a form modally. The forms
// reach them only through this interface, so that tests can answer them.
#pragma once

#include <QString>
#include <optional>

class QDialog;
class QWidget;

enum class MessageIcon { Information, Warning };

// The save dialog's settings, as the main form's `SaveDialog1` holds them.
struct SaveDialogSettings {
  QString name;               // object name of the dialog
  QString file_name;          // proposed file name
  QString default_extension;  // added to a name typed without extension
  QString filter_name;        // the filter's single entry as shown
  QString filter_pattern;     // and its pattern
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A box with `text`, `caption`, `icon` and one OK button, owned by
  // `owner`; returns when the user closes it.
  virtual void message_box(QWidget* owner, const QString& text, const QString& caption,
                           MessageIcon icon) = 0;

  // The standard error box for an error that escaped an event handler.
  virtual void show_exception(QWidget* owner, const QString& message) = 0;

  // Shows the save dialog modally; the full path of the chosen file, or
  // nothing when the user cancelled.
  virtual std::optional<QString> execute_save_dialog(QWidget* owner,
                                                     const SaveDialogSettings& settings) = 0;

  // Shows `form` modally; returns once it has closed.
  virtual void show_modal(QDialog& form) = 0;
};
