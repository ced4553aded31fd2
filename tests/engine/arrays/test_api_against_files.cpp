// The in-memory interface gives what the file tasks write: for each method in
// both modes, every record of the file task's results reads as the API's
// numbers printed with the record's format, and every refusal is the same
// message, as a value.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"
#include "core/record_parameters.h"
#include "dispatch/run_driver.h"
#include "io/fortran_format.h"
#include "support/run_fixture.h"

namespace mornax {
namespace {

using api::PointStatus;

// 70 wells on a jittered lattice (two of them share their place with an
// earlier one) with a smooth field and guesses near it, and 40 nodes.
std::string FieldFile() {
  std::ostringstream text;
  text.precision(10);
  text << "Field of wells\n70\n";
  unsigned state = 2024;
  auto jitter = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<double>((state >> 8) % 1000) / 1000.0 - 0.5;
  };
  for (int i = 0; i < 70; ++i) {
    double x = 100.0 * (i % 10) + 40.0 * jitter();
    double y = 100.0 * (i / 10) + 40.0 * jitter();
    if (i == 33 || i == 61) {  // at the place of an earlier well
      x = 100.0 * (i % 7);
      y = 0.0;
    }
    if (i == 0 || i == 1 || i == 2 || i == 3 || i == 4 || i == 5 || i == 6) {
      x = 100.0 * i;
      y = 0.0;
    }
    const double z = 20.0 + 0.01 * x - 0.005 * y + 3.0 * std::sin(x / 170.0) + jitter();
    text << x << ' ' << y << ' ' << z << ' ' << z + 1.5 + jitter() << '\n';
  }
  text << "40\n";
  for (int p = 0; p < 40; ++p) {
    text << 25.0 + 115.0 * (p % 8) << ' ' << 30.0 + 130.0 * (p / 8) << ' ' << 22.0 + 0.1 * p
         << '\n';
  }
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Printed(const char* format, double value) {
  std::string text = io::FortranFormat(format)(value);
  text.pop_back();  // the line end
  return text;
}

// One method: how to set it in the records, its record layouts (the format
// and the columns of the numbers the API gives) and its API calls.
struct Method {
  const char* name;
  int method;
  std::function<void(EngineState&)> set;
  // .dat: the estimate's field and, where written, the second column's.
  int datEstimate, datSecond;
  const char* datFormat;
  // .lst rows: the estimate's field and the error's.
  int rowEstimate, rowError;
  const char* rowFormat;
  std::function<api::NodeResults(const api::Points&, const api::Nodes&, const EngineState&)> nodes;
  std::function<api::AnalysisResults(const api::Points&, const EngineState&)> analysis;
};

const Method kMethods[] = {
    {"weighting", MNX_METHOD_WEIGHTING,
     [](EngineState& s) {
       s.ipl.dwScheme = 2;
       s.ipl.dwPoints = 5;
     },
     30, -1, "(F15.5)", 35, 45, "(F10.2)",
     [](const api::Points& p, const api::Nodes& n, const EngineState& s) {
       return api::Weighting(p, n, WeightingOf(s.ipl));
     },
     [](const api::Points& p, const EngineState& s) {
       return api::WeightingAnalysis(p, WeightingOf(s.ipl));
     }},
    {"trend", MNX_METHOD_WEIGHTING,
     [](EngineState& s) {
       s.ipl.dwScheme = 7;
       s.ipl.dwPoints = 4;  // the record's rule: no neighbours, no parameters
       s.ipl.trendDegree = 2;
     },
     30, -1, "(F15.5)", 35, 45, "(F10.2)",
     [](const api::Points& p, const api::Nodes& n, const EngineState& s) {
       return api::Trend(p, n, TrendOf(s.ipl));
     },
     [](const api::Points& p, const EngineState& s) {
       return api::TrendAnalysis(p, TrendOf(s.ipl));
     }},
    {"kriging", MNX_METHOD_KRIGING,
     [](EngineState& s) {
       s.ipl.krigModel = 2;
       s.ipl.krigOrder = 1;
       s.ipl.krigPoints = 8;
       s.ipl.sill = 12;
       s.ipl.c0 = 0.5;
       s.ipl.a = 450;
     },
     32, 47, "(F15.5)", 38, 49, "(F11.2)",
     [](const api::Points& p, const api::Nodes& n, const EngineState& s) {
       return api::Kriging(p, n, KrigingOf(s.ipl, s.svar.logTransform));
     },
     [](const api::Points& p, const EngineState& s) {
       return api::KrigingAnalysis(p, KrigingOf(s.ipl, s.svar.logTransform));
     }},
    {"Bayes", MNX_METHOD_BAYES,
     [](EngineState& s) {
       s.ipl.bayesModel = 3;
       s.ipl.bayesPoints = 6;
       s.ipl.scaleGuess = 2;
       s.ipl.sill = 12;
       s.ipl.c0 = 0.5;
       s.ipl.a = 450;
       s.ipl.guessSill = 3;
       s.ipl.guessC0 = 0.2;
       s.ipl.guessA = 300;
     },
     30, 60, "(F15.5)", 50, 60, "(F10.2)",
     [](const api::Points& p, const api::Nodes& n, const EngineState& s) {
       return api::Bayes(p, n, BayesOf(s.ipl, s.svar.logTransform));
     },
     [](const api::Points& p, const EngineState& s) {
       return api::BayesAnalysis(p, BayesOf(s.ipl, s.svar.logTransform));
     }},
};

class ApiAgainstFiles : public testing::ProjectRun {
 protected:
  void SetUp() override {
    dir.Write("SITE.dfl", FieldFile());
    state.threadCount = 2;
  }
};

TEST_F(ApiAgainstFiles, EveryRecordPrintsTheApiNumbers) {
  api::DataFileReader reader(dir.path() / "SITE.dfl", api::DataFileOptions{.guesses = true});
  ASSERT_TRUE(reader.report().completed());
  std::vector<double> nx(40), ny(40), ng(40);
  ASSERT_EQ(reader.ReadNodes(api::NodeBlock{nx, ny, ng}), 40u);
  const api::Points points = reader.points();
  const api::Nodes nodes{nx, ny, ng};

  for (const Method& m : kMethods) {
    SCOPED_TRACE(m.name);
    const EngineState fresh = state;
    m.set(state);
    messages = {};
    RunProject(MNX_TASK_INTERPOLATION, m.method, MNX_MODE_INTERPOLATION);
    const api::NodeResults net = m.nodes(points, nodes, state);
    ASSERT_TRUE(net.report.completed());
    // The message boxes of the file run, in order, and nothing else.
    std::vector<std::string> texts;
    for (const api::Message& message : net.report.messages) texts.push_back(message.text);
    EXPECT_EQ(texts, messages.boxes);
    const std::vector<std::string> dat = Lines(dir.Read("SITE.dat"));
    ASSERT_EQ(dat.size(), 41u);
    for (std::size_t k = 0; k < 40; ++k) {
      EXPECT_EQ(net.status[k], PointStatus::kEstimated);
      EXPECT_EQ(dat[k + 1].substr(static_cast<std::size_t>(m.datEstimate), 15),
                Printed(m.datFormat, net.estimate[k]))
          << k;
      if (m.datSecond >= 0) {
        EXPECT_EQ(dat[k + 1].substr(static_cast<std::size_t>(m.datSecond), 15),
                  Printed(m.datFormat, net.standardError[k]))
            << k;
      }
    }

    messages = {};
    RunProject(MNX_TASK_INTERPOLATION, m.method, MNX_MODE_ERROR_ANALYSIS);
    const api::AnalysisResults analysis = m.analysis(points, state);
    ASSERT_TRUE(analysis.report.completed());
    texts.clear();
    for (const api::Message& message : analysis.report.messages) texts.push_back(message.text);
    EXPECT_EQ(texts, messages.boxes);
    const std::vector<std::string> lst = Lines(dir.Read("SITE.lst"));
    // Rows follow the title and the table header (after the trend report).
    std::size_t row = 0;
    while (row < lst.size() && lst[row].find("Z*") == std::string::npos) ++row;
    ++row;
    const int width = m.rowError - m.rowEstimate;
    for (std::size_t i = 0; i < analysis.status.size(); ++i) {
      if (analysis.status[i] == PointStatus::kMerged) continue;
      ASSERT_LT(row, lst.size());
      EXPECT_EQ(lst[row].substr(static_cast<std::size_t>(m.rowEstimate), width),
                Printed(m.rowFormat, analysis.estimate[i]))
          << i;
      EXPECT_EQ(lst[row].substr(static_cast<std::size_t>(m.rowError), width),
                Printed(m.rowFormat, analysis.residual[i]))
          << i;
      ++row;
    }
    // The RMSE line of the progress report.
    const std::string rmse = Printed("(1PE10.3)", analysis.statistics.rootMeanSquare);
    EXPECT_NE(messages.lines.back().text.find(rmse), std::string::npos)
        << messages.lines.back().text;
    state = fresh;
  }
}

// Merged points are said (the file task's boxes, and a count), and marked.
TEST_F(ApiAgainstFiles, MergedPointsAreMarkedAndCounted) {
  api::DataFileReader reader(dir.path() / "SITE.dfl", api::DataFileOptions{.guesses = true});
  kMethods[2].set(state);
  const api::AnalysisResults analysis = kMethods[2].analysis(reader.points(), state);
  EXPECT_EQ(analysis.report.counts.mergedPairs, 2);
  EXPECT_EQ(analysis.status[33], PointStatus::kMerged);
  EXPECT_EQ(analysis.status[61], PointStatus::kMerged);
  EXPECT_TRUE(std::isnan(analysis.estimate[33]));
  EXPECT_EQ(analysis.report.messages.front().code, api::MessageCode::kDuplicatePoints);
  EXPECT_EQ(analysis.statistics.count, 68);
}

// A refusal is the file task's message box, as a value, with nothing computed.
TEST_F(ApiAgainstFiles, RefusalsAreTheFileTasksMessages) {
  struct Case {
    int task, method;
    std::function<void(EngineState&)> change;
    api::MessageCode code;
  };
  const Case cases[] = {
      {MNX_TASK_SEMIVARIOGRAM, 0, [](EngineState& s) { s.svar.lagDistance = 0; },
       api::MessageCode::kNoParameters},
      {MNX_TASK_SEMIVARIOGRAM, 0, [](EngineState& s) { s.svar.tolerance = 400; },
       api::MessageCode::kParameterNotValid},
      {MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING,
       [](EngineState& s) {
         kMethods[0].set(s);
         s.ipl.dwScheme = 8;
       },
       api::MessageCode::kSchemeNotValid},
      {MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING,
       [](EngineState& s) {
         kMethods[2].set(s);
         s.ipl.a = -200;
       },
       api::MessageCode::kParameterNotValid},
      {MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING,
       [](EngineState& s) {
         kMethods[2].set(s);
         s.ipl.krigOrder = 3;
       },
       api::MessageCode::kOrderNotValid},
      {MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES,
       [](EngineState& s) {
         kMethods[3].set(s);
         s.ipl.bayesModel = 6;
         s.ipl.sigma = 0.67;
         s.ipl.k = 43.6;
         s.ipl.rho = 1.5;
         s.ipl.lagD = 200;
       },
       api::MessageCode::kParameterNotValid},
      {MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES,
       [](EngineState& s) {
         kMethods[3].set(s);
         s.ipl.bayesPoints = 80;
       },
       api::MessageCode::kTooManyNeighbours},
  };
  state.svar = {0, 0, 8, 120.0, 360.0, 0.0};
  api::DataFileReader reader(dir.path() / "SITE.dfl", api::DataFileOptions{.guesses = true});
  const api::Points points = reader.points();
  const std::vector<double> x = {10, 20};
  const api::Nodes nodes{x, x, x};
  for (const Case& c : cases) {
    EngineState changed = state;
    c.change(changed);
    testing::RecorderMessages recorded;
    RunTask(c.task, c.method, MNX_MODE_INTERPOLATION, changed, recorded);
    ASSERT_FALSE(recorded.boxes.empty());
    api::Report report;
    if (c.task == MNX_TASK_SEMIVARIOGRAM) {
      report = api::Semivariogram(points, SemivariogramOf(changed.svar)).report;
    } else {
      const Method& m = kMethods[c.method == MNX_METHOD_WEIGHTING ? 0 : c.method];
      report = m.nodes(points, nodes, changed).report;
    }
    EXPECT_EQ(report.outcome, api::Outcome::kRefused) << recorded.boxes.back();
    std::vector<std::string> texts;
    for (const api::Message& message : report.messages) texts.push_back(message.text);
    EXPECT_EQ(texts, recorded.boxes);
    ASSERT_FALSE(report.messages.empty());
    EXPECT_EQ(report.messages.back().code, c.code) << recorded.boxes.back();
  }
}

// The semivariogram's classes and the fit's parameters are those of .var
// and .sol; the fit's model curve comes from the same formulas.
TEST_F(ApiAgainstFiles, SemivariogramAndFitAreThoseOfTheReports) {
  state.svar = {0, 0, 8, 120.0, 360.0, 0.0};
  state.fvar = {8, 1, 2, {10.0, 400.0, 1.0}, {0.0, 10.0, 0.0}, {100.0, 2000.0, 10.0}};
  RunProject(MNX_TASK_SEMIVARIOGRAM, 0, 0);
  const std::vector<std::string> var = Lines(dir.Read("SITE.var"));
  api::DataFileReader reader(dir.path() / "SITE.dfl");
  const api::SemivariogramResult sv =
      api::Semivariogram(reader.points(), SemivariogramOf(state.svar));
  ASSERT_EQ(sv.classCount, state.svar.lagCount);  // the run wrote back the reduced count
  EXPECT_EQ(sv.report.counts.mergedPairs, 2);
  for (int k = 0; k < sv.classCount; ++k) {
    const auto at = static_cast<std::size_t>(k);
    const std::string line = var[10 + at];
    EXPECT_EQ(line.substr(22, 8), Printed("(F8.2)", sv.distance[at])) << k;
    EXPECT_EQ(line.substr(37, 12), Printed("(F12.4)", sv.semivariance[at])) << k;
    EXPECT_EQ(std::stol(line.substr(9, 5)), sv.pairs[at]) << k;
  }

  // The fit of the classes as the fitting input holds them (four decimals).
  std::vector<double> distance, semivariance;
  const std::vector<std::string> input = Lines(dir.Read("SITE.fit"));
  for (std::size_t k = 2; k < input.size(); ++k) {
    distance.push_back(std::stod(input[k].substr(0, 15)));
    semivariance.push_back(std::stod(input[k].substr(15)));
  }
  const api::FitParameters parameters = FitOf(state.fvar, state.svar.lagCount);
  RunProject(MNX_TASK_FIT, 0, 0);  // overwrites the record copy's initial values
  const std::vector<std::string> sol = Lines(dir.Read("SITE.sol"));
  const api::FitResult fit = api::Fit(api::Classes{distance, semivariance}, parameters);
  EXPECT_EQ(sol[1], io::FortranFormat("(5X,A,I3,5X,A,g15.8,5X,A,I3)")(
                        "ICON=", fit.icon, " CHI2= ", fit.chi2, "ITERATION NO. = ", fit.iterations)
                        .substr(0, sol[1].size()));
  for (std::size_t j = 0; j < 3; ++j) {
    EXPECT_EQ(sol[4 + j].substr(17), Printed("(g16.8)", fit.b[j])) << j;
  }
  const std::vector<double> curve = api::FitModelValues(2, fit.b, fit.distance);
  EXPECT_EQ(curve, fit.model);
}

}  // namespace
}  // namespace mornax
