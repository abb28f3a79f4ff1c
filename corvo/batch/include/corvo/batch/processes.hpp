// The processes that share a batch: one, or those an MPI launcher (mpirun,
// srun) started. Scenario i belongs to process i mod size; the first
// process (rank 0) gathers every result and writes the one set of tables.
#pragma once

#include <memory>
#include <string>

namespace corvo::batch {

class Processes {
 public:
  virtual ~Processes() = default;
  virtual int rank() const = 0;
  virtual int size() const = 0;
  // Processes on this machine (sharing its cores).
  virtual int local_size() const = 0;

  // A result from this process to the first, and its receipt there, in
  // the order each process sends them.
  virtual void send_to_first(const std::string& bytes) = 0;
  virtual std::string receive_from(int rank) = 0;

  // Every process says whether it is ready; the answer is the lowest rank
  // that is not, or -1 when all are.
  virtual int first_not_ready(bool ready) = 0;
  // The first process's value, on every process.
  virtual int shared_from_first(int value) = 0;
  // Ends every process at once (a failure on one process that the others
  // would otherwise wait for forever).
  [[noreturn]] virtual void abort(int status) = 0;
};

// True when this process was started by an MPI launcher (its environment
// says so).
bool launched_by_mpi();

// MPI when this program was built with it and an MPI launcher started this
// process, a single process otherwise. Throws std::runtime_error when a
// launcher started several processes of a program built without MPI (each
// would run the whole batch and write the same files).
std::unique_ptr<Processes> start_processes();

// Whether this program was built with MPI.
bool built_with_mpi();

}  // namespace corvo::batch
