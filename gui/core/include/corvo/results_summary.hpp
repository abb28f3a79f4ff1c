// The summary of a solve as the results window shows it, in Portuguese.
#pragma once

#include <string>
#include <vector>

#include "corvo/report/results.hpp"

namespace corvo {

struct SummaryLine {
  std::string label;  // "Custo"
  std::string text;   // "125947,88 $/h sem custos constantes; ..."
};

// Case, method and outcome, costs, load and generation, the verdict and,
// when the point is not optimal, the conditions that failed; numbers with a
// decimal comma. The title is decoded from the case file's bytes.
std::vector<SummaryLine> summary_lines(const report::Results& results);

// The Portuguese name of a condition of the optimality check ("power
// balance" is "balanço de potência"); a name it does not know is kept.
std::string condition_name(const std::string& name);

// "inferior", "superior" or "" for a limit a value sits at.
std::string limit_name(report::AtLimit at);

}  // namespace corvo
