// TForm1, the main form: the problem data, the buttons that lead the user
// through the line, bus and parameter forms, and the save of the case.
#pragma once

#include <QWidget>

#include "corvo/case_data.hpp"
#include "dialogs.h"

class LabeledEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class TForm2;
class TForm3;
class TForm4;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(Dialogs& dialogs, QWidget* parent = nullptr);
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

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void build_layout();
  void connect_handlers();
  bool refuse_invalid_counts();
  void update_save_button();
  template <class Form>
  void open_form(Form*& open_instance);

  Dialogs& dialogs_;
  bool placed_ = false;
  // Whether each grid has been confirmed since its count last changed.
  bool lines_confirmed_ = false;
  bool buses_confirmed_ = false;
};
