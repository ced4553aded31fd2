#include "gui/fitted_model.h"

namespace mornax::gui {

std::optional<project::FittedModel> ReadFittedModel(const std::string& solFile, QString& error) {
  const QString name = QString::fromStdString(solFile);
  project::FittedModel fit;
  switch (project::ReadFittedModel(solFile, fit)) {
    case project::FitReportStatus::kOk:
      return fit;
    case project::FitReportStatus::kMissing:
      error = QString("%1 not found: fit a model first (Semi_variogram > Fitting).").arg(name);
      break;
    case project::FitReportStatus::kMalformed:
      error = QString("%1 is not a fit report: run Semi_variogram > Fitting again.").arg(name);
      break;
  }
  return std::nullopt;
}

std::optional<project::JointFittedModel> ReadJointFittedModel(const std::string& jfrFile,
                                                              QString& error) {
  const QString name = QString::fromStdString(jfrFile);
  project::JointFittedModel fit;
  switch (project::ReadJointFittedModel(jfrFile, fit)) {
    case project::FitReportStatus::kOk:
      if (const std::string problem = project::FitStatusProblem(fit.fit); !problem.empty()) {
        error = QString("%1 holds no usable fit: %2").arg(name, QString::fromStdString(problem));
        return std::nullopt;
      }
      return fit;
    case project::FitReportStatus::kMissing:
      error = QString(
                  "%1 not found: fit the directions first (Semi_variogram > Directions and "
                  "Variogram Map, with a joint fit).")
                  .arg(name);
      break;
    case project::FitReportStatus::kMalformed:
      error = QString("%1 is not a joint fit report: fit the directions again.").arg(name);
      break;
  }
  return std::nullopt;
}

QString ParameterMeaning(int model, int parameter) {
  return QString::fromLatin1(project::ParameterMeaning(model, parameter));
}

QString KrigingMappingText() {
  return QString::fromStdString(project::KrigingMappingText());
}

QString BayesMappingText() {
  return QString::fromStdString(project::BayesMappingText());
}

}  // namespace mornax::gui
