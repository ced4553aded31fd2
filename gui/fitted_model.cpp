#include "gui/fitted_model.h"

#include <QFileInfo>
#include <QStringList>

#include "gui/text_scanner.h"

namespace mornax::gui {
namespace {

// The first five characters of each model name, as the report's third line
// gives them (blanks trimmed).
constexpr const char* kModelTags[] = {"Polyn", "Sphe", "Expon", "Gaus", "De Wi", "k_R"};

int ModelOfTag(const QString& tag) {
  for (int i = 0; i < 6; ++i) {
    if (tag.trimmed() == QLatin1String(kModelTags[i])) return i + 1;
  }
  return 0;
}

bool ParseDouble(const QString& text, double& value) {
  bool ok = false;
  value = text.trimmed().toDouble(&ok);
  return ok;
}

}  // namespace

std::optional<FittedModel> ReadFittedModel(const std::string& solFile, QString& error) {
  const QString name = QString::fromStdString(solFile);
  std::string text;
  if (!ReadTextFile(solFile, text)) {
    error = QString("%1 not found: fit a model first (Semi_variogram > Fitting).").arg(name);
    return std::nullopt;
  }
  const QStringList lines = QString::fromStdString(text).split('\n');
  FittedModel fit;
  bool ok = lines.size() >= 9;
  if (ok) {
    const QString third = lines[2];
    const qsizetype colon = third.indexOf(':');
    fit.model = colon > 0 ? ModelOfTag(third.mid(1, colon - 1)) : 0;
    ok = fit.model != 0;
  }
  for (int j = 0; ok && j < 3; ++j) {
    const QString& line = lines[4 + j];
    const qsizetype mark = line.indexOf(")=");
    ok = line.contains(QString("B(%1)").arg(j + 1, 2)) && mark > 0 &&
         ParseDouble(line.mid(mark + 2), fit.b[j]);
  }
  if (ok) {
    const QStringList row = lines[8].split(' ', Qt::SkipEmptyParts);
    ok = !row.isEmpty() && ParseDouble(row[0], fit.firstLag);
  }
  if (!ok) {
    error = QString("%1 is not a fit report: run Semi_variogram > Fitting again.").arg(name);
    return std::nullopt;
  }
  return fit;
}

QString ParameterMeaning(int model, int parameter) {
  static const char* const kMeanings[6][3] = {
      {"slope", "power", "C0, nugget"},
      {"C = sill - C0", "range a", "C0, nugget"},
      {"C = sill - C0", "range a", "C0, nugget"},
      {"C = sill - C0", "range a", "C0, nugget"},
      {"not used", "a, slope of ln h", "C0, nugget"},
      {"sigma", "k", "rho per lag"},
  };
  if (model < 1 || model > 6 || parameter < 1 || parameter > 3) return {};
  return kMeanings[model - 1][parameter - 1];
}

SemivariogramFill FillFromFit(const FittedModel& fit) {
  const auto f = [](double value) { return static_cast<float>(value); };
  SemivariogramFill fill;
  switch (fit.model) {
    case 1:  // C·h^a + C0, capped at the sill: the cap is no fit result
      fill.c = f(fit.b[0]);
      fill.a = f(fit.b[1]);
      fill.c0 = f(fit.b[2]);
      break;
    case 2:
    case 3:
    case 4:
      fill.sill = f(fit.b[0] + fit.b[2]);
      fill.c = f(fit.b[0]);
      fill.a = f(fit.b[1]);
      fill.c0 = f(fit.b[2]);
      break;
    case 5:  // a·ln h + C0
      fill.a = f(fit.b[1]);
      fill.c0 = f(fit.b[2]);
      break;
    case 6:  // the fit measures distance in units of its first class
      fill.sigma = f(fit.b[0]);
      fill.k = f(fit.b[1]);
      fill.rho = f(fit.b[2]);
      fill.lagD = f(fit.firstLag);
      break;
    default:
      break;
  }
  return fill;
}

QString KrigingMappingText() {
  return "Use fitted model takes B1-B3 of the fit report (.sol):\n"
         "Spherical, Exponential, Gauss: Sill = B1 + B3, C = B1, a = B2, C0 = B3.\n"
         "Polynomial: C = B1 (slope), a = B2 (power), C0 = B3; Sill is kept (it caps the "
         "model).\n"
         "de Wisjian: a = B2, C0 = B3; Sill and C are kept (not used).\n"
         "kRho cannot be used for kriging.";
}

QString BayesMappingText() {
  return "Use fitted model takes B1-B3 of the fit report (.sol):\n"
         "Spherical, Exponential, Gauss: Observations Sill = B1 + B3, C = B1, a = B2, C0 = B3.\n"
         "Polynomial: C = B1 (slope), a = B2 (power), C0 = B3; Sill is kept (it caps the "
         "model).\n"
         "de Wisjian: a = B2, C0 = B3.\n"
         "kRho of de Waal: Sigma = B1, k = B2, Rho = B3, Lag D. = distance of the first lag.";
}

}  // namespace mornax::gui
