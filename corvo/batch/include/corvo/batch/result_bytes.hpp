// A scenario's result as bytes, to travel between the processes of one
// batch (the same program on machines of one kind: values are copied as
// they lie in memory, so every double arrives with its exact bits).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "corvo/batch/scenario_result.hpp"

namespace corvo::batch {

std::string to_bytes(const ScenarioResult& result);

// Throws std::runtime_error for bytes that are cut short or too long.
ScenarioResult from_bytes(std::string_view bytes);

}  // namespace corvo::batch
