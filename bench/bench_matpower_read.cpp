// Times the MATPOWER reader (parse_matpower) on the text of a case file
// given on the command line, or on a generated case of 10 000 buses laid
// out as MATPOWER writes its cases (tab-separated rows, ';' at row ends).
// Prints the best of five reads. Memory is measured on the whole program
// (`/usr/bin/time -f %M corvo import FILE`); see the README.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "corvo/import/matpower_case.hpp"

namespace {

std::string generated_case(int buses) {
  std::ostringstream s;
  s << "function mpc = bench\n%BENCH generated\nmpc.version = '2';\nmpc.baseMVA = 100;\nmpc.bus = [\n";
  for (int i = 1; i <= buses; ++i)
    s << '\t' << i << '\t' << (i == 1 ? 3 : 1) << '\t' << 10.0 + i % 97 * 0.37 << "\t4.2\t0\t0\t1\t1.0393836\t"
      << -13.536602 + i * 1e-3 << "\t345\t1\t1.06\t0.94;\n";
  s << "];\nmpc.gen = [\n";
  for (int i = 1; i <= buses; i += 6)
    s << '\t' << i << "\t219\t58.4\t300\t-300\t1.0393836\t100\t1\t521\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0;\n";
  s << "];\nmpc.branch = [\n";
  for (int i = 2; i <= buses; ++i)
    s << '\t' << i / 2 << '\t' << i << "\t0.0035\t0.0411\t0.6987\t600\t600\t600\t0\t0\t1\t-360\t360;\n";
  s << "];\nmpc.gencost = [\n";
  for (int i = 1; i <= buses; i += 6) s << "\t2\t0\t0\t3\t0.0" << 10 + i % 7 << "\t" << 20 + i % 13 << ".5\t0;\n";
  s << "];\n";
  return s.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::string text;
  std::string source = "generated 10000-bus case";
  if (argc > 1) {
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    source = argv[1];
  } else {
    text = generated_case(10000);
  }
  double best = 1e300;
  std::size_t values = 0;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const corvo::import::MatpowerCase mc = corvo::import::parse_matpower(text, source);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    values = 0;
    for (const auto* m : {&mc.bus, &mc.gen, &mc.branch, &mc.gencost}) values += m->size() * m->columns();
  }
  std::printf("%s: %.2f MB, %zu values, best of 5: %.2f ms (%.0f MB/s)\n", source.c_str(), text.size() / 1e6,
              values, best * 1e3, text.size() / 1e6 / best);
}
