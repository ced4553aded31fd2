#include "gui/fit_initializer.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "gui/text_scanner.h"

namespace mornax::gui {
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

FitInitStatus InitializeFitGuesses(const std::string& fitFile, SVAR& svar, FVAR& fvar,
                                   FitClasses& classes) {
  std::string text;
  if (!ReadTextFile(fitFile, text)) return FitInitStatus::kNotFound;
  TextScanner scanner(std::move(text));
  std::string title;
  scanner.ReadLine(title);  // the run title, whatever its length

  int count = 0;
  if (!scanner.ScanInt(count)) return FitInitStatus::kBadFile;

  FitClasses read;
  try {
    if (count < 0) throw std::length_error("negative class count");
    read.distance.reserve(static_cast<std::size_t>(count));
    read.semivariance.reserve(static_cast<std::size_t>(count));
  } catch (const std::exception&) {
    fvar.fitPointCount = count;
    return FitInitStatus::kNoMemory;
  }

  for (int i = 0; i < count; ++i) {
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

}  // namespace mornax::gui
