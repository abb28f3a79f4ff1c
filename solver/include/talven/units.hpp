// Unit numbers of the files talven reads and writes.
#pragma once

namespace talven {

inline constexpr int kProblemUnit = 1;  // "orsa.ip", read
inline constexpr int kReportUnit = 2;   // the case report
inline constexpr int kFlowUnit = 3;     // "talven.flw"

}  // namespace talven
