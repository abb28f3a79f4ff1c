// TForm2, the line form: the grid `Ramos` with one row per line.
#pragma once

#include <QDialog>

class DataGrid;
class QLabel;
class QPushButton;
class TForm1;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(TForm1& main_form);

  QLabel* Label1;
  DataGrid* Ramos;
  QPushButton* Button1;  // "OK"

  char DecimalSeparator = '.';

  void FormCreate();
  void FormActivate();  // sizes the grid
  void Button1Click();  // takes the grid over into the case

 protected:
  void showEvent(QShowEvent* event) override;
  // Esc asks before it throws away what was typed.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void show_case_rows();

  TForm1& main_form_;
  bool activated_ = false;
  bool typed_ = false;
};
