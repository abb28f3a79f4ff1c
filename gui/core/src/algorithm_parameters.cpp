#include "corvo/algorithm_parameters.hpp"

#include <cstdint>

#include "corvo/number_conversion.hpp"

namespace corvo {

ParameterTexts default_parameter_texts() {
  return {"100",   "150",  "500",   "500",  "20",   "0",   "1E-10",
          "1E-35", "1E-6", "1E-10", "0,99", "1E+5", "1E-1"};
}

void convert_parameters(const ParameterTexts& texts, char decimal_separator,
                        AlgorithmParameters& into) {
  std::int32_t* const integers[] = {&into.nbmax, &into.nlmax, &into.ndc,
                                    &into.ndp,   &into.maxit, &into.iprint};
  double* const reals[] = {&into.epsln, &into.epslgiv, &into.epslnp, &into.epslim,
                           &into.rho,   &into.bigm,    &into.sigma};
  std::size_t next_text = 0;
  for (std::int32_t* target : integers) *target = StrToInt(texts[next_text++]);
  for (double* target : reals) *target = StrToFloat(texts[next_text++], decimal_separator);
}

}  // namespace corvo
