// Geometric anisotropy is isotropic estimation on rotated and stretched
// coordinates; a nested model is the sum of its structures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "api/mornax_arrays.h"

namespace mornax {
namespace {

struct Cloud {
  std::vector<double> x, y, z, g;
};

Cloud RandomCloud(int n, std::uint64_t seed) {
  std::mt19937_64 engine(seed);
  std::uniform_real_distribution<double> at(0.0, 1000.0);
  Cloud c;
  for (int i = 0; i < n; ++i) {
    c.x.push_back(at(engine));
    c.y.push_back(at(engine));
    c.z.push_back(50.0 + 0.02 * c.x.back() - 0.01 * c.y.back() + at(engine) / 100.0);
    c.g.push_back(c.z.back() + at(engine) / 200.0 - 2.5);
  }
  return c;
}

// The anisotropy by hand: along the major axis, and across it stretched.
Cloud Mapped(const Cloud& c, double angle, double ratio) {
  const double t = angle * std::numbers::pi / 180.0;
  Cloud m = c;
  for (std::size_t i = 0; i < c.x.size(); ++i) {
    m.x[i] = std::cos(t) * c.x[i] + std::sin(t) * c.y[i];
    m.y[i] = (-std::sin(t) * c.x[i] + std::cos(t) * c.y[i]) / ratio;
  }
  return m;
}

double Relative(double a, double b) {
  return std::fabs(a - b) / std::max(1.0, std::fabs(b));
}

struct AnisotropyCase {
  double angle, ratio;
  int model, order;
};

TEST(AnisotropicKriging, EqualsIsotropicKrigingOnMappedCoordinates) {
  const Cloud data = RandomCloud(60, 7);
  const Cloud nodes = RandomCloud(25, 8);
  const AnisotropyCase cases[] = {{0.0, 0.5, 2, 0},   {30.0, 0.25, 3, 1}, {90.0, 0.4, 4, 2},
                                  {135.0, 0.7, 2, 1}, {-20.0, 0.1, 5, 0}, {400.0, 0.6, 1, 0}};
  for (const AnisotropyCase& k : cases) {
    SCOPED_TRACE(testing::Message() << k.angle << " " << k.ratio << " model " << k.model);
    api::KrigingParameters p;
    p.variogram = api::Variogram{.model = k.model, .sill = 30.0, .a = 400.0, .c = 20.0, .c0 = 2.0};
    if (k.model == 1) p.variogram.a = 1.2;
    if (k.model == 5) p.variogram.a = 3.0;
    p.order = k.order;
    p.neighbours = 12;
    api::KrigingParameters iso = p;
    p.variogram.anisotropy = {k.angle, k.ratio};

    const Cloud md = Mapped(data, k.angle, k.ratio);
    const Cloud mn = Mapped(nodes, k.angle, k.ratio);
    const api::NodeResults a = api::Kriging({data.x, data.y, data.z}, {nodes.x, nodes.y}, p);
    const api::NodeResults b = api::Kriging({md.x, md.y, md.z}, {mn.x, mn.y}, iso);
    ASSERT_TRUE(a.report.completed());
    ASSERT_TRUE(b.report.completed());
    for (std::size_t i = 0; i < nodes.x.size(); ++i) {
      EXPECT_LT(Relative(a.estimate[i], b.estimate[i]), 1e-8) << i;
      EXPECT_LT(Relative(a.standardError[i], b.standardError[i]), 1e-8) << i;
      // The last neighbour is measured in the mapped metric.
      EXPECT_LT(Relative(a.lastNeighbourDistance[i], b.lastNeighbourDistance[i]), 1e-9) << i;
    }
    const api::AnalysisResults ea = api::KrigingAnalysis({data.x, data.y, data.z}, p);
    const api::AnalysisResults eb = api::KrigingAnalysis({md.x, md.y, md.z}, iso);
    EXPECT_LT(Relative(ea.statistics.rootMeanSquare, eb.statistics.rootMeanSquare), 1e-8);
    EXPECT_LT(Relative(ea.statistics.standardError, eb.statistics.standardError), 1e-8);
  }
}

TEST(AnisotropicBayes, EqualsIsotropicBayesOnMappedCoordinates) {
  const Cloud data = RandomCloud(50, 11);
  const Cloud nodes = RandomCloud(20, 12);
  for (const auto& [angle, ratio, model] :
       {std::tuple{45.0, 0.3, 2}, std::tuple{100.0, 0.6, 6}, std::tuple{0.0, 0.2, 3}}) {
    SCOPED_TRACE(testing::Message() << angle << " " << ratio << " model " << model);
    api::BayesParameters p;
    p.observation = api::Variogram{.model = model, .sill = 10.0, .a = 300.0, .c = 9.0, .c0 = 1.0};
    p.guess = api::Variogram{.model = 0, .sill = 5.0, .a = 200.0, .c = 4.0, .c0 = 1.0};
    p.kRho.lagD = 50.0;
    p.neighbours = 8;
    p.scaleGuess = 0;
    api::BayesParameters iso = p;
    p.observation.anisotropy = {angle, ratio};
    p.guess.anisotropy = {angle, ratio};
    const Cloud md = Mapped(data, angle, ratio);
    const Cloud mn = Mapped(nodes, angle, ratio);
    const api::NodeResults a =
        api::Bayes({data.x, data.y, data.z, data.g}, {nodes.x, nodes.y, nodes.g}, p);
    const api::NodeResults b = api::Bayes({md.x, md.y, md.z, md.g}, {mn.x, mn.y, mn.g}, iso);
    ASSERT_TRUE(a.report.completed());
    ASSERT_TRUE(b.report.completed());
    for (std::size_t i = 0; i < nodes.x.size(); ++i) {
      EXPECT_LT(Relative(a.estimate[i], b.estimate[i]), 1e-8) << i;
      EXPECT_LT(Relative(a.standardError[i], b.standardError[i]), 1e-8) << i;
    }
  }
}

TEST(AnisotropicKriging, RatioOneIsIsotropicToTheBit) {
  const Cloud data = RandomCloud(40, 3);
  const Cloud nodes = RandomCloud(10, 4);
  api::KrigingParameters p;
  p.neighbours = 8;
  const api::NodeResults a = api::Kriging({data.x, data.y, data.z}, {nodes.x, nodes.y}, p);
  p.variogram.anisotropy = {37.0, 1.0};
  const api::NodeResults b = api::Kriging({data.x, data.y, data.z}, {nodes.x, nodes.y}, p);
  EXPECT_EQ(a.estimate, b.estimate);
  EXPECT_EQ(a.standardError, b.standardError);
}

// Ordinary kriging solved here by Gaussian elimination with partial pivoting.
struct Solved {
  double estimate, standardError;
};

template <typename Gamma>
Solved OrdinaryKriging(const Cloud& c, double x0, double y0, const Gamma& gamma) {
  const std::size_t n = c.x.size();
  const std::size_t m = n + 1;
  std::vector<double> a(m * (m + 1), 0.0);  // augmented, row-major
  auto at = [&](std::size_t i, std::size_t j) -> double& { return a[i * (m + 1) + j]; };
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) at(i, j) = gamma(c.x[i] - c.x[j], c.y[i] - c.y[j]);
    at(i, n) = 1.0;
    at(n, i) = 1.0;
    at(i, m) = gamma(c.x[i] - x0, c.y[i] - y0);
  }
  at(n, m) = 1.0;
  std::vector<double> rhs(m);
  for (std::size_t i = 0; i < m; ++i) rhs[i] = at(i, m);
  for (std::size_t k = 0; k < m; ++k) {
    std::size_t p = k;
    for (std::size_t i = k + 1; i < m; ++i) {
      if (std::fabs(at(i, k)) > std::fabs(at(p, k))) p = i;
    }
    for (std::size_t j = 0; j <= m; ++j) std::swap(at(k, j), at(p, j));
    for (std::size_t i = k + 1; i < m; ++i) {
      const double f = at(i, k) / at(k, k);
      for (std::size_t j = k; j <= m; ++j) at(i, j) -= f * at(k, j);
    }
  }
  std::vector<double> w(m);
  for (std::size_t k = m; k-- > 0;) {
    double s = at(k, m);
    for (std::size_t j = k + 1; j < m; ++j) s -= at(k, j) * w[j];
    w[k] = s / at(k, k);
  }
  Solved out{0.0, 0.0};
  for (std::size_t i = 0; i < n; ++i) out.estimate += w[i] * c.z[i];
  for (std::size_t i = 0; i < m; ++i) out.standardError += w[i] * rhs[i];
  out.standardError = std::sqrt(out.standardError);
  return out;
}

// One structure's distance by hand.
double Distance(double dx, double dy, double angle, double ratio) {
  const double t = angle * std::numbers::pi / 180.0;
  const double u = std::cos(t) * dx + std::sin(t) * dy;
  const double v = (-std::sin(t) * dx + std::cos(t) * dy) / ratio;
  return std::hypot(u, v);
}

TEST(NestedKriging, EqualsAHandSummedModelSolvedIndependently) {
  const Cloud data = RandomCloud(7, 21);
  api::KrigingParameters p;
  p.variogram =
      api::Variogram{.model = 2, .sill = 6.0, .a = 300.0, .c0 = 1.0, .anisotropy = {20.0, 0.5}};
  p.variogram.structures = {{.model = 3, .c = 4.0, .a = 150.0, .anisotropy = {110.0, 0.3}},
                            {.model = 1, .c = 0.01, .a = 1.0}};
  p.neighbours = 7;
  const auto gamma = [](double dx, double dy) {
    if (dx == 0.0 && dy == 0.0) return 0.0;
    const double h1 = Distance(dx, dy, 20.0, 0.5);
    const double r1 = h1 / 300.0;
    const double first = h1 > 300.0 ? 6.0 : 1.0 + 5.0 * (1.5 * r1 - 0.5 * r1 * r1 * r1);
    const double second = 4.0 * (1.0 - std::exp(-Distance(dx, dy, 110.0, 0.3) / 150.0));
    return first + second + 0.01 * std::hypot(dx, dy);
  };
  const std::vector<double> nx{500.0, 120.0, 930.0}, ny{500.0, 880.0, 40.0};
  const api::NodeResults r = api::Kriging({data.x, data.y, data.z}, {nx, ny}, p);
  ASSERT_TRUE(r.report.completed());
  for (std::size_t i = 0; i < nx.size(); ++i) {
    const Solved s = OrdinaryKriging(data, nx[i], ny[i], gamma);
    EXPECT_LT(Relative(r.estimate[i], s.estimate), 1e-9) << i;
    EXPECT_LT(Relative(r.standardError[i], s.standardError), 1e-9) << i;
  }
}

// A structure split in two nested ones of the same shape is the same model:
// the sums, and Bayes' covariance sill, take the further structure in.
TEST(NestedBayes, ASplitStructureIsTheWholeOne) {
  const Cloud data = RandomCloud(40, 31);
  const Cloud nodes = RandomCloud(12, 32);
  api::BayesParameters whole;
  whole.observation =
      api::Variogram{.model = 2, .sill = 11.0, .a = 300.0, .c0 = 1.0, .anisotropy = {60.0, 0.5}};
  whole.guess =
      api::Variogram{.model = 0, .sill = 6.0, .a = 200.0, .c0 = 0.5, .anisotropy = {60.0, 0.5}};
  whole.neighbours = 10;
  whole.scaleGuess = 0;
  api::BayesParameters split = whole;
  split.observation.sill = 7.0;
  split.observation.structures = {{.model = 2, .c = 4.0, .a = 300.0, .anisotropy = {60.0, 0.5}}};
  split.guess.sill = 4.0;
  split.guess.structures = {{.model = 2, .c = 2.0, .a = 200.0, .anisotropy = {60.0, 0.5}}};
  const api::Points points{data.x, data.y, data.z, data.g};
  const api::Nodes at{nodes.x, nodes.y, nodes.g};
  const api::NodeResults a = api::Bayes(points, at, whole);
  const api::NodeResults b = api::Bayes(points, at, split);
  ASSERT_TRUE(a.report.completed());
  ASSERT_TRUE(b.report.completed());
  for (std::size_t i = 0; i < nodes.x.size(); ++i) {
    EXPECT_LT(Relative(a.estimate[i], b.estimate[i]), 1e-10) << i;
    EXPECT_LT(Relative(a.standardError[i], b.standardError[i]), 1e-10) << i;
  }
}

TEST(NestedKriging, ModelValuesAlongADirectionFollowTheRanges) {
  // Along the major axis the range is a, across it ratio * a; the further
  // structure adds its sill beyond its own range.
  api::Variogram v{.model = 2, .sill = 5.0, .a = 100.0, .c0 = 1.0, .anisotropy = {30.0, 0.5}};
  v.structures = {{.model = 2, .c = 2.0, .a = 10.0}};
  const std::vector<double> h{50.0, 100.0};
  const std::vector<double> along = api::VariogramValues(v, h, 30.0);
  const std::vector<double> across = api::VariogramValues(v, h, 120.0);
  EXPECT_NEAR(along[0], 1.0 + 4.0 * (0.75 - 0.0625) + 2.0, 1e-12);
  EXPECT_NEAR(along[1], 7.0, 1e-12);
  EXPECT_NEAR(across[0], 7.0, 1e-12);
}

TEST(NestedKriging, RefusesModelTermsOutOfRange) {
  const Cloud data = RandomCloud(10, 5);
  struct Bad {
    api::Anisotropy anisotropy;
    std::vector<api::Structure> structures;
  };
  const Bad cases[] = {
      {{0.0, 0.0}, {}},
      {{0.0, 1.5}, {}},
      {{NAN, 0.5}, {}},
      {{}, {{.model = 6, .c = 1.0, .a = 1.0}}},
      {{}, {{.model = 2, .c = 1.0, .a = 0.0}}},
      {{}, {{.model = 2, .c = 1.0, .a = 5.0, .anisotropy = {0.0, 2.0}}}},
      {{}, std::vector<api::Structure>(3, {.model = 2, .c = 1.0, .a = 5.0})},
  };
  for (const Bad& bad : cases) {
    api::KrigingParameters p;
    p.variogram.anisotropy = bad.anisotropy;
    p.variogram.structures = bad.structures;
    const api::NodeResults r = api::Kriging({data.x, data.y, data.z}, {data.x, data.y}, p);
    EXPECT_EQ(r.report.outcome, api::Outcome::kRefused);
    ASSERT_FALSE(r.report.messages.empty());
    EXPECT_EQ(r.report.messages[0].code, api::MessageCode::kParameterNotValid);
  }
}

}  // namespace
}  // namespace mornax
