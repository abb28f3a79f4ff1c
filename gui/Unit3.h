// TForm3, the bus form: the grid `Barras` with one row per bus.
#pragma once

#include <QDialog>

class DataGrid;
class QGroupBox;
class QLabel;
class QPushButton;
class TForm1;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(TForm1& main_form);

  QLabel* Label1;
  DataGrid* Barras;
  QPushButton* Button1;  // "OK"
  QGroupBox* GroupBox1;  // "Tipos de Barras:"

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
