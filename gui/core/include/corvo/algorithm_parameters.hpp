// The texts of the thirteen algorithm parameters and their conversion.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "corvo/case_data.hpp"

namespace corvo {

inline constexpr std::size_t kParameterCount = 13;

// In form order: nbmax, nlmax, ndc, ndp, maxit, iprint (integers), then
// epsln, epslgiv, epslnp, epslim, rho, bigm, sigma (reals).
using ParameterTexts = std::array<std::string, kParameterCount>;

// The texts the parameter form shows on every opening. With the comma as
// decimal separator they convert to 100, 150, 500, 500, 20, 0, 1.0E-10,
// 1.0E-35, 1.0E-6, 1.0E-10, 0.99, 1.0E+5 and 0.1.
ParameterTexts default_parameter_texts();

// The texts that show `parameters` on the parameter form: a value equal to
// its default keeps the default's own text ("1E-10", "0,99"), any other is
// written as a user would type it, with `decimal_separator`.
ParameterTexts parameter_texts_of(const AlgorithmParameters& parameters, char decimal_separator);

// Converts the texts in form order and stores each value in `into` as soon
// as it is converted. A text that does not convert raises
// PlacedConversionError naming the parameter ("rho"); the values before it
// are then already stored and the later ones untouched.
void convert_parameters(const ParameterTexts& texts, char decimal_separator,
                        AlgorithmParameters& into);

}  // namespace corvo
