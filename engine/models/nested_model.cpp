#include "models/nested_model.h"

#include <cmath>

namespace mornax {

LinearMap SearchMap(const api::Variogram& v) {
  const api::Anisotropy* chosen = &v.anisotropy;
  double longest = IsRangeModel(v.model) ? v.a : -1.0;
  for (const api::Structure& s : v.structures) {
    if (IsRangeModel(s.model) && s.a > longest) {
      longest = s.a;
      chosen = &s.anisotropy;
    }
  }
  return AnisotropyMap(chosen->angle, chosen->ratio);
}

std::shared_ptr<const ModelGeometry> GeometryOf(const api::Variogram& v, const LinearMap& search) {
  // Search metric -> data coordinates -> the structure's metric. A structure
  // whose map is the search map keeps the mapped separation untouched.
  // The inverse of the search map from its entries (a rotation followed by a
  // stretch, so its determinant is 1 / ratio and never 0).
  LinearMap inverse{};
  if (!search.identity) {
    const double det = search.xx * search.yy - search.xy * search.yx;
    inverse =
        LinearMap{search.yy / det, -search.xy / det, -search.yx / det, search.xx / det, false};
  }
  auto toOwn = [&](const api::Anisotropy& a) {
    const LinearMap own = AnisotropyMap(a.angle, a.ratio);
    const bool same = own.identity == search.identity &&
                      (own.identity || (own.xx == search.xx && own.xy == search.xy &&
                                        own.yx == search.yx && own.yy == search.yy));
    return same ? LinearMap{} : Compose(inverse, own);
  };

  auto g = std::make_shared<ModelGeometry>();
  g->first = toOwn(v.anisotropy);
  for (const api::Structure& s : v.structures) {
    if (g->furtherCount == g->further.size()) break;
    g->further[g->furtherCount++] = FurtherStructure{s.model, s.c, s.a, toOwn(s.anisotropy)};
    if (IsRangeModel(s.model)) g->furtherSill += s.c;
  }
  if (g->first.identity && g->furtherCount == 0) return nullptr;
  return g;
}

double StructureValue(const FurtherStructure& s, double h) {
  if (h == 0.0) return 0.0;
  const double r = std::fabs(h) / s.a;
  switch (s.model) {
    case kSphericalModel:
      return h > s.a ? s.c : s.c * (1.5 * r - 0.5 * r * r * r);
    case kExponentialModel:
      return r >= kVariogramCutOff ? s.c : s.c * (1.0 - std::exp(-r));
    case kGaussianModel:
      return r * r >= kVariogramCutOff ? s.c : s.c * (1.0 - std::exp(-(r * r)));
    case kDeWijsianModel:
      return s.c * std::log(h);
    default:
      return s.c * std::pow(h, s.a);
  }
}

namespace {

double FurtherTerms(const ModelGeometry& g, double dx, double dy) {
  double sum = 0.0;
  for (std::size_t i = 0; i < g.furtherCount; ++i) {
    sum += StructureValue(g.further[i], MappedLength(g.further[i].map, dx, dy));
  }
  return sum;
}

}  // namespace

double NestedKrigingGamma(const ModelGeometry& g, const VariogramModel& m, double dx, double dy) {
  if (dx == 0.0 && dy == 0.0) return 0.0;
  const double gamma =
      KrigingModelValue(MappedLength(g.first, dx, dy), m) + FurtherTerms(g, dx, dy);
  return gamma < 0.0 ? 0.0 : gamma;
}

double NestedBayesGamma(const ModelGeometry& g, const BayesModel& m, double dx, double dy) {
  const double h = MappedLength(g.first, dx, dy);
  double value = BayesModelValue(h, m);
  if (m.model == kKRhoModel) return value < 0.0 ? 0.0 : value;
  if (dx == 0.0 && dy == 0.0) return 0.0;
  value += FurtherTerms(g, dx, dy);
  return value < 0.0 ? 0.0 : value;
}

double BayesGammaOf(double x1, double x2, double y1, double y2, const BayesModel& model) {
  if (model.geometry == nullptr) return BayesGamma(x1, x2, y1, y2, model);
  return NestedBayesGamma(*model.geometry, model, x1 - x2, y1 - y2);
}

double CovarianceSill(const BayesModel& model) {
  return model.geometry == nullptr ? model.sill : model.sill + model.geometry->furtherSill;
}

}  // namespace mornax
