// The workbench under test: its window with the dialogs answered by the
// test, recent files kept in a settings file of the test's own, and a
// folder for the files the test writes.
#pragma once

#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <string>

#include "bundled_cases.hpp"
#include "fake_dialogs.h"
#include "main_window.h"

namespace workbench_driver {

inline std::string read_file(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_file(const QString& path, const std::string& text) {
  std::ofstream(path.toStdString(), std::ios::binary) << text;
}

inline QString bundled(const std::string& name) {
  return QString::fromStdString((corvo_test::cases_folder() / name).string());
}

struct Workbench {
  QTemporaryDir folder;
  FakeDialogs dialogs;
  QSettings settings{folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
  MainWindow window{dialogs, settings};

  QString file(const QString& name) const { return folder.filePath(name); }
  std::string status() const { return window.statusBar()->currentMessage().toStdString(); }
};

}  // namespace workbench_driver
