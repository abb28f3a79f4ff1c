#include "corvo/app/classic_storage.hpp"

#include <unistd.h>

#include <cstdio>

namespace corvo::app {

double classic_storage_bytes(const dispatch::DispatchQp& qp) {
  const double m = qp.m, n = qp.nvar;
  return 8.0 * (2.0 * m * n + m * m);
}

std::optional<std::string> classic_storage_refusal(const dispatch::DispatchQp& qp) {
  const double needed = classic_storage_bytes(qp);
  const double memory = static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGE_SIZE));
  if (memory <= 0 || needed <= memory) return std::nullopt;
  char text[220];
  std::snprintf(text, sizeof text,
                "the classic method needs %.1f GB of dense storage for this case (%d rows, %d columns), "
                "more than this machine's %.1f GB; --method robust solves it",
                needed / 1e9, qp.m, qp.nvar, memory / 1e9);
  return std::string(text);
}

}  // namespace corvo::app
