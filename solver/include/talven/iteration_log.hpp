// The iteration log and the least-squares diagnostics, written to the
// case report (and the iteration lines also to the console).
#pragma once

#include "records/records.hpp"
#include "talven/iteration.hpp"

namespace talven {

class IterationLog : public IterationObserver {
 public:
  IterationLog(records::Records& io, int report_unit) : io_(io), report_(report_unit) {}

  void iteration_line(int k, double gap, double primal_index, double dual_index) override;
  void dual_direction(std::span<const double> dy) override;
  void primal_direction(std::span<const double> dx) override;
  void slack_direction(std::span<const double> dz) override;
  void primal_ratio(double alphap) override;
  void dual_ratio(double alphad) override;
  void updated(int k, std::span<const double> x, std::span<const double> y,
               std::span<const double> z) override;

  void observations(int n, int m, const StoreDims& dims, const Matrix& a,
                    std::span<const double> w) override;
  void factor(const Matrix& u, std::span<const double> d, double ssr, const Matrix& t1) override;
  void rotation(int row, const Matrix& f, double ssr) override;

 private:
  records::Records& io_;
  int report_;
};

}  // namespace talven
