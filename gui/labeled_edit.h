// An edit box with its label above it.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

class LabeledEdit : public QWidget {
  Q_OBJECT

 public:
  // `max_length` 0 means no limit.
  LabeledEdit(const QString& name, const QString& label, QWidget* parent, int max_length = 0);

  QString text() const;
  void setText(const QString& text);
  QLabel* EditLabel() const { return label_; }
  QLineEdit* Edit() const { return edit_; }

 private:
  QLabel* label_;
  QLineEdit* edit_;
};
