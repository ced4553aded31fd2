// No result file ever holds a NaN or an infinity: every parameter of every
// task is swept over non-finite, zero, negative, denormal and huge values, and
// data sets with values too large to square are run; each run either writes
// finite numbers only or is refused with a message box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "dispatch/run_driver.h"
#include "support/recorder_messages.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::vector<double> kBadReals = {kNaN, kInf, -kInf, 0.0, -1.0, 1e-310, 1e-40, 1e30};
const std::vector<std::int32_t> kBadIntegers = {0, -1, 7, std::numeric_limits<std::int32_t>::max(),
                                                std::numeric_limits<std::int32_t>::min()};

// Seven wells with guesses and a network of four points with guesses; all
// values positive so that the log transform applies.
const char* const kData =
    "Sweep wells\n7\n"
    "0 0 10 12\n100 0 14 15\n0 100 9 11\n100 100 20 19\n50 50 15 18\n"
    "150 40 11 10\n40 160 13 14\n"
    "4\n25 25 13\n75 75 16\n120 60 12\n60 130 11\n";

struct RealParameter {
  const char* name;
  double& (*at)(EngineState&);
};
struct IntegerParameter {
  const char* name;
  std::int32_t& (*at)(EngineState&);
};

#define MORNAX_REAL(group, field)                                    \
  RealParameter {                                                    \
#field, [](EngineState & s) -> double& { return s.group.field; } \
  }
#define MORNAX_INTEGER(group, field)                                       \
  IntegerParameter {                                                       \
#field, [](EngineState & s) -> std::int32_t& { return s.group.field; } \
  }

// One configuration of a task that runs cleanly, and the parameters it uses.
struct Scenario {
  std::string label;
  int task;
  int method;
  int mode;
  std::function<void(EngineState&)> setUp;
  std::vector<RealParameter> reals;
  std::vector<IntegerParameter> integers;
};

std::string Label(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

bool HasNonFiniteText(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

class FiniteResults : public testing::ProjectRun {
 protected:
  void SetUp() override {
    dir.Write("SITE.dfl", kData);
    base.threadCount = 1;
    // No request of a swept count may take the machine's memory.
    base.arrays.elementLimit = 4'000'000;
    base.svar = {0, 0, 8, 30.0, 360.0, 0.0};
    base.fvar.fitPointCount = 8;
    base.ipl.dwPoints = 4;
    base.ipl.krigPoints = 4;
    base.ipl.bayesPoints = 4;
    base.ipl.dwScheme = 1;
    base.ipl.trendDegree = 2;
  }

  // Removes every result file of an earlier run (the fitting input stays
  // when `keepFitInput`).
  void Clean(bool keepFitInput) {
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      const auto extension = entry.path().extension().string();
      if (extension == ".dfl" || (keepFitInput && extension == ".fit")) continue;
      std::filesystem::remove(entry.path());
    }
  }

  // Runs one configuration and checks its outcome; `what` names it.
  // Returns the message boxes of the run, and whether it wrote a file.
  std::vector<std::string> RunAndCheck(const Scenario& scenario, EngineState& state,
                                       const std::string& what, bool* wroteFile = nullptr) {
    const bool fit = scenario.task == MNX_TASK_FIT;
    Clean(fit);
    RecorderMessages messages;
    RunTask(scenario.task, scenario.method, scenario.mode, state, messages);
    bool wrote = false;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      const auto extension = entry.path().extension().string();
      if (extension == ".dfl" || (fit && extension == ".fit")) continue;
      wrote = true;
      const std::string text = dir.Read(entry.path().filename().string());
      EXPECT_FALSE(HasNonFiniteText(text))
          << what << " wrote into " << entry.path().filename() << ":\n"
          << text;
    }
    if (!wrote) {
      EXPECT_FALSE(messages.boxes.empty()) << what << " was refused without a message";
    }
    if (wroteFile != nullptr) *wroteFile = wrote;
    return messages.boxes;
  }

  // The clean run of the scenario, then one run per parameter and bad value.
  void Sweep(const Scenario& scenario) {
    if (scenario.task == MNX_TASK_FIT) PrepareFitInput();
    EngineState state = base;
    scenario.setUp(state);
    // The sweep means something only if the set-up itself runs cleanly (the
    // fit may tell how its iteration ended).
    bool wrote = false;
    const auto boxes = RunAndCheck(scenario, state, scenario.label + " (as set up)", &wrote);
    if (scenario.task != MNX_TASK_FIT) {
      EXPECT_EQ(boxes, std::vector<std::string>{}) << scenario.label;
    }
    EXPECT_TRUE(wrote) << scenario.label;
    for (const auto& parameter : scenario.reals) {
      for (const double value : kBadReals) {
        EngineState changed = base;
        scenario.setUp(changed);
        parameter.at(changed) = value;
        RunAndCheck(scenario, changed,
                    scenario.label + " " + parameter.name + " = " + Label(value));
      }
    }
    for (const auto& parameter : scenario.integers) {
      for (const std::int32_t value : kBadIntegers) {
        EngineState changed = base;
        scenario.setUp(changed);
        parameter.at(changed) = value;
        RunAndCheck(scenario, changed,
                    scenario.label + " " + parameter.name + " = " + std::to_string(value));
      }
    }
  }

  // A fitting input from a clean semivariogram run of the data.
  void PrepareFitInput() {
    Clean(false);
    EngineState state = base;
    RecorderMessages messages;
    RunTask(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, state, messages);
    ASSERT_TRUE(messages.boxes.empty());
    ASSERT_TRUE(dir.Exists("SITE.fit"));
  }

  // Every case starts from a copy of the fixture's state.
  EngineState& base = state;
};

const std::vector<RealParameter> kSemivariogramReals = {
    MORNAX_REAL(svar, lagDistance), MORNAX_REAL(svar, tolerance), MORNAX_REAL(svar, direction)};
const std::vector<IntegerParameter> kSemivariogramIntegers = {
    MORNAX_INTEGER(svar, lagCount), MORNAX_INTEGER(svar, subtract),
    MORNAX_INTEGER(svar, logTransform), MORNAX_INTEGER(fvar, fitPointCount)};

TEST_F(FiniteResults, SemivariogramParameters) {
  for (int subtract = 0; subtract <= 1; ++subtract) {
    for (int logTransform = 0; logTransform <= 1; ++logTransform) {
      Sweep({"semivariogram subtract " + std::to_string(subtract) + " log " +
                 std::to_string(logTransform),
             1, 0, 0,
             [=](EngineState& s) {
               s.svar.subtract = subtract;
               s.svar.logTransform = logTransform;
             },
             kSemivariogramReals, kSemivariogramIntegers});
    }
  }
}

TEST_F(FiniteResults, FitParameters) {
  // Bounds and initial values of each model near the data's semivariogram.
  for (int model = 1; model <= 6; ++model) {
    Sweep({"fit model " + std::to_string(model),
           2,
           0,
           0,
           [=](EngineState& s) {
             s.svar.lagCount = 4;  // the classes the data's semivariogram fills
             s.fvar.model = model;
             s.fvar.bestFit = 1;
             s.fvar.initial = {1.0, 10.0, 100.0};
             s.fvar.minimum = {0.0, 0.0, 1.0};
             s.fvar.maximum = {2.0, 100.0, 1000.0};
             if (model == 6) {
               s.fvar.initial = {0.8, 40.0, 100.0};
               s.fvar.minimum = {0.1, 1.0, 10.0};
               s.fvar.maximum = {0.99, 100.0, 1000.0};
             }
           },
           {MORNAX_REAL(fvar, initial[0]), MORNAX_REAL(fvar, initial[1]),
            MORNAX_REAL(fvar, initial[2]), MORNAX_REAL(fvar, minimum[0]),
            MORNAX_REAL(fvar, minimum[1]), MORNAX_REAL(fvar, minimum[2]),
            MORNAX_REAL(fvar, maximum[0]), MORNAX_REAL(fvar, maximum[1]),
            MORNAX_REAL(fvar, maximum[2])},
           {MORNAX_INTEGER(svar, lagCount), MORNAX_INTEGER(fvar, bestFit),
            MORNAX_INTEGER(fvar, model), MORNAX_INTEGER(fvar, fitPointCount)}});
  }
}

const std::vector<IntegerParameter> kNearestCounts = {MORNAX_INTEGER(ipl, dwPoints),
                                                      MORNAX_INTEGER(ipl, krigPoints),
                                                      MORNAX_INTEGER(ipl, bayesPoints)};

std::vector<IntegerParameter> With(std::vector<IntegerParameter> list,
                                   std::initializer_list<IntegerParameter> more) {
  list.insert(list.end(), more);
  return list;
}

TEST_F(FiniteResults, WeightingAndTrendParameters) {
  for (int mode = 1; mode <= 2; ++mode) {
    for (int scheme = 1; scheme <= 7; ++scheme) {
      Sweep({"weighting scheme " + std::to_string(scheme) + " mode " + std::to_string(mode),
             3,
             1,
             mode,
             [=](EngineState& s) { s.ipl.dwScheme = scheme; },
             {},
             With(kNearestCounts,
                  {MORNAX_INTEGER(ipl, dwScheme), MORNAX_INTEGER(ipl, trendDegree)})});
    }
  }
}

TEST_F(FiniteResults, KrigingParameters) {
  for (int mode = 1; mode <= 2; ++mode) {
    // Every model with a constant drift, the drifts of order 1 and 2 with one.
    for (int model = 1; model <= 5; ++model) {
      for (int order = 0; order <= (model == 2 ? 2 : 0); ++order) {
        for (int logTransform = 0; logTransform <= 1; ++logTransform) {
          Sweep({"kriging model " + std::to_string(model) + " order " + std::to_string(order) +
                     " log " + std::to_string(logTransform) + " mode " + std::to_string(mode),
                 3,
                 2,
                 mode,
                 [=](EngineState& s) {
                   s.ipl.krigPoints = 6;  // room for the six terms of order 2
                   s.ipl.krigModel = model;
                   s.ipl.krigOrder = order;
                   s.svar.logTransform = logTransform;
                   s.ipl.sill = 20.0;
                   s.ipl.c = 18.0;
                   s.ipl.c0 = 2.0;
                   s.ipl.a = model == 1 ? 1.0 : 120.0;
                 },
                 {MORNAX_REAL(ipl, sill), MORNAX_REAL(ipl, a), MORNAX_REAL(ipl, c),
                  MORNAX_REAL(ipl, c0)},
                 With(kNearestCounts,
                      {MORNAX_INTEGER(ipl, krigModel), MORNAX_INTEGER(ipl, krigOrder)})});
        }
      }
    }
  }
}

TEST_F(FiniteResults, BayesParameters) {
  for (int mode = 1; mode <= 2; ++mode) {
    for (int model = 1; model <= 6; ++model) {
      for (int logTransform = 0; logTransform <= 1; ++logTransform) {
        Sweep(
            {"bayes model " + std::to_string(model) + " log " + std::to_string(logTransform) +
                 " mode " + std::to_string(mode),
             3,
             3,
             mode,
             [=](EngineState& s) {
               s.ipl.bayesModel = model;
               s.ipl.scaleGuess = 3;
               s.svar.logTransform = logTransform;
               s.ipl.sill = 20.0;
               s.ipl.c = 18.0;
               s.ipl.c0 = 2.0;
               s.ipl.a = model == 1 ? 1.0 : 120.0;
               s.ipl.guessSill = 10.0;
               s.ipl.guessC = 9.0;
               s.ipl.guessC0 = 1.0;
               s.ipl.guessA = model == 1 ? 1.0 : 150.0;
               s.ipl.sigma = 0.67;
               s.ipl.k = 43.6;
               s.ipl.rho = 0.79;
               s.ipl.lagD = 50.0;
             },
             {MORNAX_REAL(ipl, sill), MORNAX_REAL(ipl, a), MORNAX_REAL(ipl, c),
              MORNAX_REAL(ipl, c0), MORNAX_REAL(ipl, guessSill), MORNAX_REAL(ipl, guessA),
              MORNAX_REAL(ipl, guessC), MORNAX_REAL(ipl, guessC0), MORNAX_REAL(ipl, sigma),
              MORNAX_REAL(ipl, k), MORNAX_REAL(ipl, rho), MORNAX_REAL(ipl, lagD)},
             With(kNearestCounts, {MORNAX_INTEGER(ipl, bayesModel), MORNAX_INTEGER(ipl, scaleGuess),
                                   MORNAX_INTEGER(svar, logTransform)})});
      }
    }
  }
}

// Every task with a data set holding one huge number: values up to the bound
// run (with asterisks where a result overflows), larger ones are refused with
// a message naming the point.
TEST_F(FiniteResults, HugeDataAndNetworkValues) {
  const std::vector<Scenario> tasks = {
      {"semivariogram",
       MNX_TASK_SEMIVARIOGRAM,
       MNX_METHOD_NONE,
       MNX_MODE_NONE,
       [](EngineState&) {},
       {},
       {}},
      {"weighting",
       MNX_TASK_INTERPOLATION,
       MNX_METHOD_WEIGHTING,
       MNX_MODE_ERROR_ANALYSIS,
       [](EngineState& s) { s.ipl.dwScheme = 1; },
       {},
       {}},
      {"trend surface",
       MNX_TASK_INTERPOLATION,
       MNX_METHOD_WEIGHTING,
       MNX_MODE_INTERPOLATION,
       [](EngineState& s) { s.ipl.dwScheme = 7; },
       {},
       {}},
      {"kriging order 2",
       3,
       2,
       2,
       [](EngineState& s) {
         s.ipl.krigModel = 2;
         s.ipl.krigOrder = 2;
         s.ipl.sill = 20.0;
         s.ipl.a = 120.0;
       },
       {},
       {}},
      {"kriging error analysis",
       3,
       2,
       1,
       [](EngineState& s) {
         s.ipl.krigModel = 1;
         s.ipl.sill = 20.0;
         s.ipl.c = 1.0;
         s.ipl.a = 1.0;
       },
       {},
       {}},
      {"bayes",
       3,
       3,
       2,
       [](EngineState& s) {
         s.ipl.bayesModel = 6;
         s.ipl.scaleGuess = 3;
         s.ipl.sigma = 0.67;
         s.ipl.k = 43.6;
         s.ipl.rho = 0.79;
         s.ipl.lagD = 50.0;
       },
       {},
       {}},
  };
  const std::vector<std::string> magnitudes = {"1e30", "1e100", "1.0001e100", "1e154", "1e300"};
  for (const std::string& huge : magnitudes) {
    // A data value, a data coordinate, a guess, a network coordinate.
    const std::vector<std::string> files = {
        std::string(kData).replace(std::string(kData).find("150 40 11"), 9, "150 40 " + huge),
        std::string(kData).replace(std::string(kData).find("150 40"), 6, huge + " 40"),
        std::string(kData).replace(std::string(kData).find("11 10"), 5, "11 " + huge),
        std::string(kData).replace(std::string(kData).find("120 60"), 6, huge + " 60")};
    for (std::size_t f = 0; f < files.size(); ++f) {
      dir.Write("SITE.dfl", files[f]);
      for (const Scenario& task : tasks) {
        EngineState state = base;
        task.setUp(state);
        state.svar.subtract = f == 2 ? 1 : 0;
        RunAndCheck(task, state,
                    task.label + " with " + huge + " in data file " + std::to_string(f));
      }
    }
  }
}

// Values beyond the bound name their point and the file; the network's are
// met after the points before them were written.
TEST_F(FiniteResults, RefusedValuesNameTheirPoint) {
  std::string data = kData;
  data.replace(data.find("100 100 20"), 10, "100 100 2e100");
  dir.Write("SITE.dfl", data);
  EngineState state = base;
  RecorderMessages messages;
  RunTask(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, state, messages);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{
                                "Value out of range (magnitude above 1E+100) at data point : 4 "
                                "in input file : SITE.dfl"});

  data = kData;
  data.replace(data.find("120 60"), 6, "120 -2e200");
  dir.Write("SITE.dfl", data);
  messages = {};
  state = base;
  RunTask(MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, MNX_MODE_INTERPOLATION, state, messages);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{
                                "Value out of range (magnitude above 1E+100) at network point : 3 "
                                "in input file : SITE.dfl"});
  // The two points before it are written in all three files.
  const std::string wl = dir.Read("SITE.wl");
  EXPECT_EQ(std::count(wl.begin(), wl.end(), '\n'), 2);
}

// Parameters are refused before any file is created, with the routine's own
// wording where it has one and the parameter's name otherwise.
TEST_F(FiniteResults, RefusalsNameTheParameter) {
  struct Case {
    int task, method;
    std::function<void(EngineState&)> change;
    const char* message;
  };
  auto kRho = [](EngineState& s) {
    s.ipl.bayesModel = 6;
    s.ipl.sigma = 0.67;
    s.ipl.k = 43.6;
    s.ipl.rho = 0.79;
    s.ipl.lagD = 200.0;
  };
  const Case cases[] = {
      {1, 0, [](EngineState& s) { s.svar.lagDistance = kInf; },
       "Parameter lagDistance not valid, must be > 0 : Infinity"},
      {1, 0, [](EngineState& s) { s.svar.lagDistance = 0.0; }, "No Parameters specified"},
      {1, 0, [](EngineState& s) { s.svar.tolerance = kNaN; },
       "Parameter tolerance not valid, must be 0 to 360 : NaN"},
      {1, 0, [](EngineState& s) { s.svar.direction = -kInf; },
       "Parameter direction not valid, must be a finite number : -Infinity"},
      {2, 0,
       [](EngineState& s) {
         s.fvar = {8, 1, 2, {1, kNaN, 1}, {0, 0, 0}, {9, 9, 9}};
       },
       "Parameter initial2 not valid, must be a finite number : NaN"},
      {3, 2,
       [](EngineState& s) {
         s.ipl.krigModel = 2;
         s.ipl.sill = kNaN;
         s.ipl.a = 100.0;
       },
       "Parameter sill not valid, must be > 0 : NaN"},
      {3, 2,
       [](EngineState& s) {
         s.ipl.krigModel = 1;
         s.ipl.sill = 0.0;
       },
       "Interpolation Parameters are zero"},
      {3, 3,
       [&](EngineState& s) {
         kRho(s);
         s.ipl.lagD = -200.0;
       },
       "Parameter lagD not valid, must be > 0 : -200"},
      {3, 3,
       [&](EngineState& s) {
         kRho(s);
         s.ipl.sigma = static_cast<double>(-0.67f);
       },
       "Parameter sigma not valid, must be > 0 : -0.67"},
      {3, 3,
       [&](EngineState& s) {
         kRho(s);
         s.ipl.rho = 1.5;
       },
       "Parameter rho not valid, must be > 0 and <= 1 : 1.5"},
      {3, 3,
       [&](EngineState& s) {
         s.ipl.bayesModel = 7;
         s.ipl.sill = 20.0;
         s.ipl.guessSill = 10.0;
       },
       "Interpolation Scheme not valid"},
      {3, 3,
       [&](EngineState& s) {
         kRho(s);
         s.ipl.bayesModel = 0;
         s.ipl.k = kNaN;
       },
       "No Parameters specified"},
  };
  for (const Case& c : cases) {
    Clean(false);
    EngineState state = base;
    c.change(state);
    RecorderMessages messages;
    RunTask(c.task, c.method, MNX_MODE_INTERPOLATION, state, messages);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.message});
    EXPECT_FALSE(dir.Exists("SITE.var") || dir.Exists("SITE.fit") || dir.Exists("SITE.sol") ||
                 dir.Exists("SITE.dat") || dir.Exists("SITE.lst"))
        << c.message;
  }
}

// A k_Rho fit whose first class lies at a denormal distance cannot express
// the others in its units; a class beyond the bound is refused as well.
TEST_F(FiniteResults, FitInputThatCannotBeUsed) {
  EngineState state = base;
  state.svar.lagCount = 2;
  state.fvar = {2, 0, 6, {0.8, 40.0, 1.0}, {0.1, 1.0, 1.0}, {0.99, 100.0, 1.0}};
  dir.Write("SITE.fit", " Semi-Variogram: title\n     2\n  1e-310  1.0\n  100.0  2.0\n");
  RecorderMessages messages;
  RunTask(MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE, state, messages);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{
                                "Distance of the first class too small for model k_Rho : 1e-310"});
  EXPECT_FALSE(dir.Exists("SITE.sol"));

  dir.Write("SITE.fit", " Semi-Variogram: title\n     2\n  10.0  1.0\n  100.0  2e101\n");
  messages = {};
  RunTask(MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE, state, messages);
  EXPECT_EQ(messages.boxes,
            std::vector<std::string>{"Value out of range (magnitude above 1E+100) at class : 2 in "
                                     "input file : SITE.fit"});
  EXPECT_FALSE(dir.Exists("SITE.sol"));
}

// Model values that are finite but whose squared deviations overflow: the
// report is written with CHI2 as asterisks and a message says so.
TEST_F(FiniteResults, OverflowingChi2IsWrittenAsAsterisks) {
  EngineState state = base;
  state.svar.lagCount = 2;
  state.fvar = {2, 0, 1, {1e200, 1.0, 0.0}, {0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}};
  dir.Write("SITE.fit", " Semi-Variogram: title\n     2\n  10.0  1.0\n  100.0  2.0\n");
  RecorderMessages messages;
  RunTask(MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE, state, messages);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"CHI2 not finite, written as asterisks"});
  const std::string sol = dir.Read("SITE.sol");
  EXPECT_NE(sol.find("CHI2= ***************"), std::string::npos) << sol;
  EXPECT_FALSE(HasNonFiniteText(sol)) << sol;
}

// An estimate that overflows is written as asterisks, left out of the
// statistics and counted in one message at the end.
TEST_F(FiniteResults, OverflowingEstimatesAreCountedOnce) {
  // Bayes k_Rho with log-transformed values: the standard error is
  // exp(sqrt(exp(guessSill - S2))), which overflows for a large guessSill.
  EngineState state = base;
  state.svar.logTransform = 1;
  state.ipl.bayesModel = 6;
  state.ipl.scaleGuess = 0;
  state.ipl.sigma = 0.67;
  state.ipl.k = 43.6;
  state.ipl.rho = 0.79;
  state.ipl.lagD = 50.0;
  state.ipl.guessSill = 1e30;
  RecorderMessages messages;
  RunTask(MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, MNX_MODE_ERROR_ANALYSIS, state, messages);
  EXPECT_EQ(messages.boxes,
            std::vector<std::string>{"Estimate not finite at 7 points, written as asterisks and "
                                     "left out of the statistics"});
  const std::string lst = dir.Read("SITE.lst");
  EXPECT_NE(lst.find("**********\n"), std::string::npos) << lst;
  // No point was counted: no statistics block.
  EXPECT_EQ(lst.find("Average Error"), std::string::npos) << lst;
}

}  // namespace
}  // namespace mornax
