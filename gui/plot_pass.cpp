#include "gui/plot_pass.h"

#include <QPainter>

#include "gui/plot_geometry.h"
#include "gui/plot_painter.h"
#include "gui/plot_reader.h"
#include "gui/text_scanner.h"

namespace mornax::gui {

std::string PlotFileName(int displayMode, const project::FileSet& files) {
  if (displayMode <= kPlotNone) return {};
  if (displayMode == kPlotSemivariogram) return files[project::kFit];
  if (displayMode == kPlotFittedModel) return files[project::kSol];
  return files[project::kDfl];
}

PlotOutcome RunPlotPass(QPainter& painter, QSize device, bool /*printing*/, int displayMode,
                        const FILENAME& fileName, const project::FileSet& files) {
  if (displayMode <= kPlotNone) return {};
  if (fileName.nameLength == 0) {
    return {PlotCondition::kNoFileName, "New Document, Filename empty!"};
  }
  const std::string name = PlotFileName(displayMode, files);
  std::string text;
  if (!ReadTextFile(name, text)) return {PlotCondition::kFileMissing, "Data file not found!"};

  PlotData data;
  switch (ReadPlotData(std::move(text), displayMode, data)) {
    case PlotReadStatus::kOk:
      break;
    case PlotReadStatus::kNoValues:
      return {PlotCondition::kNoValues, "No Values in Data file!"};
    case PlotReadStatus::kEndOfFile:
      return {PlotCondition::kUnreadable,
              QString("End of File reached in input file : %1").arg(QString::fromStdString(name))};
    case PlotReadStatus::kFormatError:
      return {PlotCondition::kUnreadable,
              QString("Data format error in input file : %1").arg(QString::fromStdString(name))};
  }

  if (data.x.empty()) {
    // Every lag class is empty: say so on the plot instead of drawing axes
    // around nothing (the run has already shown why).
    painter.save();
    painter.setPen(Qt::black);
    painter.drawText(QRectF(QPointF(0, 0), device), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromStdString(data.title).trimmed() +
                         "\n\nNo lag class holds a pair of points: there is no semivariogram to "
                         "plot.");
    painter.restore();
    return {};
  }
  // Sizes follow the device's resolution, so screen, page and picture agree.
  const auto geometry = ComputePlotGeometry(displayMode, ComputeWorldRange(data, displayMode),
                                            device, DeviceUnitsPerPoint(painter));
  if (geometry) PaintPlot(painter, data, *geometry, displayMode);
  return {};
}

}  // namespace mornax::gui
