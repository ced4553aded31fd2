// Trend surfaces: the elimination, the report's degrees of freedom and term
// order, and least-squares fits on coordinates of survey magnitude.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/recorder_messages.h"
#include "support/temp_dir.h"
#include "weighting/trend_surface.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

TEST(GaussJordanSolve, SolvesInPlaceWithoutPivoting) {
  // Column-major [[4,2,0],[2,4,2],[0,2,4]]; solution (1, -1, 2).
  std::vector<double> a{4, 2, 0, 2, 4, 2, 0, 2, 4};
  std::vector<double> b{2, 2, 6};
  EXPECT_EQ(GaussJordanSolve(a, b, 3, 1.0e-8), 0);
  EXPECT_NEAR(b[0], 1, 1e-14);
  EXPECT_NEAR(b[1], -1, 1e-14);
  EXPECT_NEAR(b[2], 2, 1e-14);
  // A zero in the first diagonal place stops it even though the system is
  // regular: there are no row exchanges.
  std::vector<double> swap{0, 1, 1, 0};
  std::vector<double> c{1, 2};
  EXPECT_EQ(GaussJordanSolve(swap, c, 2, 1.0e-8), 1);
  // A dependent second row leaves a pivot at the tolerance.
  std::vector<double> dependent{1, 2, 2, 4};
  std::vector<double> d{1, 2};
  EXPECT_EQ(GaussJordanSolve(dependent, d, 2, 1.0e-8), 2);
}

struct Sample {
  std::vector<double> x, y, z;
};

class TrendFit : public ::testing::Test {
 protected:
  bool Fit(Sample& s, int degree) {
    data.x = s.x;
    data.y = s.y;
    data.z = s.z;
    data.count = static_cast<int>(s.x.size());
    data.zmin = *std::min_element(s.z.begin(), s.z.end());
    data.zmax = *std::max_element(s.z.begin(), s.z.end());
    coefficients.assign(static_cast<std::size_t>(TrendTermCount(degree) + 1), 0.0);
    fitted.assign(s.x.size(), 0.0);
    io::RecordFile lst;
    EXPECT_TRUE(lst.Create(dir.path() / "SITE.lst"));
    const bool ok = FitTrendSurface(env, lst, data, degree, coefficients, fitted, surface);
    lst.Commit();
    return ok;
  }
  std::vector<std::string> ReportLines() const {
    std::vector<std::string> lines;
    std::istringstream in(dir.Read("SITE.lst"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  ScopedTempDir dir;
  RecorderMessages messages;
  RunEnv env{messages, "SITE", 4, {}, nullptr, dir.path()};
  DataSet data;
  std::vector<double> coefficients, fitted;
  TrendSurface surface;
};

// Points of a UTM-like survey (hundreds of thousands and millions of metres),
// with values from a polynomial in kilometres from (510000, 4120000).
Sample Survey(int count, const std::function<double(double, double)>& local) {
  Sample s;
  for (int i = 0; i < count; ++i) {
    const double x = 512345.0 + 1000.0 * (i % 7) + 37.0 * i;
    const double y = 4123456.0 + 800.0 * (i / 7) - 23.0 * (i % 5);
    s.x.push_back(x);
    s.y.push_back(y);
    s.z.push_back(local((x - 510000.0) / 1000.0, (y - 4120000.0) / 1000.0));
  }
  return s;
}

TEST_F(TrendFit, DegreeTwoReportHasSixTermsAndItsDegreesOfFreedom) {
  Sample s;
  for (int i = 0; i < 20; ++i) {
    s.x.push_back(i % 5);
    s.y.push_back(i / 5);
    s.z.push_back((i * 7) % 11 + 0.5 * i);
  }
  ASSERT_TRUE(Fit(s, 2));
  const auto lines = ReportLines();
  ASSERT_GE(lines.size(), 17u);
  EXPECT_EQ(lines[2], "  Trend Surface Coefficients   (1 = constant term)");
  for (int k = 3; k < 9; ++k) EXPECT_EQ(lines[k].size(), 15u) << lines[k];
  EXPECT_EQ(lines[9], "");
  EXPECT_EQ(lines[14].substr(0, 11), " Regression");
  EXPECT_EQ(lines[14].substr(31, 8), "       5");
  EXPECT_EQ(lines[15].substr(31, 8), "      14");
  EXPECT_EQ(lines[16].substr(31, 8), "      19");
}

TEST_F(TrendFit, SurveyCoordinatesReproduceQuadraticAndCubicSurfaces) {
  auto quadratic = [](double u, double v) {
    return 50 + 3 * u - 2 * v + 0.5 * u * u + 0.25 * u * v - 0.75 * v * v;
  };
  Sample s = Survey(40, quadratic);
  ASSERT_TRUE(Fit(s, 2));
  for (std::size_t i = 0; i < s.z.size(); ++i) EXPECT_NEAR(fitted[i], s.z[i], 1e-8);
  EXPECT_NEAR(EvaluateTrend(surface, 515500.0, 4126100.0), quadratic(5.5, 6.1), 1e-8);

  // The same polynomial in metres, expanded by hand.
  const long double X = 510000, Y = 4120000, k = 1000;
  const long double expected[6] = {50 - 3 * X / k + 2 * Y / k + 0.5L * X * X / (k * k) +
                                       0.25L * X * Y / (k * k) - 0.75L * Y * Y / (k * k),
                                   3 / k - X / (k * k) - 0.25L * Y / (k * k),
                                   -2 / k - 0.25L * X / (k * k) + 1.5L * Y / (k * k),
                                   0.5L / (k * k),
                                   0.25L / (k * k),
                                   -0.75L / (k * k)};
  for (int t = 0; t < 6; ++t) {
    EXPECT_NEAR(coefficients[t], static_cast<double>(expected[t]),
                std::fabs(static_cast<double>(expected[t])) * 1e-7)
        << "term " << t;
  }

  auto cubic = [&](double u, double v) {
    return quadratic(u, v) + 0.02 * u * u * u - 0.01 * u * v * v + 0.03 * v * v * v;
  };
  Sample c = Survey(40, cubic);
  ASSERT_TRUE(Fit(c, 3));
  for (std::size_t i = 0; i < c.z.size(); ++i) EXPECT_NEAR(fitted[i], c.z[i], 1e-7);
  EXPECT_NEAR(EvaluateTrend(surface, 513000.0, 4124000.0), cubic(3, 4), 1e-7);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(TrendFit, SurveyCoordinatesGiveTheLeastSquaresSolution) {
  // Scattered values: the residuals of the least-squares surface are
  // orthogonal to every term of the polynomial.
  int n = 0;
  Sample s = Survey(60, [&n](double u, double v) {
    ++n;
    return 20 + u - v + 0.1 * u * v + ((n * 37) % 13 - 6) * 0.7;
  });
  for (int degree : {2, 3}) {
    ASSERT_TRUE(Fit(s, degree));
    for (int a = 0; a <= degree; ++a) {
      for (int b = 0; a + b <= degree; ++b) {
        double sum = 0, scale = 0;
        for (std::size_t i = 0; i < s.z.size(); ++i) {
          const double term =
              std::pow((s.x[i] - 515000) / 5000, a) * std::pow((s.y[i] - 4125000) / 5000, b);
          sum += (s.z[i] - fitted[i]) * term;
          scale += std::fabs((s.z[i] - fitted[i]) * term);
        }
        EXPECT_LT(std::fabs(sum), scale * 1e-9)
            << "degree " << degree << " term x^" << a << " y^" << b;
      }
    }
  }
}

}  // namespace
}  // namespace mornax
