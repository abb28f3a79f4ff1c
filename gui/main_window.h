// The workbench: the main form in a window with menus and a status bar.
// Opens case files and MATPOWER cases, keeps track of unsaved changes,
// solves the case in the forms on a worker thread, and shows the results
// window with the network picture.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "corvo/app/solve_case.hpp"
#include "corvo/network_layout.hpp"
#include "corvo/recent_files.hpp"

class Dialogs;
class NetworkLayouts;
class QActionGroup;
class QLabel;
class QPushButton;
class QSettings;
class ResultsWindow;
class SolveRunner;
class TForm1;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Recent files are kept in `settings`.
  MainWindow(Dialogs& dialogs, QSettings& settings, QWidget* parent = nullptr);
  ~MainWindow() override;

  TForm1* Form1;
  ResultsWindow* Results;
  QAction* NewAction;
  QAction* OpenAction;
  QAction* SaveAction;
  QAction* SaveAsAction;
  QAction* QuitAction;
  QAction* SolveAction;
  QAction* ResultsAction;
  QAction* RobustAction;
  QAction* ClassicAction;
  QAction* AboutAction;
  QMenu* RecentMenu;
  QPushButton* CancelButton;

  SolveRunner& Solver() { return *solver_; }
  NetworkLayouts& Layouts() { return *layouts_; }

  // The menu commands.
  void New();
  void Open();
  bool Save();
  bool SaveAs();
  void Solve();
  void ShowResults();
  void About();

  // Opens `path` (our case file, or a MATPOWER case by its extension .m)
  // into the forms; a file that cannot be opened is reported and leaves
  // the forms as they were. Asks nothing about unsaved changes.
  bool OpenFile(const QString& path);

  // "Gravar alterações?" when the case holds unsaved changes: true when the
  // case may be left (saved, or its changes given up).
  bool MayDiscardChanges();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void run_off_the_window(const std::function<void()>& work);
  void build_menus();
  void build_status_bar();
  void update_actions();
  void rebuild_recent_menu();
  void remember(const QString& path);
  void open_recent(const QString& path);
  void show_iteration(int number, double relative_gap);
  void solve_finished(std::shared_ptr<const corvo::app::SolveOutcome> outcome, bool cancelled);

  Dialogs& dialogs_;
  QSettings& settings_;
  corvo::RecentFiles recent_;
  SolveRunner* solver_;
  NetworkLayouts* layouts_;
  QLabel* changes_;
  QString solving_name_;
  QString solving_method_;
  corvo::NetworkShape solving_shape_;
  bool busy_ = false;  // a case is being read
};
