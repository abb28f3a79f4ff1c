#include "Unit1.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <optional>
#include <string>

#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "corvo/algorithm_parameters.hpp"
#include "corvo/case_file_writer.hpp"
#include "corvo/case_saving.hpp"
#include "corvo/file_replacement.hpp"
#include "corvo/number_conversion.hpp"
#include "form_style.h"
#include "handler_guard.h"
#include "labeled_edit.h"

namespace {

const QString kAttentionCaption = QStringLiteral("ATENÇÃO!");

std::string text_of(const LabeledEdit& edit) { return edit.text().toUtf8().toStdString(); }

// The count in `text`, or nothing when the text does not convert (the
// handler's own conversion then reports it).
std::optional<std::int32_t> count_in(const std::string& text) {
  try {
    return corvo::StrToInt(text);
  } catch (const corvo::ConversionError&) {
    return std::nullopt;
  }
}

}  // namespace

TForm1::TForm1(Dialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("CORVO - Interface Gráfica"));
  set_form_frame(*this, 498, 642, true);
  SaveDialog1 = {QStringLiteral("SaveDialog1"), QStringLiteral("caso1"), QStringLiteral("dat"),
                 QStringLiteral("Arquivo de Dados (CORVO)"), QStringLiteral("*.dat")};
  build_layout();
  connect_handlers();
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::build_layout() {
  Label1 = new QLabel(QStringLiteral("CORVO GUI"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(heading_font(*this));
  Label1->setAlignment(Qt::AlignCenter);

  GroupBox1 = new QGroupBox(QStringLiteral("Dados do problema:"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  LabeledEdit1 = new LabeledEdit(QStringLiteral("LabeledEdit1"),
                                 QStringLiteral("Número de Barras:"), GroupBox1, 3);
  LabeledEdit2 = new LabeledEdit(QStringLiteral("LabeledEdit2"), QStringLiteral("Número de Ramos:"),
                                 GroupBox1, 3);
  LabeledEdit3 = new LabeledEdit(QStringLiteral("LabeledEdit3"),
                                 QStringLiteral("Potência Base (MVA):"), GroupBox1, 9);
  LabeledEdit4 = new LabeledEdit(QStringLiteral("LabeledEdit4"),
                                 QStringLiteral("Título do Caso em Estudo:"), GroupBox1, 80);
  Button5 = new QPushButton(QStringLiteral("OK"), GroupBox1);
  Button5->setObjectName(QStringLiteral("Button5"));
  auto* problem = new QGridLayout(GroupBox1);
  problem->setVerticalSpacing(12);
  problem->addWidget(LabeledEdit1, 0, 0);
  problem->addWidget(LabeledEdit2, 0, 1);
  problem->addWidget(LabeledEdit3, 0, 2);
  problem->addWidget(LabeledEdit4, 1, 0, 1, 3);
  problem->addWidget(Button5, 2, 0, 1, 3, Qt::AlignHCenter);

  GroupBox2 = new QGroupBox(QStringLiteral("Dados da Rede:"), this);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  Button1 = new QPushButton(QStringLiteral("Inserir Dados dos Ramos"), GroupBox2);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2 = new QPushButton(QStringLiteral("Inserir Dados das Barras"), GroupBox2);
  Button2->setObjectName(QStringLiteral("Button2"));
  auto* network = new QVBoxLayout(GroupBox2);
  network->setSpacing(12);
  network->addWidget(Button1);
  network->addWidget(Button2);

  GroupBox3 = new QGroupBox(QStringLiteral("Gravar arquivo:"), this);
  GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
  Button3 = new QPushButton(QStringLiteral("Configurar Parâmetros do Algoritmo"), GroupBox3);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button4 = new QPushButton(QStringLiteral("GRAVAR"), GroupBox3);
  Button4->setObjectName(QStringLiteral("Button4"));
  auto* saving = new QVBoxLayout(GroupBox3);
  saving->setSpacing(12);
  saving->addWidget(Button3);
  saving->addWidget(Button4);

  Button1->setEnabled(false);
  Button2->setEnabled(false);
  Button4->setEnabled(false);

  for (QPushButton* button : {Button5, Button1, Button2, Button3, Button4}) {
    button->setMinimumHeight(32);
  }
  Button5->setMinimumWidth(120);

  // The heading, then the three group boxes one below the other with the
  // free height shared between them.
  auto* form = new QVBoxLayout(this);
  form->setContentsMargins(28, 20, 28, 28);
  form->setSpacing(12);
  form->addWidget(Label1);
  form->addSpacing(8);
  form->addWidget(GroupBox1);
  form->addStretch(1);
  form->addWidget(GroupBox2);
  form->addStretch(1);
  form->addWidget(GroupBox3);
  form->addStretch(1);
}

void TForm1::connect_handlers() {
  const auto guarded = [this](void (TForm1::*handler)()) {
    return
        [this, handler] { run_handler(dialogs_, this, [this, handler] { (this->*handler)(); }); };
  };
  connect(Button5, &QPushButton::clicked, this, guarded(&TForm1::Button5Click));
  connect(Button1, &QPushButton::clicked, this, guarded(&TForm1::Button1Click));
  connect(Button2, &QPushButton::clicked, this, guarded(&TForm1::Button2Click));
  connect(Button3, &QPushButton::clicked, this, guarded(&TForm1::Button3Click));
  connect(Button4, &QPushButton::clicked, this, guarded(&TForm1::Button4Click));
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!placed_) {
    centre_on_screen(*this);
    placed_ = true;
  }
}

void TForm1::FormCreate() {
  Case.parameters_confirmed = false;
  DecimalSeparator = ',';
}

// A negative line count and a bus count below one are refused before
// anything is stored (a case may have no line: one bus alone is a valid
// case). The counts are looked at in the order the handler converts them,
// up to the first text that does not convert: that one is left to the
// conversion error.
bool TForm1::refuse_invalid_counts() {
  const struct {
    const LabeledEdit* edit;
    std::int32_t least;
    QString message;
  } counts[] = {
      {LabeledEdit2, 0, QStringLiteral("O Número de Ramos deve ser um inteiro maior ou igual a zero!")},
      {LabeledEdit1, 1, QStringLiteral("O Número de Barras deve ser um inteiro maior que zero!")},
  };
  for (const auto& count : counts) {
    const std::optional<std::int32_t> value = count_in(text_of(*count.edit));
    if (!value) return false;
    if (*value < count.least) {
      dialogs_.message_box(this, count.message, kAttentionCaption, MessageIcon::Warning);
      return true;
    }
  }
  return false;
}

void TForm1::update_save_button() { Button4->setEnabled(lines_confirmed_ && buses_confirmed_); }

void TForm1::LinesConfirmed() {
  lines_confirmed_ = true;
  update_save_button();
}

void TForm1::BusesConfirmed() {
  buses_confirmed_ = true;
  update_save_button();
}

// A grid whose count changes holds arrays of the new size that the user
// has not seen: it must be confirmed again before the case can be saved.
// A grid whose count stays keeps its confirmed values.
void TForm1::Button5Click() {
  if (refuse_invalid_counts()) return;

  const std::int32_t nl = corvo::StrToInt(text_of(*LabeledEdit2));
  if (nl != Case.nl) lines_confirmed_ = false;
  corvo::set_line_count(Case, nl);
  update_save_button();
  const std::int32_t n = corvo::StrToInt(text_of(*LabeledEdit1));
  if (n != Case.n) buses_confirmed_ = false;
  corvo::set_bus_count(Case, n);
  update_save_button();
  Case.Sb = corvo::StrToFloat(text_of(*LabeledEdit3), DecimalSeparator);
  Button1->setEnabled(true);
}

// Each opening creates a fresh form, warns about the decimal comma, shows
// the form modally and destroys it once it has closed.
template <class Form>
void TForm1::open_form(Form*& open_instance) {
  const auto form = std::make_unique<Form>(*this);
  open_instance = form.get();
  struct Forget {
    Form*& instance;
    ~Forget() { instance = nullptr; }
  } forget{open_instance};

  dialogs_.message_box(this, QStringLiteral("Utilizar ',' como separador decimal!"),
                       kAttentionCaption, MessageIcon::Information);
  dialogs_.show_modal(*form);
}

void TForm1::Button1Click() { open_form(Form2); }

void TForm1::Button2Click() { open_form(Form3); }

void TForm1::Button3Click() { open_form(Form4); }

// Parameters that were never confirmed are taken from the parameter form's
// default texts: a form opened and closed without OK has been destroyed, so
// the texts it showed are gone. A conversion error goes on to the standard
// error box; the other refusals are reported here. Either way no file is
// created or replaced.
void TForm1::Button4Click() {
  const std::optional<QString> file = dialogs_.execute_save_dialog(this, SaveDialog1);
  if (!file) return;

  // The title goes out as an 8-bit text, one byte per character.
  const std::string title = LabeledEdit4->text().toLatin1().toStdString();
  try {
    corvo::save_case(QFile::encodeName(*file).toStdString(), title, Case,
                     corvo::default_parameter_texts(), DecimalSeparator);
  } catch (const corvo::CaseFileLayoutError& error) {
    const QString refusal = QString::fromUtf8(error.what());
    dialogs_.message_box(this, refusal + QStringLiteral(".\nO arquivo não foi gravado."),
                         kAttentionCaption, MessageIcon::Warning);
  } catch (const corvo::FileWriteError& error) {
    dialogs_.message_box(this, QString::fromUtf8(error.what()), kAttentionCaption,
                         MessageIcon::Warning);
  }
}
