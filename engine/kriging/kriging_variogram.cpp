#include "kriging/kriging_variogram.h"

#include <algorithm>
#include <cmath>

namespace mornax {

double KrigingVariogram(double x1, double x2, double y1, double y2, const VariogramModel& m) {
  const double dx = x1 - x2;
  const double dy = y1 - y2;
  const double h = std::sqrt(dx * dx + dy * dy);
  if (h == 0.0) return 0.0;
  const double r = std::fabs(h) / m.a;

  double gamma = 0.0;
  switch (m.model) {
    case kSphericalModel:
      gamma = h > m.a ? m.sill : m.c * (1.5 * r - 0.5 * r * r * r) + m.c0;
      break;
    case kExponentialModel:
      gamma = r >= kVariogramCutOff ? m.sill : m.c * (1.0 - std::exp(-r)) + m.c0;
      break;
    case kGaussianModel:
      gamma = r * r >= kVariogramCutOff ? m.sill : m.c * (1.0 - std::exp(-(r * r))) + m.c0;
      break;
    case kDeWijsianModel:
      gamma = m.a * std::log(h) + m.c0;
      break;
    default:
      gamma = std::min(m.c * std::pow(h, m.a) + m.c0, m.sill);
      break;
  }
  return gamma < 0.0 ? 0.0 : gamma;
}

}  // namespace mornax
