// Small MATPOWER texts for the tests, built from rows.
#pragma once

#include <string>

#include "corvo/import/matpower_case.hpp"
#include "corvo/network/matpower_reader.hpp"

namespace network_text {

// A case of the given rows (each row a MATLAB row without its ';').
inline std::string matpower(const std::string& bus, const std::string& gen, const std::string& branch,
                            const std::string& gencost, const std::string& extra = "") {
  return "function mpc = t\nmpc.version = '2';\nmpc.baseMVA = 100;\nmpc.bus = [" + bus + "];\nmpc.gen = [" + gen +
         "];\nmpc.branch = [" + branch + "];\nmpc.gencost = [" + gencost + "];\n" + extra;
}

inline corvo::network::Network read(const std::string& text) {
  return corvo::network::read_matpower(corvo::import::parse_matpower(text, "t.m"), "t.m", "t");
}

// Two buses: 1 the reference with a generator (0..200 MW, 10 $/MWh), 2 a
// load of 50 MW; one branch of x 0.1 with the given tail of its row
// (from column RATE_A on).
inline std::string two_bus(const std::string& branch_tail = "0 0 0 0 0 1 -360 360",
                           const std::string& gen_tail = "1 200 0", const std::string& bus1_type = "3") {
  return matpower("1 " + bus1_type + " 0 0 0 0 1 1 0 230 1 1.1 0.9; 2 1 50 0 0 0 1 1 0 230 1 1.1 0.9",
                  "1 0 0 0 0 1 100 " + gen_tail, "1 2 0 0.1 0 " + branch_tail, "2 0 0 2 10 0");
}

}  // namespace network_text
