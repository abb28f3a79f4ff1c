#include "corvo/batch/progress.hpp"

#include <cmath>
#include <cstdio>

namespace corvo::batch {
namespace {

std::string duration_text(double seconds) {
  const auto s = static_cast<long long>(std::llround(seconds));
  char text[48];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%lldh %02lldm", s / 3600, s % 3600 / 60);
  else if (s >= 60)
    std::snprintf(text, sizeof text, "%lldm %02llds", s / 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%llds", s);
  return text;
}

}  // namespace

std::string progress_text(std::size_t done, std::size_t failed, std::size_t total, double seconds) {
  char text[160];
  std::snprintf(text, sizeof text, "%zu/%zu scenarios  %zu failed", done, total, failed);
  std::string out = text;
  if (done > 0 && seconds > 0.0) {
    const double rate = static_cast<double>(done) / seconds;
    std::snprintf(text, sizeof text, "  %.1f/s", rate);
    out += text;
    if (done < total) out += "  " + duration_text(static_cast<double>(total - done) / rate) + " left";
    else out += "  " + duration_text(seconds) + " in all";
  }
  return out;
}

ProgressBar::ProgressBar(std::ostream& out, std::size_t total, bool enabled)
    : out_(out), total_(total), enabled_(enabled) {}

void ProgressBar::update(bool failed) {
  ++done_;
  if (failed) ++failed_;
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (now - drawn_ < std::chrono::milliseconds(200)) return;
  drawn_ = now;
  draw();
}

void ProgressBar::draw() {
  const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
  std::string line = progress_text(done_, failed_, total_, seconds);
  // Blanks over what a longer line before left behind.
  const std::size_t width = line.size();
  if (width < width_) line.append(width_ - width, ' ');
  width_ = width;
  out_ << '\r' << line << std::flush;
}

void ProgressBar::finish() {
  if (!enabled_) return;
  draw();
  out_ << '\n' << std::flush;
}

}  // namespace corvo::batch
