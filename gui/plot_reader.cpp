#include "gui/plot_reader.h"

#include "gui/text_scanner.h"
#include "project/fitted_model.h"

namespace mornax::gui {
namespace {

// A failed scan at the end of the text is a missing record, otherwise the
// text there is not a number.
PlotReadStatus ScanFailure(TextScanner& scanner) {
  return scanner.AtEnd() ? PlotReadStatus::kEndOfFile : PlotReadStatus::kFormatError;
}

bool ReadCount(TextScanner& scanner, int& count) {
  if (!scanner.ScanInt(count)) return false;
  scanner.SkipRestOfLine();
  return true;
}

// The fit report, read by the project's one reader of it. The title is the
// report's model line.
PlotReadStatus ReadFitReport(std::string text, PlotData& data) {
  project::FitReport report;
  const project::FitTableStatus status = project::ParseFitReport(std::move(text), report);
  data.title = report.modelLine;
  switch (status) {
    case project::FitTableStatus::kOk:
      break;
    case project::FitTableStatus::kNoValues:
      return PlotReadStatus::kNoValues;
    case project::FitTableStatus::kEndOfFile:
      return PlotReadStatus::kEndOfFile;
    case project::FitTableStatus::kFormatError:
      return PlotReadStatus::kFormatError;
  }
  data.x = std::move(report.distance);
  data.y = std::move(report.observed);
  data.model = std::move(report.model);
  // k_Rho was fitted on distances in units of the first lag.
  data.fitted = {report.fit.model, report.fit.b, report.fit.firstLag};
  return PlotReadStatus::kOk;
}

}  // namespace

PlotReadStatus ReadPlotData(std::string text, int kind, PlotData& data) {
  data = PlotData{};
  if (kind == kPlotFittedModel) return ReadFitReport(std::move(text), data);
  TextScanner scanner(std::move(text));
  scanner.ReadLine(data.title);

  int count = 0;
  if (!ReadCount(scanner, count)) return ScanFailure(scanner);
  if (count < 1) return PlotReadStatus::kNoValues;

  for (int i = 0; i < count; ++i) {
    double x = 0.0;
    double y = 0.0;
    if (!scanner.ScanDouble(x) || !scanner.ScanDouble(y)) return ScanFailure(scanner);
    if (kind >= kPlotDataMap) {
      scanner.SkipRestOfLine();
    }
    // A lag class without pairs is written as distance 0, semivariance 0:
    // there is nothing to plot for it.
    if (kind == kPlotSemivariogram && x == 0.0 && y == 0.0) continue;
    data.x.push_back(x);
    data.y.push_back(y);
  }
  if (kind < kPlotDataMap) return PlotReadStatus::kOk;

  // A data file without a network section still maps its data points.
  if (scanner.AtEnd()) return PlotReadStatus::kOk;
  int nodes = 0;
  if (!ReadCount(scanner, nodes)) return PlotReadStatus::kFormatError;
  for (int i = 0; i < nodes; ++i) {
    double x = 0.0;
    double y = 0.0;
    if (!scanner.ScanDouble(x) || !scanner.ScanDouble(y)) return ScanFailure(scanner);
    scanner.SkipRestOfLine();
    data.nodeX.push_back(x);
    data.nodeY.push_back(y);
  }
  return PlotReadStatus::kOk;
}

}  // namespace mornax::gui
