#include "numpy_io.h"

#include <memory>
#include <utility>

namespace mornax::python {
namespace {

template <typename T>
py::array_t<T> Adopt(std::vector<T>&& values) {
  auto owner = std::make_unique<std::vector<T>>(std::move(values));
  std::vector<T>& held = *owner;
  py::capsule capsule(owner.get(), [](void* p) {
    std::unique_ptr<std::vector<T>>(static_cast<std::vector<T>*>(p));
  });
  owner.release();
  return py::array_t<T>(static_cast<py::ssize_t>(held.size()), held.data(), capsule);
}

}  // namespace

std::span<const double> Values(const DoubleArray& array, const char* name) {
  if (array.ndim() != 1) {
    throw py::value_error(std::string(name) + " must be one-dimensional, not of " +
                          std::to_string(array.ndim()) + " dimensions");
  }
  return {array.data(), static_cast<std::size_t>(array.size())};
}

std::span<const double> OptionalValues(const std::optional<DoubleArray>& array, const char* name) {
  return array ? Values(*array, name) : std::span<const double>{};
}

py::array_t<double> Owned(std::vector<double>&& values) {
  return Adopt(std::move(values));
}

py::array_t<std::int64_t> Owned(std::vector<std::int64_t>&& values) {
  return Adopt(std::move(values));
}

py::array_t<std::uint8_t> StatusArray(const std::vector<api::PointStatus>& status) {
  py::array_t<std::uint8_t> array(static_cast<py::ssize_t>(status.size()));
  auto* out = array.mutable_data();
  for (std::size_t i = 0; i < status.size(); ++i) out[i] = static_cast<std::uint8_t>(status[i]);
  return array;
}

py::dict ReportDict(const api::Report& report) {
  py::list messages;
  for (const api::Message& message : report.messages) {
    messages.append(py::make_tuple(static_cast<int>(message.code), message.text));
  }
  py::dict dict;
  dict["outcome"] = static_cast<int>(report.outcome);
  dict["messages"] = messages;
  dict["merged"] = report.counts.mergedPairs;
  dict["singular"] = report.counts.singularPoints;
  dict["non_finite"] = report.counts.nonFinitePoints;
  return dict;
}

py::dict NodeResultsDict(api::NodeResults&& results) {
  py::dict dict;
  dict["report"] = ReportDict(results.report);
  dict["estimate"] = Owned(std::move(results.estimate));
  dict["standard_error"] = Owned(std::move(results.standardError));
  dict["guess"] = Owned(std::move(results.guess));
  dict["last_neighbour_distance"] = Owned(std::move(results.lastNeighbourDistance));
  dict["status"] = StatusArray(results.status);
  return dict;
}

py::dict AnalysisResultsDict(api::AnalysisResults&& results) {
  const api::ErrorStatistics s = results.statistics;
  std::vector<double> residual = std::move(results.residual);
  py::dict dict = NodeResultsDict(std::move(results));
  dict["residual"] = Owned(std::move(residual));
  py::dict statistics;
  statistics["count"] = s.count;
  statistics["average"] = s.average;
  statistics["root_mean_square"] = s.rootMeanSquare;
  statistics["greatest"] = s.greatest;
  statistics["mean_absolute"] = s.meanAbsolute;
  statistics["standard_error"] = s.standardError;
  dict["statistics"] = statistics;
  return dict;
}

}  // namespace mornax::python
