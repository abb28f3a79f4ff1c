// The progress of a batch on a terminal: scenarios done, failed, the rate
// and the time left, redrawn in place at most a few times a second.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace corvo::batch {

// "  120/8760 scenarios  2 failed  14.3/s  10m 4s left"
std::string progress_text(std::size_t done, std::size_t failed, std::size_t total, double seconds);

class ProgressBar {
 public:
  // Draws nothing unless `enabled` (standard error is a terminal).
  ProgressBar(std::ostream& out, std::size_t total, bool enabled);
  void update(bool failed);
  // The last line, complete, and a line break.
  void finish();

 private:
  void draw();
  using Clock = std::chrono::steady_clock;
  std::ostream& out_;
  std::size_t total_;
  bool enabled_;
  std::size_t done_ = 0;
  std::size_t failed_ = 0;
  Clock::time_point started_ = Clock::now();
  Clock::time_point drawn_{};
  std::size_t width_ = 0;
};

}  // namespace corvo::batch
