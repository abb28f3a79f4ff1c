// Conversions of the case data to per unit on the base power Sb.
#pragma once

#include "dispatch/case_data.hpp"

namespace dispatch {

// Line limits divided by Sb.
void convert_line_limits_to_per_unit(CaseData& data);
// Bus loads divided by Sb.
void convert_loads_to_per_unit(CaseData& data);
// Generator limits divided by Sb, linear costs multiplied by Sb and
// quadratic costs by Sb raised to the power 2.
void convert_generators_to_per_unit(CaseData& data);

}  // namespace dispatch
