// Dialogs answered by the test instead of the user.
//
// Every box, error, save dialog and modal form is written to `events` in
// the order it happens. A modal form really runs modally (QDialog::exec);
// `on_modal` acts on it from inside its modal loop, as a user would, and a
// form still open afterwards is closed by its close box.
#pragma once

#include <QDialog>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs.h"

class FakeDialogs : public Dialogs {
 public:
  std::vector<std::string> events;
  std::function<void(QDialog&)> on_modal;
  std::optional<QString> save_answer;
  std::optional<SaveDialogSettings> last_save_settings;
  std::vector<MessageIcon> icons;
  // The places named by error boxes of refused fields, in order.
  std::vector<std::string> places;
  // The answers to the questions, taken in order; a question without an
  // answer left is answered Cancel (or No) and recorded as unexpected.
  std::deque<Answer> answers;
  std::optional<QString> open_answer;
  std::optional<QString> file_answer;
  std::optional<QString> folder_answer;

  void message_box(QWidget*, const QString& text, const QString& caption,
                   MessageIcon icon) override {
    events.push_back("box " + caption.toStdString() + " " + text.toStdString());
    icons.push_back(icon);
  }

  void show_exception(QWidget*, const QString& message) override {
    events.push_back("error " + message.toStdString());
  }

  std::optional<QString> execute_save_dialog(QWidget*,
                                             const SaveDialogSettings& settings) override {
    events.push_back("save dialog");
    last_save_settings = settings;
    return save_answer;
  }

  void show_modal(QDialog& form) override {
    events.push_back("modal " + form.objectName().toStdString());
    QTimer::singleShot(0, &form, [this, &form] {
      if (on_modal) on_modal(form);
      if (form.isVisible()) {
        events.push_back("closed by close box");
        form.reject();
      }
    });
    form.exec();
  }

  void show_field_error(QWidget*, const QString& place, const QString& message) override {
    events.push_back("error " + message.toStdString());
    places.push_back(place.toStdString());
  }

  Answer ask(QWidget*, const QString& caption, const QString& text, bool with_cancel) override {
    events.push_back("ask " + caption.toStdString() + " " + text.toStdString());
    if (answers.empty()) {
      events.push_back("unexpected question");
      return with_cancel ? Answer::Cancel : Answer::No;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::optional<QString> choose_file_to_open(QWidget*, const QString&, const QStringList&) override {
    events.push_back("open dialog");
    return open_answer;
  }

  std::optional<QString> choose_file_to_save(QWidget*, const QString& caption, const QString&,
                                             const QString&, const QString&) override {
    events.push_back("file dialog " + caption.toStdString());
    return file_answer;
  }

  std::optional<QString> choose_folder(QWidget*, const QString& caption) override {
    events.push_back("folder dialog " + caption.toStdString());
    return folder_answer;
  }

  void show_notes(QWidget*, const QString& caption, const QString&, const QStringList& notes) override {
    events.push_back("notes " + caption.toStdString() + " (" + std::to_string(notes.size()) + ")");
  }

  // The events that are error boxes.
  std::vector<std::string> errors() const {
    std::vector<std::string> result;
    for (const std::string& event : events) {
      if (event.rfind("error ", 0) == 0) result.push_back(event.substr(6));
    }
    return result;
  }
};
