#include "gui/plot_reader.h"

#include "gui/text_scanner.h"

namespace mornax::gui {
namespace {

// The parameter value of a report line "          B( 1)=   50.000000".
bool ParameterValue(const std::string& line, double& value) {
  const std::size_t equals = line.find(")=");
  if (equals == std::string::npos) return false;
  TextScanner scanner(line.substr(equals + 2));
  return scanner.ScanDouble(value);
}

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

}  // namespace

PlotReadStatus ReadPlotData(std::string text, int kind, PlotData& data) {
  TextScanner scanner(std::move(text));
  data = PlotData{};
  std::string line;
  scanner.ReadLine(data.title);
  if (kind == kPlotFittedModel) {
    // The title of the fitted model is the report's model line, its third.
    scanner.ReadLine(line);
    scanner.ReadLine(data.title);
    data.fitted.model = ModelFromReportLine(data.title);
    scanner.ReadLine(line);  // the heading of the parameter lines
    for (double& b : data.fitted.b) {
      scanner.ReadLine(line);
      if (!ParameterValue(line, b)) data.fitted.model = 0;
    }
  }

  int count = 0;
  if (!ReadCount(scanner, count)) return ScanFailure(scanner);
  if (count < 1) return PlotReadStatus::kNoValues;

  for (int i = 0; i < count; ++i) {
    double x = 0.0;
    double y = 0.0;
    if (!scanner.ScanDouble(x) || !scanner.ScanDouble(y)) return ScanFailure(scanner);
    if (kind == kPlotFittedModel) {
      double model = 0.0;
      double difference = 0.0;
      if (!scanner.ScanDouble(model) || !scanner.ScanDouble(difference)) {
        return ScanFailure(scanner);
      }
      data.model.push_back(model);
    } else if (kind >= kPlotDataMap) {
      scanner.SkipRestOfLine();
    }
    // A lag class without pairs is written as distance 0, semivariance 0:
    // there is nothing to plot for it.
    if (kind == kPlotSemivariogram && x == 0.0 && y == 0.0) continue;
    data.x.push_back(x);
    data.y.push_back(y);
  }
  // k_Rho was fitted on distances in units of the first lag.
  if (kind == kPlotFittedModel) data.fitted.lagScale = data.x.front();
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
