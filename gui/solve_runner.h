// Solving a case on a worker thread while the window stays responsive: the
// iterations come back as they happen, and a run can be cancelled.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>
#include <string>

#include "corvo/app/solve_case.hpp"
#include "dispatch/case_data.hpp"

class SolveRunner : public QObject {
  Q_OBJECT

 public:
  explicit SolveRunner(QObject* parent = nullptr);
  // Cancels a run still going and waits for its thread.
  ~SolveRunner() override;

  bool running() const { return thread_ != nullptr; }

  // Starts solving `data` (in per unit, as the case loader gives it) by
  // `method` ("robust" or "classic"). One run at a time: false when one is
  // still going.
  bool start(const std::string& case_name, dispatch::CaseData data, const std::string& method);

  // Asks the run to stop. The robust method stops at its next iteration;
  // the classic method cannot be interrupted, and its result is dropped
  // when it comes.
  void cancel();

  // Waits until the running solve has ended and its result was delivered.
  void wait();

 signals:
  // From the worker, delivered on this object's thread.
  void iteration(int number, double relative_gap);
  void finished(std::shared_ptr<const corvo::app::SolveOutcome> outcome, bool cancelled);

 private:
  void deliver(std::shared_ptr<const corvo::app::SolveOutcome> outcome);

  QThread* thread_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancelled_;
};
