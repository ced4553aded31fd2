// Kriging on projected coordinates: where the coordinate origin lies must not
// matter. Generated data sets of several extents at several distances from
// the origin, and their copies moved by (320 000, 5 500 000), must give the
// same estimates and standard errors at every drift order, and both must agree
// with an independent solution of the same system written here: neighbours by
// sorting, drift in coordinates centred on the estimation point, Householder
// QR.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "kriging/kriging_drift.h"
#include "kriging/kriging_estimate.h"
#include "support/kriging_harness.h"

namespace mornax {
namespace {

using testing::KrigingHarness;

constexpr double kShiftX = 320000.0;
constexpr double kShiftY = 5500000.0;
constexpr double kTolerance = 1.0e-6;

struct Scatter {
  std::vector<double> x, y, z;
};

// A smooth field with a regional trend over `count` points uniform in a
// square of side `width` whose lower left corner is (x0, y0); the values
// depend only on the position within the square.
Scatter MakeScatter(double x0, double y0, double width, int count, double spread,
                    std::uint64_t seed) {
  std::mt19937_64 engine(seed);
  auto uniform = [&engine] { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
  Scatter s;
  for (int i = 0; i < count; ++i) {
    const double u = uniform();
    const double v = uniform();
    s.x.push_back(x0 + u * width);
    s.y.push_back(y0 + v * width);
    s.z.push_back(100.0 + spread * (3 * u - 2 * v + 0.5 * u * v +
                                    std::sin(7 * u + 1) * std::cos(5 * v) + 0.3 * uniform()));
  }
  return s;
}

Scatter Shifted(Scatter s) {
  for (double& x : s.x) x += kShiftX;
  for (double& y : s.y) y += kShiftY;
  return s;
}

double ReferenceGamma(const VariogramModel& m, double h) {
  if (h == 0) return 0;
  const double r = h / m.a;
  switch (m.model) {
    case kSphericalModel:
      return h > m.a ? m.sill : m.c * (1.5 * r - 0.5 * r * r * r) + m.c0;
    case kExponentialModel:
      return r >= 50 ? m.sill : m.c * (1 - std::exp(-r)) + m.c0;
    default:  // Gaussian
      return r * r >= 50 ? m.sill : m.c * (1 - std::exp(-r * r)) + m.c0;
  }
}

// Solves a x = b by Householder reflections; a is row-major.
std::vector<double> SolveByQr(std::vector<std::vector<double>> a, std::vector<double> b) {
  const std::size_t n = b.size();
  for (std::size_t k = 0; k < n; ++k) {
    double norm = 0;
    for (std::size_t i = k; i < n; ++i) norm += a[i][k] * a[i][k];
    norm = std::sqrt(norm);
    if (norm == 0) continue;
    const double alpha = a[k][k] > 0 ? -norm : norm;
    std::vector<double> v(n - k);
    v[0] = a[k][k] - alpha;
    for (std::size_t i = k + 1; i < n; ++i) v[i - k] = a[i][k];
    double vv = 0;
    for (double e : v) vv += e * e;
    auto reflect = [&](auto&& at) {
      double s = 0;
      for (std::size_t i = k; i < n; ++i) s += v[i - k] * at(i);
      const double f = 2 * s / vv;
      for (std::size_t i = k; i < n; ++i) at(i) -= f * v[i - k];
    };
    for (std::size_t j = k; j < n; ++j) reflect([&](std::size_t i) -> double& { return a[i][j]; });
    reflect([&](std::size_t i) -> double& { return b[i]; });
  }
  std::vector<double> x(n);
  for (std::size_t k = n; k-- > 0;) {
    double s = b[k];
    for (std::size_t j = k + 1; j < n; ++j) s -= a[k][j] * x[j];
    x[k] = s / a[k][k];
  }
  return x;
}

struct Answer {
  double estimate;
  double standardError;
};

Answer Reference(const Scatter& s, const VariogramModel& m, int nearest, int order, double x0,
                 double y0) {
  std::vector<std::size_t> byDistance(s.x.size());
  std::iota(byDistance.begin(), byDistance.end(), 0);
  auto distance = [&](std::size_t i) { return std::hypot(s.x[i] - x0, s.y[i] - y0); };
  std::stable_sort(byDistance.begin(), byDistance.end(),
                   [&](std::size_t a, std::size_t b) { return distance(a) < distance(b); });
  const auto nn = static_cast<std::size_t>(nearest);
  byDistance.resize(nn);
  const double scale = distance(byDistance.back());
  const std::size_t nd = order == 0 ? 1 : order == 1 ? 3 : 6;
  auto drift = [&](double x, double y) {
    const double u = (x - x0) / scale;
    const double v = (y - y0) / scale;
    std::vector<double> f{1, u, v, u * u, v * v, u * v};
    f.resize(nd);
    return f;
  };
  const std::size_t ns = nn + nd;
  std::vector<std::vector<double>> a(ns, std::vector<double>(ns, 0.0));
  std::vector<double> b(ns, 0.0);
  for (std::size_t i = 0; i < nn; ++i) {
    const std::size_t p = byDistance[i];
    for (std::size_t j = 0; j < nn; ++j) {
      const std::size_t q = byDistance[j];
      a[i][j] = ReferenceGamma(m, std::hypot(s.x[p] - s.x[q], s.y[p] - s.y[q]));
    }
    const auto f = drift(s.x[p], s.y[p]);
    for (std::size_t t = 0; t < nd; ++t) a[i][nn + t] = a[nn + t][i] = f[t];
    b[i] = ReferenceGamma(m, distance(p));
  }
  const auto f0 = drift(x0, y0);
  for (std::size_t t = 0; t < nd; ++t) b[nn + t] = f0[t];
  const auto w = SolveByQr(a, b);
  double estimate = 0, variance = 0;
  for (std::size_t i = 0; i < nn; ++i) estimate += w[i] * s.z[byDistance[i]];
  for (std::size_t i = 0; i < ns; ++i) variance += w[i] * b[i];
  return {estimate, std::sqrt(std::fabs(variance))};
}

// The largest relative difference seen, and where.
struct Worst {
  double value = 0;
  std::string where;

  void Compare(double got, double want, const std::string& what) {
    const double difference = std::fabs(got - want) / std::fabs(want);
    if (!(difference <= value)) {
      value = difference;
      where = what;
    }
  }
  std::string Text() const {
    char number[32];
    std::snprintf(number, sizeof number, "%.3g", value);
    return std::string(number) + " (" + where + ")";
  }
};

struct Site {
  const char* name;
  double x0, y0, width;
  int count;
  double spread;  // size of the value pattern; the sill follows it
};

TEST(KrigingOrigin, ShiftedCopiesAndAnIndependentSolutionAgreeAtEveryOrder) {
  const Site sites[] = {
      {"1 km at the origin", 0, 0, 1000, 40, 5},      {"3 km at 1e4", 1.2e4, 3.4e4, 3000, 40, 5},
      {"20 km at 2e5", 1.8e5, 3.3e5, 2.0e4, 60, 500}, {"200 m at 1e6", 1.0e6, 1.0e6, 200, 40, 5},
      {"20 m at 7e5", 7.0e5, 2.0e5, 20, 30, 0.05},    {"2 km at 4e6", 4.1e6, 6.2e5, 2000, 40, 50},
  };
  Worst shift, reference;
  int singular = 0;
  std::uint64_t seed = 11;
  for (const Site& site : sites) {
    const Scatter here = MakeScatter(site.x0, site.y0, site.width, site.count, site.spread, ++seed);
    const Scatter there = Shifted(here);
    KrigingHarness original(here.x, here.y, here.z);
    KrigingHarness moved(there.x, there.y, there.z);
    const double sill = site.spread * site.spread;
    const double w = site.width;
    const VariogramModel models[] = {{kSphericalModel, sill, 0.95 * sill, 0.05 * sill, 0.7 * w},
                                     {kExponentialModel, sill, sill, 0, 0.3 * w},
                                     {kGaussianModel, sill, 0.8 * sill, 0.2 * sill, 0.4 * w}};
    // Targets inside the square and a little outside it, none on a data point.
    std::mt19937_64 engine(seed * 7);
    std::vector<std::pair<double, double>> targets;
    while (targets.size() < 10) {
      const double u = -0.1 + 1.2 * static_cast<double>(engine() >> 11) * 0x1.0p-53;
      const double v = -0.1 + 1.2 * static_cast<double>(engine() >> 11) * 0x1.0p-53;
      bool clear = true;
      for (std::size_t i = 0; i < here.x.size(); ++i) {
        if (std::hypot(here.x[i] - site.x0 - u * w, here.y[i] - site.y0 - v * w) < 0.01 * w) {
          clear = false;
        }
      }
      if (clear) targets.emplace_back(u * w, v * w);
    }
    for (const VariogramModel& model : models) {
      for (int order = 0; order <= 2; ++order) {
        for (int nearest : {8, 16}) {
          const auto p = original.Parameters(model, nearest, order);
          const auto q = moved.Parameters(model, nearest, order);
          for (const auto& [u, v] : targets) {
            const std::string what = std::string(site.name) + ", model " +
                                     std::to_string(model.model) + ", order " +
                                     std::to_string(order) + ", NN " + std::to_string(nearest);
            const KrigingResult a = original.At(p, site.x0 + u, site.y0 + v);
            const KrigingResult b = moved.At(q, site.x0 + u + kShiftX, site.y0 + v + kShiftY);
            singular += a.singular + b.singular;
            shift.Compare(b.estimate, a.estimate, what + ", estimate");
            shift.Compare(b.standardError, a.standardError, what + ", standard error");
            const Answer ra = Reference(here, model, nearest, order, site.x0 + u, site.y0 + v);
            const Answer rb = Reference(there, model, nearest, order, site.x0 + u + kShiftX,
                                        site.y0 + v + kShiftY);
            reference.Compare(a.estimate, ra.estimate, what + ", estimate");
            reference.Compare(a.standardError, ra.standardError, what + ", standard error");
            reference.Compare(b.estimate, rb.estimate, what + ", moved, estimate");
            reference.Compare(b.standardError, rb.standardError, what + ", moved, standard error");
          }
        }
      }
    }
    EXPECT_TRUE(original.messages.output.empty()) << site.name;
    EXPECT_TRUE(moved.messages.output.empty()) << site.name;
  }
  EXPECT_EQ(singular, 0);
  RecordProperty("shift", shift.Text());
  RecordProperty("reference", reference.Text());
  EXPECT_LT(shift.value, kTolerance) << shift.Text();
  EXPECT_LT(reference.value, kTolerance) << reference.Text();
}

}  // namespace
}  // namespace mornax
