// The fitted semivariogram model of a project, read back from its fit report
// (.sol), and the one mapping of its parameters B1-B3 onto the semivariogram
// fields of kriging and Bayesian estimation, shared by the program's "Use
// fitted model" buttons and the batch tool's use-fit.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "project/project.h"

namespace mornax::project {

struct FittedModel {
  int model = 0;              // 1 Polynomial ... 6 k_Rho
  std::array<double, 3> b{};  // B1, B2, B3 as the fit left them
  double firstLag = 0.0;      // distance of the first fitted class (k_Rho's lag unit)
  int icon = 0;               // the fit's status (ICON) on line 2
  bool iconRead = false;      // line 2 gave the status
};

enum class FitReportStatus { kOk, kMissing, kMalformed };

// A whole fit report as its text holds it: the model line (line 3), the model
// and B1-B3 (model 0 when the header names none), and the table of the
// fitted classes.
struct FitReport {
  std::string modelLine;
  FittedModel fit;
  std::vector<double> distance, observed, model;  // per class, in the table's order
};

enum class FitTableStatus {
  kOk,
  kNoValues,     // a class count below 1
  kEndOfFile,    // fewer rows than the count announced
  kFormatError,  // a count or row that is not a number
};

// Parses the report's text: the header by its lines, the count and the rows
// (distance, observed, model, difference) as numbers that may flow across
// lines. The rows read before a failure are kept.
FitTableStatus ParseFitReport(std::string text, FitReport& report);

// Reads the report (ParseFitReport): the status from line 2, the model from
// the name on line 3, B1-B3 from the "B( j)=" lines and the first class
// distance from the first table row. A missing file or a file that is no fit
// report gives its status and no model.
FitReportStatus ReadFittedModel(const std::filesystem::path& solFile, FittedModel& fit);

// The joint fit's report (.jfr): the model from line 2 (after the colon),
// the status (ICON=), B1-B3 and the anisotropy (ANGLE =, RATIO =).
struct JointFittedModel {
  FittedModel fit;
  double angle = 0.0;
  double ratio = 1.0;
};
FitReportStatus ReadJointFittedModel(const std::filesystem::path& jfrFile, JointFittedModel& fit);

// A joint fit into the records: ApplyFill of its model and B, and its angle
// and ratio as the model terms (further structures are kept).
void ApplyJointFill(const JointFittedModel& fit, Records& records);

// The display name of a model number: "Spherical", ...; "" for any other.
std::string ModelName(int model);

// What B1-B3 mean in a model, as the fit dialog labels them ("C = sill - C0",
// "range a", ...); "" outside models 1-6 and parameters 1-3.
const char* ParameterMeaning(int model, int parameter);

// Why the fit's status makes it unusable ("" when it converged: ICON 0, or
// -4, converged with lambda still large).
std::string FitStatusProblem(const FittedModel& fit);

// The semivariogram fields of kriging and Bayesian estimation. The fill says
// which of them the fitted model sets; the others keep their values.
struct SemivariogramFill {
  std::optional<float> sill, c, a, c0;
  std::optional<float> sigma, k, rho, lagD;
};
SemivariogramFill FillFromFit(const FittedModel& fit);

// Kriging takes models 1-5; k_Rho is for Bayesian estimation only.
bool KrigingTakes(int model);

// The fields of `records` a fill sets: krigModel (when kriging takes the
// model), bayesModel and the semivariogram fields the fill holds.
void ApplyFill(const FittedModel& fit, const SemivariogramFill& fill, Records& records);

// The mapping in words, as the dialogs state it beside their fields.
std::string KrigingMappingText();
std::string BayesMappingText();

}  // namespace mornax::project
