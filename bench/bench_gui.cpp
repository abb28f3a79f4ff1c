// Times the editor on large cases, headless, as a user drives it: open the
// case file into the forms, show the bus grid filled and take it back
// (OK), solve (on the worker thread) until the results window is up, and
// draw the network (the Graphviz layout, then the picture). While the
// solve runs, a timer ticking every 5 ms measures how long the event loop
// is held up at worst (the window's responsiveness). Measures only;
// nothing is asserted.
//
// Usage: bench_gui CASE.dat...      (QT_QPA_PLATFORM=offscreen for no display)
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "Unit1.h"
#include "Unit3.h"
#include "corvo/network_layout.hpp"
#include "dialogs.h"
#include "main_window.h"
#include "network_layouts.h"
#include "network_view.h"
#include "results_window.h"
#include "solve_runner.h"

namespace {

// Dialogs that answer at once: OK on a modal form is left to the bench.
class BenchDialogs : public Dialogs {
 public:
  std::function<void(QDialog&)> on_modal;
  void message_box(QWidget*, const QString&, const QString&, MessageIcon) override {}
  void show_exception(QWidget*, const QString& message) override {
    std::fprintf(stderr, "error: %s\n", message.toUtf8().constData());
  }
  std::optional<QString> execute_save_dialog(QWidget*, const SaveDialogSettings&) override { return {}; }
  void show_modal(QDialog& form) override {
    QTimer::singleShot(0, &form, [this, &form] {
      if (on_modal) on_modal(form);
      if (form.isVisible()) form.reject();
    });
    form.exec();
  }
  void show_field_error(QWidget*, const QString& place, const QString& message) override {
    std::fprintf(stderr, "error: %s: %s\n", place.toUtf8().constData(), message.toUtf8().constData());
  }
  Answer ask(QWidget*, const QString&, const QString&, bool) override { return Answer::No; }
  std::optional<QString> choose_file_to_open(QWidget*, const QString&, const QStringList&) override { return {}; }
  std::optional<QString> choose_file_to_save(QWidget*, const QString&, const QString&, const QString&,
                                             const QString&) override {
    return {};
  }
  std::optional<QString> choose_folder(QWidget*, const QString&) override { return {}; }
  void show_notes(QWidget*, const QString&, const QString&, const QStringList&) override {}
};

// The longest wait between ticks of a 5 ms timer: how long the event loop
// was held up at worst.
class StallMeter {
 public:
  StallMeter() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ >= 0) worst_ = std::max(worst_, now - last_);
      last_ = now;
    });
  }
  void start() {
    worst_ = 0;
    last_ = -1;
    clock_.start();
    timer_.start(5);
  }
  double stop_ms() {
    timer_.stop();
    return static_cast<double>(worst_) / 1e6;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = -1;
  qint64 worst_ = 0;
};

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

void run_case(const QString& file) {
  BenchDialogs dialogs;
  QTemporaryDir folder;
  QSettings settings(folder.filePath("settings.ini"), QSettings::IniFormat);
  MainWindow window(dialogs, settings);
  window.show();
  QApplication::processEvents();

  // Open: the loader (on a worker thread), the conversion into the forms'
  // units, the edits; the event loop watched meanwhile.
  StallMeter meter;
  QElapsedTimer t;
  meter.start();
  t.start();
  if (!window.OpenFile(file)) return;
  const double open_ms = ms(t);
  const double open_stall_ms = meter.stop_ms();
  window.Layouts().wait();  // the layout started by the open is timed below, cold
  const int buses = window.Form1->Case.n;

  // The bus grid: shown filled, then OK reads every cell back.
  double fill_ms = 0, read_ms = 0;
  dialogs.on_modal = [&window, &t, &fill_ms, &read_ms](QDialog&) {
    fill_ms = ms(t);
    t.restart();
    window.Form1->Form3->Button1->click();
    read_ms = ms(t);
  };
  t.restart();
  window.Form1->Button2->click();
  dialogs.on_modal = nullptr;

  // Solve: from the command to the results window, tables and summary
  // (the picture comes with its layout, timed next), with the event loop
  // watched meanwhile.
  meter.start();
  t.restart();
  window.Solve();
  QEventLoop loop;
  QObject::connect(&window.Solver(), &SolveRunner::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  loop.exec();
  const double solve_ms = ms(t);
  const double stall_ms = meter.stop_ms();
  const auto results = window.Results->Results();
  if (!results) {
    std::printf("%-24s not solved\n", qPrintable(file));
    return;
  }

  // Draw: the Graphviz layout from nothing (on its worker thread in the
  // program), then the picture's elements, put in place batch by batch
  // while the event loop runs, and a paint of the whole.
  corvo::NetworkShape shape{window.Form1->Case.n, window.Form1->Case.se, window.Form1->Case.re};
  t.restart();
  const auto layout = std::make_shared<corvo::NetworkLayout>(corvo::layout_network(shape));
  const double layout_ms = ms(t);
  NetworkView view;
  view.resize(800, 700);
  view.show();
  meter.start();
  t.restart();
  view.ShowNetwork(layout, results);
  while (view.IsDrawing()) QApplication::processEvents();
  view.grab();
  const double picture_ms = ms(t);
  const double picture_stall_ms = meter.stop_ms();
  // One more paint of the whole picture, as every pan or zoom asks.
  t.restart();
  view.grab();
  const double repaint_ms = ms(t);

  std::printf("%-14s %6d %8.0f %9.0f %8.0f %8.0f %9.0f %9.0f %10.0f %11.0f %9.0f %10.0f\n",
              qPrintable(QFileInfo(file).completeBaseName()), buses, open_ms, open_stall_ms, fill_ms, read_ms,
              solve_ms, stall_ms, layout_ms, picture_ms, picture_stall_ms, repaint_ms);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::printf("%-14s %6s %8s %9s %8s %8s %9s %9s %10s %11s %9s %10s\n", "case", "buses", "open ms",
              "stall ms", "grid ms", "OK ms", "solve ms", "stall ms", "layout ms", "picture ms", "stall ms",
              "repaint ms");
  for (int i = 1; i < argc; ++i) run_case(QString::fromLocal8Bit(argv[i]));
  return 0;
}
