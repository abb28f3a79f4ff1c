#include "main_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QThread>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

#include "Unit1.h"
#include "corvo/case_opening.hpp"
#include "corvo/dispatch_case_conversion.hpp"
#include "corvo/number_text.hpp"
#include "dialogs.h"
#include "network_layouts.h"
#include "results_window.h"
#include "solve_runner.h"

namespace {

const QString kAttention = QStringLiteral("ATENÇÃO!");
const QString kRecentKey = QStringLiteral("arquivosRecentes");

// The network's shape, which its picture's layout depends on.
corvo::NetworkShape shape_of(const corvo::CaseData& c) { return {c.n, c.se, c.re}; }

std::vector<std::string> stored_paths(const QSettings& settings) {
  std::vector<std::string> paths;
  for (const QString& path : settings.value(kRecentKey).toStringList()) paths.push_back(path.toStdString());
  return paths;
}

QString gap_text(double gap) {
  QString text = QString::number(gap, 'e', 1);
  return text.replace('.', ',');
}

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs, QSettings& settings, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), settings_(settings), recent_(stored_paths(settings)) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QStringLiteral("CORVO - Interface Gráfica"));
  // The main form keeps its fixed size; the window fits around it with the
  // menu and status bars, and can be minimised but not maximised.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  Form1 = new TForm1(dialogs, this, EditorBehaviour::workbench());
  setCentralWidget(Form1);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  Results = new ResultsWindow(dialogs, this);
  Results->setWindowFlag(Qt::Window);
  solver_ = new SolveRunner(this);
  layouts_ = new NetworkLayouts(this);

  build_menus();
  build_status_bar();

  connect(Form1, &TForm1::modifiedChanged, this, [this](bool modified) {
    changes_->setText(modified ? QStringLiteral("Alterações não gravadas") : QString());
  });
  connect(Form1, &TForm1::saveEnabledChanged, this, &MainWindow::update_actions);
  connect(Form1, &TForm1::caseSaved, this, [this](const QString& path) {
    remember(path);
    statusBar()->showMessage(QStringLiteral("Caso gravado em %1").arg(QDir::toNativeSeparators(path)));
  });
  connect(solver_, &SolveRunner::iteration, this, &MainWindow::show_iteration);
  connect(solver_, &SolveRunner::finished, this, &MainWindow::solve_finished);
  connect(layouts_, &NetworkLayouts::ready, Results, &ResultsWindow::SetLayout);
  connect(layouts_, &NetworkLayouts::failed, Results, &ResultsWindow::LayoutFailed);
  update_actions();
}

MainWindow::~MainWindow() = default;

void MainWindow::build_menus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Arquivo"));
  NewAction = file->addAction(QStringLiteral("&Novo"), this, &MainWindow::New);
  NewAction->setShortcut(QKeySequence::New);
  OpenAction = file->addAction(QStringLiteral("&Abrir…"), this, &MainWindow::Open);
  OpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  SaveAction = file->addAction(QStringLiteral("&Gravar"), this, [this] { Save(); });
  SaveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveAsAction = file->addAction(QStringLiteral("Gravar &como…"), this, [this] { SaveAs(); });
  SaveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  RecentMenu = file->addMenu(QStringLiteral("Arquivos &recentes"));
  file->addSeparator();
  QuitAction = file->addAction(QStringLiteral("&Sair"), this, &QWidget::close);
  QuitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  rebuild_recent_menu();

  QMenu* study = menuBar()->addMenu(QStringLiteral("&Caso"));
  SolveAction = study->addAction(QStringLiteral("&Resolver"), this, &MainWindow::Solve);
  SolveAction->setShortcut(QKeySequence(Qt::Key_F5));
  ResultsAction = study->addAction(QStringLiteral("Re&sultados"), this, &MainWindow::ShowResults);
  QMenu* method = study->addMenu(QStringLiteral("&Método"));
  auto* methods = new QActionGroup(this);
  RobustAction = method->addAction(QStringLiteral("Robusto (padrão)"));
  ClassicAction = method->addAction(QStringLiteral("Clássico (orsa e talven)"));
  for (QAction* action : {RobustAction, ClassicAction}) {
    action->setCheckable(true);
    methods->addAction(action);
  }
  RobustAction->setChecked(true);

  QMenu* help = menuBar()->addMenu(QStringLiteral("A&juda"));
  AboutAction = help->addAction(QStringLiteral("&Sobre"), this, &MainWindow::About);
}

void MainWindow::build_status_bar() {
  changes_ = new QLabel(this);
  statusBar()->addPermanentWidget(changes_);
  CancelButton = new QPushButton(QStringLiteral("Cancelar"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->hide();
  statusBar()->addPermanentWidget(CancelButton);
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    solver_->cancel();
    statusBar()->showMessage(QStringLiteral("Cancelando…"));
  });
}

void MainWindow::update_actions() {
  const bool solving = solver_->running();
  SaveAction->setEnabled(Form1->CanSave());
  SaveAsAction->setEnabled(Form1->CanSave());
  SolveAction->setEnabled(Form1->CanSave() && !solving);
  ResultsAction->setEnabled(Results->Results() != nullptr);
  RobustAction->setEnabled(!solving);
  ClassicAction->setEnabled(!solving);
  CancelButton->setVisible(solving);
}

void MainWindow::rebuild_recent_menu() {
  RecentMenu->clear();
  for (const std::string& path : recent_.paths()) {
    const QString file = QString::fromStdString(path);
    RecentMenu->addAction(QDir::toNativeSeparators(file), this, [this, file] { open_recent(file); });
  }
  RecentMenu->setEnabled(!recent_.paths().empty());
}

void MainWindow::remember(const QString& path) {
  recent_.add(QFileInfo(path).absoluteFilePath().toStdString());
  QStringList paths;
  for (const std::string& p : recent_.paths()) paths << QString::fromStdString(p);
  settings_.setValue(kRecentKey, paths);
  rebuild_recent_menu();
}

void MainWindow::open_recent(const QString& path) {
  if (!busy_ && MayDiscardChanges()) OpenFile(path);
}

bool MainWindow::MayDiscardChanges() {
  if (!Form1->IsModified()) return true;
  switch (dialogs_.ask(this, QStringLiteral("CORVO"), QStringLiteral("Gravar alterações?"), true)) {
    case Answer::Yes:
      if (!Form1->CanSave()) {
        dialogs_.message_box(this,
                             QStringLiteral("O caso ainda não pode ser gravado: confirme os dados "
                                            "dos ramos e das barras."),
                             kAttention, MessageIcon::Warning);
        return false;
      }
      return Form1->SaveCase(false);
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

void MainWindow::New() {
  if (busy_ || !MayDiscardChanges()) return;
  Form1->NewCase();
  Results->Clear();
  update_actions();
  statusBar()->showMessage(QStringLiteral("Novo caso"));
}

void MainWindow::Open() {
  if (busy_ || !MayDiscardChanges()) return;
  const std::optional<QString> file = dialogs_.choose_file_to_open(
      this, QStringLiteral("Abrir caso"),
      {QStringLiteral("Casos (*.dat *.m)"), QStringLiteral("Arquivo de Dados (CORVO) (*.dat)"),
       QStringLiteral("Caso MATPOWER (*.m)"), QStringLiteral("Todos os arquivos (*)")});
  if (file) OpenFile(*file);
}

// Runs `work` on a worker thread while this window's event loop goes on
// (the window repaints and answers, its commands held off), and returns
// when it is done: reading a 10 000-bus case takes longer than a window
// may stand still.
void MainWindow::run_off_the_window(const std::function<void()>& work) {
  busy_ = true;
  menuBar()->setEnabled(false);
  Form1->setEnabled(false);
  QThread* thread = QThread::create(work);
  QEventLoop loop;
  connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
  thread->start();
  loop.exec();
  thread->wait();
  delete thread;
  Form1->setEnabled(true);
  menuBar()->setEnabled(true);
  busy_ = false;
}

bool MainWindow::OpenFile(const QString& path) {
  if (busy_) return false;
  statusBar()->showMessage(QStringLiteral("Abrindo %1…").arg(QDir::toNativeSeparators(path)));
  corvo::OpenedCase opened;
  QString refusal;
  run_off_the_window([&opened, &refusal, file = QFile::encodeName(path).toStdString()] {
    try {
      opened = corvo::open_case(file);
    } catch (const corvo::CaseOpenError& error) {
      refusal = QString::fromUtf8(error.what());
    }
  });
  if (!refusal.isEmpty()) {
    statusBar()->clearMessage();
    dialogs_.message_box(this, QStringLiteral("Não foi possível abrir o caso.\n\n%1").arg(refusal), kAttention,
                         MessageIcon::Warning);
    return false;
  }
  const QString absolute = QFileInfo(path).absoluteFilePath();
  Form1->LoadCase(opened, absolute);
  Results->Clear();
  update_actions();
  remember(absolute);
  // The picture's layout is made while the user looks at the case, so that
  // it is there when the results are.
  layouts_->layout_of(shape_of(opened.data));
  statusBar()->showMessage(QStringLiteral("Caso aberto: %1").arg(QDir::toNativeSeparators(absolute)));
  if (!opened.notes.empty()) {
    QStringList notes;
    for (const std::string& note : opened.notes) notes << QString::fromStdString(note);
    dialogs_.show_notes(this, QStringLiteral("Caso MATPOWER convertido"),
                        QStringLiteral("O caso %1 foi convertido para o modelo do CORVO com %2 "
                                       "mudança(s); veja os detalhes.")
                            .arg(QString::fromStdString(opened.name))
                            .arg(notes.size()),
                        notes);
  }
  return true;
}

bool MainWindow::Save() { return !busy_ && Form1->SaveCase(false); }

bool MainWindow::SaveAs() { return !busy_ && Form1->SaveCase(true); }

void MainWindow::Solve() {
  if (busy_ || solver_->running() || !Form1->CanSave()) return;
  const corvo::CaseData editor_case = Form1->CaseWithParameters();
  dispatch::CaseData data;
  try {
    data = corvo::dispatch_case_from_editor(editor_case, Form1->TitleBytes());
  } catch (const corvo::CaseCheckError& error) {
    dialogs_.show_field_error(this, QString::fromStdString(error.place()),
                              QString::fromStdString(error.problem()));
    return;
  }
  solving_shape_ = shape_of(editor_case);
  layouts_->layout_of(solving_shape_);
  solving_name_ = Form1->CaseName();
  solving_method_ = ClassicAction->isChecked() ? QStringLiteral("classic") : QStringLiteral("robust");
  solver_->start(solving_name_.toStdString(), std::move(data), solving_method_.toStdString());
  statusBar()->showMessage(QStringLiteral("Resolvendo %1 (método %2)…")
                               .arg(solving_name_, solving_method_ == QStringLiteral("classic")
                                                       ? QStringLiteral("clássico")
                                                       : QStringLiteral("robusto")));
  update_actions();
}

void MainWindow::show_iteration(int number, double relative_gap) {
  statusBar()->showMessage(QStringLiteral("Resolvendo %1: iteração %2, gap relativo %3")
                               .arg(solving_name_)
                               .arg(number)
                               .arg(gap_text(relative_gap)));
}

void MainWindow::solve_finished(std::shared_ptr<const corvo::app::SolveOutcome> outcome, bool cancelled) {
  update_actions();
  if (cancelled) {
    statusBar()->showMessage(QStringLiteral("Resolução cancelada."));
    return;
  }
  if (!outcome->solved) {
    QString reasons;
    for (const std::string& reason : outcome->reasons) reasons += "\n• " + QString::fromStdString(reason);
    statusBar()->showMessage(QStringLiteral("O caso não foi resolvido."));
    dialogs_.message_box(this, QStringLiteral("O caso %1 não foi resolvido:%2").arg(solving_name_, reasons),
                         kAttention, MessageIcon::Warning);
    return;
  }
  auto results = std::make_shared<const corvo::report::Results>(outcome->results);
  Results->ShowResults(solving_name_, results, layouts_->layout_of(solving_shape_));
  update_actions();
  statusBar()->showMessage(
      QStringLiteral("%1 resolvido: %2 $/h, %3")
          .arg(solving_name_,
               QString::fromStdString(corvo::table_number_text(results->summary.cost, 2, ',')),
               results->check.optimal ? QStringLiteral("ótimo") : QStringLiteral("não ótimo")));
  ShowResults();
}

void MainWindow::ShowResults() {
  if (!Results->Results()) return;
  Results->show();
  Results->raise();
  Results->activateWindow();
}

void MainWindow::About() {
  dialogs_.message_box(this,
                       QStringLiteral("CORVO — despacho econômico de mínimo custo em redes elétricas "
                                      "(modelo de rede linear, método de pontos interiores).\n\n"
                                      "Edite um caso, resolva-o (F5) e veja preços nodais, fluxos "
                                      "e a rede."),
                       QStringLiteral("Sobre o CORVO"), MessageIcon::Information);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A case being read is waited for: the window cannot go while its open
  // is under way.
  if (busy_ || !MayDiscardChanges()) {
    event->ignore();
    return;
  }
  solver_->cancel();
  Results->close();
  event->accept();
}
