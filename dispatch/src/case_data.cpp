#include "dispatch/case_data.hpp"

namespace dispatch {

void apply_tolerance_defaults(AlgorithmParameters& p) {
  if (p.epsln == 0.0) p.epsln = 1.0E-8;
  if (p.epslim == 0.0) p.epslim = 1.0E-10;
  if (p.epslnp == 0.0) p.epslnp = 1.0E-6;
  if (p.epslgiv == 0.0) p.epslgiv = 1.0E-35;
}

}  // namespace dispatch
