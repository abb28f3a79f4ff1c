// TForm1, the main form: the problem data, the buttons that lead the user
// through the line, bus and parameter forms, and the save of the case.
//
// Beyond the original form it can take over a case opened from a file,
// start afresh, and tell its window whether the case holds unsaved changes
// and when it was saved.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "corvo/case_data.hpp"
#include "corvo/title_text.hpp"
#include "dialogs.h"

namespace corvo {
struct OpenedCase;
}

class LabeledEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class TForm2;
class TForm3;
class TForm4;

// What the forms do beyond the original ones. The original forms open
// empty, with the default parameters, every time, and GRAVAR always shows
// the save dialog and writes each value in its format; the workbench's
// forms show the case they hold, and its GRAVAR writes the case's own file
// again and keeps the digits of every value.
struct EditorBehaviour {
  // The grid forms show the rows the case holds; the parameter form shows
  // the case's parameters once it has any of its own.
  bool forms_show_case = false;
  // GRAVAR writes the file the case came from (or was last saved to)
  // without the dialog, real fields keep their digits
  // (corvo::FieldPrecision::keep_values), and a value that its 10 columns
  // still cannot hold is named in a question before the file is written.
  bool save_to_case_file = false;

  static EditorBehaviour workbench() { return {true, true}; }
};

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(Dialogs& dialogs, QWidget* parent = nullptr, EditorBehaviour behaviour = {});
  ~TForm1() override;

  QLabel* Label1;
  QGroupBox* GroupBox1;
  LabeledEdit* LabeledEdit1;  // "Número de Barras:"
  LabeledEdit* LabeledEdit2;  // "Número de Ramos:"
  LabeledEdit* LabeledEdit3;  // "Potência Base (MVA):"
  LabeledEdit* LabeledEdit4;  // "Título do Caso em Estudo:"
  QPushButton* Button5;       // "OK"
  QGroupBox* GroupBox2;
  QPushButton* Button1;  // "Inserir Dados dos Ramos"
  QPushButton* Button2;  // "Inserir Dados das Barras"
  QGroupBox* GroupBox3;
  QPushButton* Button3;  // "Configurar Parâmetros do Algoritmo"
  QPushButton* Button4;  // "GRAVAR"
  SaveDialogSettings SaveDialog1;

  // The case being edited, filled by this form and the three others.
  corvo::CaseData Case;
  // Decimal separator of this form's number conversions.
  char DecimalSeparator = '.';

  // The line, bus and parameter forms while one of them is open.
  TForm2* Form2 = nullptr;
  TForm3* Form3 = nullptr;
  TForm4* Form4 = nullptr;

  Dialogs& dialogs() const { return dialogs_; }
  const EditorBehaviour& behaviour() const { return behaviour_; }

  void FormCreate();
  void Button5Click();  // OK: takes over the problem data
  void Button1Click();  // opens the line form
  void Button2Click();  // opens the bus form
  void Button3Click();  // opens the parameter form
  void Button4Click();  // saves the case

  // Called by the OK of the line and of the bus grid form. "GRAVAR" is
  // enabled once both grids have been confirmed since their counts last
  // changed.
  void LinesConfirmed();
  void BusesConfirmed();
  // Called by the OK of the parameter form, before it converts anything.
  void ParametersChanged();

  // How many rows of each grid hold values of the case (typed and
  // confirmed, or opened): the rows the grid forms show again.
  std::int32_t LinesFilled() const { return lines_filled_; }
  std::int32_t BusesFilled() const { return buses_filled_; }

  // Takes over an opened case: edits, arrays, parameters, the enabled
  // buttons, as if the user had typed and confirmed it all. `source` is the
  // file it was opened from; a case converted from another format has no
  // file of ours yet, and the save dialog proposes its name in that folder.
  void LoadCase(const corvo::OpenedCase& opened, const QString& source);
  // Back to the state at program start.
  void NewCase();

  // Saves the case: into its own file when `ask_for_file` is false and the
  // behaviour allows it, otherwise to the file chosen in the save dialog.
  // True when the file was written.
  bool SaveCase(bool ask_for_file);

  bool IsModified() const { return modified_; }
  bool CanSave() const;
  // The case's own file ("" when it has none) and its name ("ieee118"; the
  // proposed "caso1" for a case never saved).
  QString CaseFile() const { return case_file_; }
  QString CaseName() const { return case_name_; }
  // The title as the case file holds it (8-bit text in the title's
  // encoding).
  std::string TitleBytes() const;
  // The case with its parameters, as a save would write them (the
  // defaults when they were never confirmed).
  corvo::CaseData CaseWithParameters() const;

 signals:
  void modifiedChanged(bool modified);
  void saveEnabledChanged(bool enabled);
  void caseSaved(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void build_layout();
  void connect_handlers();
  bool refuse_invalid_counts();
  void update_save_button();
  void set_modified(bool modified);
  std::optional<QString> file_to_save(bool ask_for_file);
  bool write_case(const QString& file);
  template <class Form>
  void open_form(Form*& open_instance);

  Dialogs& dialogs_;
  EditorBehaviour behaviour_;
  bool placed_ = false;
  // Whether each grid has been confirmed since its count last changed.
  bool lines_confirmed_ = false;
  bool buses_confirmed_ = false;
  std::int32_t lines_filled_ = 0;
  std::int32_t buses_filled_ = 0;
  bool modified_ = false;
  QString case_file_;
  QString proposed_file_;  // for a case without a file of ours yet
  QString case_name_ = QStringLiteral("caso1");
  corvo::TitleEncoding title_encoding_ = corvo::TitleEncoding::latin1;
};
