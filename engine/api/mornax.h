// Public interface of the mornax computation library (libMNXDLL).
//
// The program owns the four parameter records for the whole process and passes
// them to mornaxDLL once per computation. The library only reads them; every
// result leaves the library as a text file beside the data file.
#ifndef MORNAX_API_MORNAX_H
#define MORNAX_API_MORNAX_H

#include <cstddef>
#include <cstdint>

#if defined(MORNAX_BUILDING_DLL)
#define MORNAX_EXPORT __attribute__((visibility("default")))
#else
#define MORNAX_EXPORT
#endif

extern "C" {

// The project's document file name (name and extension, no directory).
struct FILENAME {
  std::int32_t nameLength;  // length of the base name (name minus its 4-character extension)
  char name[20];            // NUL-terminated, at most 19 characters
};

// Semivariogram parameters; logTransform and lagCount are shared with other tasks.
struct SVAR {
  std::int32_t subtract;
  std::int32_t logTransform;
  std::int32_t lagCount;
  float lagDistance;
  float tolerance;
  float direction;
};

// Variogram fitting parameters.
struct FVAR {
  std::int32_t fitPointCount;
  std::int32_t bestFit;
  std::int32_t model;
  float initial[3];
  float minimum[3];
  float maximum[3];
};

// Interpolation parameters: nine integers followed by twelve reals.
struct IPL {
  std::int32_t dwPoints;
  std::int32_t krigPoints;
  std::int32_t bayesPoints;
  std::int32_t dwScheme;
  std::int32_t krigModel;
  std::int32_t bayesModel;
  std::int32_t krigOrder;
  std::int32_t trendDegree;
  std::int32_t scaleGuess;
  float sill;
  float a;
  float c;
  float c0;
  float guessSill;
  float guessA;
  float guessC;
  float guessC0;
  float sigma;
  float k;
  float rho;
  float lagD;
};

// Values of mornaxDLL's `task`: what to compute.
enum : int {
  MNX_TASK_SEMIVARIOGRAM = 1,  // experimental semivariogram (.var, .fit)
  MNX_TASK_FIT = 2,            // semivariogram model fit (.sol)
  MNX_TASK_INTERPOLATION = 3   // interpolation by `method`; so is any other value
};

// Values of `method`: read only for an interpolation.
enum : int {
  MNX_METHOD_NONE = 0,       // what the program sends with the semivariogram and the fit
  MNX_METHOD_WEIGHTING = 1,  // distance weighting or trend surface
  MNX_METHOD_KRIGING = 2,
  MNX_METHOD_BAYES = 3  // Bayesian estimation; so is any value other than 1 and 2
};

// Values of `mode`: read only by the interpolation methods.
enum : int {
  MNX_MODE_NONE = 0,            // what the program sends with the semivariogram and the fit
  MNX_MODE_ERROR_ANALYSIS = 1,  // re-estimate every data point from its neighbours
  MNX_MODE_INTERPOLATION = 2    // estimate at the network points; so is any value other than 1
};

// Runs one computation, described by `task`, `method` and `mode` (the values
// above) and the records, which are only read. The project's files are found
// and written in the current directory as it is when the call begins.
MORNAX_EXPORT void mornaxDLL(int task, int method, int mode, FILENAME* fileName, SVAR* svar,
                             FVAR* fvar, IPL* ipl);

}  // extern "C"

static_assert(sizeof(float) == 4, "records hold 32-bit IEEE reals");

static_assert(sizeof(FILENAME) == 24);
static_assert(offsetof(FILENAME, nameLength) == 0);
static_assert(offsetof(FILENAME, name) == 4);

static_assert(sizeof(SVAR) == 24);
static_assert(offsetof(SVAR, subtract) == 0);
static_assert(offsetof(SVAR, logTransform) == 4);
static_assert(offsetof(SVAR, lagCount) == 8);
static_assert(offsetof(SVAR, lagDistance) == 12);
static_assert(offsetof(SVAR, tolerance) == 16);
static_assert(offsetof(SVAR, direction) == 20);

static_assert(sizeof(FVAR) == 48);
static_assert(offsetof(FVAR, fitPointCount) == 0);
static_assert(offsetof(FVAR, bestFit) == 4);
static_assert(offsetof(FVAR, model) == 8);
static_assert(offsetof(FVAR, initial) == 12);
static_assert(offsetof(FVAR, minimum) == 24);
static_assert(offsetof(FVAR, maximum) == 36);

static_assert(sizeof(IPL) == 84);
static_assert(offsetof(IPL, dwPoints) == 0);
static_assert(offsetof(IPL, krigPoints) == 4);
static_assert(offsetof(IPL, bayesPoints) == 8);
static_assert(offsetof(IPL, dwScheme) == 12);
static_assert(offsetof(IPL, krigModel) == 16);
static_assert(offsetof(IPL, bayesModel) == 20);
static_assert(offsetof(IPL, krigOrder) == 24);
static_assert(offsetof(IPL, trendDegree) == 28);
static_assert(offsetof(IPL, scaleGuess) == 32);
static_assert(offsetof(IPL, sill) == 36);
static_assert(offsetof(IPL, a) == 40);
static_assert(offsetof(IPL, c) == 44);
static_assert(offsetof(IPL, c0) == 48);
static_assert(offsetof(IPL, guessSill) == 52);
static_assert(offsetof(IPL, guessA) == 56);
static_assert(offsetof(IPL, guessC) == 60);
static_assert(offsetof(IPL, guessC0) == 64);
static_assert(offsetof(IPL, sigma) == 68);
static_assert(offsetof(IPL, k) == 72);
static_assert(offsetof(IPL, rho) == 76);
static_assert(offsetof(IPL, lagD) == 80);

#endif  // MORNAX_API_MORNAX_H
