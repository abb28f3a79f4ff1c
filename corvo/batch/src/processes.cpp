#include <cstdlib>
#include <stdexcept>
#include <string>

#include "corvo/batch/processes.hpp"
#include "single_process.hpp"

#ifdef CORVO_HAVE_MPI
#include "mpi_processes.hpp"
#endif

namespace corvo::batch {
namespace {

// What Open MPI's mpirun, a PMIx server (srun --mpi=pmix) and a PMI-2
// launcher (MPICH's, srun --mpi=pmi2) put in the environment of each
// process they start.
constexpr const char* kSizeVariables[] = {"OMPI_COMM_WORLD_SIZE", "PMIX_SIZE", "PMI_SIZE"};
constexpr const char* kRankVariables[] = {"OMPI_COMM_WORLD_RANK", "PMIX_RANK", "PMI_RANK"};

}  // namespace

bool launched_by_mpi() {
  for (const char* name : kRankVariables)
    if (std::getenv(name) != nullptr) return true;
  return false;
}

int launched_size() {
  for (const char* name : kSizeVariables)
    if (const char* value = std::getenv(name)) return std::atoi(value);
  return launched_by_mpi() ? 0 : 1;
}

bool built_with_mpi() {
#ifdef CORVO_HAVE_MPI
  return true;
#else
  return false;
#endif
}

std::unique_ptr<Processes> start_processes() {
  if (!launched_by_mpi()) return std::make_unique<SingleProcess>();
#ifdef CORVO_HAVE_MPI
  return start_mpi_processes();
#else
  if (launched_size() != 1)
    throw std::runtime_error(
        "an MPI launcher started this program, which was built without MPI: each process would run the whole "
        "batch; rebuild with MPI (libopenmpi-dev) or run one process");
  return std::make_unique<SingleProcess>();
#endif
}

}  // namespace corvo::batch
