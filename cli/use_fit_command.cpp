#include "use_fit_command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document_commands.h"
#include "exit_status.h"
#include "io/file_lookup.h"
#include "project/fields.h"
#include "project/fitted_model.h"

namespace mornax::batch {
namespace {

// The fields a fill sets, by name, in the order `show` lists them.
std::vector<std::string_view> FieldsSet(const project::FittedModel& fit,
                                        const project::SemivariogramFill& fill) {
  std::vector<std::string_view> names;
  if (project::KrigingTakes(fit.model)) names.push_back("krigModel");
  names.push_back("bayesModel");
  const std::pair<std::string_view, const std::optional<float>*> values[] = {
      {"sill", &fill.sill},   {"a", &fill.a}, {"c", &fill.c},     {"c0", &fill.c0},
      {"sigma", &fill.sigma}, {"k", &fill.k}, {"rho", &fill.rho}, {"lagD", &fill.lagD}};
  for (const auto& [name, value] : values) {
    if (value->has_value()) names.push_back(name);
  }
  return names;
}

// The fit parameter a field takes its value from, for messages.
std::string_view SourceOf(std::string_view field) {
  if (field == "sill") return "B1 + B3";
  if (field == "c" || field == "sigma") return "B1";
  if (field == "a" || field == "k") return "B2";
  if (field == "c0" || field == "rho") return "B3";
  return "the first class distance";
}

void Refused(const std::string& message) {
  ReportError(message + "; the document is unchanged");
}

// use-fit --joint: the joint fit's report (.jfr) into the document.
int UseJointFit(const Invocation& invocation) {
  const std::filesystem::path path(invocation.project);
  project::Records records;
  std::string error;
  if (!ReadDocument(invocation.project, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  const std::string jfrName = path.stem().string() + ".jfr";
  project::JointFittedModel fit;
  const auto status =
      project::ReadJointFittedModel(io::ResolveProjectFile(path.parent_path(), jfrName), fit);
  if (status != project::FitReportStatus::kOk) {
    Refused(jfrName +
            (status == project::FitReportStatus::kMissing ? " not found"
                                                          : " is not a joint fit report") +
            ": fit the directions first (mornax-batch directions " + invocation.project +
            " --fit MODEL)");
    return kExitMessageShown;
  }
  if (const std::string problem = project::FitStatusProblem(fit.fit); !problem.empty()) {
    Refused(jfrName + " holds no usable fit: " + problem);
    return kExitMessageShown;
  }
  project::Records changed = records;
  project::ApplyJointFill(fit, changed);
  for (const std::string_view name : {"sill", "a", "c", "c0", "angle", "ratio"}) {
    std::string range;
    if (!project::FieldInRange(changed, *project::FindField(name), range)) {
      Refused("the joint fit gives " + range);
      return kExitMessageShown;
    }
  }
  if (!project::WriteDocumentFile(path, changed, error)) {
    ReportError(error);
    return kExitUsage;
  }
  std::printf("%s model of %s:\n", project::ModelName(fit.fit.model).c_str(), jfrName.c_str());
  for (const std::string_view name :
       {"krigModel", "bayesModel", "sill", "a", "c", "c0", "angle", "ratio"}) {
    std::printf("%s = %s\n", std::string(name).c_str(),
                project::FieldValue(changed, *project::FindField(name)).c_str());
  }
  return kExitSuccess;
}

}  // namespace

int UseFittedModel(const Invocation& invocation) {
  if (invocation.joint) return UseJointFit(invocation);
  const std::filesystem::path path(invocation.project);
  project::Records records;
  project::FileSet files;
  std::string error;
  if (!ReadDocument(invocation.project, records, error) ||
      !project::SetFileNames(path.filename().string(), records.fileName, files, error)) {
    ReportError(error);
    return kExitUsage;
  }
  const std::string solName = files[project::kSol];
  const std::string refit = "mornax-batch run " + invocation.project + " fit";
  project::FittedModel fit;
  switch (project::ReadFittedModel(io::ResolveProjectFile(path.parent_path(), solName), fit)) {
    case project::FitReportStatus::kOk:
      break;
    case project::FitReportStatus::kMissing:
      Refused(solName + " not found: fit a model first (" + refit + ")");
      return kExitMessageShown;
    case project::FitReportStatus::kMalformed:
      Refused(solName + " is not a fit report: run the fit again (" + refit + ")");
      return kExitMessageShown;
  }
  if (const std::string problem = project::FitStatusProblem(fit); !problem.empty()) {
    Refused(solName + " holds no usable fit: " + problem + ". Look at the semivariogram (" +
            files[project::kVar] +
            "), choose another model or other starting values and bounds, and run " + refit +
            " again");
    return kExitMessageShown;
  }
  const project::SemivariogramFill fill = project::FillFromFit(fit);
  if (!project::KrigingTakes(fit.model)) {
    Refused(
        "the fitted model is k_Rho, which kriging cannot take; Bayesian estimation can: "
        "mornax-batch set " +
        invocation.project + " bayesModel=6 sigma=" + std::to_string(*fill.sigma) +
        " k=" + std::to_string(*fill.k) + " rho=" + std::to_string(*fill.rho) +
        " lagD=" + std::to_string(*fill.lagD));
    return kExitMessageShown;
  }

  project::Records changed = records;
  project::ApplyFill(fit, fill, changed);
  const std::vector<std::string_view> names = FieldsSet(fit, fill);
  for (const std::string_view name : names) {
    const project::FieldInfo* field = project::FindField(name);
    std::string range;
    if (field != nullptr && !project::FieldInRange(changed, *field, range)) {
      Refused("the fitted " + project::ModelName(fit.model) + " model gives " + std::string(name) +
              " = " + std::string(SourceOf(name)) + " out of its range (" + range +
              "); narrow the bounds of the fit (minimum1-3, maximum1-3) and run " + refit +
              " again");
      return kExitMessageShown;
    }
  }
  if (!project::WriteDocumentFile(path, changed, error)) {
    ReportError(error);
    return kExitUsage;
  }
  std::printf("%s model of %s:\n", project::ModelName(fit.model).c_str(), solName.c_str());
  for (const std::string_view name : names) {
    std::printf("%s = %s\n", std::string(name).c_str(),
                project::FieldValue(changed, *project::FindField(name)).c_str());
  }
  return kExitSuccess;
}

}  // namespace mornax::batch
