// Arrays and reports between numpy and the engine: input arrays are read in
// place (one-dimensional, float64, contiguous), results handed over without
// a copy, reports as plain dictionaries.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"

namespace mornax::python {

namespace py = pybind11;

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The array's values; ValueError unless it is one-dimensional.
std::span<const double> Values(const DoubleArray& array, const char* name);
// The same for an optional array (None: empty).
std::span<const double> OptionalValues(const std::optional<DoubleArray>& array, const char* name);

// The vector's contents as a numpy array that owns them.
py::array_t<double> Owned(std::vector<double>&& values);
py::array_t<std::int64_t> Owned(std::vector<std::int64_t>&& values);
py::array_t<std::uint8_t> StatusArray(const std::vector<api::PointStatus>& status);

// {"outcome": int, "messages": [(code, text)], "merged", "singular", "non_finite"}
py::dict ReportDict(const api::Report& report);
// The report and the per-node arrays (estimate, standard_error, guess,
// last_neighbour_distance, status); for an analysis also residual and
// statistics.
py::dict NodeResultsDict(api::NodeResults&& results);
py::dict AnalysisResultsDict(api::AnalysisResults&& results);

}  // namespace mornax::python
