#include "analysis/advanced/detrend.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace skyloam {
namespace {

std::vector<double> times(std::size_t n, double start = 1000.0, double step = 30.0) {
  std::vector<double> t(n);
  for (std::size_t i = 0; i < n; ++i) t[i] = start + step * static_cast<double>(i);
  return t;
}

template <class F>
std::vector<double> sample(const std::vector<double>& t, F f) {
  std::vector<double> v;
  for (const double x : t) v.push_back(f(x));
  return v;
}

double max_abs(const std::vector<double>& values) {
  double m = 0.0;
  for (const double v : values) m = std::max(m, std::fabs(v));
  return m;
}

// Alternating +-1 with a slow wobble: no low-order polynomial fits it well.
double rough(double t) { return (static_cast<long>(t / 30.0) % 2 == 0 ? 1.0 : -1.0) + 0.1 * std::sin(t / 97.0); }

std::vector<double> minus_mean(const std::vector<double>& v) {
  double mean = 0.0;
  for (const double x : v) mean += x;
  mean /= static_cast<double>(v.size());
  std::vector<double> out;
  for (const double x : v) out.push_back(x - mean);
  return out;
}

TEST(Detrend, ShortArcsAndLowMaxOrderOnlyLoseTheirMean) {
  const std::vector<double> t = times(11);
  const std::vector<double> v = sample(t, [](double x) { return x * x; });
  const DetrendResult short_arc = detrend(t, v, 9);
  EXPECT_EQ(short_arc.order, 0u);
  EXPECT_EQ(short_arc.residual, minus_mean(v));

  const std::vector<double> t40 = times(40);
  const std::vector<double> v40 = sample(t40, rough);
  const DetrendResult order1 = detrend(t40, v40, 1);
  EXPECT_EQ(order1.order, 0u);
  EXPECT_EQ(order1.residual, minus_mean(v40));

  EXPECT_TRUE(detrend({}, {}, 9).residual.empty());
}

// Quadratic least squares through the normal equations in long double, on
// the same normalised abscissa.
std::vector<double> quadratic_residual(const std::vector<double>& t, const std::vector<double>& v) {
  long double s[5] = {}, r[3] = {};
  const long double span = t.back() - t.front();
  for (std::size_t i = 0; i < t.size(); ++i) {
    const long double x = (t[i] - t.front()) / span;
    long double p = 1.0L;
    for (int k = 0; k < 5; ++k, p *= x) {
      s[k] += p;
      if (k < 3) r[k] += p * v[i];
    }
  }
  // Cramer's rule on the 3 x 3 system.
  const auto det = [](long double a, long double b, long double c, long double d, long double e,
                      long double f, long double g, long double h, long double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  };
  const long double d = det(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
  const long double c0 = det(r[0], s[1], s[2], r[1], s[2], s[3], r[2], s[3], s[4]) / d;
  const long double c1 = det(s[0], r[0], s[2], s[1], r[1], s[3], s[2], r[2], s[4]) / d;
  const long double c2 = det(s[0], s[1], r[0], s[1], s[2], r[1], s[2], s[3], r[2]) / d;
  std::vector<double> out;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const long double x = (t[i] - t.front()) / span;
    out.push_back(static_cast<double>(v[i] - (c0 + c1 * x + c2 * x * x)));
  }
  return out;
}

TEST(Detrend, OrderTwoIsTheLeastSquaresQuadratic) {
  const std::vector<double> t = times(60);
  const std::vector<double> v = sample(t, rough);
  const DetrendResult fit = detrend(t, v, 2);
  EXPECT_EQ(fit.order, 2u);
  const std::vector<double> expected = quadratic_residual(t, v);
  for (std::size_t i = 0; i < t.size(); ++i) EXPECT_NEAR(fit.residual[i], expected[i], 1e-12);
}

TEST(Detrend, ExactPolynomialsLeaveNothing) {
  const std::vector<double> t = times(40);
  const DetrendResult cubic = detrend(t, sample(t, [](double x) {
    const double u = (x - 1000.0) / 100.0;
    return 45.0 - 2.0 * u + 0.3 * u * u - 0.01 * u * u * u;
  }), 9);
  EXPECT_GE(cubic.order, 3u);
  EXPECT_LT(max_abs(cubic.residual), 1e-9);

  const std::vector<double> flat = times(200, 0.0, 1.0);
  EXPECT_LT(max_abs(detrend(flat, sample(flat, [](double x) { return 3.0 + 1e-3 * x * x; }), 2)
                        .residual),
            1e-10);
}

TEST(Detrend, OrderIsBoundedByTheArcLength) {
  // 12 samples allow orders 2 and 3 only; 30 allow 2 .. 9.
  const std::vector<double> t12 = times(12);
  const DetrendResult twelve = detrend(t12, sample(t12, rough), 9);
  EXPECT_TRUE(twelve.order == 2u || twelve.order == 3u) << twelve.order;

  const std::vector<double> t30 = times(30);
  const DetrendResult thirty = detrend(t30, sample(t30, rough), 9);
  EXPECT_GE(thirty.order, 2u);
  EXPECT_LE(thirty.order, 9u);
  EXPECT_LE(detrend(t30, sample(t30, rough), 4).order, 4u);
}

TEST(Detrend, HighOrderTrendsNeedAndGetHighOrders) {
  // A pure quadratic stays at rounding level whichever order wins.
  const std::vector<double> t = times(300, 0.0, 1.0);
  const DetrendResult quadratic = detrend(t, sample(t, [](double x) { return 1.0 + x * (x - 299.0); }), 9);
  EXPECT_LT(max_abs(quadratic.residual), 1e-7);
  // A quintic needs order 5 at least.
  const DetrendResult quintic = detrend(t, sample(t, [](double x) {
    const double u = x / 299.0;
    return u * u * u * u * u - u * u;
  }), 9);
  EXPECT_GE(quintic.order, 5u);
  EXPECT_LT(max_abs(quintic.residual), 1e-9);
}

TEST(DetrendArc, ChecksLengthsAndTheOrderLimit) {
  const std::vector<double> t = times(40);
  const std::vector<double> v = sample(t, rough);
  EXPECT_EQ(detrend_arc(t, std::vector<double>(39, 1.0)).error().display(),
            "t and values must have the same length");
  EXPECT_EQ(detrend_arc(t, v, 33).error().display(), "max_order must be at most 32 (got 33)");
  ASSERT_TRUE(detrend_arc(t, v, 32).has_value());
  EXPECT_EQ(detrend_arc(t, v)->residual, detrend(t, v, 9).residual);
  // The unchecked form takes a huge max_order as the limit, without a huge matrix.
  const std::vector<double> long_t = times(3000);
  EXPECT_LE(detrend(long_t, sample(long_t, rough), std::size_t{1} << 40).order, 32u);
}

TEST(Detrend, DegenerateTimesDoNotFail) {
  const std::vector<double> same(50, 7.0);
  std::vector<double> v(50);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<double>(i % 5);
  const DetrendResult result = detrend(same, v, 9);
  ASSERT_EQ(result.residual.size(), 50u);
  // Every column is constant: the fit collapses to the mean.
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(result.residual[i], v[i] - 2.0, 1e-9);
}

}  // namespace
}  // namespace skyloam
