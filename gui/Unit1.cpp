#include "Unit1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "corvo/algorithm_parameters.hpp"
#include "corvo/case_file_writer.hpp"
#include "corvo/case_opening.hpp"
#include "corvo/case_saving.hpp"
#include "corvo/file_replacement.hpp"
#include "corvo/number_conversion.hpp"
#include "corvo/number_text.hpp"
#include "form_style.h"
#include "handler_guard.h"
#include "labeled_edit.h"

namespace {

const QString kAttentionCaption = QStringLiteral("ATENÇÃO!");

std::string text_of(const LabeledEdit& edit) { return edit.text().toUtf8().toStdString(); }

// The digits the count edits take typed.
constexpr int kCountLength = 3;

// The rounded values listed in the question before a save; the rest are
// counted.
constexpr std::size_t kRoundedShown = 8;

// Converts the text of `edit`; a text that does not convert is reported at
// the edit's place on the form ("Dados do problema, Número de Barras").
template <class Convert>
auto convert_edit(const LabeledEdit& edit, Convert convert) {
  const std::string text = text_of(edit);
  try {
    return convert(text);
  } catch (const corvo::ConversionError& error) {
    QString label = edit.EditLabel()->text();
    if (label.endsWith(':')) label.chop(1);
    throw corvo::PlacedConversionError(error, ("Dados do problema, " + label).toStdString());
  }
}

// An opened case may hold more buses or lines than the digits the form
// takes typed: its count is shown whole.
void show_count(LabeledEdit& edit, std::int32_t count) {
  const QString text = QString::number(count);
  edit.Edit()->setMaxLength(std::max(kCountLength, static_cast<int>(text.size())));
  edit.setText(text);
}

QString rounding_question(const std::vector<std::string>& rounded) {
  QString text = QStringLiteral(
      "Alguns valores têm mais casas decimais do que o arquivo de dados guarda e serão "
      "arredondados:\n");
  for (std::size_t i = 0; i < rounded.size() && i < kRoundedShown; ++i) {
    text += "\n" + QString::fromStdString(rounded[i]);
  }
  if (rounded.size() > kRoundedShown) {
    text += QStringLiteral("\n… e mais %1").arg(rounded.size() - kRoundedShown);
  }
  return text + QStringLiteral("\n\nGravar assim mesmo?");
}

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

TForm1::TForm1(Dialogs& dialogs, QWidget* parent, EditorBehaviour behaviour)
    : QWidget(parent), dialogs_(dialogs), behaviour_(behaviour) {
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
                                 QStringLiteral("Número de Barras:"), GroupBox1, kCountLength);
  LabeledEdit2 = new LabeledEdit(QStringLiteral("LabeledEdit2"), QStringLiteral("Número de Ramos:"),
                                 GroupBox1, kCountLength);
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

  // Enter in any problem edit confirms the problem data, as OK does; any
  // typing there is a change of the case (the title is read only when the
  // case is saved).
  for (LabeledEdit* edit : {LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4}) {
    connect(edit->Edit(), &QLineEdit::returnPressed, Button5, &QPushButton::click);
    connect(edit->Edit(), &QLineEdit::textEdited, this, [this] { set_modified(true); });
  }
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Inside the workbench's window the form is not a window of its own.
  if (!placed_ && isWindow()) {
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

void TForm1::update_save_button() {
  const bool enabled = lines_confirmed_ && buses_confirmed_;
  if (enabled == Button4->isEnabled()) return;
  Button4->setEnabled(enabled);
  emit saveEnabledChanged(enabled);
}

bool TForm1::CanSave() const { return Button4->isEnabled(); }

void TForm1::set_modified(bool modified) {
  if (modified == modified_) return;
  modified_ = modified;
  emit modifiedChanged(modified);
}

void TForm1::LinesConfirmed() {
  lines_confirmed_ = true;
  lines_filled_ = Case.nl;
  set_modified(true);
  update_save_button();
}

void TForm1::BusesConfirmed() {
  buses_confirmed_ = true;
  buses_filled_ = Case.n;
  set_modified(true);
  update_save_button();
}

void TForm1::ParametersChanged() { set_modified(true); }

// A grid whose count changes holds arrays of the new size that the user
// has not seen: it must be confirmed again before the case can be saved.
// A grid whose count stays keeps its confirmed values.
void TForm1::Button5Click() {
  if (refuse_invalid_counts()) return;

  set_modified(true);
  const auto integer = [](const std::string& text) { return corvo::StrToInt(text); };
  const std::int32_t nl = convert_edit(*LabeledEdit2, integer);
  if (nl != Case.nl) lines_confirmed_ = false;
  corvo::set_line_count(Case, nl);
  lines_filled_ = std::min(lines_filled_, nl);
  update_save_button();
  const std::int32_t n = convert_edit(*LabeledEdit1, integer);
  if (n != Case.n) buses_confirmed_ = false;
  corvo::set_bus_count(Case, n);
  buses_filled_ = std::min(buses_filled_, n);
  update_save_button();
  Case.Sb = convert_edit(*LabeledEdit3, [this](const std::string& text) {
    return corvo::StrToFloat(text, DecimalSeparator);
  });
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
void TForm1::Button4Click() { SaveCase(false); }

bool TForm1::SaveCase(bool ask_for_file) {
  if (!CanSave()) return false;
  const std::optional<QString> file = file_to_save(ask_for_file);
  return file && write_case(*file);
}

// The save dialog proposes the case's own file, or for a case converted
// from another format its name in that file's folder, or "caso1".
std::optional<QString> TForm1::file_to_save(bool ask_for_file) {
  if (!ask_for_file && behaviour_.save_to_case_file && !case_file_.isEmpty()) return case_file_;
  SaveDialogSettings settings = SaveDialog1;
  if (!case_file_.isEmpty()) settings.file_name = case_file_;
  else if (!proposed_file_.isEmpty()) settings.file_name = proposed_file_;
  return dialogs_.execute_save_dialog(this, settings);
}

bool TForm1::write_case(const QString& file) {
  const corvo::FieldPrecision precision = behaviour_.save_to_case_file
                                              ? corvo::FieldPrecision::keep_values
                                              : corvo::FieldPrecision::as_formatted;
  try {
    const corvo::RenderedCaseFile rendered = corvo::prepare_case_file(
        TitleBytes(), Case, corvo::default_parameter_texts(), DecimalSeparator, precision);
    if (behaviour_.save_to_case_file && !rendered.rounded.empty() &&
        dialogs_.ask(this, kAttentionCaption, rounding_question(rendered.rounded), false) !=
            Answer::Yes) {
      return false;
    }
    corvo::replace_file_contents(QFile::encodeName(file).toStdString(), rendered.text);
  } catch (const corvo::CaseFileLayoutError& error) {
    const QString refusal = QString::fromUtf8(error.what());
    dialogs_.message_box(this, refusal + QStringLiteral(".\nO arquivo não foi gravado."),
                         kAttentionCaption, MessageIcon::Warning);
    return false;
  } catch (const corvo::FileWriteError& error) {
    dialogs_.message_box(this, QString::fromUtf8(error.what()), kAttentionCaption,
                         MessageIcon::Warning);
    return false;
  }
  case_file_ = file;
  proposed_file_.clear();
  case_name_ = QFileInfo(file).completeBaseName();
  set_modified(false);
  emit caseSaved(file);
  return true;
}

// The title goes out as 8-bit text: one byte per character for a title
// typed here or read as such, UTF-8 for a title that came in UTF-8.
std::string TForm1::TitleBytes() const {
  return corvo::encode_title(LabeledEdit4->text().toUtf8().toStdString(), title_encoding_);
}

corvo::CaseData TForm1::CaseWithParameters() const {
  corvo::CaseData with_parameters = Case;
  if (!with_parameters.parameters_confirmed) {
    corvo::convert_parameters(corvo::default_parameter_texts(), DecimalSeparator,
                              with_parameters.parameters);
  }
  return with_parameters;
}

void TForm1::LoadCase(const corvo::OpenedCase& opened, const QString& source) {
  Case = opened.data;
  show_count(*LabeledEdit1, Case.n);
  show_count(*LabeledEdit2, Case.nl);
  LabeledEdit3->setText(QString::fromStdString(corvo::form_number_text(Case.Sb, DecimalSeparator)));
  LabeledEdit4->setText(QString::fromStdString(opened.title.utf8));
  LabeledEdit4->Edit()->setCursorPosition(0);  // the title's beginning in view
  title_encoding_ = opened.title.encoding;
  lines_confirmed_ = buses_confirmed_ = true;
  lines_filled_ = Case.nl;
  buses_filled_ = Case.n;
  Button1->setEnabled(true);
  Button2->setEnabled(true);
  update_save_button();
  case_name_ = QString::fromStdString(opened.name);
  if (opened.from_matpower) {
    case_file_.clear();
    proposed_file_ = QFileInfo(source).dir().filePath(case_name_);
  } else {
    case_file_ = source;
    proposed_file_.clear();
  }
  set_modified(false);
}

void TForm1::NewCase() {
  for (LabeledEdit* edit : {LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4}) edit->setText(QString());
  LabeledEdit1->Edit()->setMaxLength(kCountLength);
  LabeledEdit2->Edit()->setMaxLength(kCountLength);
  Case = corvo::CaseData{};
  FormCreate();
  lines_confirmed_ = buses_confirmed_ = false;
  lines_filled_ = buses_filled_ = 0;
  Button1->setEnabled(false);
  Button2->setEnabled(false);
  update_save_button();
  case_file_.clear();
  proposed_file_.clear();
  case_name_ = QStringLiteral("caso1");
  title_encoding_ = corvo::TitleEncoding::latin1;
  set_modified(false);
}
