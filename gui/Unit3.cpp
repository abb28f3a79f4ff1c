#include "Unit3.h"

#include <QGroupBox>
#include <QHBoxLayout>
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

TForm3::TForm3(TForm1& main_form) : QDialog(&main_form), main_form_(main_form) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("CORVO - Dados das Barras"));
  set_form_frame(*this, 776, 501, true);

  Label1 = new QLabel(QStringLiteral("Dados das Barras"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(heading_font(*this));
  Label1->setAlignment(Qt::AlignCenter);
  Barras = new DataGrid(
      QStringLiteral("Barras"), QStringLiteral("Barra"),
      {QStringLiteral("Tipo"), QStringLiteral("Carga\n(MW)"),
       QStringLiteral("Termo Constante\nda F. C. ($/h)"),
       QStringLiteral("Coef. Linear\nda F. C. ($/MWh)"),
       QStringLiteral("Coef. Quadrático\nda F. C. ($/MW2h)"),
       QStringLiteral("Limite Superior\n(MW)"), QStringLiteral("Limite Inferior\n(MW)")},
      this);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setAutoDefault(false);

  GroupBox1 = new QGroupBox(QStringLiteral("Tipos de Barras:"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* types = new QVBoxLayout(GroupBox1);
  int label_number = 2;
  for (const QString& type :
       {QStringLiteral("Barra de Carga: 0"), QStringLiteral("Barra de Geração: 1"),
        QStringLiteral("Barra de Referência: 2"), QStringLiteral("Barra de Geração Negativa: 3")}) {
    auto* label = new QLabel(type, GroupBox1);
    label->setObjectName(QStringLiteral("Label%1").arg(label_number++));
    types->addWidget(label);
  }

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(GroupBox1);
  bottom->addStretch(1);
  bottom->addWidget(Button1, 0, Qt::AlignVCenter);
  bottom->addStretch(2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Barras, 1);
  layout->addLayout(bottom);

  connect(Button1, &QPushButton::clicked, this,
          [this] { run_handler(main_form_.dialogs(), this, [this] { Button1Click(); }); });
  FormCreate();
}

void TForm3::FormCreate() { DecimalSeparator = ','; }

void TForm3::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;
  activated_ = true;
  centre_on_screen(*this);
  run_handler(main_form_.dialogs(), this, [this] { FormActivate(); });
  if (main_form_.behaviour().forms_show_case) show_case_rows();
  connect(Barras, &QTableWidget::itemChanged, this, [this] { typed_ = true; });
}

// The rows the case holds, as a user would have typed them; a load bus
// shows its load alone, as its generator cells are never read.
void TForm3::show_case_rows() {
  const corvo::CaseData& buses = main_form_.Case;
  const int rows = std::min({Barras->rowCount(), main_form_.BusesFilled(), buses.n});
  const char separator = DecimalSeparator;
  fill_rows(*Barras, rows, [&buses, separator](int row) {
    const auto i = static_cast<std::size_t>(row);
    QStringList cells{QString::number(buses.bus_type[i]), number_text(buses.load[i], separator)};
    if (buses.bus_type[i] != 0) {
      cells << number_text(buses.constant_cost[i], separator)
            << number_text(buses.linear_cost[i], separator)
            << number_text(buses.quadratic_cost[i], separator)
            << number_text(buses.gen_upper[i], separator) << number_text(buses.gen_lower[i], separator);
    }
    return cells;
  });
}

void TForm3::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && typed_ && !confirm_discard(main_form_.dialogs(), this)) {
    return;
  }
  QDialog::keyPressEvent(event);
}

// The grid offers as many rows as "Número de Barras:" says now, confirmed or
// not; OK reads the confirmed count.
void TForm3::FormActivate() {
  Barras->SetRowCount(corvo::StrToInt(main_form_.LabeledEdit1->text().toUtf8().toStdString()));
}

void TForm3::Button1Click() {
  corvo::CaseData& buses = main_form_.Case;
  read_integer_column(*Barras, 1, buses.bus_type);
  read_real_column(*Barras, 2, buses.load, DecimalSeparator);
  read_generator_column(*Barras, 3, buses.bus_type, buses.constant_cost, DecimalSeparator);
  read_generator_column(*Barras, 4, buses.bus_type, buses.linear_cost, DecimalSeparator);
  read_generator_column(*Barras, 5, buses.bus_type, buses.quadratic_cost, DecimalSeparator);
  read_generator_column(*Barras, 6, buses.bus_type, buses.gen_upper, DecimalSeparator);
  read_generator_column(*Barras, 7, buses.bus_type, buses.gen_lower, DecimalSeparator);
  accept();
  main_form_.BusesConfirmed();
}
