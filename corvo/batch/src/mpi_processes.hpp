// The processes of an MPI launch. Only the thread that started MPI calls
// it (MPI_THREAD_FUNNELED): the solving threads never do.
#pragma once

#include <memory>

#include "corvo/batch/processes.hpp"

namespace corvo::batch {

std::unique_ptr<Processes> start_mpi_processes();

}  // namespace corvo::batch
