// The engine in memory: arrays in, arrays out.
//
// Everything the file tasks compute is here without files: the experimental
// semivariogram, the model fit and the models' formulas, distance weighting,
// the trend surface, kriging and Bayesian estimation, each at the nodes of a
// network and as the leave-one-out error analysis. The results are the numbers
// the file tasks write, in full precision, computed by the same code with the
// same rules and the same messages (as values, never printed).
//
// Reached by linking the static library mornax_engine (as the batch tool, the
// tests and a Python module do); libMNXDLL exports mornaxDLL alone. This
// header uses standard types only.
//
// Conventions:
// - Every call returns a Report: how it ended, the messages it gave (a code
//   and the engine's own text, in the order the file task shows them) and
//   counts. Nothing is printed.
// - Input arrays are read, never changed, and need not outlive the call.
// - Parameter structs are aggregates whose members are set by name; members
//   added later come with defaults that keep today's meaning.
// - The same inputs give the same bits for any thread count.
// - Objects are not to be used from two threads at once; separate objects may.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "api/message_codes.h"

namespace mornax::api {

// ---------------------------------------------------------------------------
// How a call went

enum class Outcome : std::uint8_t {
  kCompleted = 0,  // everything asked for was computed
  kRefused = 1,    // the parameters or the input were not accepted: nothing computed
  kStopped = 2,    // the stop hook asked to stop; what was computed before is kept
  kFailed = 3,     // the computation could not go on (a singular system of Bayesian
                   // estimation, a fit the model cannot evaluate, a sink or source that
                   // gave up); what was computed before is kept
};

struct Message {
  MessageCode code = MessageCode::kUnclassified;
  std::string text{};  // exactly the text the file task shows
};

struct Counts {
  std::int64_t mergedPairs = 0;      // data points merged into an earlier one at the same place
  std::int64_t singularPoints = 0;   // estimates whose system had no unique solution
  std::int64_t nonFinitePoints = 0;  // estimates that are not finite numbers
};

struct Report {
  Outcome outcome = Outcome::kCompleted;
  std::vector<Message> messages{};
  Counts counts{};

  bool completed() const { return outcome == Outcome::kCompleted; }
};

// What a long call may ask of its caller. Every hook is optional and is called
// on the calling thread.
struct Hooks {
  // Points (or, for the semivariogram, rows of pairs) done out of `total`:
  // at most about ten calls a second, and always the last.
  std::function<void(std::int64_t done, std::int64_t total)> progress{};
  // Asked between points (at most about fifty times a second); true stops the
  // call, which then ends with Outcome::kStopped.
  std::function<bool()> stop{};
  // Each message as it is given (they are also in the Report).
  std::function<void(const Message&)> message{};
  // Threads of the point loops and the pair loop; 0: the environment variable
  // MORNAX_THREADS, else every core.
  int threads = 0;
};

// ---------------------------------------------------------------------------
// Inputs

// Measured points: x, y and value of equal length; `guess` is empty or of the
// same length. The guess is the prior guess of Bayesian estimation and the
// value the semivariogram's subtract option takes away (|value - guess|).
struct Points {
  std::span<const double> x{}, y{}, value{};
  std::span<const double> guess{};
};

// Nodes of a network: x and y of equal length; `guess` (Bayesian estimation
// only) empty or of the same length.
struct Nodes {
  std::span<const double> x{}, y{};
  std::span<const double> guess{};
};

// ---------------------------------------------------------------------------
// Parameters, one struct per task (defaults: those of a new document)

struct SemivariogramParameters {
  int lagCount = 20;           // lag classes
  double lagDistance = 500.0;  // width of one class
  double tolerance = 360.0;    // full opening of the direction sector, degrees (360: all)
  double direction = 0.0;      // axis of the sector, degrees from x towards y (any finite angle)
  bool logTransform = false;   // natural logarithms of the values
  bool subtract = false;       // the value is |value - guess|
};

// The models by number: 1 Polynomial, 2 Spherical, 3 Exponential, 4 Gaussian,
// 5 De Wijsian, 6 k_Rho. B1, B2, B3 per model as the fit labels them:
// SLOPE, POWER, C0 (1); SILL (the part above the nugget), RANGE, C0 (2-4);
// unused, RANGE (factor of ln h), C0 (5); SIGMA, K, RHO (6).
struct FitParameters {
  int model = 2;
  std::array<double, 3> initial{};  // start values of B1, B2, B3
  std::array<double, 3> minimum{};  // lower bounds (a bound equal to the upper one pins B)
  std::array<double, 3> maximum{};  // upper bounds
  bool bestFit = true;              // false: only evaluate the model at `initial`
  int classCount = 0;               // the first classCount non-empty classes are fitted
};

struct WeightingParameters {
  int scheme = 1;      // 1 1/d, 2 (1-d/1.1Dmax)^2/(d/1.1Dmax)^2, 3 exp(-a d), 4 1/d^2,
                       // 5 exp(-a d^2)/(d^2+e), 6 exp(-1/d^2)/(d^2+e)
  int neighbours = 4;  // nearest points in each mean
};

struct TrendParameters {
  int degree = 2;  // 1-9
};

// One semivariogram model with its parameters, as kriging and Bayesian
// estimation evaluate it (r = h / a):
//   1 Polynomial   min(C h^a + C0, Sill)
//   2 Spherical    Sill beyond a, else C (1.5 r - 0.5 r^3) + C0
//   3 Exponential  C (1 - exp(-r)) + C0, Sill from r = 50
//   4 Gaussian     C (1 - exp(-r^2)) + C0, Sill from r^2 = 50
//   5 De Wijsian   a ln h + C0
// For models 2-4 C is taken as Sill - C0 (the member `c` is not read).
//
// Geometric anisotropy: h is measured in the structure's own metric. With
// the major axis at `angle` and u, v the components of the separation along
// the major and the minor axis,
//   h = sqrt(u^2 + (v / ratio)^2),
// so a range a reaches a along the major axis and ratio * a across it. This
// is isotropic kriging on coordinates rotated by -angle and stretched across
// the major axis by 1 / ratio. A ratio of 1 is isotropic whatever the angle
// (and gives today's bits).
//
// Nested structures: gamma(h) is the structure above (its nugget C0, and its
// cap or sill rule) plus each further structure's own term, evaluated at that
// structure's own h (see Structure); the sum is cut at 0 from below and is 0
// at distance 0. Bayesian estimation takes the covariance
//   Sill + (the c of each further structure of models 2-4) - gamma(h).
// The k_Rho model (6) takes an anisotropy; further structures are not read.
//
// The neighbour search measures distance in one metric: the anisotropy of the
// structure with the largest range a among models 2-4 (the first of equal
// ranges; the first structure when none is of models 2-4). The last-neighbour
// distance the estimators report is in that metric.
struct Anisotropy {
  double angle = 0.0;  // direction of the major axis, degrees from x towards y (any finite angle)
  double ratio = 1.0;  // range across the major axis / range along it, in (0, 1]
};

// A further structure of a nested model, without a nugget of its own:
//   1 Polynomial   c h^a          (no cap)
//   2 Spherical    c beyond a, else c (1.5 r - 0.5 r^3), r = h / a
//   3 Exponential  c (1 - exp(-r)), c from r = 50
//   4 Gaussian     c (1 - exp(-r^2)), c from r^2 = 50
//   5 De Wijsian   c ln h         (a is not read)
// c is the structure's sill (2-4) or slope (1, 5); 0 at h = 0.
struct Structure {
  int model = 2;
  double c = 0.0;
  double a = 0.0;
  Anisotropy anisotropy{};
};

// Further structures a model may have beside its first.
inline constexpr std::size_t kMaxFurtherStructures = 2;

struct Variogram {
  int model = 2;
  double sill = 1107.0;                 // the total sill, nugget included
  double a = 2000.0;                    // range (2-4), exponent (1), factor of ln h (5)
  double c = 1107.0;                    // the structured part (1, 5)
  double c0 = 0.0;                      // the nugget
  Anisotropy anisotropy{};              // of the structure above
  std::vector<Structure> structures{};  // further structures (at most kMaxFurtherStructures)
};

struct KrigingParameters {
  Variogram variogram{};
  int order = 0;              // drift: 0 ordinary, 1 linear, 2 quadratic
  int neighbours = 6;         // nearest points of each system
  bool logTransform = false;  // krige the logarithms; estimates back in data units
};

// The k_Rho model of Bayesian estimation (model 6).
struct KRho {
  double sigma = 0.67;
  double k = 43.6;
  double rho = 0.79;    // correlation per lag step, > 0 and <= 1
  double lagD = 200.0;  // the lag step
};

struct BayesParameters {
  // The model (1-6) and the observations' parameters; anisotropy and further
  // structures as Variogram says (k_Rho: the anisotropy alone, its further
  // structures are not read).
  Variogram observation{.model = 6};
  // The guesses' semivariogram (models 1-5). Its model 0 means the
  // observation's, the only one supported; another number must equal it. Its
  // anisotropy and structures are its own (isotropic, single by default); the
  // neighbour search follows the observations' model.
  Variogram guess{.model = 0, .sill = 0.0, .a = 0.0, .c = 0.0, .c0 = 0.0};
  KRho kRho{};         // model 6 (h / lagD in the anisotropic metric)
  int neighbours = 8;  // nearest points of each system
  int scaleGuess = 3;  // 0 none, 1 mean of the window, 2 mean, 3 linear
  bool logTransform = false;
};

// ---------------------------------------------------------------------------
// Outputs

enum class PointStatus : std::uint8_t {
  kEstimated = 0,     // the values are the estimate
  kSingular = 1,      // the system had no unique solution: the values are NaN
  kNonFinite = 2,     // the estimate or its spread overflowed or is not a number (as computed)
  kNotEstimated = 3,  // the call stopped or failed before this point: the values are NaN
  kMerged = 4,        // error analysis: merged into an earlier point at the same place: NaN
};

// One entry per node (or per data point), in input order.
struct NodeResults {
  Report report{};
  std::vector<double> estimate{};
  std::vector<double> standardError{};  // kriging and Bayesian estimation; empty otherwise
  std::vector<double> guess{};          // Bayesian estimation (the scaled guess); empty otherwise
  // Distance of the farthest neighbour the estimate used (NaN for the trend
  // surface, which uses every point): a node whose neighbours lie within
  // this distance of it sees the same neighbours in any part of a network.
  // With an anisotropic model it is measured in the search metric (see
  // Anisotropy): an ellipse, not a circle, around the node.
  std::vector<double> lastNeighbourDistance{};
  std::vector<PointStatus> status{};
};

// The closing block of an error analysis, over the points estimated.
struct ErrorStatistics {
  std::int64_t count = 0;
  double average = 0.0;
  double rootMeanSquare = 0.0;
  double greatest = 0.0;  // the signed error of largest magnitude (the later one on a tie)
  double meanAbsolute = 0.0;
  double standardError = 0.0;  // sqrt(mean (e / s)^2): kriging and Bayes; NaN otherwise
};

// The leave-one-out error analysis: each data point estimated from the
// others (the trend surface keeps it in its fit).
struct AnalysisResults : NodeResults {
  std::vector<double> residual{};  // estimate - measured (merged mean, in data units)
  ErrorStatistics statistics{};    // count 0 when the call did not complete
};

// ---------------------------------------------------------------------------
// Streaming: nodes pulled in blocks, results pushed in blocks in node order,
// so that a network of any size is estimated in flat memory.

// Where a source writes the next nodes: room for x.size() nodes (`guess` of
// the same size, to be filled for Bayesian estimation).
struct NodeBlock {
  std::span<double> x{}, y{}, guess{};
};
// Fills the block from its start and returns how many nodes it wrote; 0 ends
// the network.
using NodeSource = std::function<std::size_t(const NodeBlock& block)>;

struct ResultBlock {
  std::int64_t first = 0;  // number (0-based) of the block's first node
  std::span<const double> x{}, y{};
  std::span<const double> estimate{}, standardError{}, guess{}, lastNeighbourDistance{};
  std::span<const PointStatus> status{};
};
// Takes one block; false ends the call with Outcome::kFailed.
using ResultSink = std::function<bool(const ResultBlock& block)>;

struct StreamOptions {
  std::int64_t total = -1;       // nodes the source will give, for progress (-1: unknown)
  std::size_t blockSize = 4096;  // nodes per block, both ways
};

// ---------------------------------------------------------------------------
// Estimation

struct AnalysisOfVariance {                               // of a trend surface
  double regression = 0.0, deviation = 0.0, total = 0.0;  // sums of squares
  std::int64_t regressionFreedom = 0, deviationFreedom = 0, totalFreedom = 0;
  double regressionMean = 0.0, deviationMean = 0.0;  // mean squares
  double fTest = 0.0;
  double goodness = 0.0;     // regression / total
  double correlation = 0.0;  // sqrt(goodness)
};

struct TrendFit {
  int degree = 0;
  // Coefficients for raw x and y, terms 1, x, y, x^2, xy, y^2, ... (degree by
  // degree, falling powers of x).
  std::vector<double> coefficients{};
  std::vector<double> fitted{};  // the surface at each data point
  AnalysisOfVariance analysisOfVariance{};
};

// One method prepared for a set of points: the parameters checked, the points
// copied (logarithms taken, coincident points merged), the trend surface
// fitted or the guesses scaled, and the points indexed once; then estimated
// at as many networks as wanted.
class Predictor {
 public:
  static Predictor Weighting(const Points& points, const WeightingParameters& parameters,
                             const Hooks& hooks = {});
  static Predictor Trend(const Points& points, const TrendParameters& parameters,
                         const Hooks& hooks = {});
  static Predictor Kriging(const Points& points, const KrigingParameters& parameters,
                           const Hooks& hooks = {});
  static Predictor Bayes(const Points& points, const BayesParameters& parameters,
                         const Hooks& hooks = {});

  Predictor(Predictor&&) noexcept;
  Predictor& operator=(Predictor&&) noexcept;
  ~Predictor();

  // How the preparation went; a predictor that is not ready estimates nothing
  // (its calls return this report).
  const Report& preparation() const;
  bool ready() const;
  std::int64_t pointCount() const;   // data points after merging
  const TrendFit* trendFit() const;  // the surface of Trend(); null otherwise

  NodeResults Predict(const Nodes& nodes, const Hooks& hooks = {});
  Report Stream(const NodeSource& source, const ResultSink& sink, const Hooks& hooks = {},
                const StreamOptions& options = {});
  AnalysisResults Analyse(const Hooks& hooks = {});

  // The engine's side of a predictor; the factories above make one.
  struct Impl;
  explicit Predictor(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

// One call each: prepare, then estimate. The report holds the preparation's
// messages and counts followed by the estimation's.
NodeResults Weighting(const Points& points, const Nodes& nodes,
                      const WeightingParameters& parameters, const Hooks& hooks = {});
AnalysisResults WeightingAnalysis(const Points& points, const WeightingParameters& parameters,
                                  const Hooks& hooks = {});
NodeResults Trend(const Points& points, const Nodes& nodes, const TrendParameters& parameters,
                  const Hooks& hooks = {});
AnalysisResults TrendAnalysis(const Points& points, const TrendParameters& parameters,
                              const Hooks& hooks = {});
NodeResults Kriging(const Points& points, const Nodes& nodes, const KrigingParameters& parameters,
                    const Hooks& hooks = {});
AnalysisResults KrigingAnalysis(const Points& points, const KrigingParameters& parameters,
                                const Hooks& hooks = {});
NodeResults Bayes(const Points& points, const Nodes& nodes, const BayesParameters& parameters,
                  const Hooks& hooks = {});
AnalysisResults BayesAnalysis(const Points& points, const BayesParameters& parameters,
                              const Hooks& hooks = {});

// ---------------------------------------------------------------------------
// The semivariogram and its model

struct SemivariogramResult {
  Report report{};
  int classCount = 0;  // the highest class that received a pair (at least 1)
  // Per class 1..classCount: mean distance, semivariance (half the mean
  // squared difference) and pairs; an empty class has 0, 0, 0.
  std::vector<double> distance{}, semivariance{};
  std::vector<std::int64_t> pairs{};
  double average = 0.0;   // of the values used (after merging and logarithms)
  double variance = 0.0;  // divisor: the number of points
  std::int64_t pointsUsed = 0;
};

SemivariogramResult Semivariogram(const Points& points, const SemivariogramParameters& parameters,
                                  const Hooks& hooks = {});

// Several direction sectors and a variogram map from one pass over the pairs
// (those within the largest distance any of them needs, found through a
// spatial index): each sector's classes are, to the bit, what Semivariogram
// gives for that direction with the same lags and tolerance.
struct DirectionalParameters {
  int lagCount = 20;
  double lagDistance = 500.0;
  double tolerance = 45.0;                                 // full opening of every sector, degrees
  std::vector<double> directions{0.0, 45.0, 90.0, 135.0};  // 1 to kMaxDirections axes
  bool logTransform = false;
  bool subtract = false;
  // The variogram map: (2 mapCells + 1)^2 cells of mapCellSize (0: lagDistance)
  // centred on the zero lag; mapCells 0 computes no map (at most kMaxMapCells).
  int mapCells = 0;
  double mapCellSize = 0.0;
};

inline constexpr std::size_t kMaxDirections = 36;
inline constexpr int kMaxMapCells = 500;

// Semivariances on a grid of lag vectors. Cell (ix, iy), ix and iy in
// -cells..cells, holds the pairs whose separation (dx, dy) rounds to
// (ix, iy) * cellSize; every pair counts at (dx, dy) and at (-dx, -dy), so the
// map is symmetric about its centre. Row-major from the lowest dy: the cell's
// entry is (iy + cells) * (2 cells + 1) + ix + cells.
struct VariogramMap {
  int cells = 0;
  double cellSize = 0.0;
  std::vector<double> semivariance{};  // half the mean squared difference; 0 when empty
  std::vector<std::int64_t> pairs{};
};

struct DirectionalResult {
  Report report{};
  // One per direction, in the order given, as Semivariogram fills it (its
  // report left empty: the messages are in this report).
  std::vector<SemivariogramResult> directions{};
  VariogramMap map{};
};

DirectionalResult DirectionalSemivariogram(const Points& points,
                                           const DirectionalParameters& parameters,
                                           const Hooks& hooks = {});

// The joint fit of the directions of one DirectionalSemivariogram call: one
// model with a common nugget and sill and a range that depends on the
// direction through a geometric anisotropy (Anisotropy's metric),
//   gamma(h, phi) = C0 + C f(h sqrt(cos^2(phi - angle) + sin^2(phi - angle) / ratio^2) / a),
// least squares over every non-empty class of every direction, C, a and C0
// within their bounds (a bound equal to the other pins the parameter), the
// ratio in [minimumRatio, 1], the angle free (reported in [0, 180)).
struct JointFitParameters {
  int model = 2;  // 2 Spherical, 3 Exponential, 4 Gaussian
  // B1 = C (sill above the nugget), B2 = a (range along the major axis),
  // B3 = C0, as FitParameters has them. All nine 0: read off the classes of
  // every direction together (the fit start of the program).
  std::array<double, 3> initial{}, minimum{}, maximum{};
  double minimumRatio = 0.05;
};

struct JointFitResult {
  Report report{};
  int model = 0;
  std::array<double, 3> b{};  // C, a, C0
  Anisotropy anisotropy{};    // the fitted angle (0 to 180) and ratio
  double chi2 = 0.0;          // sum of squares of model - observed
  int iterations = 0;
  bool converged = false;
  // Per direction, the classes fitted and the model there.
  std::vector<std::vector<double>> distance{}, observed{}, fitted{};
};

JointFitResult JointFit(const DirectionalParameters& run, const DirectionalResult& result,
                        const JointFitParameters& parameters, const Hooks& hooks = {});

// The kriging and Bayes model of a joint fit: VariogramFromFit of its model
// and B, with its anisotropy (`keep`'s further structures kept).
Variogram VariogramFromJointFit(const JointFitResult& fit, const Variogram& keep);

// Classes of an experimental semivariogram; classes with distance 0 (empty)
// are passed over, as in the fitting input.
struct Classes {
  std::span<const double> distance{}, semivariance{};
};

struct FitResult {
  Report report{};
  std::array<double, 3> b{};  // B1, B2, B3 as fitted (or as given without bestFit)
  int icon = 0;               // how the iteration ended: 0 converged, > 0 still moving at
                              // the 100th call, < 0 the messages' cases
  int iterations = 0;         // calls of the iteration (101: the limit was reached)
  double chi2 = 0.0;          // sum of squares of model - observed
  // The classes fitted: distance, observed and model semivariance.
  std::vector<double> distance{}, observed{}, model{};
  double lagScale = 1.0;  // k_Rho: the fit's distance unit (the first class); 1 otherwise
  double meanDeviation = 0.0, rootMeanSquare = 0.0, correlation = 0.0;
};

FitResult Fit(const Classes& classes, const FitParameters& parameters, const Hooks& hooks = {});

// The models' formulas at the distances h, for drawing a model's curve:
// the fit's form of B1-B3 (model 1-6; k_Rho takes h in units of lagScale);
std::vector<double> FitModelValues(int model, const std::array<double, 3>& b,
                                   std::span<const double> h, double lagScale = 1.0);
// kriging's form (0 at h = 0) of the first structure, isotropic;
std::vector<double> VariogramValues(const Variogram& variogram, std::span<const double> h);
// kriging's form of the whole model (anisotropy and further structures) along
// `direction` (degrees from x towards y), for a directional semivariogram;
std::vector<double> VariogramValues(const Variogram& variogram, std::span<const double> h,
                                    double direction);
// Bayesian estimation's form of the k_Rho correlation, k / (1 + k) rho^(h / lagD).
std::vector<double> KRhoCorrelation(const KRho& kRho, std::span<const double> h);

// The model's name ("Polynomial", "Spherical", "Exponential", "Gaussian",
// "De Wijsian", "k_Rho"; empty for another number) and the fit's labels of
// B1, B2, B3 ("SILL", "RANGE", "C0", ...).
std::string ModelName(int model);
std::array<std::string, 3> ModelParameterLabels(int model);

// The kriging and Bayes parameters a fit gives (model, B1-B3 and lagScale of
// a FitResult): Spherical, Exponential, Gaussian: Sill = B1 + B3, C = B1,
// a = B2, C0 = B3; Polynomial: C = B1, a = B2, C0 = B3 (Sill from `keep`, it
// caps the model); De Wijsian: a = B2, C0 = B3 (Sill and C from `keep`);
// k_Rho: sigma, k, rho = B1-B3 and lagD = lagScale (`keep` otherwise).
Variogram VariogramFromFit(int model, const std::array<double, 3>& b, const Variogram& keep);
KRho KRhoFromFit(const std::array<double, 3>& b, double lagScale);

// ---------------------------------------------------------------------------
// The data file (title; N; N lines x y z [g]; M; M lines x y [g]), read with
// the engine's own free-form rules, with its messages.

struct DataFileOptions {
  bool guesses = false;  // every data line carries a fourth number, every node line a third
};

class DataFileReader {
 public:
  // Reads the title, the data points and the network count.
  explicit DataFileReader(const std::filesystem::path& file, const DataFileOptions& options = {});
  DataFileReader(DataFileReader&&) noexcept;
  DataFileReader& operator=(DataFileReader&&) noexcept;
  ~DataFileReader();

  // What the reads so far found; a failure is Outcome::kRefused (the points)
  // or kFailed (the network).
  const Report& report() const;
  const std::string& title() const;  // line 1, control characters as blanks
  Points points() const;             // valid while the reader lives
  // M; -1 when the points could not be read. A file that ends after its
  // points has no network (0).
  std::int64_t networkCount() const;
  // The next nodes of the network, as a NodeSource: 0 when all M are read or
  // a line could not be read (then the report says which).
  std::size_t ReadNodes(const NodeBlock& block);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------
// The fit's start read off an experimental semivariogram, as the batch tool
// proposes it for a fit whose starting values and bounds are unset.

struct FitStartProposal {
  bool proposed = false;  // false: the classes allow none (`problem` says why)
  std::string problem{};
  std::array<double, 3> initial{};  // B1, B2, B3
  std::array<double, 3> minimum{};
  std::array<double, 3> maximum{};
  int classCount = 0;  // the leading non-empty classes the fit should use
  double nugget = 0.0, sill = 0.0;
  double reach = 0.0;  // where the curve has risen 80 % from the nugget to the sill
};

// Classes with distance 0 (empty) are passed over; `pairs` (empty, or one per
// class) weighs the classes.
FitStartProposal ProposeFitStart(const Classes& classes, std::span<const std::int64_t> pairs,
                                 int model);

}  // namespace mornax::api
