// The engine's process-wide state: the parameter copies of the last call (reals
// widened to double), the base name, the run title, the sizes and the work
// arrays. One object per run path (the library's entry point, the batch tool,
// a test).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/model_terms.h"
#include "core/run_env.h"
#include "core/work_arrays.h"

namespace mornax {

struct SvarCopy {
  std::int32_t subtract = 0;
  std::int32_t logTransform = 0;
  std::int32_t lagCount = 0;
  double lagDistance = 0.0;
  double tolerance = 0.0;
  double direction = 0.0;
};

struct FvarCopy {
  std::int32_t fitPointCount = 0;
  std::int32_t bestFit = 0;
  std::int32_t model = 0;
  std::array<double, 3> initial{};
  std::array<double, 3> minimum{};
  std::array<double, 3> maximum{};
};

struct IplCopy {
  std::int32_t dwPoints = 0;
  std::int32_t krigPoints = 0;
  std::int32_t bayesPoints = 0;
  std::int32_t dwScheme = 0;
  std::int32_t krigModel = 0;
  std::int32_t bayesModel = 0;
  std::int32_t krigOrder = 0;
  std::int32_t trendDegree = 0;
  std::int32_t scaleGuess = 0;
  double sill = 0.0;
  double a = 0.0;
  double c = 0.0;
  double c0 = 0.0;
  double guessSill = 0.0;
  double guessA = 0.0;
  double guessC = 0.0;
  double guessC0 = 0.0;
  double sigma = 0.0;
  double k = 0.0;
  double rho = 0.0;
  double lagD = 0.0;
  // Not from the record: set by the caller before a run (core/model_terms.h).
  ModelTerms terms{};
};

// Fixed-length engine texts.
constexpr int kBaseNameLength = 12;
constexpr int kTitleLength = 72;
constexpr int kDataFileNameLength = 20;

struct EngineState {
  SvarCopy svar;
  FvarCopy fvar;
  IplCopy ipl;

  // The folder that holds the project's data and result files (empty: the
  // current directory); set by the caller before each run.
  std::filesystem::path projectFolder;
  std::string baseName = std::string(kBaseNameLength, ' ');  // blank padded
  std::int32_t baseLength = 0;
  std::string title = std::string(kTitleLength, ' ');
  std::string dataFileName = std::string(kDataFileNameLength, ' ');

  std::string modelName = std::string(11, ' ');
  std::array<std::string, 3> parameterNames{std::string(5, ' '), std::string(5, ' '),
                                            std::string(5, ' ')};

  std::int32_t pointCount = 0;
  std::int32_t neighbourCapacity = 0;
  std::int32_t trendTermCount = 0;
  std::int32_t lagCapacity = 0;
  std::int32_t fitWorkSize = 0;
  std::int32_t allocationStatus = 0;

  // The driver's four-double area for the linear scaling of Bayes guesses.
  std::array<double, 4> coefficientArea{};

  // How the last run ended (a stop and the points written before it), for
  // the entry point's closing line; reset by every run.
  RunOutcome runOutcome;

  // Threads for the point loops and the pair loop, set by the caller (the
  // batch tool's --threads); 0: the MORNAX_THREADS environment variable, or
  // every core of the machine.
  std::int32_t threadCount = 0;

  WorkArrays arrays;

  // The significant part of the base name.
  std::string Base() const;
};

}  // namespace mornax
