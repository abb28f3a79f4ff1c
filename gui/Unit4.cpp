#include "Unit4.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Unit1.h"
#include "corvo/number_conversion.hpp"
#include "form_style.h"
#include "handler_guard.h"
#include "labeled_edit.h"

namespace {

// Label and grid row of each edit, in edit order; the default texts come
// with the parameters themselves.
struct ParameterEdit {
  const char* label;
  int row;
};
constexpr ParameterEdit kParameterEdits[corvo::kParameterCount] = {
    {"nbmax:", 0},  {"nlmax:", 0}, {"ndc:", 0},     {"ndp:", 0},    {"maxit:", 1},
    {"iprint:", 1}, {"epsln:", 1}, {"epslgiv:", 2}, {"epslnp:", 2}, {"epslim:", 2},
    {"rho:", 3},    {"bigM:", 3},  {"sigma:", 3},
};

}  // namespace

TForm4::TForm4(TForm1& main_form) : QDialog(&main_form), main_form_(main_form) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("CORVO - Parâmetros do Algoritmo"));
  set_form_frame(*this, 379, 464, false);

  Label1 = new QLabel(QStringLiteral("Parâmetros do Algoritmo"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(heading_font(*this));
  Label1->setAlignment(Qt::AlignCenter);

  GroupBox1 = new QGroupBox(QStringLiteral("Parâmetros do algoritmo:"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* grid = new QGridLayout(GroupBox1);
  grid->setVerticalSpacing(14);
  // The defaults, or the case's own parameters where the forms show them.
  const corvo::ParameterTexts shown =
      main_form_.behaviour().forms_show_case && main_form_.Case.parameters_confirmed
          ? corvo::parameter_texts_of(main_form_.Case.parameters, ',')
          : corvo::default_parameter_texts();
  int column = 0;
  int previous_row = 0;
  for (std::size_t i = 0; i < corvo::kParameterCount; ++i) {
    const ParameterEdit& edit = kParameterEdits[i];
    if (edit.row != previous_row) column = 0;
    previous_row = edit.row;
    edits_[i] = new LabeledEdit(QStringLiteral("LabeledEdit%1").arg(i + 1),
                                QString::fromUtf8(edit.label), GroupBox1);
    edits_[i]->setText(QString::fromStdString(shown[i]));
    grid->addWidget(edits_[i], edit.row, column++);
  }
  LabeledEdit1 = edits_[0];
  LabeledEdit2 = edits_[1];
  LabeledEdit3 = edits_[2];
  LabeledEdit4 = edits_[3];
  LabeledEdit5 = edits_[4];
  LabeledEdit6 = edits_[5];
  LabeledEdit7 = edits_[6];
  LabeledEdit8 = edits_[7];
  LabeledEdit9 = edits_[8];
  LabeledEdit10 = edits_[9];
  LabeledEdit11 = edits_[10];
  LabeledEdit12 = edits_[11];
  LabeledEdit13 = edits_[12];

  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  // Enter anywhere on the form confirms it.
  Button1->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 24);
  layout->setSpacing(16);
  layout->addWidget(Label1);
  layout->addWidget(GroupBox1);
  layout->addWidget(Button1, 0, Qt::AlignHCenter);
  layout->addStretch();

  connect(Button1, &QPushButton::clicked, this,
          [this] { run_handler(main_form_.dialogs(), this, [this] { Button1Click(); }); });
  FormCreate();
}

void TForm4::FormCreate() { DecimalSeparator = ','; }

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (placed_) return;
  placed_ = true;
  centre_on_screen(*this);
}

corvo::ParameterTexts TForm4::texts() const {
  corvo::ParameterTexts result;
  for (std::size_t i = 0; i < corvo::kParameterCount; ++i) {
    result[i] = edits_[i]->text().toUtf8().toStdString();
  }
  return result;
}

// The flag is set first: when a text does not convert, the form stays open
// with the values before it already stored.
void TForm4::Button1Click() {
  main_form_.ParametersChanged();
  main_form_.Case.parameters_confirmed = true;
  try {
    corvo::convert_parameters(texts(), DecimalSeparator, main_form_.Case.parameters);
  } catch (const corvo::PlacedConversionError& error) {
    throw corvo::PlacedConversionError(error, "Parâmetros do algoritmo, " + error.place());
  }
  accept();
}
