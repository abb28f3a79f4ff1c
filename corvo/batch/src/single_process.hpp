// A batch in one process: nothing to send, nothing to agree on.
#pragma once

#include <cstdlib>
#include <stdexcept>

#include "corvo/batch/processes.hpp"

namespace corvo::batch {

class SingleProcess final : public Processes {
 public:
  int rank() const override { return 0; }
  int size() const override { return 1; }
  int local_size() const override { return 1; }
  void send_to_first(const std::string&) override { throw std::logic_error("a single process sends nothing"); }
  std::string receive_from(int) override { throw std::logic_error("a single process receives nothing"); }
  int first_not_ready(bool ready) override { return ready ? -1 : 0; }
  int shared_from_first(int value) override { return value; }
  [[noreturn]] void abort(int status) override { std::exit(status); }
};

// The number of processes an MPI launcher says it started, 1 when none.
int launched_size();

}  // namespace corvo::batch
