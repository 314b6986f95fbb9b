#include "analysis/advanced/detrend.hpp"

#include <Eigen/Dense>
#include <Eigen/SVD>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>

namespace skyloam {
namespace {

constexpr std::size_t kMinSamplesForFit = 12;
constexpr double kMachineEpsilon = 2.220446049250313e-16;

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

std::vector<double> minus_mean(std::span<const double> values) {
  double sum = 0.0;
  for (const double v : values) sum += v;
  const double mean = sum / static_cast<double>(values.size());
  std::vector<double> residual(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) residual[i] = values[i] - mean;
  return residual;
}

// Columns x^0 .. x^order of the normalised times.
MatrixXd vandermonde(std::span<const double> t, std::uint32_t order) {
  const Index n = static_cast<Index>(t.size());
  const double span = std::max(t.back() - t.front(), 1.0);
  MatrixXd a(n, static_cast<Index>(order) + 1);
  for (Index i = 0; i < n; ++i) {
    const double x = (t[static_cast<std::size_t>(i)] - t.front()) / span;
    double power = 1.0;
    for (Index j = 0; j <= static_cast<Index>(order); ++j) {
      a(i, j) = power;
      power *= x;
    }
  }
  return a;
}

// c = V * pinv(Sigma) * U^T * b with the truncation rule of the header.
VectorXd truncated_least_squares(const MatrixXd& a, const VectorXd& b) {
  const Eigen::JacobiSVD<MatrixXd> svd(a, Eigen::ComputeThinU | Eigen::ComputeThinV);
  const VectorXd& sigma = svd.singularValues();
  const double cutoff = sigma.size() > 0 ? sigma(0) * static_cast<double>(a.rows()) *
                                               kMachineEpsilon
                                         : 0.0;
  VectorXd projected = svd.matrixU().transpose() * b;
  for (Index k = 0; k < sigma.size(); ++k) {
    projected(k) = sigma(k) > cutoff ? projected(k) / sigma(k) : 0.0;
  }
  return svd.matrixV() * projected;
}

}  // namespace

DetrendResult detrend(std::span<const double> t, std::span<const double> values,
                      std::uint32_t max_order) {
  if (t.size() != values.size()) throw std::invalid_argument("detrend: length mismatch");
  const std::size_t n = values.size();
  if (n == 0) return {};
  if (n < kMinSamplesForFit || max_order < 2) return {minus_mean(values), 0};

  // Orders k with 3k < n, capped by max_order; the widest matrix serves all.
  const std::uint32_t top = static_cast<std::uint32_t>(
      std::min<std::size_t>(max_order, (n - 1) / 3));
  const MatrixXd full = vandermonde(t, top);
  const VectorXd b = Eigen::Map<const VectorXd>(values.data(), static_cast<Index>(n));

  DetrendResult best;
  double best_rms = std::numeric_limits<double>::infinity();
  for (std::uint32_t k = 2; k <= top; ++k) {
    const auto a = full.leftCols(static_cast<Index>(k) + 1);
    const VectorXd residual = b - a * truncated_least_squares(a, b);
    double sum_of_squares = 0.0;
    for (Index i = 0; i < residual.size(); ++i) sum_of_squares += residual(i) * residual(i);
    const double rms = std::sqrt(sum_of_squares / static_cast<double>(n));
    if (k == 2 || rms < best_rms) {
      best_rms = rms;
      best.order = k;
      best.residual.assign(residual.data(), residual.data() + n);
    }
  }
  return best;
}

}  // namespace skyloam
