#include "solve_runner.h"

#include <QCoreApplication>
#include <QMetaObject>

using corvo::app::SolveOutcome;

SolveRunner::SolveRunner(QObject* parent) : QObject(parent) {}

SolveRunner::~SolveRunner() {
  if (thread_ == nullptr) return;
  cancel();
  thread_->wait();
  delete thread_;
}

bool SolveRunner::start(const std::string& case_name, dispatch::CaseData data,
                        const std::string& method) {
  if (thread_ != nullptr) return false;
  cancelled_ = std::make_shared<std::atomic<bool>>(false);
  const std::shared_ptr<std::atomic<bool>> cancelled = cancelled_;
  // The thread never outlives this object (the destructor waits for it), so
  // what it posts here is delivered or dropped with the object.
  SolveRunner* const self = this;
  thread_ = QThread::create([self, cancelled, case_name, data = std::move(data), method] {
    corvo::app::SolveRequest request;
    request.method = method;
    request.cancelled = [cancelled] { return cancelled->load(); };
    request.on_iteration = [self](int number, double gap) {
      QMetaObject::invokeMethod(
          self, [self, number, gap] { emit self->iteration(number, gap); },
          Qt::QueuedConnection);
    };
    std::shared_ptr<const SolveOutcome> outcome;
    {
      try {
        outcome = std::make_shared<SolveOutcome>(corvo::app::solve_case(case_name, data, request));
      } catch (const std::exception& error) {
        auto failed = std::make_shared<SolveOutcome>();
        failed->reasons.push_back(error.what());
        outcome = failed;
      }
    }
    QMetaObject::invokeMethod(
        self, [self, outcome] { self->deliver(outcome); }, Qt::QueuedConnection);
  });
  thread_->start();
  return true;
}

void SolveRunner::cancel() {
  if (cancelled_) cancelled_->store(true);
}

void SolveRunner::deliver(std::shared_ptr<const SolveOutcome> outcome) {
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  const bool cancelled = cancelled_->load();
  emit finished(std::move(outcome), cancelled);
}

void SolveRunner::wait() {
  while (thread_ != nullptr) {
    QThread::msleep(1);
    QCoreApplication::sendPostedEvents(this);
  }
}
