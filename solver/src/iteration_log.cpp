#include "talven/iteration_log.hpp"

#include <vector>

namespace talven {

namespace {

constexpr const char* kVector = "(5F16.4)";

void write_rows(records::Records& io, int unit, const char* tmpl, const Matrix& matrix) {
  for (int i = 0; i < matrix.rows(); ++i) io.write(unit, tmpl, matrix.row(i));
}

}  // namespace

void IterationLog::iteration_line(int k, double gap, double primal_index, double dual_index) {
  constexpr const char* kLine =
      "(/,/,'Iteration  ',I3,'    Gap = ',D12.5,'  Primal fact. = ',D12.5,'  Dual fact. = ',D12.5,/)";
  const auto number = static_cast<std::int32_t>(k);
  io_.write(report_, kLine, number, gap, primal_index, dual_index);
  io_.write(records::kConsole, kLine, number, gap, primal_index, dual_index);
}

void IterationLog::dual_direction(std::span<const double> dy) {
  io_.write(report_, "(/,/,' Direction for dual variables',/,/)");
  io_.write(report_, kVector, dy);
}

void IterationLog::primal_direction(std::span<const double> dx) {
  io_.write(report_, "(/,/,' Direction for primal variables',/,/)");
  io_.write(report_, kVector, dx);
}

void IterationLog::slack_direction(std::span<const double> dz) {
  io_.write(report_, "(/,/,' Direction for dual slacks',/,/)");
  io_.write(report_, kVector, dz);
}

void IterationLog::primal_ratio(double alphap) { io_.write(report_, "(/,/,' Alphap = ',D12.5,/)", alphap); }

void IterationLog::dual_ratio(double alphad) { io_.write(report_, "(/,/,' Alphad = ',D12.5,/)", alphad); }

void IterationLog::updated(int k, std::span<const double> x, std::span<const double> y,
                           std::span<const double> z) {
  io_.write(report_, "(/,/,' Updated primal variables - Iteration ',I3,/,/)", static_cast<std::int32_t>(k));
  io_.write(report_, kVector, x);
  io_.write(report_, "(/,/,' Updated dual variables ',/,/)");
  io_.write(report_, kVector, y);
  io_.write(report_, "(/,/,' Updated dual slacks ',/,/)");
  io_.write(report_, kVector, z);
}

void IterationLog::observations(int n, int m, const StoreDims& dims, const Matrix& a,
                                std::span<const double> w) {
  io_.write(report_,
            "(/,/,' Number of measurements  = ',I3,/,' Number of states =    ',I3,/,"
            "' Row parameter for dimensioning H = ',I3,/,' Dimensioning parameter for U =',I3,/,/)",
            static_cast<std::int32_t>(n), static_cast<std::int32_t>(m), static_cast<std::int32_t>(dims.ndp),
            static_cast<std::int32_t>(dims.ndc));
  io_.write_list(report_, "Observation Matrix");
  // Row j of the observation matrix is column j of the constraint matrix.
  std::vector<double> h(m);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < m; ++i) h[i] = a(i, j);
    io_.write(report_, kVector, h);
  }
  io_.write(report_, "(/,/,' Measurement weights',/,/)");
  io_.write(report_, kVector, w);
}

void IterationLog::factor(const Matrix& u, std::span<const double> d, double ssr, const Matrix& t1) {
  io_.write(report_, "(/,/,' *****  Unit Upper Triangular Matrix  *****',/,/)");
  write_rows(io_, report_, kVector, u);
  io_.write(report_, "(/,/,' *****  Weights for the rows of U  *****',/,/)");
  io_.write(report_, kVector, d);
  io_.write(report_, "(/,/,' *** Weighted Sum of Squared Residuals = ',D11.4,' ***')", ssr);
  io_.write(report_, "(/,/,' *****  Matriz T1  *****',/,/)");
  write_rows(io_, report_, kVector, t1);
}

void IterationLog::rotation(int row, const Matrix& f, double ssr) {
  io_.write(report_, "(1X,'Rotation of row ',I3,/,1X,20('='),/,/)", static_cast<std::int32_t>(row));
  io_.write(report_, "(1X,'Matriz U after rotations',/)");
  write_rows(io_, report_, "(11D12.4)", f);
  io_.write(report_, "(/,/,' Cumulative Sum of Squared Residuals = ',D11.4,/)", ssr);
}

}  // namespace talven
