#include "corvo/algorithm_parameters.hpp"

#include <cstdint>
#include <iterator>

#include "corvo/number_conversion.hpp"
#include "corvo/number_text.hpp"

namespace corvo {

namespace {

// The parameters as the form's labels name them.
constexpr const char* kParameterNames[kParameterCount] = {
    "nbmax", "nlmax", "ndc", "ndp", "maxit", "iprint", "epsln",
    "epslgiv", "epslnp", "epslim", "rho", "bigM", "sigma"};

}  // namespace

ParameterTexts default_parameter_texts() {
  return {"100",   "150",  "500",   "500",  "20",   "0",   "1E-10",
          "1E-35", "1E-6", "1E-10", "0,99", "1E+5", "1E-1"};
}

ParameterTexts parameter_texts_of(const AlgorithmParameters& parameters, char decimal_separator) {
  const ParameterTexts defaults = default_parameter_texts();
  AlgorithmParameters default_values;
  convert_parameters(defaults, ',', default_values);
  const std::int32_t integers[] = {parameters.nbmax, parameters.nlmax, parameters.ndc,
                                   parameters.ndp,   parameters.maxit, parameters.iprint};
  const std::int32_t default_integers[] = {default_values.nbmax, default_values.nlmax,
                                           default_values.ndc,   default_values.ndp,
                                           default_values.maxit, default_values.iprint};
  const double reals[] = {parameters.epsln, parameters.epslgiv, parameters.epslnp,
                          parameters.epslim, parameters.rho, parameters.bigm, parameters.sigma};
  const double default_reals[] = {default_values.epsln, default_values.epslgiv,
                                  default_values.epslnp, default_values.epslim,
                                  default_values.rho, default_values.bigm, default_values.sigma};
  ParameterTexts texts;
  std::size_t next = 0;
  for (std::size_t i = 0; i < std::size(integers); ++i, ++next) {
    texts[next] = integers[i] == default_integers[i] ? defaults[next] : std::to_string(integers[i]);
  }
  for (std::size_t i = 0; i < std::size(reals); ++i, ++next) {
    texts[next] = reals[i] == default_reals[i] && decimal_separator == ','
                      ? defaults[next]
                      : form_number_text(reals[i], decimal_separator);
  }
  return texts;
}

void convert_parameters(const ParameterTexts& texts, char decimal_separator,
                        AlgorithmParameters& into) {
  std::int32_t* const integers[] = {&into.nbmax, &into.nlmax, &into.ndc,
                                    &into.ndp,   &into.maxit, &into.iprint};
  double* const reals[] = {&into.epsln, &into.epslgiv, &into.epslnp, &into.epslim,
                           &into.rho,   &into.bigm,    &into.sigma};
  std::size_t next_text = 0;
  try {
    for (std::int32_t* target : integers) {
      *target = StrToInt(texts[next_text]);
      ++next_text;
    }
    for (double* target : reals) {
      *target = StrToFloat(texts[next_text], decimal_separator);
      ++next_text;
    }
  } catch (const ConversionError& error) {
    throw PlacedConversionError(error, kParameterNames[next_text]);
  }
}

}  // namespace corvo
