// The case file of the two-bus example typed into the forms with the
// default parameters.
#pragma once

#include <string>

// Record by record: the title; n, nl and Sb ("%10d%10d%10.2f"); the line
// 1-2 with x 0.1 and limits 100/-100 MW; the bus types 2 and 0; the
// reference bus with its six fields (load 0, costs 0, 10 and 0.01 with six
// decimals, limits 200 and 0); the load bus with its load alone; then
// nbmax/nlmax, ndc/ndp, maxit 20 in columns 9-10 and iprint 0 in column 20
// with the four tolerances, and rho, bigm, sigma.
inline const std::string kTwoBusFile =
    "Caso exemplo\r\n"
    "         2         1    100.00\r\n"
    "         1         2      0.10    100.00   -100.00\r\n"
    "         2         0\r\n"
    "      0.00      0.00     10.00  0.010000    200.00      0.00\r\n"
    "     50.00\r\n"
    "       100       150\r\n"
    "       500       500\r\n"
    "        20         0   1.0E-10   1.0E-35   1.0E-06   1.0E-10\r\n"
    "      0.99   1.0E+05   1.0E-01\r\n";
