#include "project/fitted_model.h"

#include <string_view>

#include "api/mornax_arrays.h"
#include "project/text_scanner.h"

namespace mornax::project {
namespace {

constexpr int kModels = 6;
constexpr int kKRho = 6;

// The first five characters of each model name, as the report's third line
// gives them (blanks trimmed).
constexpr std::array<std::string_view, kModels> kModelTags = {"Polyn", "Sphe",  "Expon",
                                                              "Gaus",  "De Wi", "k_R"};

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int ModelOfTag(std::string_view tag) {
  for (int i = 0; i < kModels; ++i) {
    if (Trimmed(tag) == kModelTags[static_cast<std::size_t>(i)]) return i + 1;
  }
  return 0;
}

bool NumberAfter(const std::string& line, std::string_view mark, double& value) {
  const std::size_t at = line.find(mark);
  if (at == std::string::npos) return false;
  TextScanner scanner(line.substr(at + mark.size()));
  return scanner.ScanDouble(value);
}

std::vector<std::string> Lines(std::string text) {
  std::vector<std::string> lines;
  TextScanner scanner(std::move(text));
  std::string line;
  while (scanner.ReadLine(line)) lines.push_back(line);
  return lines;
}

// The header: status, model and B1-B3; false when a line is missing or does
// not say what it must.
bool ParseHeader(TextScanner& scanner, FitReport& report) {
  std::string status;
  std::string heading;
  std::array<std::string, 3> parameters;
  std::string title;
  const bool complete = scanner.ReadLine(title) && scanner.ReadLine(status) &&
                        scanner.ReadLine(report.modelLine) && scanner.ReadLine(heading) &&
                        scanner.ReadLine(parameters[0]) && scanner.ReadLine(parameters[1]) &&
                        scanner.ReadLine(parameters[2]);
  if (!complete) return false;
  FittedModel& read = report.fit;
  double icon = 0.0;
  read.iconRead = NumberAfter(status, "ICON=", icon);
  read.icon = static_cast<int>(icon);
  const std::string& line = report.modelLine;
  const std::size_t colon = line.find(':');
  read.model = colon != std::string::npos && colon > 0
                   ? ModelOfTag(std::string_view(line).substr(1, colon - 1))
                   : 0;
  for (std::size_t j = 0; read.model != 0 && j < 3; ++j) {
    const std::string tag = "B( " + std::to_string(j + 1) + ")";
    if (parameters[j].find(tag) == std::string::npos ||
        !NumberAfter(parameters[j], ")=", read.b[j])) {
      read.model = 0;
    }
  }
  return read.model != 0;
}

// A failed scan at the end of the text is a missing row, otherwise the text
// there is not a number.
FitTableStatus ScanFailure(TextScanner& scanner) {
  return scanner.AtEnd() ? FitTableStatus::kEndOfFile : FitTableStatus::kFormatError;
}

}  // namespace

FitTableStatus ParseFitReport(std::string text, FitReport& report) {
  report = FitReport{};
  TextScanner scanner(std::move(text));
  if (!ParseHeader(scanner, report)) report.fit = FittedModel{};
  int count = 0;
  if (!scanner.ScanInt(count)) return ScanFailure(scanner);
  scanner.SkipRestOfLine();
  if (count < 1) return FitTableStatus::kNoValues;
  for (int i = 0; i < count; ++i) {
    double distance = 0.0, observed = 0.0, model = 0.0, difference = 0.0;
    if (!scanner.ScanDouble(distance) || !scanner.ScanDouble(observed) ||
        !scanner.ScanDouble(model) || !scanner.ScanDouble(difference)) {
      return ScanFailure(scanner);
    }
    report.distance.push_back(distance);
    report.observed.push_back(observed);
    report.model.push_back(model);
    if (i == 0) report.fit.firstLag = distance;
  }
  return FitTableStatus::kOk;
}

FitReportStatus ReadFittedModel(const std::filesystem::path& solFile, FittedModel& fit) {
  std::string text;
  if (!ReadTextFile(solFile.string(), text)) return FitReportStatus::kMissing;
  FitReport report;
  ParseFitReport(std::move(text), report);
  if (report.fit.model == 0 || report.distance.empty()) return FitReportStatus::kMalformed;
  fit = report.fit;
  return FitReportStatus::kOk;
}

std::string ModelName(int model) {
  return api::ModelName(model);
}

const char* ParameterMeaning(int model, int parameter) {
  static constexpr const char* kMeanings[kModels][3] = {
      {"slope", "power", "C0, nugget"},
      {"C = sill - C0", "range a", "C0, nugget"},
      {"C = sill - C0", "range a", "C0, nugget"},
      {"C = sill - C0", "range a", "C0, nugget"},
      {"not used", "a, slope of ln h", "C0, nugget"},
      {"sigma", "k", "rho per lag"},
  };
  if (model < 1 || model > kModels || parameter < 1 || parameter > 3) return "";
  return kMeanings[model - 1][parameter - 1];
}

std::string FitStatusProblem(const FittedModel& fit) {
  if (!fit.iconRead) return "its status line (ICON) cannot be read";
  switch (fit.icon) {
    case 0:
    case -4:  // converged, with lambda still large
      return "";
    case -1:
      return "the fit stopped with ICON -1: no function improvement possible";
    case -2:
      return "the fit stopped with ICON -2: more unknowns than classes";
    default:
      break;
  }
  if (fit.icon > 0)
    return "the fit did not converge in 100 iterations (ICON " + std::to_string(fit.icon) + ")";
  return "the fit failed with ICON " + std::to_string(fit.icon);
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
    case kKRho:  // the fit measures distance in units of its first class
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

FitReportStatus ReadJointFittedModel(const std::filesystem::path& jfrFile, JointFittedModel& fit) {
  std::string text;
  if (!ReadTextFile(jfrFile.string(), text)) return FitReportStatus::kMissing;
  const std::vector<std::string> lines = Lines(std::move(text));
  if (lines.size() < 9 || lines[1].find("JOINT FIT OF") == std::string::npos) {
    return FitReportStatus::kMalformed;
  }
  JointFittedModel read;
  const std::size_t colon = lines[1].find(':');
  const std::string_view name = colon == std::string::npos
                                    ? std::string_view{}
                                    : Trimmed(std::string_view(lines[1]).substr(colon + 1));
  for (int model = 1; model <= kModels; ++model) {
    if (name == ModelName(model)) read.fit.model = model;
  }
  double icon = 0.0;
  read.fit.iconRead = NumberAfter(lines[2], "ICON=", icon);
  read.fit.icon = static_cast<int>(icon);
  bool found[5] = {};
  for (const std::string& line : lines) {
    for (int j = 0; j < 3; ++j) {
      const std::string mark = " B( " + std::to_string(j + 1) + ")=";
      if (line.starts_with(mark)) {
        found[j] = NumberAfter(line, mark, read.fit.b[static_cast<std::size_t>(j)]);
      }
    }
    if (line.starts_with(" ANGLE =")) found[3] = NumberAfter(line, "ANGLE =", read.angle);
    if (line.starts_with(" RATIO =")) found[4] = NumberAfter(line, "RATIO =", read.ratio);
  }
  for (const bool f : found) {
    if (!f) return FitReportStatus::kMalformed;
  }
  if (read.fit.model < 2 || read.fit.model > 4) return FitReportStatus::kMalformed;
  fit = read;
  return FitReportStatus::kOk;
}

void ApplyJointFill(const JointFittedModel& fit, Records& records) {
  ApplyFill(fit.fit, FillFromFit(fit.fit), records);
  records.terms.angle = static_cast<float>(fit.angle);
  records.terms.ratio = static_cast<float>(fit.ratio);
}

bool KrigingTakes(int model) {
  return model >= 1 && model < kKRho;
}

void ApplyFill(const FittedModel& fit, const SemivariogramFill& fill, Records& records) {
  IPL& ipl = records.ipl;
  if (KrigingTakes(fit.model)) ipl.krigModel = fit.model;
  ipl.bayesModel = fit.model;
  const auto set = [](float& field, const std::optional<float>& value) {
    if (value) field = *value;
  };
  set(ipl.sill, fill.sill);
  set(ipl.c, fill.c);
  set(ipl.a, fill.a);
  set(ipl.c0, fill.c0);
  set(ipl.sigma, fill.sigma);
  set(ipl.k, fill.k);
  set(ipl.rho, fill.rho);
  set(ipl.lagD, fill.lagD);
}

std::string KrigingMappingText() {
  return "Use fitted model takes B1-B3 of the fit report (.sol):\n"
         "Spherical, Exponential, Gauss: Sill = B1 + B3, C = B1, a = B2, C0 = B3.\n"
         "Polynomial: C = B1 (slope), a = B2 (power), C0 = B3; Sill is kept (it caps the "
         "model).\n"
         "de Wisjian: a = B2, C0 = B3; Sill and C are kept (not used).\n"
         "kRho cannot be used for kriging.";
}

std::string BayesMappingText() {
  return "Use fitted model takes B1-B3 of the fit report (.sol):\n"
         "Spherical, Exponential, Gauss: Observations Sill = B1 + B3, C = B1, a = B2, C0 = B3.\n"
         "Polynomial: C = B1 (slope), a = B2 (power), C0 = B3; Sill is kept (it caps the "
         "model).\n"
         "de Wisjian: a = B2, C0 = B3.\n"
         "kRho of de Waal: Sigma = B1, k = B2, Rho = B3, Lag D. = distance of the first lag.";
}

}  // namespace mornax::project
