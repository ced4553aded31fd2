// The in-memory interface on its own: point statuses, stops and progress,
// the same bits for any thread count and any block size, the last
// neighbour's distance, the data file reader and the models' formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using api::PointStatus;

// A smooth field on 200 scattered points with guesses, and 300 nodes.
struct Field {
  Field() {
    unsigned state = 77;
    auto next = [&state] {
      state = state * 1664525u + 1013904223u;
      return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
    };
    for (int i = 0; i < 200; ++i) {
      x.push_back(1000.0 * next());
      y.push_back(1000.0 * next());
      z.push_back(10.0 + 0.01 * x.back() + std::sin(y.back() / 90.0) + 0.3 * next());
      g.push_back(z.back() + 1.0 + 0.5 * next());
    }
    for (int p = 0; p < 300; ++p) {
      nx.push_back(3.3 * p);
      ny.push_back(1000.0 - 3.1 * p);
      ng.push_back(11.0 + 0.01 * p);
    }
  }
  api::Points points() const { return {x, y, z, g}; }
  api::Nodes nodes() const { return {nx, ny, ng}; }
  std::vector<double> x, y, z, g, nx, ny, ng;
};

api::KrigingParameters Kriging() {
  api::KrigingParameters p;
  p.variogram = {.model = 3, .sill = 2.0, .a = 150.0, .c = 0.0, .c0 = 0.1};
  p.order = 1;
  p.neighbours = 12;
  return p;
}

api::BayesParameters Bayes() {
  api::BayesParameters p;
  p.observation = {.model = 2, .sill = 2.0, .a = 300.0, .c = 0.0, .c0 = 0.1};
  p.guess = {.model = 0, .sill = 0.5, .a = 200.0, .c = 0.0, .c0 = 0.05};
  p.neighbours = 7;
  p.scaleGuess = 3;
  return p;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

void ExpectSameBits(const api::NodeResults& a, const api::NodeResults& b) {
  EXPECT_TRUE(SameBits(a.estimate, b.estimate));
  EXPECT_TRUE(SameBits(a.standardError, b.standardError));
  EXPECT_TRUE(SameBits(a.guess, b.guess));
  EXPECT_TRUE(SameBits(a.lastNeighbourDistance, b.lastNeighbourDistance));
  EXPECT_EQ(a.status, b.status);
}

TEST(ApiResults, SameBitsForOneAndTwoThreadsAndAnyBlockSize) {
  const Field f;
  const api::Hooks one{.threads = 1};
  const api::Hooks two{.threads = 2};
  ExpectSameBits(api::Kriging(f.points(), f.nodes(), Kriging(), one),
                 api::Kriging(f.points(), f.nodes(), Kriging(), two));
  ExpectSameBits(api::Bayes(f.points(), f.nodes(), Bayes(), one),
                 api::Bayes(f.points(), f.nodes(), Bayes(), two));
  const api::AnalysisResults a = api::BayesAnalysis(f.points(), Bayes(), one);
  const api::AnalysisResults b = api::BayesAnalysis(f.points(), Bayes(), two);
  ExpectSameBits(a, b);
  EXPECT_TRUE(SameBits(a.residual, b.residual));
  EXPECT_EQ(std::memcmp(&a.statistics, &b.statistics, sizeof a.statistics), 0);

  // Streaming in blocks of 7 nodes, one block taken at a time.
  api::Predictor predictor = api::Predictor::Kriging(f.points(), Kriging());
  const api::NodeResults whole = predictor.Predict(f.nodes(), two);
  std::size_t given = 0;
  std::vector<double> estimate, lastNeighbour;
  std::int64_t expectedFirst = 0;
  const api::Report report = predictor.Stream(
      [&](const api::NodeBlock& block) {
        const std::size_t n = std::min<std::size_t>(block.x.size(), f.nx.size() - given);
        std::copy_n(f.nx.begin() + static_cast<long>(given), n, block.x.begin());
        std::copy_n(f.ny.begin() + static_cast<long>(given), n, block.y.begin());
        given += n;
        return n;
      },
      [&](const api::ResultBlock& block) {
        EXPECT_EQ(block.first, expectedFirst);
        expectedFirst += static_cast<std::int64_t>(block.status.size());
        estimate.insert(estimate.end(), block.estimate.begin(), block.estimate.end());
        lastNeighbour.insert(lastNeighbour.end(), block.lastNeighbourDistance.begin(),
                             block.lastNeighbourDistance.end());
        return true;
      },
      two, api::StreamOptions{.total = -1, .blockSize = 7});
  EXPECT_TRUE(report.completed());
  EXPECT_TRUE(SameBits(estimate, whole.estimate));
  EXPECT_TRUE(SameBits(lastNeighbour, whole.lastNeighbourDistance));
}

TEST(ApiResults, LastNeighbourIsTheFarthestSelectedPoint) {
  const Field f;
  const api::KrigingParameters p = Kriging();
  const api::NodeResults r = api::Kriging(f.points(), f.nodes(), p);
  for (std::size_t k = 0; k < f.nx.size(); k += 37) {
    std::vector<double> d;
    for (std::size_t i = 0; i < f.x.size(); ++i) {
      const double dx = f.x[i] - f.nx[k];
      const double dy = f.y[i] - f.ny[k];
      d.push_back(std::sqrt(dx * dx + dy * dy));
    }
    std::nth_element(d.begin(), d.begin() + p.neighbours - 1, d.end());
    EXPECT_EQ(r.lastNeighbourDistance[k], d[static_cast<std::size_t>(p.neighbours - 1)]) << k;
  }
  // The trend surface uses every point: no last neighbour.
  const api::NodeResults trend = api::Trend(f.points(), f.nodes(), {.degree = 2});
  EXPECT_TRUE(std::isnan(trend.lastNeighbourDistance[0]));
  EXPECT_TRUE(trend.standardError.empty());
}

TEST(ApiResults, StatusesOfSingularNonFiniteAndStoppedPoints) {
  // Wells on one line: a linear drift cannot be told apart at them.
  const std::vector<double> x = {0, 10, 20, 30, 40}, y(5, 0.0), z = {1, 2, 3, 2, 1};
  api::KrigingParameters p = Kriging();
  p.neighbours = 4;
  const api::NodeResults singular =
      api::Kriging({x, y, z, {}}, {std::vector<double>{5}, std::vector<double>{5}, {}}, p);
  EXPECT_EQ(singular.status[0], PointStatus::kSingular);
  EXPECT_TRUE(std::isnan(singular.estimate[0]));
  EXPECT_EQ(singular.report.counts.singularPoints, 1);
  EXPECT_EQ(singular.report.messages.back().code, api::MessageCode::kSingularPoints);

  // A cubic surface far beyond its wells overflows.
  std::vector<double> gx, gy, gz;
  for (int i = 0; i < 16; ++i) {
    gx.push_back(2.0 * (i % 4));
    gy.push_back(i / 4);
    gz.push_back(1e97 * gx.back() * gx.back() * gx.back());
  }
  const api::NodeResults overflow = api::Trend(
      {gx, gy, gz, {}}, {std::vector<double>{1e100}, std::vector<double>{0}, {}}, {.degree = 3});
  EXPECT_EQ(overflow.status[0], PointStatus::kNonFinite);
  EXPECT_EQ(overflow.report.counts.nonFinitePoints, 1);
  EXPECT_EQ(overflow.report.messages.back().code, api::MessageCode::kNonFinite);

  // A stop: what was estimated before it is kept, the rest is not.
  const Field f;
  int polls = 0;
  const api::Hooks stopAtOnce{.stop = [&polls] { return ++polls >= 1; }, .threads = 2};
  const api::NodeResults stopped = api::Kriging(f.points(), f.nodes(), Kriging(), stopAtOnce);
  EXPECT_EQ(stopped.report.outcome, api::Outcome::kStopped);
  EXPECT_EQ(stopped.status.front(), PointStatus::kNotEstimated);
  EXPECT_EQ(stopped.status.back(), PointStatus::kNotEstimated);
  EXPECT_TRUE(std::isnan(stopped.estimate.back()));
}

// A system the dense solver cannot invert ends Bayesian estimation, as it
// ends the file task; a sink that refuses a block ends the stream.
TEST(ApiResults, FailuresEndTheCall) {
  // Polynomial models with C = 0 and no nugget: every covariance is the sill.
  const std::vector<double> x = {0, 100, 0, 100, 50}, y = {0, 0, 100, 100, 50};
  const std::vector<double> z = {10, 14, 9, 20, 15}, g = {12, 15, 11, 19, 18};
  api::BayesParameters p;
  p.observation = {.model = 1, .sill = 5.0, .a = 0.0, .c = 0.0, .c0 = 0.0};
  p.guess = {.model = 0, .sill = 3.0, .a = 0.0, .c = 0.0, .c0 = 0.0};
  p.neighbours = 2;
  p.scaleGuess = 0;
  const api::AnalysisResults failed = api::BayesAnalysis({x, y, z, g}, p);
  EXPECT_EQ(failed.report.outcome, api::Outcome::kFailed);
  ASSERT_EQ(failed.report.messages.size(), 3u);
  EXPECT_EQ(failed.report.messages[2].text, "  Error in SUBROUTINE AIRM :          1");
  EXPECT_EQ(failed.report.messages[2].code, api::MessageCode::kSolverFailure);
  EXPECT_EQ(failed.status, std::vector<PointStatus>(5, PointStatus::kNotEstimated));
  EXPECT_EQ(failed.statistics.count, 0);

  const Field f;
  api::Predictor predictor = api::Predictor::Weighting(f.points(), {.scheme = 1, .neighbours = 4});
  int blocks = 0;
  const api::Report refused = predictor.Stream(
      [&f](const api::NodeBlock& block) {
        std::copy_n(f.nx.begin(), block.x.size(), block.x.begin());
        std::copy_n(f.ny.begin(), block.x.size(), block.y.begin());
        return block.x.size();
      },
      [&blocks](const api::ResultBlock&) { return ++blocks < 2; }, {},
      {.total = -1, .blockSize = 10});
  EXPECT_EQ(refused.outcome, api::Outcome::kFailed);
  EXPECT_EQ(blocks, 2);
}

TEST(ApiResults, ProgressEndsWithTheLastCount) {
  const Field f;
  std::int64_t lastDone = -1, lastTotal = 0, calls = 0;
  const api::Hooks hooks{.progress =
                             [&](std::int64_t done, std::int64_t total) {
                               lastDone = done;
                               lastTotal = total;
                               ++calls;
                             },
                         .threads = 2};
  api::Kriging(f.points(), f.nodes(), Kriging(), hooks);
  EXPECT_EQ(lastDone, 300);
  EXPECT_EQ(lastTotal, 300);
  EXPECT_LE(calls, 30);  // thinned out, not one per node
}

TEST(ApiInput, RefusalsOfTheInputItself) {
  const std::vector<double> three = {1, 2, 3}, two = {1, 2};
  const std::vector<double> bad = {1, 2, 1e101};
  struct Case {
    api::Points points;
    api::MessageCode code;
    const char* text;
  };
  const Case cases[] = {
      {{{}, {}, {}, {}}, api::MessageCode::kNoDataPoints, "No Data Points given"},
      {{three, two, three, {}},
       api::MessageCode::kInputMismatch,
       "Points: x, y and value differ in length (x 3, y 2, value 3)"},
      {{three, three, bad, three},
       api::MessageCode::kValueOutOfRange,
       "Value out of range (magnitude above 1E+100) at data point : 3"},
      {{three, three, three, {}},
       api::MessageCode::kMissingGuess,
       "Points: a guess at every data point is needed"},
  };
  for (const Case& c : cases) {
    const api::AnalysisResults r = api::BayesAnalysis(c.points, Bayes());
    EXPECT_EQ(r.report.outcome, api::Outcome::kRefused) << c.text;
    ASSERT_EQ(r.report.messages.size(), 1u) << c.text;
    EXPECT_EQ(r.report.messages[0].code, c.code) << c.text;
    EXPECT_EQ(r.report.messages[0].text, c.text);
  }
}

TEST(ApiDataFile, TheEnginesReaderWithItsRepeatCountsAndMessages) {
  testing::ScopedTempDir dir;
  dir.Write("W.dfl", "Wells\n3\n0 0 5 6\n2*1.5 7 8\n3,4,9,10\n4\n1 1 2\n2 2 3\n3 3 4\n4 x 5\n");
  api::DataFileReader reader(dir.path() / "W.dfl", {.guesses = true});
  ASSERT_TRUE(reader.report().completed());
  EXPECT_EQ(reader.title(), "Wells");
  const api::Points points = reader.points();
  ASSERT_EQ(points.x.size(), 3u);
  EXPECT_EQ(points.y[1], 1.5);  // 2*1.5: two copies
  EXPECT_EQ(points.guess[2], 10.0);
  EXPECT_EQ(reader.networkCount(), 4);
  std::vector<double> x(2), y(2), g(2);
  EXPECT_EQ(reader.ReadNodes({x, y, g}), 2u);
  EXPECT_EQ(g[1], 3.0);
  EXPECT_EQ(reader.ReadNodes({x, y, g}), 1u);  // the fourth line cannot be read
  EXPECT_EQ(reader.report().outcome, api::Outcome::kFailed);
  EXPECT_EQ(reader.report().messages.back().text,
            "Data format error in input file : W.dfl, line 10: y expected");

  const api::DataFileReader missing(dir.path() / "NONE.dfl");
  EXPECT_EQ(missing.report().messages.at(0).text, "Cannot open input file : NONE.dfl");
  EXPECT_EQ(missing.networkCount(), -1);
}

TEST(ApiModels, FormulasNamesAndTheFitsParameters) {
  const std::vector<double> h = {0.0, 50.0, 100.0, 250.0};
  const api::Variogram spherical{.model = 2, .sill = 10.0, .a = 100.0, .c = 0.0, .c0 = 2.0};
  const std::vector<double> gamma = api::VariogramValues(spherical, h);
  EXPECT_EQ(gamma[0], 0.0);                          // no nugget on the diagonal
  EXPECT_EQ(gamma[1], 8.0 * (0.75 - 0.0625) + 2.0);  // C = sill - c0
  EXPECT_EQ(gamma[2], 10.0);
  EXPECT_EQ(gamma[3], 10.0);  // flat beyond the range
  // The fit's form has no plateau: back to C0 - C at twice the range.
  EXPECT_EQ(api::FitModelValues(2, {8.0, 100.0, 2.0}, std::vector<double>{200.0})[0], -6.0);
  // k_Rho in the fit's units: rho^(h / lagScale).
  EXPECT_DOUBLE_EQ(api::FitModelValues(6, {2.0, 3.0, 0.5}, std::vector<double>{400.0}, 200.0)[0],
                   2.0 * (1.0 + 3.0 * 0.75));
  EXPECT_DOUBLE_EQ(api::KRhoCorrelation({.sigma = 1, .k = 4.0, .rho = 0.5, .lagD = 100.0},
                                        std::vector<double>{200.0})[0],
                   0.8 * 0.25);
  EXPECT_EQ(api::ModelName(4), "Gaussian");
  EXPECT_EQ(api::ModelName(7), "");
  EXPECT_EQ(api::ModelParameterLabels(6)[2], "RHO");

  const api::Variogram fitted = api::VariogramFromFit(3, {8.0, 120.0, 2.0}, spherical);
  EXPECT_EQ(fitted.model, 3);
  EXPECT_EQ(fitted.sill, 10.0);
  EXPECT_EQ(fitted.c, 8.0);
  EXPECT_EQ(fitted.a, 120.0);
  EXPECT_EQ(api::VariogramFromFit(6, {1, 2, 3}, spherical).model, 2);  // no kriging model
  EXPECT_EQ(api::KRhoFromFit({1, 2, 0.5}, 150.0).lagD, 150.0);
}

}  // namespace
}  // namespace mornax
