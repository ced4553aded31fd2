// The extension module mornax._engine: the in-memory interface of the engine
// for the package's Python layer, which turns reports into exceptions and
// warnings and arrays into the shapes the caller gave.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "api/mornax_arrays.h"
#include "call_hooks.h"
#include "numpy_io.h"

namespace mornax::python {
namespace {

using Triple = std::array<double, 3>;
using OptionalArray = std::optional<DoubleArray>;

// Runs `work` with the interpreter's lock released, then raises what a hook
// caught (Ctrl-C, an exception of the progress callback).
template <typename Work>
auto Unlocked(CallHooks& hooks, Work&& work) {
  std::optional<decltype(work())> result;
  {
    py::gil_scoped_release unlocked;
    result.emplace(work());
  }
  hooks.RaisePending();
  return std::move(*result);
}

api::Points PointsOf(const DoubleArray& x, const DoubleArray& y, const DoubleArray& value,
                     const OptionalArray& guess) {
  return {Values(x, "x"), Values(y, "y"), Values(value, "value"), OptionalValues(guess, "guess")};
}

#define MORNAX_HOOK_ARGS                                                           \
  py::kw_only(), py::arg("progress") = py::none(), py::arg("cancel") = py::none(), \
                 py::arg("threads") = 0

py::dict SemivariogramCall(const DoubleArray& x, const DoubleArray& y, const DoubleArray& value,
                           const OptionalArray& guess, int lagCount, double lagDistance,
                           double tolerance, double direction, bool log, bool subtract,
                           py::object progress, py::object cancel, int threads) {
  const api::Points points = PointsOf(x, y, value, guess);
  const api::SemivariogramParameters parameters{lagCount,  lagDistance, tolerance,
                                                direction, log,         subtract};
  CallHooks hooks(std::move(progress), std::move(cancel), threads);
  api::SemivariogramResult r =
      Unlocked(hooks, [&] { return api::Semivariogram(points, parameters, hooks.hooks()); });
  py::dict dict;
  dict["report"] = ReportDict(r.report);
  dict["distance"] = Owned(std::move(r.distance));
  dict["semivariance"] = Owned(std::move(r.semivariance));
  dict["pairs"] = Owned(std::move(r.pairs));
  dict["average"] = r.average;
  dict["variance"] = r.variance;
  dict["points_used"] = r.pointsUsed;
  dict["cancelled"] = hooks.cancelled();
  return dict;
}

py::dict FitCall(const DoubleArray& distance, const DoubleArray& semivariance, int model,
                 const Triple& initial, const Triple& minimum, const Triple& maximum, bool bestFit,
                 int classCount) {
  const api::Classes classes{Values(distance, "distance"), Values(semivariance, "semivariance")};
  const api::FitParameters parameters{model, initial, minimum, maximum, bestFit, classCount};
  CallHooks hooks(py::none(), py::none(), 0);
  api::FitResult r = Unlocked(hooks, [&] { return api::Fit(classes, parameters, hooks.hooks()); });
  py::dict dict;
  dict["report"] = ReportDict(r.report);
  dict["b"] = r.b;
  dict["icon"] = r.icon;
  dict["iterations"] = r.iterations;
  dict["chi2"] = r.chi2;
  dict["distance"] = Owned(std::move(r.distance));
  dict["observed"] = Owned(std::move(r.observed));
  dict["model"] = Owned(std::move(r.model));
  dict["lag_scale"] = r.lagScale;
  dict["mean_deviation"] = r.meanDeviation;
  dict["root_mean_square"] = r.rootMeanSquare;
  dict["correlation"] = r.correlation;
  return dict;
}

py::dict FitStartCall(const DoubleArray& distance, const DoubleArray& semivariance,
                      const std::optional<py::array_t<std::int64_t>>& pairs, int model) {
  const api::Classes classes{Values(distance, "distance"), Values(semivariance, "semivariance")};
  std::span<const std::int64_t> counts;
  if (pairs) counts = {pairs->data(), static_cast<std::size_t>(pairs->size())};
  const api::FitStartProposal p = api::ProposeFitStart(classes, counts, model);
  py::dict dict;
  dict["proposed"] = p.proposed;
  dict["problem"] = p.problem;
  dict["initial"] = p.initial;
  dict["minimum"] = p.minimum;
  dict["maximum"] = p.maximum;
  dict["class_count"] = p.classCount;
  dict["nugget"] = p.nugget;
  dict["sill"] = p.sill;
  dict["reach"] = p.reach;
  return dict;
}

py::dict TrendFitDict(const api::TrendFit& fit) {
  const api::AnalysisOfVariance& a = fit.analysisOfVariance;
  py::dict anova;
  anova["regression"] = a.regression;
  anova["deviation"] = a.deviation;
  anova["total"] = a.total;
  anova["regression_freedom"] = a.regressionFreedom;
  anova["deviation_freedom"] = a.deviationFreedom;
  anova["total_freedom"] = a.totalFreedom;
  anova["regression_mean"] = a.regressionMean;
  anova["deviation_mean"] = a.deviationMean;
  anova["f_test"] = a.fTest;
  anova["goodness"] = a.goodness;
  anova["correlation"] = a.correlation;
  py::dict dict;
  dict["degree"] = fit.degree;
  dict["coefficients"] = Owned(std::vector<double>(fit.coefficients));
  dict["fitted"] = Owned(std::vector<double>(fit.fitted));
  dict["analysis_of_variance"] = anova;
  return dict;
}

// A predictor prepared with the lock released.
template <typename Factory>
api::Predictor Prepare(py::object progress, py::object cancel, int threads, Factory&& factory) {
  CallHooks hooks(std::move(progress), std::move(cancel), threads);
  return Unlocked(hooks, [&] { return factory(hooks.hooks()); });
}

py::dict PredictCall(api::Predictor& predictor, const DoubleArray& x, const DoubleArray& y,
                     const OptionalArray& guess, py::object progress, py::object cancel,
                     int threads) {
  const api::Nodes nodes{Values(x, "x"), Values(y, "y"), OptionalValues(guess, "guess")};
  CallHooks hooks(std::move(progress), std::move(cancel), threads);
  api::NodeResults r = Unlocked(hooks, [&] { return predictor.Predict(nodes, hooks.hooks()); });
  py::dict dict = NodeResultsDict(std::move(r));
  dict["cancelled"] = hooks.cancelled();
  return dict;
}

py::dict AnalyseCall(api::Predictor& predictor, py::object progress, py::object cancel,
                     int threads) {
  CallHooks hooks(std::move(progress), std::move(cancel), threads);
  api::AnalysisResults r = Unlocked(hooks, [&] { return predictor.Analyse(hooks.hooks()); });
  py::dict dict = AnalysisResultsDict(std::move(r));
  dict["cancelled"] = hooks.cancelled();
  return dict;
}

api::DirectionalParameters DirectionalOf(int lagCount, double lagDistance, double tolerance,
                                         std::vector<double> directions, bool log, bool subtract,
                                         int mapCells, double mapCellSize) {
  return {lagCount, lagDistance, tolerance, std::move(directions),
          log,      subtract,    mapCells,  mapCellSize};
}

py::dict DirectionalCall(const DoubleArray& x, const DoubleArray& y, const DoubleArray& value,
                         const OptionalArray& guess, int lagCount, double lagDistance,
                         double tolerance, std::vector<double> directions, bool log, bool subtract,
                         int mapCells, double mapCellSize, py::object progress, py::object cancel,
                         int threads) {
  const api::Points points = PointsOf(x, y, value, guess);
  const api::DirectionalParameters parameters =
      DirectionalOf(lagCount, lagDistance, tolerance, std::move(directions), log, subtract,
                    mapCells, mapCellSize);
  CallHooks hooks(std::move(progress), std::move(cancel), threads);
  api::DirectionalResult r = Unlocked(
      hooks, [&] { return api::DirectionalSemivariogram(points, parameters, hooks.hooks()); });
  py::list sectors;
  for (api::SemivariogramResult& s : r.directions) {
    py::dict d;
    d["distance"] = Owned(std::move(s.distance));
    d["semivariance"] = Owned(std::move(s.semivariance));
    d["pairs"] = Owned(std::move(s.pairs));
    d["average"] = s.average;
    d["variance"] = s.variance;
    d["points_used"] = s.pointsUsed;
    sectors.append(d);
  }
  py::dict dict;
  dict["report"] = ReportDict(r.report);
  dict["directions"] = sectors;
  dict["map_cells"] = r.map.cells;
  dict["map_cell_size"] = r.map.cellSize;
  dict["map_semivariance"] = Owned(std::move(r.map.semivariance));
  dict["map_pairs"] = Owned(std::move(r.map.pairs));
  dict["cancelled"] = hooks.cancelled();
  return dict;
}

// The joint fit of the classes of a directional semivariogram (one entry per
// direction); only the directions and the classes are read.
py::dict JointFitCall(const std::vector<double>& directions,
                      const std::vector<std::vector<double>>& distance,
                      const std::vector<std::vector<double>>& semivariance, int model,
                      const Triple& initial, const Triple& minimum, const Triple& maximum,
                      double minimumRatio) {
  api::DirectionalParameters run;
  run.directions = directions;
  api::DirectionalResult result;
  for (std::size_t d = 0; d < distance.size(); ++d) {
    api::SemivariogramResult& s = result.directions.emplace_back();
    s.distance = distance[d];
    s.semivariance = d < semivariance.size() ? semivariance[d] : std::vector<double>{};
    s.semivariance.resize(s.distance.size());
  }
  const api::JointFitParameters parameters{model, initial, minimum, maximum, minimumRatio};
  CallHooks hooks(py::none(), py::none(), 0);
  api::JointFitResult r =
      Unlocked(hooks, [&] { return api::JointFit(run, result, parameters, hooks.hooks()); });
  py::dict dict;
  dict["report"] = ReportDict(r.report);
  dict["model"] = r.model;
  dict["b"] = r.b;
  dict["angle"] = r.anisotropy.angle;
  dict["ratio"] = r.anisotropy.ratio;
  dict["chi2"] = r.chi2;
  dict["iterations"] = r.iterations;
  dict["converged"] = r.converged;
  py::list fitted, observed, distances;
  for (std::size_t d = 0; d < r.distance.size(); ++d) {
    distances.append(Owned(std::move(r.distance[d])));
    observed.append(Owned(std::move(r.observed[d])));
    fitted.append(Owned(std::move(r.fitted[d])));
  }
  dict["distance"] = distances;
  dict["observed"] = observed;
  dict["fitted"] = fitted;
  return dict;
}

py::dict ReadDataFile(const std::string& path, bool guesses) {
  api::DataFileReader reader(path, {.guesses = guesses});
  py::dict dict;
  dict["title"] = reader.title();
  const api::Points p = reader.points();
  auto copy = [](std::span<const double> s) {
    return Owned(std::vector<double>(s.begin(), s.end()));
  };
  dict["x"] = copy(p.x);
  dict["y"] = copy(p.y);
  dict["value"] = copy(p.value);
  dict["guess"] = copy(p.guess);
  const std::int64_t count = std::max<std::int64_t>(reader.networkCount(), 0);
  std::vector<double> nx(static_cast<std::size_t>(count)), ny(nx.size()),
      ng(guesses ? nx.size() : 0);
  std::size_t read = 0;
  while (read < nx.size()) {
    const std::size_t n = std::min<std::size_t>(4096, nx.size() - read);
    const api::NodeBlock block{std::span(nx).subspan(read, n), std::span(ny).subspan(read, n),
                               guesses ? std::span(ng).subspan(read, n) : std::span<double>{}};
    const std::size_t got = reader.ReadNodes(block);
    if (got == 0) break;
    read += got;
  }
  nx.resize(read);
  ny.resize(read);
  if (guesses) ng.resize(read);
  dict["node_x"] = Owned(std::move(nx));
  dict["node_y"] = Owned(std::move(ny));
  dict["node_guess"] = Owned(std::move(ng));
  dict["report"] = ReportDict(reader.report());
  return dict;
}

}  // namespace
}  // namespace mornax::python

PYBIND11_MODULE(_engine, m) {
  using namespace mornax;
  using namespace mornax::python;
  m.doc() = "The mornax engine in memory (use the package mornax, not this module).";

  py::class_<api::Anisotropy>(m, "Anisotropy")
      .def(py::init([](double angle, double ratio) {
             return api::Anisotropy{angle, ratio};
           }),
           py::arg("angle") = 0.0, py::arg("ratio") = 1.0)
      .def_readwrite("angle", &api::Anisotropy::angle)
      .def_readwrite("ratio", &api::Anisotropy::ratio);

  py::class_<api::Structure>(m, "Structure")
      .def(py::init([](int model, double c, double a, const api::Anisotropy& anisotropy) {
             return api::Structure{model, c, a, anisotropy};
           }),
           py::arg("model"), py::arg("c"), py::arg("a"), py::arg("anisotropy") = api::Anisotropy{})
      .def_readwrite("model", &api::Structure::model)
      .def_readwrite("c", &api::Structure::c)
      .def_readwrite("a", &api::Structure::a)
      .def_readwrite("anisotropy", &api::Structure::anisotropy);

  m.attr("MAX_FURTHER_STRUCTURES") = api::kMaxFurtherStructures;
  m.attr("MAX_DIRECTIONS") = api::kMaxDirections;
  m.attr("MAX_MAP_CELLS") = api::kMaxMapCells;

  py::class_<api::Variogram>(m, "Variogram")
      .def(py::init([](int model, double sill, double a, double c, double c0,
                       const api::Anisotropy& anisotropy, std::vector<api::Structure> structures) {
             return api::Variogram{model, sill, a, c, c0, anisotropy, std::move(structures)};
           }),
           py::arg("model"), py::arg("sill"), py::arg("a"), py::arg("c") = 0.0, py::arg("c0") = 0.0,
           py::arg("anisotropy") = api::Anisotropy{},
           py::arg("structures") = std::vector<api::Structure>{})
      .def_readwrite("model", &api::Variogram::model)
      .def_readwrite("sill", &api::Variogram::sill)
      .def_readwrite("a", &api::Variogram::a)
      .def_readwrite("c", &api::Variogram::c)
      .def_readwrite("c0", &api::Variogram::c0)
      .def_readwrite("anisotropy", &api::Variogram::anisotropy)
      .def_readwrite("structures", &api::Variogram::structures);

  py::class_<api::KRho>(m, "KRho")
      .def(py::init([](double sigma, double k, double rho, double lagD) {
             return api::KRho{sigma, k, rho, lagD};
           }),
           py::arg("sigma"), py::arg("k"), py::arg("rho"), py::arg("lag_d"))
      .def_readwrite("sigma", &api::KRho::sigma)
      .def_readwrite("k", &api::KRho::k)
      .def_readwrite("rho", &api::KRho::rho)
      .def_readwrite("lag_d", &api::KRho::lagD);

  m.def("semivariogram", &SemivariogramCall, py::arg("x"), py::arg("y"), py::arg("value"),
        py::arg("guess"), py::arg("lag_count"), py::arg("lag_distance"), py::arg("tolerance"),
        py::arg("direction"), py::arg("log"), py::arg("subtract"), MORNAX_HOOK_ARGS);
  m.def("fit", &FitCall, py::arg("distance"), py::arg("semivariance"), py::arg("model"),
        py::arg("initial"), py::arg("minimum"), py::arg("maximum"), py::arg("best_fit"),
        py::arg("class_count"));
  m.def("propose_fit_start", &FitStartCall, py::arg("distance"), py::arg("semivariance"),
        py::arg("pairs"), py::arg("model"));
  m.def(
      "fit_model_values",
      [](int model, const Triple& b, const DoubleArray& h, double lagScale) {
        return Owned(api::FitModelValues(model, b, Values(h, "h"), lagScale));
      },
      py::arg("model"), py::arg("b"), py::arg("h"), py::arg("lag_scale") = 1.0);
  m.def(
      "variogram_values",
      [](const api::Variogram& v, const DoubleArray& h) {
        return Owned(api::VariogramValues(v, Values(h, "h")));
      },
      py::arg("variogram"), py::arg("h"));
  m.def(
      "variogram_values_along",
      [](const api::Variogram& v, const DoubleArray& h, double direction) {
        return Owned(api::VariogramValues(v, Values(h, "h"), direction));
      },
      py::arg("variogram"), py::arg("h"), py::arg("direction"));
  m.def("directional_semivariogram", &DirectionalCall, py::arg("x"), py::arg("y"), py::arg("value"),
        py::arg("guess"), py::arg("lag_count"), py::arg("lag_distance"), py::arg("tolerance"),
        py::arg("directions"), py::arg("log"), py::arg("subtract"), py::arg("map_cells"),
        py::arg("map_cell_size"), MORNAX_HOOK_ARGS);
  m.def("joint_fit", &JointFitCall, py::arg("directions"), py::arg("distance"),
        py::arg("semivariance"), py::arg("model"), py::arg("initial"), py::arg("minimum"),
        py::arg("maximum"), py::arg("minimum_ratio"));
  m.def(
      "variogram_from_joint_fit",
      [](int model, const Triple& b, const api::Anisotropy& anisotropy,
         const api::Variogram& keep) {
        api::JointFitResult fit;
        fit.model = model;
        fit.b = b;
        fit.anisotropy = anisotropy;
        return api::VariogramFromJointFit(fit, keep);
      },
      py::arg("model"), py::arg("b"), py::arg("anisotropy"), py::arg("keep"));
  m.def(
      "krho_correlation",
      [](const api::KRho& k, const DoubleArray& h) {
        return Owned(api::KRhoCorrelation(k, Values(h, "h")));
      },
      py::arg("krho"), py::arg("h"));
  m.def("model_name", &api::ModelName, py::arg("model"));
  m.def("model_labels", &api::ModelParameterLabels, py::arg("model"));
  m.def("variogram_from_fit", &api::VariogramFromFit, py::arg("model"), py::arg("b"),
        py::arg("keep"));
  m.def("krho_from_fit", &api::KRhoFromFit, py::arg("b"), py::arg("lag_scale"));
  m.def("read_data_file", &ReadDataFile, py::arg("path"), py::arg("guesses") = false);

  py::class_<api::Predictor>(m, "Predictor")
      .def_static(
          "weighting",
          [](const DoubleArray& x, const DoubleArray& y, const DoubleArray& value, int scheme,
             int neighbours, py::object progress, py::object cancel, int threads) {
            const api::Points points = PointsOf(x, y, value, std::nullopt);
            return Prepare(progress, cancel, threads, [&](const api::Hooks& h) {
              return api::Predictor::Weighting(points, {scheme, neighbours}, h);
            });
          },
          py::arg("x"), py::arg("y"), py::arg("value"), py::arg("scheme"), py::arg("neighbours"),
          MORNAX_HOOK_ARGS)
      .def_static(
          "trend",
          [](const DoubleArray& x, const DoubleArray& y, const DoubleArray& value, int degree,
             py::object progress, py::object cancel, int threads) {
            const api::Points points = PointsOf(x, y, value, std::nullopt);
            return Prepare(progress, cancel, threads, [&](const api::Hooks& h) {
              return api::Predictor::Trend(points, {degree}, h);
            });
          },
          py::arg("x"), py::arg("y"), py::arg("value"), py::arg("degree"), MORNAX_HOOK_ARGS)
      .def_static(
          "kriging",
          [](const DoubleArray& x, const DoubleArray& y, const DoubleArray& value,
             const api::Variogram& variogram, int order, int neighbours, bool log,
             py::object progress, py::object cancel, int threads) {
            const api::Points points = PointsOf(x, y, value, std::nullopt);
            const api::KrigingParameters parameters{variogram, order, neighbours, log};
            return Prepare(progress, cancel, threads, [&](const api::Hooks& h) {
              return api::Predictor::Kriging(points, parameters, h);
            });
          },
          py::arg("x"), py::arg("y"), py::arg("value"), py::arg("variogram"), py::arg("order"),
          py::arg("neighbours"), py::arg("log"), MORNAX_HOOK_ARGS)
      .def_static(
          "bayes",
          [](const DoubleArray& x, const DoubleArray& y, const DoubleArray& value,
             const DoubleArray& guess, const api::Variogram& observation,
             const api::Variogram& guessVariogram, const api::KRho& kRho, int neighbours,
             int scaleGuess, bool log, py::object progress, py::object cancel, int threads) {
            const api::Points points = PointsOf(x, y, value, guess);
            api::BayesParameters parameters;
            parameters.observation = observation;
            parameters.guess = guessVariogram;
            parameters.kRho = kRho;
            parameters.neighbours = neighbours;
            parameters.scaleGuess = scaleGuess;
            parameters.logTransform = log;
            return Prepare(progress, cancel, threads, [&](const api::Hooks& h) {
              return api::Predictor::Bayes(points, parameters, h);
            });
          },
          py::arg("x"), py::arg("y"), py::arg("value"), py::arg("guess"), py::arg("observation"),
          py::arg("guess_variogram"), py::arg("krho"), py::arg("neighbours"),
          py::arg("scale_guess"), py::arg("log"), MORNAX_HOOK_ARGS)
      .def_property_readonly("preparation",
                             [](const api::Predictor& p) { return ReportDict(p.preparation()); })
      .def_property_readonly("ready", &api::Predictor::ready)
      .def_property_readonly("point_count", &api::Predictor::pointCount)
      .def_property_readonly("trend_fit",
                             [](const api::Predictor& p) -> py::object {
                               const api::TrendFit* fit = p.trendFit();
                               return fit ? py::object(TrendFitDict(*fit)) : py::none();
                             })
      .def("predict", &PredictCall, py::arg("x"), py::arg("y"), py::arg("guess") = py::none(),
           MORNAX_HOOK_ARGS)
      .def("analyse", &AnalyseCall, MORNAX_HOOK_ARGS);
}
