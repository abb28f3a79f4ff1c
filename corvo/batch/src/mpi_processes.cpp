#include "mpi_processes.hpp"

#include <mpi.h>

#include <climits>
#include <stdexcept>
#include <string>

namespace corvo::batch {
namespace {

constexpr int kResultTag = 18;

void check(int code, const char* what) {
  if (code == MPI_SUCCESS) return;
  char text[MPI_MAX_ERROR_STRING];
  int length = 0;
  MPI_Error_string(code, text, &length);
  throw std::runtime_error(std::string("MPI: ") + what + ": " + std::string(text, static_cast<std::size_t>(length)));
}

class MpiProcesses final : public Processes {
 public:
  MpiProcesses() {
    int provided = 0;
    check(MPI_Init_thread(nullptr, nullptr, MPI_THREAD_FUNNELED, &provided), "MPI_Init_thread");
    MPI_Comm_set_errhandler(MPI_COMM_WORLD, MPI_ERRORS_RETURN);
    check(MPI_Comm_rank(MPI_COMM_WORLD, &rank_), "MPI_Comm_rank");
    check(MPI_Comm_size(MPI_COMM_WORLD, &size_), "MPI_Comm_size");
    MPI_Comm local;
    check(MPI_Comm_split_type(MPI_COMM_WORLD, MPI_COMM_TYPE_SHARED, rank_, MPI_INFO_NULL, &local),
          "MPI_Comm_split_type");
    check(MPI_Comm_size(local, &local_size_), "MPI_Comm_size");
    MPI_Comm_free(&local);
  }
  ~MpiProcesses() override { MPI_Finalize(); }

  int rank() const override { return rank_; }
  int size() const override { return size_; }
  int local_size() const override { return local_size_; }

  void send_to_first(const std::string& bytes) override {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
      throw std::runtime_error("MPI: a scenario's results exceed 2 GiB");
    check(MPI_Send(bytes.data(), static_cast<int>(bytes.size()), MPI_BYTE, 0, kResultTag, MPI_COMM_WORLD), "MPI_Send");
  }

  std::string receive_from(int rank) override {
    MPI_Status status;
    check(MPI_Probe(rank, kResultTag, MPI_COMM_WORLD, &status), "MPI_Probe");
    int count = 0;
    check(MPI_Get_count(&status, MPI_BYTE, &count), "MPI_Get_count");
    std::string bytes(static_cast<std::size_t>(count), '\0');
    check(MPI_Recv(bytes.data(), count, MPI_BYTE, rank, kResultTag, MPI_COMM_WORLD, MPI_STATUS_IGNORE), "MPI_Recv");
    return bytes;
  }

  int first_not_ready(bool ready) override {
    const int mine = ready ? size_ : rank_;
    int lowest = size_;
    check(MPI_Allreduce(&mine, &lowest, 1, MPI_INT, MPI_MIN, MPI_COMM_WORLD), "MPI_Allreduce");
    return lowest == size_ ? -1 : lowest;
  }

  int shared_from_first(int value) override {
    check(MPI_Bcast(&value, 1, MPI_INT, 0, MPI_COMM_WORLD), "MPI_Bcast");
    return value;
  }

  [[noreturn]] void abort(int status) override {
    MPI_Abort(MPI_COMM_WORLD, status);
    std::abort();
  }

 private:
  int rank_ = 0;
  int size_ = 1;
  int local_size_ = 1;
};

}  // namespace

std::unique_ptr<Processes> start_mpi_processes() { return std::make_unique<MpiProcesses>(); }

}  // namespace corvo::batch
