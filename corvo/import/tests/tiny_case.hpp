// A MATPOWER case small enough to check by hand, and a way to vary it.
#pragma once

#include <string>

namespace tiny_case {

// Two buses: bus 1 the reference with a generator of 0..200 MW and cost
// 0.005 P^2 + 10 P, bus 2 a load of 50 MW; one branch of reactance 0.1
// without rating.
inline std::string text(const std::string& extra_gen = "", const std::string& extra_cost = "",
                        const std::string& gen_row = "1\t0\t0\t300\t-300\t1\t100\t1\t200\t0",
                        const std::string& cost_row = "2\t0\t0\t3\t0.005\t10\t0") {
  return "function mpc = tiny\n"
         "%TINY  two buses\n"
         "mpc.version = '2';\n"
         "mpc.baseMVA = 100;\n"
         "mpc.bus = [\n"
         "\t1\t3\t0\t0\t0\t0\t1\t1\t0\t345\t1\t1.1\t0.9;\n"
         "\t2\t1\t50\t0\t0\t0\t1\t1\t0\t345\t1\t1.1\t0.9;\n"
         "];\n"
         "mpc.gen = [\n\t" + gen_row + ";\n" + extra_gen +
         "];\n"
         "mpc.branch = [\n"
         "\t1\t2\t0\t0.1\t0\t0\t0\t0\t0\t0\t1\t-360\t360;\n"
         "];\n"
         "mpc.gencost = [\n\t" + cost_row + ";\n" + extra_cost +
         "];\n";
}

}  // namespace tiny_case
