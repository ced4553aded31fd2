// The program's side of the fitted model: the fit report read with the
// messages the program shows, and the mapping texts as Qt strings. The report
// reader and the mapping itself live in project/fitted_model.h.
#pragma once

#include <optional>
#include <string>

#include <QString>

#include "project/fitted_model.h"

namespace mornax::gui {

using project::FillFromFit;
using project::SemivariogramFill;

// The fitted model of `solFile`; empty with `error` set (worded for the
// program's menus) when the file is missing or not a fit report.
std::optional<project::FittedModel> ReadFittedModel(const std::string& solFile, QString& error);

QString ParameterMeaning(int model, int parameter);
QString KrigingMappingText();
QString BayesMappingText();

}  // namespace mornax::gui
