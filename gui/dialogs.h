// The windowing operations that wait for the user: message boxes, the
// standard error box, the save dialog and showing a form modally. The forms
// reach them only through this interface, so that tests can answer them.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

enum class MessageIcon { Information, Warning };

// The answer to a question box.
enum class Answer { Yes, No, Cancel };

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

  // The error box for a value refused at a place of a form: `place` names
  // the form, the row and the column, `message` what is wrong.
  virtual void show_field_error(QWidget* owner, const QString& place, const QString& message) = 0;

  // A question with the buttons "Sim" and "Não", and "Cancelar" when
  // `with_cancel`; closing the box answers No, or Cancel when offered.
  virtual Answer ask(QWidget* owner, const QString& caption, const QString& text,
                     bool with_cancel) = 0;

  // The dialog that chooses a file to open; the full path, or nothing when
  // the user cancelled. `filters` as Qt writes them ("Casos (*.dat *.m)").
  virtual std::optional<QString> choose_file_to_open(QWidget* owner, const QString& caption,
                                                     const QStringList& filters) = 0;

  // The dialog that chooses a file to write (an export, a case saved under
  // another name): `proposed` name or path, `filter` and the `suffix` added
  // to a name typed without one. An existing file is replaced only when the
  // user says so.
  virtual std::optional<QString> choose_file_to_save(QWidget* owner, const QString& caption,
                                                     const QString& proposed,
                                                     const QString& filter,
                                                     const QString& suffix) = 0;

  // The dialog that chooses a folder.
  virtual std::optional<QString> choose_folder(QWidget* owner, const QString& caption) = 0;

  // A box with `text` and a list of `notes` the user may read through.
  virtual void show_notes(QWidget* owner, const QString& caption, const QString& text,
                          const QStringList& notes) = 0;
};
