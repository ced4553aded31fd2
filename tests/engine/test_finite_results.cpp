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
#include <string>
#include <vector>

#include "driver/run_driver.h"
#include "support/recorder_messages.h"
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

bool HasNonFiniteText(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

class FiniteResults : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("SITE.dfl", kData);
    FILENAME name{};
    name.nameLength = 4;
    std::strcpy(name.name, "SITE.mnx");
    LoadFileName(name, base);
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
  void RunAndCheck(const Scenario& scenario, EngineState& state, const std::string& what) {
    const bool fit = scenario.task == 2;
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
    ++runs;
  }

  // The clean run of the scenario, then one run per parameter and bad value.
  void Sweep(const Scenario& scenario) {
    if (scenario.task == 2) PrepareFitInput();
    EngineState state = base;
    scenario.setUp(state);
    RunAndCheck(scenario, state, scenario.label + " (as set up)");
    for (const auto& parameter : scenario.reals) {
      for (const double value : kBadReals) {
        EngineState changed = base;
        scenario.setUp(changed);
        parameter.at(changed) = value;
        RunAndCheck(scenario, changed,
                    scenario.label + " " + parameter.name + " = " + std::to_string(value));
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
    RunTask(1, 0, 0, state, messages);
    ASSERT_TRUE(messages.boxes.empty());
    ASSERT_TRUE(dir.Exists("SITE.fit"));
  }

  ScopedTempDir dir;
  EngineState base;
  int runs = 0;
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
    for (int model = 1; model <= 5; ++model) {
      for (int order = 0; order <= 2; ++order) {
        for (int logTransform = 0; logTransform <= 1; ++logTransform) {
          Sweep({"kriging model " + std::to_string(model) + " order " + std::to_string(order) +
                     " log " + std::to_string(logTransform) + " mode " + std::to_string(mode),
                 3,
                 2,
                 mode,
                 [=](EngineState& s) {
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

}  // namespace
}  // namespace mornax
