// Saves a picture of an X window (or of the whole screen) as PNG: the
// screenshots of the program under Xvfb.
//
//   grab_window OUTPUT.png [WINDOW_ID [X Y WIDTH HEIGHT]]
//
// WINDOW_ID as xwininfo prints it (0x400007); X Y WIDTH HEIGHT a part of
// the window, in its own pixels.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2 && argc != 3 && argc != 7) {
    std::fprintf(stderr, "usage: grab_window OUTPUT.png [WINDOW_ID [X Y WIDTH HEIGHT]]\n");
    return 64;
  }
  bool ok = true;
  const WId window = argc >= 3 ? QString(argv[2]).toULongLong(&ok, 0) : 0;
  int part[4] = {0, 0, -1, -1};
  for (int i = 0; ok && argc == 7 && i < 4; ++i) part[i] = QString(argv[3 + i]).toInt(&ok);
  if (!ok) {
    std::fprintf(stderr, "grab_window: a window id and four whole numbers are expected\n");
    return 64;
  }
  const QPixmap picture =
      QGuiApplication::primaryScreen()->grabWindow(window, part[0], part[1], part[2], part[3]);
  if (picture.isNull() || !picture.save(argv[1], "PNG")) {
    std::fprintf(stderr, "grab_window: could not grab or save the picture\n");
    return 1;
  }
  return 0;
}
