#include "front/record_copies.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace mornax {

void LoadFileName(const FILENAME& fileName, EngineState& state) {
  state.baseName.assign(kBaseNameLength, ' ');
  const std::size_t limit = std::min<std::size_t>(
      static_cast<std::size_t>(std::clamp(fileName.nameLength, 0, kBaseNameLength)),
      sizeof fileName.name);
  std::size_t length = 0;
  for (; length < limit && fileName.name[length] != '\0'; ++length) {
    state.baseName[length] = fileName.name[length];
  }
  // Trailing blanks are padding, not part of the name: a caller that pads a
  // short name to nameLength gets SITE.var, not "SITE    .var".
  while (length > 0 && state.baseName[length - 1] == ' ') --length;
  state.baseLength = static_cast<std::int32_t>(length);
}

void LoadParameters(const SVAR& svar, const FVAR& fvar, const IPL& ipl, EngineState& state) {
  auto& s = state.svar;
  s.subtract = svar.subtract;
  s.logTransform = svar.logTransform;
  s.lagCount = svar.lagCount;
  s.lagDistance = svar.lagDistance;
  s.tolerance = svar.tolerance;
  s.direction = svar.direction;

  auto& f = state.fvar;
  f.fitPointCount = fvar.fitPointCount;
  f.bestFit = fvar.bestFit;
  f.model = fvar.model;
  for (int j = 0; j < 3; ++j) {
    f.initial[j] = fvar.initial[j];
    f.minimum[j] = fvar.minimum[j];
    f.maximum[j] = fvar.maximum[j];
  }

  auto& p = state.ipl;
  p.dwPoints = ipl.dwPoints;
  p.krigPoints = ipl.krigPoints;
  p.bayesPoints = ipl.bayesPoints;
  p.dwScheme = ipl.dwScheme;
  p.krigModel = ipl.krigModel;
  p.bayesModel = ipl.bayesModel;
  p.krigOrder = ipl.krigOrder;
  p.trendDegree = ipl.trendDegree;
  p.scaleGuess = ipl.scaleGuess;
  p.sill = ipl.sill;
  p.a = ipl.a;
  p.c = ipl.c;
  p.c0 = ipl.c0;
  p.guessSill = ipl.guessSill;
  p.guessA = ipl.guessA;
  p.guessC = ipl.guessC;
  p.guessC0 = ipl.guessC0;
  p.sigma = ipl.sigma;
  p.k = ipl.k;
  p.rho = ipl.rho;
  p.lagD = ipl.lagD;
}

}  // namespace mornax
