// Fuzz target: any bytes as our case file, through a whole `corvo solve`
// with the robust method (see solve_findings.hpp).
#include "solve_findings.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_solve::make_scratch_folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_solve::solve_and_check(data, size, "fuzz.dat");
  return 0;
}
