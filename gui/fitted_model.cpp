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
