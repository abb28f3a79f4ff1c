// Saves a picture of an X window (or of the whole screen) as PNG: the
// screenshots of the program under Xvfb.
//
//   grab_window OUTPUT.png [WINDOW_ID]      (WINDOW_ID as xwininfo prints it, e.g. 0x400007)
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: grab_window OUTPUT.png [WINDOW_ID]\n");
    return 64;
  }
  bool ok = true;
  const WId window = argc == 3 ? QString(argv[2]).toULongLong(&ok, 0) : 0;
  if (!ok) {
    std::fprintf(stderr, "grab_window: %s is not a window id\n", argv[2]);
    return 64;
  }
  const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
  if (picture.isNull() || !picture.save(argv[1], "PNG")) {
    std::fprintf(stderr, "grab_window: could not grab or save the picture\n");
    return 1;
  }
  return 0;
}
