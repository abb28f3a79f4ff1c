// Conversion of the thirteen parameter texts.
#include "corvo/algorithm_parameters.hpp"

#include <gtest/gtest.h>

#include "corvo/number_conversion.hpp"

namespace {

TEST(AlgorithmParameters, DefaultTexts) {
  const corvo::ParameterTexts expected = {"100",   "150",  "500",   "500",  "20",   "0",   "1E-10",
                                          "1E-35", "1E-6", "1E-10", "0,99", "1E+5", "1E-1"};
  EXPECT_EQ(corvo::default_parameter_texts(), expected);
}

TEST(AlgorithmParameters, DefaultsConvertWithComma) {
  corvo::AlgorithmParameters p;
  corvo::convert_parameters(corvo::default_parameter_texts(), ',', p);
  EXPECT_EQ(p.nbmax, 100);
  EXPECT_EQ(p.nlmax, 150);
  EXPECT_EQ(p.ndc, 500);
  EXPECT_EQ(p.ndp, 500);
  EXPECT_EQ(p.maxit, 20);
  EXPECT_EQ(p.iprint, 0);
  EXPECT_EQ(p.epsln, 1.0e-10);
  EXPECT_EQ(p.epslgiv, 1.0e-35);
  EXPECT_EQ(p.epslnp, 1.0e-6);
  EXPECT_EQ(p.epslim, 1.0e-10);
  EXPECT_EQ(p.rho, 0.99);
  EXPECT_EQ(p.bigm, 1.0e5);
  EXPECT_EQ(p.sigma, 0.1);
}

// A point in "rho:" stops at rho: the six integers and the four tolerances
// before it are stored, bigm and sigma keep what they held.
TEST(AlgorithmParameters, FailureKeepsValuesConvertedBefore) {
  corvo::ParameterTexts texts = corvo::default_parameter_texts();
  texts[4] = "35";      // maxit
  texts[6] = "1,5E-8";  // epsln
  texts[10] = "0.5";    // rho
  corvo::AlgorithmParameters p;
  p.bigm = 7.0;
  EXPECT_THROW(corvo::convert_parameters(texts, ',', p), corvo::ConversionError);
  EXPECT_EQ(p.nbmax, 100);
  EXPECT_EQ(p.maxit, 35);
  EXPECT_EQ(p.epsln, 1.5e-8);
  EXPECT_EQ(p.epslim, 1.0e-10);
  EXPECT_EQ(p.rho, 0.0);
  EXPECT_EQ(p.bigm, 7.0);
  EXPECT_EQ(p.sigma, 0.0);
}

TEST(AlgorithmParameters, IntegerTextWithDecimalsIsRefused) {
  corvo::ParameterTexts texts = corvo::default_parameter_texts();
  texts[1] = "150,0";  // nlmax
  corvo::AlgorithmParameters p;
  EXPECT_THROW(corvo::convert_parameters(texts, ',', p), corvo::ConversionError);
  EXPECT_EQ(p.nbmax, 100);
  EXPECT_EQ(p.nlmax, 0);
}

}  // namespace
