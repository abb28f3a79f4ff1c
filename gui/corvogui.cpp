// corvogui: the case editor. Shows the main form and runs the message loop
// until the main window is closed; the line, bus and parameter forms are
// created fresh each time the main form opens one.
#include <QApplication>

#include "Unit1.h"
#include "qt_dialogs.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("CORVO- Interface Gráfica"));
  QtDialogs dialogs;
  TForm1 Form1(dialogs);
  Form1.show();
  return application.exec();
}
