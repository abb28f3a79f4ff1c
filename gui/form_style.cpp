#include "form_style.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void set_form_frame(QWidget& form, int width, int height, bool minimisable) {
  Qt::WindowFlags flags = form.windowFlags() & Qt::WindowType_Mask;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
  if (minimisable) flags |= Qt::WindowMinimizeButtonHint;
  form.setWindowFlags(flags);
  form.setFixedSize(width, height);
}

void centre_on_screen(QWidget& form) {
  const QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = form.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  form.move(frame.topLeft());
}

QFont heading_font(const QWidget& form) {
  QFont font = form.font();
  font.setPointSize(font.pointSize() > 0 ? font.pointSize() * 2 : 18);
  font.setBold(true);
  return font;
}
