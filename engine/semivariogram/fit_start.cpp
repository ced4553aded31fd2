#include "semivariogram/fit_start.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "models/model_numbers.h"

namespace mornax {
namespace {

constexpr std::size_t kNeededClasses = 3;  // one per parameter
constexpr std::size_t kNuggetClasses = 3;  // the line through them meets h = 0 at the nugget
// The curve "reaches" the sill at 80 % of its rise: a plateau that drifts
// slowly upwards would put a higher share far out. The plateau is the mean of
// the classes from 1.5 times that distance on.
constexpr double kReachShare = 0.80;
constexpr double kPlateauFromReach = 1.5;
constexpr double kRisingShare = 0.10;     // a last quarter this far above the plateau still rises
constexpr double kSphericalWindow = 1.2;  // spherical classes up to 1.2 ranges
constexpr std::size_t kSphericalClasses = 5;
constexpr double kBoundFactor = 10.0;  // range and slope bounds: a tenth to ten times the start

// r at which each range model reaches 80 % of its rise: 1.5 r - 0.5 r^3 =
// 0.8 (spherical), 1 - exp(-r) (exponential), 1 - exp(-r^2) (Gaussian).
constexpr double kSphericalReach = 0.60793;
constexpr double kExponentialReach = 1.60944;  // -ln 0.2
constexpr double kGaussianReach = 1.26864;     // sqrt(-ln 0.2)

struct Classes {
  std::span<const double> h, g;
  std::vector<double> w;  // weights: pair counts, or 1
  std::vector<double> smooth;
};

// Weighted least-squares line y = intercept + slope x over the indices given.
struct Line {
  double intercept = 0.0;
  double slope = 0.0;
  bool ok = false;
};

template <typename W, typename X, typename Y>
Line FitLine(std::size_t first, std::size_t last, W weight, X x, Y y) {
  double sw = 0.0, sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
  for (std::size_t i = first; i < last; ++i) {
    const double w = weight(i);
    if (!(w > 0.0)) continue;
    const double xi = x(i), yi = y(i);
    sw += w;
    sx += w * xi;
    sy += w * yi;
    sxx += w * xi * xi;
    sxy += w * xi * yi;
  }
  Line line;
  const double denominator = sw * sxx - sx * sx;
  if (!(sw > 0.0) || !(std::fabs(denominator) > 0.0)) return line;
  line.slope = (sw * sxy - sx * sy) / denominator;
  line.intercept = (sy - line.slope * sx) / sw;
  line.ok = std::isfinite(line.slope) && std::isfinite(line.intercept);
  return line;
}

double WeightedMean(const Classes& c, std::size_t first, std::size_t last) {
  double sum = 0.0, weight = 0.0;
  for (std::size_t i = first; i < last; ++i) {
    sum += c.w[i] * c.g[i];
    weight += c.w[i];
  }
  return weight > 0.0 ? sum / weight : 0.0;
}

// Each class averaged with its neighbours, by weight: single noisy classes
// neither end the rise early nor make a plateau.
std::vector<double> Smoothed(const Classes& c) {
  const std::size_t n = c.g.size();
  std::vector<double> smooth(n);
  for (std::size_t i = 0; i < n; ++i) {
    smooth[i] = WeightedMean(c, i == 0 ? 0 : i - 1, std::min(n, i + 2));
  }
  return smooth;
}

// The nugget: the line through the first classes at h = 0, within [0, the
// first smoothed value].
double Nugget(const Classes& c) {
  const std::size_t m = std::min(kNuggetClasses, c.g.size());
  const Line line = FitLine(
      0, m, [&](std::size_t i) { return c.w[i]; }, [&](std::size_t i) { return c.h[i]; },
      [&](std::size_t i) { return c.g[i]; });
  const double intercept = line.ok ? line.intercept : c.smooth[0];
  return std::clamp(intercept, 0.0, std::max(0.0, c.smooth[0]));
}

// The first distance where the smoothed curve reaches `level`, between
// classes (from (0, nugget) before the first); the last distance when it
// never does.
double ReachDistance(const Classes& c, double nugget, double level) {
  double h0 = 0.0, g0 = nugget;
  for (std::size_t i = 0; i < c.smooth.size(); ++i) {
    const double h1 = c.h[i], g1 = c.smooth[i];
    if (g1 >= level) {
      return g1 > g0 ? h0 + (h1 - h0) * (level - g0) / (g1 - g0) : h1;
    }
    h0 = h1;
    g0 = g1;
  }
  return c.h.back();
}

struct Curve {
  double nugget = 0.0, sill = 0.0, reach = 0.0;
};

// Nugget, plateau and the distance where the curve reaches it. The plateau is
// first the mean of the outer half of the classes, then (twice) the mean of
// the classes from 1.5 times the distance where the curve reaches it; a curve
// whose last quarter still lies well above the outer half has no plateau yet:
// its highest smoothed value stands in, reached at the last class.
Curve ReadCurve(const Classes& c) {
  const std::size_t n = c.g.size();
  Curve curve;
  curve.nugget = Nugget(c);
  const double half = 0.5 * c.h.back();
  std::size_t outer = 0;
  while (outer + 1 < n && c.h[outer] < half) ++outer;
  double sill = WeightedMean(c, outer, n);
  const double lastQuarter = WeightedMean(c, n - std::max<std::size_t>(1, n / 4), n);
  if (lastQuarter - sill > kRisingShare * std::max(sill - curve.nugget, 0.0)) {
    curve.sill = *std::max_element(c.smooth.begin(), c.smooth.end());
    curve.reach = c.h.back();
    return curve;
  }
  for (int pass = 0; pass < 2; ++pass) {
    const double reach =
        ReachDistance(c, curve.nugget, curve.nugget + kReachShare * (sill - curve.nugget));
    std::size_t from = 0;
    while (from < n && c.h[from] < kPlateauFromReach * reach) ++from;
    if (n - from >= 2) sill = WeightedMean(c, from, n);
  }
  curve.sill = sill;
  curve.nugget = std::min(curve.nugget, sill);
  curve.reach = ReachDistance(c, curve.nugget, curve.nugget + kReachShare * (sill - curve.nugget));
  return curve;
}

// Spherical, exponential and Gaussian: B1 the rise C, B2 the range
// parameter, B3 the nugget.
void RangeModelStart(const Classes& c, const Curve& curve, int model, FitStart& start) {
  const double reachR = model == kSphericalModel     ? kSphericalReach
                        : model == kExponentialModel ? kExponentialReach
                                                     : kGaussianReach;
  const double rise = std::max(curve.sill - curve.nugget, 0.05 * curve.sill);
  const double range = curve.reach / reachR;
  start.initial = {rise, range, curve.nugget};
  start.minimum = {0.01 * curve.sill, range / kBoundFactor, 0.0};
  start.maximum = {3.0 * curve.sill, range * kBoundFactor, curve.sill};
  if (model == kSphericalModel) {
    const double window = kSphericalWindow * range;
    std::size_t count = 0;
    while (count < c.h.size() && c.h[count] <= window) ++count;
    start.classCount = static_cast<int>(std::max(count, std::min(kSphericalClasses, c.h.size())));
  }
}

// B1 h^B2 + B3: the power from the log-log slope above the nugget, the
// factor by least squares for that power.
bool PolynomialStart(const Classes& c, const Curve& curve, FitStart& start) {
  constexpr double kLowestPower = 0.1, kHighestPower = 1.99;
  const double nugget = curve.nugget;
  // The log-log line over the classes above the nugget.
  const Line line = FitLine(
      0, c.g.size(), [&](std::size_t i) { return c.g[i] > nugget ? c.w[i] : 0.0; },
      [&](std::size_t i) { return std::log(c.h[i]); },
      [&](std::size_t i) { return std::log(c.g[i] - nugget); });
  double power = line.ok ? line.slope : 1.0;
  power = std::clamp(power, kLowestPower, kHighestPower);
  double num = 0.0, den = 0.0;
  for (std::size_t i = 0; i < c.g.size(); ++i) {
    const double hp = std::pow(c.h[i], power);
    num += c.w[i] * (c.g[i] - nugget) * hp;
    den += c.w[i] * hp * hp;
  }
  const double slope = den > 0.0 ? num / den : 0.0;
  if (!(slope > 0.0) || !std::isfinite(slope)) return false;
  start.initial = {slope, power, nugget};
  start.minimum = {slope / 100.0, kLowestPower, 0.0};
  start.maximum = {slope * 100.0, kHighestPower, std::max(curve.sill, nugget)};
  return true;
}

// B3 + B2 ln h (B1 does not enter): the line of the semivariance over ln h.
bool DeWijsianStart(const Classes& c, FitStart& start) {
  const Line line = FitLine(
      0, c.g.size(), [&](std::size_t i) { return c.w[i]; },
      [&](std::size_t i) { return std::log(c.h[i]); }, [&](std::size_t i) { return c.g[i]; });
  if (!line.ok || !(line.slope > 0.0)) return false;
  const auto [low, high] = std::minmax_element(c.g.begin(), c.g.end());
  const double spread = *high - *low;
  start.initial = {0.0, line.slope, line.intercept};
  start.minimum = {0.0, line.slope / kBoundFactor, std::min(0.0, line.intercept - spread)};
  start.maximum = {0.0, line.slope * kBoundFactor, std::max(*high, line.intercept + spread)};
  return true;
}

// B1 (1 + B2 (1 - B3^h)) with h in units of the first class's distance: B1
// the value at h = 0, B1 (1 + B2) the sill, B3 the correlation per unit, at
// which the curve has risen 80 % where it reaches the sill so far.
void KRhoStart(const Classes& c, const Curve& curve, FitStart& start) {
  constexpr double kLowestRho = 0.001, kHighestRho = 0.9999;
  const double sigma = std::max(curve.nugget, 0.05 * curve.sill);
  const double k = std::max(curve.sill / sigma - 1.0, 0.01);
  const double units = std::max(curve.reach / c.h.front(), 1.0);
  const double rho = std::clamp(std::pow(1.0 - kReachShare, 1.0 / units), kLowestRho, kHighestRho);
  start.initial = {sigma, k, rho};
  start.minimum = {sigma / kBoundFactor, k / kBoundFactor, kLowestRho};
  start.maximum = {std::max(curve.sill, sigma * kBoundFactor), k * kBoundFactor, kHighestRho};
}

}  // namespace

bool ProposeFitStart(std::span<const double> distance, std::span<const double> semivariance,
                     std::span<const double> pairs, int model, FitStart& start,
                     std::string& problem) {
  const std::size_t n = std::min(distance.size(), semivariance.size());
  if (model < kPolynomialModel || model > kKRhoModel) {
    problem = "model " + std::to_string(model) + " is none of the models 1-6";
    return false;
  }
  if (n < kNeededClasses) {
    problem = "the semivariogram has " + std::to_string(n) +
              " non-empty classes; the fit needs at least " + std::to_string(kNeededClasses);
    return false;
  }
  Classes c{distance.first(n), semivariance.first(n), {}, {}};
  c.w.assign(n, 1.0);
  const bool weighted = pairs.size() >= n;
  for (std::size_t i = 0; i < n; ++i) {
    if (!(distance[i] > 0.0) || !std::isfinite(distance[i]) || !std::isfinite(semivariance[i])) {
      problem = "class " + std::to_string(i + 1) + " has no finite distance and semivariance";
      return false;
    }
    if (weighted) c.w[i] = pairs[i] > 0.0 && std::isfinite(pairs[i]) ? pairs[i] : 0.0;
  }
  c.smooth = Smoothed(c);
  const Curve curve = ReadCurve(c);
  if (!(curve.sill > 0.0) || !std::isfinite(curve.sill)) {
    problem = "the semivariances do not rise above zero: there is no structure to fit";
    return false;
  }

  FitStart proposal;
  proposal.classCount = static_cast<int>(n);
  proposal.nugget = curve.nugget;
  proposal.sill = curve.sill;
  proposal.reach = curve.reach;
  bool ok = true;
  switch (model) {
    case kPolynomialModel:
      ok = PolynomialStart(c, curve, proposal);
      break;
    case kDeWijsianModel:
      ok = DeWijsianStart(c, proposal);
      break;
    case kKRhoModel:
      KRhoStart(c, curve, proposal);
      break;
    default:
      RangeModelStart(c, curve, model, proposal);
      break;
  }
  if (!ok) {
    problem = "the semivariances do not rise with the distance";
    return false;
  }
  start = proposal;
  return true;
}

bool FitStartUnset(const FVAR& fvar) {
  for (int j = 0; j < 3; ++j) {
    if (fvar.initial[j] != 0.0f || fvar.minimum[j] != 0.0f || fvar.maximum[j] != 0.0f) {
      return false;
    }
  }
  return true;
}

void StoreFitStart(const FitStart& start, FVAR& fvar) {
  for (std::size_t j = 0; j < 3; ++j) {
    fvar.initial[j] = static_cast<float>(start.initial[j]);
    fvar.minimum[j] = static_cast<float>(start.minimum[j]);
    fvar.maximum[j] = static_cast<float>(start.maximum[j]);
  }
}

}  // namespace mornax
