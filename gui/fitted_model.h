// The fitted semivariogram model of a project, read back from its fit report
// (.sol), and how its parameters B1-B3 map onto the fields of the kriging and
// Bayes dialogs.
#pragma once

#include <optional>
#include <string>

#include <QString>

namespace mornax::gui {

struct FittedModel {
  int model = 0;        // 1 Polynomial ... 6 k_Rho
  double b[3] = {};     // B1, B2, B3 as the fit left them
  double firstLag = 0;  // distance of the first fitted class (k_Rho's lag unit)
};

// Reads the report: the model from the name on its third line, B1-B3 from
// the "B( j)=" lines and the first class distance from the first table row.
// Empty with `error` set when the file is missing or not a fit report.
std::optional<FittedModel> ReadFittedModel(const std::string& solFile, QString& error);

// The parameter meaning of B1-B3 for a model, as the fit dialog labels them.
QString ParameterMeaning(int model, int parameter);

// The semivariogram fields of the kriging and Bayes dialogs. The fill says
// which of them the fitted model sets; the others keep their values.
struct SemivariogramFill {
  std::optional<float> sill, c, a, c0;
  std::optional<float> sigma, k, rho, lagD;
};
SemivariogramFill FillFromFit(const FittedModel& fit);

// The mapping, stated beside the fields of the dialogs.
QString KrigingMappingText();
QString BayesMappingText();

}  // namespace mornax::gui
