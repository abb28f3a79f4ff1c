// The files that orsa and talven leave in their folder, read with the
// record templates they were written with.
#pragma once

#include <filesystem>
#include <string>

#include "corvo/report/solution.hpp"

namespace corvo::app {

// The case name of the problem file's first record ("(a)", 14
// characters), without its trailing blanks. Throws InputError.
std::string case_name_of_problem_file(const std::filesystem::path& problem_file);

// talven.flw: the convergence flag ("(16I5)"), n and m ("(16I5)"), x and y
// ("(4D20.8)"), the cost and the iteration count. `nvar` and `m` are the
// sizes of the case's program; a file of other sizes, a flag other than 0
// or 1, or a record that does not read throws InputError naming the file.
report::QpSolution read_flow_file(const std::filesystem::path& flow_file, int nvar, int m);

}  // namespace corvo::app
