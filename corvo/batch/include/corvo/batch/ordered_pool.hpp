// Work on many threads, results in order: `count` jobs run on worker
// threads, and the calling thread takes their results one by one in the
// order of the jobs, whatever order they finish in. Workers run at most
// `window` jobs ahead of the result taken last, so that memory stays
// bounded when the taker (a file writer) is slower than the workers.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace corvo::batch {

template <class Result>
class OrderedPool {
 public:
  // work(job, worker) runs on worker `worker` (0 .. threads-1).
  using Work = std::function<Result(std::size_t job, int worker)>;

  OrderedPool(std::size_t count, int threads, std::size_t window, Work work)
      : count_(count), window_(window < 1 ? 1 : window), work_(std::move(work)) {
    const int n = threads < 1 ? 1 : threads;
    workers_.reserve(static_cast<std::size_t>(n));
    for (int w = 0; w < n; ++w) workers_.emplace_back([this, w] { run(w); });
  }

  ~OrderedPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : workers_) t.join();
  }

  OrderedPool(const OrderedPool&) = delete;
  OrderedPool& operator=(const OrderedPool&) = delete;

  // The result of the next job in order; waits for it. Once a job has
  // thrown, the jobs before it still come out in order, then its
  // exception (jobs after it are not started).
  Result next() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return done_.count(taken_) > 0 || (error_ && error_job_ <= taken_); });
    if (done_.count(taken_) == 0) std::rethrow_exception(error_);
    auto it = done_.find(taken_);
    Result r = std::move(it->second);
    done_.erase(it);
    ++taken_;
    lock.unlock();
    changed_.notify_all();
    return r;
  }

 private:
  void run(int worker) {
    while (true) {
      std::size_t job = 0;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || error_ || started_ >= count_ || started_ < taken_ + window_; });
        if (stopping_ || error_ || started_ >= count_) return;
        job = started_++;
      }
      try {
        Result r = work_(job, worker);
        std::lock_guard<std::mutex> lock(mutex_);
        done_.emplace(job, std::move(r));
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!error_ || job < error_job_) {
          error_ = std::current_exception();
          error_job_ = job;
        }
      }
      changed_.notify_all();
    }
  }

  const std::size_t count_;
  const std::size_t window_;
  const Work work_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t started_ = 0;
  std::size_t taken_ = 0;
  std::map<std::size_t, Result> done_;
  std::exception_ptr error_;  // of the earliest job that threw
  std::size_t error_job_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;  // last: started once everything else is set up
};

}  // namespace corvo::batch
