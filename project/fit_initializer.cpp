#include "project/fit_initializer.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

#include "project/text_scanner.h"

namespace mornax::project {
namespace {

constexpr float kBoundFactor = 0.01f;     // lower bounds of B1 and B2
constexpr float kUpperFactor = 10.0f;     // upper bounds of every parameter
constexpr float kPowerMinimum = 0.5f;     // Polynomial power bounds
constexpr float kPowerMaximum = 1.9999f;  // below 2: the power model is unbounded at 2

struct Extremes {
  float hmin, hmax, gmin, gmax;
};

Extremes FindExtremes(const FitClasses& classes) {
  const auto [hmin, hmax] = std::minmax_element(classes.distance.begin(), classes.distance.end());
  const auto [gmin, gmax] =
      std::minmax_element(classes.semivariance.begin(), classes.semivariance.end());
  return {*hmin, *hmax, *gmin, *gmax};
}

void SetGuesses(int model, const Extremes& e, FVAR& fvar) {
  float start[3];
  if (model == 1) {
    // A single distance gives no slope between classes; the line from the
    // origin through the class serves instead (hmax is never 0: empty
    // classes are dropped).
    const float slope = e.hmax != e.hmin ? (e.gmax - e.gmin) / (e.hmax - e.hmin) : e.gmax / e.hmax;
    start[0] = slope;
    start[1] = 1.0f;
    start[2] = e.gmin;
  } else if (model == 6) {
    start[0] = e.gmin;
    start[1] = 20.0f;
    start[2] = 0.95f;
  } else {
    start[0] = e.gmax;
    start[1] = e.hmax;
    start[2] = e.gmin;
  }
  for (int j = 0; j < 3; ++j) {
    fvar.initial[j] = start[j];
    fvar.maximum[j] = kUpperFactor * start[j];
  }
  fvar.minimum[0] = kBoundFactor * start[0];
  fvar.minimum[1] = kBoundFactor * start[1];
  fvar.minimum[2] = 0.0f;
  if (model == 1) {
    fvar.minimum[1] = kPowerMinimum;
    fvar.maximum[1] = kPowerMaximum;
  }
}

}  // namespace

const char* FitInitMessage(FitInitStatus status) {
  switch (status) {
    case FitInitStatus::kNotFound:
      return "FIT file not found!";
    case FitInitStatus::kBadFile:
      return "ERROR in FIT file!";
    case FitInitStatus::kNoMemory:
      return "Not Enough Memory for Arrays!";
    case FitInitStatus::kOk:
      break;
  }
  return "";
}

FitInitStatus ReadFitClasses(const std::string& fitFile, FitClasses& classes, int& count) {
  std::string text;
  if (!ReadTextFile(fitFile, text)) return FitInitStatus::kNotFound;
  TextScanner scanner(std::move(text));
  std::string title;
  scanner.ReadLine(title);  // the run title, whatever its length

  int stated = 0;
  if (!scanner.ScanInt(stated)) return FitInitStatus::kBadFile;

  FitClasses read;
  try {
    if (stated < 0) throw std::length_error("negative class count");
    read.distance.reserve(static_cast<std::size_t>(stated));
    read.semivariance.reserve(static_cast<std::size_t>(stated));
  } catch (const std::exception&) {
    count = stated;
    return FitInitStatus::kNoMemory;
  }

  for (int i = 0; i < stated; ++i) {
    float distance = 0.0f;
    float semivariance = 0.0f;
    // Fewer pairs than announced leave nothing sound to guess from.
    if (!scanner.ScanFloat(distance) || !scanner.ScanFloat(semivariance)) {
      return FitInitStatus::kBadFile;
    }
    if (distance == 0.0f) continue;  // an empty lag class
    read.distance.push_back(distance);
    read.semivariance.push_back(semivariance);
  }
  classes = std::move(read);
  count = stated;
  return FitInitStatus::kOk;
}

bool ReadPairCounts(const std::string& varFile, FitClasses& classes) {
  // A class line: "(1x,I5,3x,I5,8x,F8.2,7x,F12.4)": number, pairs, distance,
  // semivariance; a count too wide for its five columns shows asterisks.
  constexpr std::size_t kPairsColumn = 9, kPairsWidth = 5;
  constexpr std::size_t kDistanceColumn = 22, kDistanceWidth = 8;
  constexpr double kWidestCount = 99999.0;
  constexpr double kDistanceRounding = 0.006;  // F8.2 against the .fit's F15.4
  classes.pairs.clear();
  std::string text;
  if (!ReadTextFile(varFile, text)) return false;
  TextScanner scanner(std::move(text));
  std::string line;
  bool table = false;
  std::vector<double> pairs;
  while (scanner.ReadLine(line)) {
    if (!table) {
      table = line.find("#points") != std::string::npos;
      continue;
    }
    if (line.size() < kDistanceColumn + kDistanceWidth) return false;
    const std::string count = line.substr(kPairsColumn, kPairsWidth);
    double value = 0.0;
    if (count.find('*') != std::string::npos) {
      value = kWidestCount;
    } else if (!TextScanner(count).ScanDouble(value)) {
      return false;
    }
    if (value <= 0.0) continue;  // an empty class, dropped from the classes too
    const std::size_t k = pairs.size();
    double distance = 0.0;
    if (k >= classes.distance.size()) return false;
    if (TextScanner(line.substr(kDistanceColumn, kDistanceWidth)).ScanDouble(distance) &&
        std::fabs(distance - classes.distance[k]) > kDistanceRounding + 1e-6 * distance) {
      return false;  // the report of another run
    }
    pairs.push_back(value);
  }
  if (pairs.size() != classes.distance.size()) return false;
  classes.pairs = std::move(pairs);
  return true;
}

FitInitStatus InitializeFitGuesses(const std::string& fitFile, SVAR& svar, FVAR& fvar,
                                   FitClasses& classes) {
  int count = 0;
  const FitInitStatus status = ReadFitClasses(fitFile, classes, count);
  if (status == FitInitStatus::kNoMemory) fvar.fitPointCount = count;
  if (status != FitInitStatus::kOk) return status;
  const int kept = static_cast<int>(classes.distance.size());
  // The fit sizes its lag table by fitPointCount and must hold every class of
  // the file, the empty ones included; the lags to fit are the kept ones.
  fvar.fitPointCount = count;
  svar.lagCount = kept;
  // Without a single non-empty class there is nothing to guess from; the
  // parameters keep their values.
  if (kept > 0) SetGuesses(fvar.model, FindExtremes(classes), fvar);
  return FitInitStatus::kOk;
}

}  // namespace mornax::project
