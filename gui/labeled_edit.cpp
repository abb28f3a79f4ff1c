#include "labeled_edit.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

LabeledEdit::LabeledEdit(const QString& name, const QString& label, QWidget* parent, int max_length)
    : QWidget(parent), label_(new QLabel(label, this)), edit_(new QLineEdit(this)) {
  setObjectName(name);
  label_->setObjectName(name + "Label");
  edit_->setObjectName(name + "Edit");
  label_->setBuddy(edit_);
  if (max_length > 0) edit_->setMaxLength(max_length);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(label_);
  layout->addWidget(edit_);
}

QString LabeledEdit::text() const { return edit_->text(); }

void LabeledEdit::setText(const QString& text) { edit_->setText(text); }
