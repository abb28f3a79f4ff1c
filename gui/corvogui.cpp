// corvogui: the case editor and workbench.
//
//   corvogui [--solve] [FILE]
//
// Shows the main form in its window and runs the message loop until the
// window is closed. FILE (our case file, or a MATPOWER case .m) is opened
// at start; with --solve it is solved at once and its results shown.
#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <cstdio>

#include "main_window.h"
#include "qt_dialogs.h"
#include "translations.h"

namespace {

constexpr int kUsageError = 64;

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("CORVO- Interface Gráfica"));
  install_portuguese_translations(application);

  QStringList arguments = QApplication::arguments().mid(1);
  const bool solve = arguments.removeAll(QStringLiteral("--solve")) > 0;
  if (arguments.size() > 1 || (!arguments.isEmpty() && arguments.front().startsWith("--"))) {
    std::fprintf(stderr, "usage: corvogui [--solve] [FILE]\n");
    return kUsageError;
  }

  QtDialogs dialogs;
  QSettings settings(QStringLiteral("CORVO"), QStringLiteral("corvogui"));
  MainWindow window(dialogs, settings);
  window.show();
  if (!arguments.isEmpty()) {
    // Once the window is up, so that a refusal has a window to stand on.
    const QString file = arguments.front();
    QTimer::singleShot(0, &window, [&window, file, solve] {
      if (window.OpenFile(file) && solve) window.Solve();
    });
  }
  return application.exec();
}
