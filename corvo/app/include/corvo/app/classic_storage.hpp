// The classic method holds the constraint matrix, its copy with the row
// weights and the triangular factor densely: 8·(2·m·n + m·m) bytes for m
// rows and n columns. A case that needs more than the machine's memory is
// refused before anything is allocated, instead of driving the machine
// into swap or the out-of-memory killer.
#pragma once

#include <optional>
#include <string>

#include "dispatch/dispatch_qp.hpp"

namespace corvo::app {

double classic_storage_bytes(const dispatch::DispatchQp& qp);

// Why the classic method cannot take the program on this machine, or
// nothing when it fits.
std::optional<std::string> classic_storage_refusal(const dispatch::DispatchQp& qp);

}  // namespace corvo::app
