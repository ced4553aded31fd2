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

// The joint fit of the directions in `jfrFile` (BASE.jfr); empty with
// `error` set when the file is missing, is not a joint fit report or holds no
// usable fit (as use-fit --joint refuses it).
std::optional<project::JointFittedModel> ReadJointFittedModel(const std::string& jfrFile,
                                                              QString& error);

QString ParameterMeaning(int model, int parameter);
QString KrigingMappingText();
QString BayesMappingText();

}  // namespace mornax::gui
