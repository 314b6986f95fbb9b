#include "analysis/advanced/detrend.hpp"

#include <Eigen/Dense>
#include <Eigen/QR>
#include <Eigen/SVD>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>

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
MatrixXd vandermonde(std::span<const double> t, std::size_t order) {
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

// The least-squares coefficients of A_k c ~ b for A_k = Q_k R_k, given
// R_k and Q_k^T b: with R_k = U S V^T, A_k = (Q_k U) S V^T is a singular value
// decomposition of A_k, so c = V pinv(S) U^T Q_k^T b, where pinv(S) zeroes
// every singular value <= s_max * n * eps.
VectorXd truncated_least_squares(const MatrixXd& r, const VectorXd& qt_b, Index rows) {
  const Eigen::JacobiSVD<MatrixXd> svd(r, Eigen::ComputeFullU | Eigen::ComputeFullV);
  const VectorXd& sigma = svd.singularValues();
  const double cutoff = sigma(0) * static_cast<double>(rows) * kMachineEpsilon;
  VectorXd projected = svd.matrixU().transpose() * qt_b;
  for (Index k = 0; k < sigma.size(); ++k) {
    projected(k) = sigma(k) > cutoff ? projected(k) / sigma(k) : 0.0;
  }
  return svd.matrixV() * projected;
}

}  // namespace

DetrendResult detrend(std::span<const double> t, std::span<const double> values,
                      std::size_t max_order) {
  if (t.size() != values.size()) throw std::invalid_argument("detrend: length mismatch");
  const std::size_t n = values.size();
  if (n == 0) return {};
  if (n < kMinSamplesForFit || max_order < 2) return {minus_mean(values), 0};

  // Orders k with 3k < n, capped by max_order. One QR decomposition of the
  // widest matrix serves every order: the first k + 1 columns of A are
  // Q_k R_k with R_k the leading (k + 1) x (k + 1) block of R.
  const std::size_t top = std::min({max_order, kMaxDetrendOrder, (n - 1) / 3});
  const MatrixXd full = vandermonde(t, top);
  const VectorXd b = Eigen::Map<const VectorXd>(values.data(), static_cast<Index>(n));
  const Eigen::HouseholderQR<MatrixXd> qr(full);
  const VectorXd qt_b = qr.householderQ().transpose() * b;
  const MatrixXd r = qr.matrixQR().topRows(full.cols()).triangularView<Eigen::Upper>();

  DetrendResult best;
  double best_rms = std::numeric_limits<double>::infinity();
  for (std::size_t k = 2; k <= top; ++k) {
    const Index columns = static_cast<Index>(k) + 1;
    const VectorXd c = truncated_least_squares(r.topLeftCorner(columns, columns),
                                               qt_b.head(columns), full.rows());
    const VectorXd residual = b - full.leftCols(columns) * c;
    double sum_of_squares = 0.0;
    for (Index i = 0; i < residual.size(); ++i) sum_of_squares += residual(i) * residual(i);
    const double rms = std::sqrt(sum_of_squares / static_cast<double>(n));
    if (k == 2 || rms < best_rms) {
      best_rms = rms;
      best.order = static_cast<std::uint32_t>(k);
      best.residual.assign(residual.data(), residual.data() + n);
    }
  }
  return best;
}

Result<DetrendResult> detrend_arc(std::span<const double> t, std::span<const double> values,
                                  std::size_t max_order) {
  if (t.size() != values.size()) {
    return fail(GnssError::message("t and values must have the same length"));
  }
  if (max_order > kMaxDetrendOrder) {
    return fail(GnssError::message("max_order must be at most " + std::to_string(kMaxDetrendOrder) +
                                   " (got " + std::to_string(max_order) + ")"));
  }
  return detrend(t, values, max_order);
}

}  // namespace skyloam
