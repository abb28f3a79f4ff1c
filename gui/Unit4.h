// TForm4, the parameter form: the thirteen algorithm parameters, shown with
// their default texts on every opening.
#pragma once

#include <QDialog>
#include <array>

#include "corvo/algorithm_parameters.hpp"

class LabeledEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class TForm1;

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(TForm1& main_form);

  QLabel* Label1;
  QGroupBox* GroupBox1;        // "Parâmetros do algoritmo:"
  LabeledEdit* LabeledEdit1;   // "nbmax:"
  LabeledEdit* LabeledEdit2;   // "nlmax:"
  LabeledEdit* LabeledEdit3;   // "ndc:"
  LabeledEdit* LabeledEdit4;   // "ndp:"
  LabeledEdit* LabeledEdit5;   // "maxit:"
  LabeledEdit* LabeledEdit6;   // "iprint:"
  LabeledEdit* LabeledEdit7;   // "epsln:"
  LabeledEdit* LabeledEdit8;   // "epslgiv:"
  LabeledEdit* LabeledEdit9;   // "epslnp:"
  LabeledEdit* LabeledEdit10;  // "epslim:"
  LabeledEdit* LabeledEdit11;  // "rho:"
  LabeledEdit* LabeledEdit12;  // "bigM:"
  LabeledEdit* LabeledEdit13;  // "sigma:"
  QPushButton* Button1;        // "OK"

  char DecimalSeparator = '.';

  void FormCreate();
  void Button1Click();  // takes the parameters over into the case

  // The thirteen texts as typed, in edit order.
  corvo::ParameterTexts texts() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TForm1& main_form_;
  // The thirteen edits above, in edit order.
  std::array<LabeledEdit*, corvo::kParameterCount> edits_{};
  bool placed_ = false;
};
