// Reading of the case file (unit 3) in the stretches of the run order,
// each stretch echoed into the listing (unit 9) and, where the flow data
// file (unit 8) carries the values, written there too.
//
// Values that the later stages rely on are checked as soon as they are
// read; a bad one ends the run with an error message in the listing.
#pragma once

#include "dispatch/case_data.hpp"
#include "records/records.hpp"

namespace dispatch {

// Record 1: the title; writes the listing banner and the title record of
// the flow data file.
void read_title(records::Records& io, CaseData& data);

// Record 2: n, nl and Sb. Stops unless n >= 1, nl >= 0 and Sb is not zero;
// a run-time error when the rest of the file cannot hold the records that
// n and nl announce.
void read_sizes(records::Records& io, CaseData& data);

// Records 3: one per line, each echoed at once. Stops at the first line
// with an end bus outside 1..n. Then writes the line limits (MW) to the
// flow data file and converts them to per unit; stops when a limit would
// not be finite in per unit.
void read_lines(records::Records& io, CaseData& data);

// Records 4: the bus types. Stops at the first type outside 0..3 and when
// no bus is of type 2.
void read_bus_types(records::Records& io, CaseData& data);

// Records 5: one per bus, by type; numbers the generators, sets nref, and
// converts the loads to per unit. Stops, before any conversion, when a load
// or a generator value would not be finite in per unit.
void read_buses(records::Records& io, CaseData& data);

// Records 6 and 7: nbmax, nlmax (echoed), ndc, ndp.
void read_dimensions(records::Records& io, AlgorithmParameters& p);

// Record 8: maxit, iprint and the four tolerances; zero tolerances take
// their defaults before the echo.
void read_tolerances(records::Records& io, AlgorithmParameters& p);

// Record 9: rho, bigm, sigma.
void read_step_parameters(records::Records& io, AlgorithmParameters& p);

// Writes "(/,/,' ** Error - <text> **',/,/)" to the listing and stops.
[[noreturn]] void stop_with_case_error(records::Records& io, const std::string& text);

}  // namespace dispatch
