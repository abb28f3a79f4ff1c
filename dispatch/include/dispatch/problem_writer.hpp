// Writer of the problem file "orsa.ip" (unit 7) that the solver reads.
#pragma once

#include <string>

#include "dispatch/case_data.hpp"
#include "dispatch/dispatch_qp.hpp"
#include "records/records.hpp"

namespace dispatch {

// Problem file, from the case name to the dual slack guesses.
void write_problem(records::Records& io, const std::string& case_name, const std::string& title,
                   const DispatchQp& qp, const AlgorithmParameters& p);

// Problem file: the solver's parameter record and the print level.
void write_problem_parameters(records::Records& io, const AlgorithmParameters& p);

}  // namespace dispatch
