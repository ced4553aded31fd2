#include "gui/plot_painter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace mornax::gui {
namespace {

constexpr int kPrintPenWidth = 3;
constexpr int kModelPenWidth = 2;
constexpr int kRangeFontPoints = 8;

// Texts are placed by their top-left corner.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
  painter.drawText(QPoint(x, y + QFontMetrics(painter.font(), painter.device()).ascent()), text);
}

void DrawMarker(QPainter& painter, QPoint at, int halfSize) {
  painter.drawRect(QRect(at.x() - halfSize, at.y() - halfSize, 2 * halfSize, 2 * halfSize));
}

QString RangeValue(double value) {
  return QString::asprintf("%.1f", value);
}

}  // namespace

void PaintPlot(QPainter& painter, const PlotData& data, const PlotGeometry& geometry, int kind,
               bool printing) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(Qt::black, printing ? kPrintPenWidth : 0, Qt::SolidLine));
  painter.setBrush(Qt::white);

  const WorldRange& r = geometry.range;
  const QPoint low = geometry.ToDevice(r.xMin, r.yMin);
  const QPoint high = geometry.ToDevice(r.xMax, r.yMax);
  const int x0 = low.x(), y0 = low.y(), x1 = high.x(), y1 = high.y();

  painter.drawLine(x0, y0, x0, y1);
  painter.drawLine(x0, y0, x1, y0);

  const bool map = kind >= kPlotDataMap;
  DrawTextAt(painter, x0 + (x1 - x0) / 6, geometry.yMargin, QString::fromUtf8(data.title));
  DrawTextAt(painter, x0 + (x1 - x0) / 2, y0 + geometry.yMargin / 2, map ? "X" : "Lag Distance");
  DrawTextAt(painter, x0 / 2, y1 + (y0 - y1) / 2, map ? "Y" : "S");

  const QFont previous = painter.font();
  QFont rangeFont("Times New Roman", kRangeFontPoints);
  rangeFont.setStyleHint(QFont::Serif);
  painter.setFont(rangeFont);
  DrawTextAt(painter, x0 / 2, y0 - 10, RangeValue(r.yMin));
  DrawTextAt(painter, x0 / 2, y1, RangeValue(r.yMax));
  DrawTextAt(painter, x0, y0 + 5, RangeValue(r.xMin));
  DrawTextAt(painter, x1, y0 + 5, RangeValue(r.xMax));
  painter.setFont(previous);

  const int pointMarker = map ? kDataMarker : kSmallMarker;
  for (std::size_t i = 0; i < data.x.size(); ++i) {
    DrawMarker(painter, geometry.ToDevice(data.x[i], data.y[i]), pointMarker);
  }
  if (kind == kPlotFittedModel && !data.model.empty()) {
    QPolygon line;
    for (std::size_t i = 0; i < data.x.size() && i < data.model.size(); ++i) {
      line << geometry.ToDevice(data.x[i], data.model[i]);
    }
    const QPen pen = painter.pen();
    painter.setPen(QPen(Qt::black, kModelPenWidth, Qt::SolidLine));
    painter.drawPolyline(line);
    painter.setPen(pen);
  }
  if (map) {
    for (std::size_t i = 0; i < data.nodeX.size(); ++i) {
      DrawMarker(painter, geometry.ToDevice(data.nodeX[i], data.nodeY[i]), kSmallMarker);
    }
  }
  painter.restore();
}

}  // namespace mornax::gui
