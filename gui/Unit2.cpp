#include "Unit2.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "Unit1.h"
#include "corvo/number_conversion.hpp"
#include "corvo/number_text.hpp"
#include "data_grid.h"
#include "form_style.h"
#include "grid_filling.h"
#include "grid_reading.h"
#include "handler_guard.h"
#include "labeled_edit.h"

TForm2::TForm2(TForm1& main_form) : QDialog(&main_form), main_form_(main_form) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("CORVO - Dados dos Ramos"));
  set_form_frame(*this, 548, 470, true);

  Label1 = new QLabel(QStringLiteral("Dados dos Ramos"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(heading_font(*this));
  Label1->setAlignment(Qt::AlignCenter);
  Ramos =
      new DataGrid(QStringLiteral("Ramos"), QStringLiteral("Ramo"),
                   {QStringLiteral("Barra de\nOrigem"), QStringLiteral("Barra de\nDestino"),
                    QStringLiteral("Reatância Série\n(p.u.)"),
                    QStringLiteral("Limite Máximo\n(MW)"), QStringLiteral("Limite Mínimo\n(MW)")},
                   this);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Ramos, 1);
  layout->addWidget(Button1, 0, Qt::AlignHCenter);

  connect(Button1, &QPushButton::clicked, this,
          [this] { run_handler(main_form_.dialogs(), this, [this] { Button1Click(); }); });
  FormCreate();
}

void TForm2::FormCreate() { DecimalSeparator = ','; }

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;
  activated_ = true;
  centre_on_screen(*this);
  run_handler(main_form_.dialogs(), this, [this] { FormActivate(); });
  if (main_form_.behaviour().forms_show_case) show_case_rows();
  connect(Ramos, &QTableWidget::itemChanged, this, [this] { typed_ = true; });
}

// The rows the case holds, as a user would have typed them.
void TForm2::show_case_rows() {
  const corvo::CaseData& lines = main_form_.Case;
  const int rows = std::min({Ramos->rowCount(), main_form_.LinesFilled(), lines.nl});
  const char separator = DecimalSeparator;
  fill_rows(*Ramos, rows, [&lines, separator](int row) {
    const auto l = static_cast<std::size_t>(row);
    return QStringList{QString::number(lines.se[l]), QString::number(lines.re[l]),
                       number_text(lines.x[l], separator), number_text(lines.line_upper[l], separator),
                       number_text(lines.line_lower[l], separator)};
  });
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && typed_ && !confirm_discard(main_form_.dialogs(), this)) {
    return;
  }
  QDialog::keyPressEvent(event);
}

// The grid offers as many rows as "Número de Ramos:" says now, confirmed or
// not; OK reads the confirmed count.
void TForm2::FormActivate() {
  Ramos->SetRowCount(corvo::StrToInt(main_form_.LabeledEdit2->text().toUtf8().toStdString()));
}

void TForm2::Button1Click() {
  corvo::CaseData& lines = main_form_.Case;
  read_integer_column(*Ramos, 1, lines.se);
  read_integer_column(*Ramos, 2, lines.re);
  read_real_column(*Ramos, 3, lines.x, DecimalSeparator);
  read_real_column(*Ramos, 4, lines.line_upper, DecimalSeparator);
  read_real_column(*Ramos, 5, lines.line_lower, DecimalSeparator);
  main_form_.Button2->setEnabled(true);
  main_form_.LinesConfirmed();
  accept();
}
