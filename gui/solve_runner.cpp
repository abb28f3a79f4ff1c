#include "solve_runner.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <unistd.h>

#include <cstdio>

#include "dispatch/dispatch_qp.hpp"

namespace {

using corvo::app::SolveOutcome;

// The classic method holds the constraint matrix, its copy with the row
// weights and the triangular factor densely: 8 (2 m n + m m) bytes. A case
// that needs more than the machine has is refused before anything is
// allocated, as `corvo solve` refuses it.
std::shared_ptr<const SolveOutcome> refuse_classic(const dispatch::CaseData& data) {
  const double bytes = classic_storage_bytes(data);
  if (classic_storage_fits(bytes)) return nullptr;
  auto outcome = std::make_shared<SolveOutcome>();
  char text[200];
  std::snprintf(text, sizeof text,
                "the classic method needs %.1f GB of dense storage for this case, more than this "
                "machine's memory; the robust method solves it",
                bytes / 1e9);
  outcome->reasons.push_back(text);
  return outcome;
}

}  // namespace

double classic_storage_bytes(const dispatch::CaseData& data) {
  const dispatch::DispatchQp qp = dispatch::build_dispatch_qp(data);
  const double m = qp.m, n = qp.nvar;
  return 8.0 * (2.0 * m * n + m * m);
}

bool classic_storage_fits(double bytes) {
  const double memory =
      static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGE_SIZE));
  return memory <= 0 || bytes <= memory;
}

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
    std::shared_ptr<const SolveOutcome> outcome = method == "classic" ? refuse_classic(data) : nullptr;
    if (!outcome) {
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
