#include "gui/plot_painter.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>

#include "api/mornax_arrays.h"
#include "gui/plot_labels.h"
#include "gui/plot_model.h"
#include "gui/render/nice_ticks.h"

namespace mornax::gui {
namespace {

// Sizes in points.
constexpr double kLinePoints = 0.75;
constexpr double kModelLinePoints = 1.5;
constexpr double kCurvePoints = 1.0;
constexpr double kTitlePoints = 10.0;
constexpr double kLabelPoints = 9.0;
constexpr double kRangePoints = 8.0;
constexpr double kTickPoints = 4.0;
constexpr double kGapPoints = 3.0;
constexpr double kTickSpacingPoints = 60.0;  // about one tick per this length
constexpr double kPairPoints = 7.0;
const QColor kCurveColour(190, 30, 45);
const QColor kPairColour(70, 90, 150);

QFont PlotFont(double points, bool bold = false) {
  QFont font("Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFont RangeFont() {
  QFont font("Times New Roman");
  font.setStyleHint(QFont::Serif);
  font.setPointSizeF(kRangePoints);
  return font;
}

void DrawMarker(QPainter& painter, QPoint at, int halfSize) {
  painter.drawRect(QRect(at.x() - halfSize, at.y() - halfSize, 2 * halfSize, 2 * halfSize));
}

QString RangeValue(double value) {
  return QString::asprintf("%.1f", value);
}

// Tick marks and labels between the range values, where they do not
// crowd them.
void DrawTicks(QPainter& painter, const PlotGeometry& g, LabelPlacer& labels, QPoint origin,
               QPoint far) {
  const WorldRange& r = g.range;
  const double tick = kTickPoints * g.unit;
  const double gap = kGapPoints * g.unit;
  const int xCount =
      std::max(1, static_cast<int>((far.x() - origin.x()) / (kTickSpacingPoints * g.unit)));
  const int yCount =
      std::max(1, static_cast<int>((origin.y() - far.y()) / (kTickSpacingPoints * g.unit)));
  const double xStep = render::NiceStep(r.xMin, r.xMax, xCount);
  for (double v : render::NiceTicks(r.xMin, r.xMax, xCount)) {
    const int x = g.ToDevice(v, r.yMin).x();
    painter.drawLine(QPointF(x, origin.y()), QPointF(x, origin.y() + tick));
    labels.Draw(painter, QPointF(x, origin.y() + tick + gap), Qt::AlignHCenter | Qt::AlignTop,
                render::TickLabel(v, xStep), true);
  }
  const double yStep = render::NiceStep(r.yMin, r.yMax, yCount);
  for (double v : render::NiceTicks(r.yMin, r.yMax, yCount)) {
    const int y = g.ToDevice(r.xMin, v).y();
    painter.drawLine(QPointF(origin.x() - tick, y), QPointF(origin.x(), y));
    labels.Draw(painter, QPointF(origin.x() - tick - gap, y), Qt::AlignRight | Qt::AlignVCenter,
                render::TickLabel(v, yStep), true);
  }
}

QPolygon DevicePolyline(const PlotGeometry& g, const std::vector<double>& x,
                        const std::vector<double>& y) {
  QPolygon line;
  for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) line << g.ToDevice(x[i], y[i]);
  return line;
}

void DrawLegend(QPainter& painter, const PlotData& data, const PlotGeometry& g, LabelPlacer& labels,
                int markerHalf) {
  const double unit = g.unit;
  painter.setFont(PlotFont(kRangePoints));
  const QFontMetricsF metrics(painter.font(), painter.device());
  const QString curveText =
      data.curveLabel.empty() ? QString("fitted %1 model")
                                    .arg(QString::fromStdString(api::ModelName(data.fitted.model)))
                              : QString::fromStdString(data.curveLabel);
  const QStringList texts = {"observed", "model at the lags", curveText};
  const bool withCurve = data.fitted.model != 0;
  const int rows = withCurve ? 3 : 2;
  double width = 0.0;
  for (int i = 0; i < rows; ++i) width = std::max(width, metrics.horizontalAdvance(texts[i]));
  const double sample = 18 * unit;
  const double pad = 4 * unit;
  const double line = metrics.lineSpacing();
  const QRectF box(g.xMargin + 8 * unit, g.yMargin + 4 * unit, pad * 3 + sample + width,
                   pad * 2 + line * rows);
  painter.save();
  painter.setPen(QPen(Qt::gray, kLinePoints * unit));
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawRect(box);
  for (int i = 0; i < rows; ++i) {
    const double y = box.top() + pad + line * (i + 0.5);
    const double x0 = box.left() + pad;
    if (i == 0) {
      painter.setPen(QPen(Qt::black, kLinePoints * unit));
      painter.setBrush(Qt::white);
      DrawMarker(painter, QPoint(static_cast<int>(x0 + sample / 2), static_cast<int>(y)),
                 markerHalf);
    } else {
      painter.setPen(i == 1 ? QPen(Qt::black, kModelLinePoints * unit)
                            : QPen(kCurveColour, kCurvePoints * unit));
      painter.drawLine(QPointF(x0, y), QPointF(x0 + sample, y));
    }
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x0 + sample + pad, y - metrics.height() / 2 + metrics.ascent()),
                     texts[i]);
  }
  painter.restore();
  labels.Reserve(box);
}

}  // namespace

double DeviceUnitsPerPoint(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  const int dpi = device != nullptr ? device->logicalDpiY() : 96;
  return (dpi > 0 ? dpi : 96) / 72.0;
}

int MarkerHalfSize(double points, double unit) {
  return std::max(1, static_cast<int>(std::lround(points * unit)));
}

void PaintPlot(QPainter& painter, const PlotData& data, const PlotGeometry& geometry, int kind) {
  painter.save();
  const double unit = geometry.unit;
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(Qt::black, kLinePoints * unit, Qt::SolidLine));
  painter.setBrush(Qt::white);

  const WorldRange& r = geometry.range;
  const QPoint low = geometry.ToDevice(r.xMin, r.yMin);
  const QPoint high = geometry.ToDevice(r.xMax, r.yMax);
  const int x0 = low.x(), y0 = low.y(), x1 = high.x(), y1 = high.y();
  const QPaintDevice* device = painter.device();
  LabelPlacer labels(
      QRectF(0, 0, device ? device->width() : x1 + x0, device ? device->height() : y0 + y0));

  painter.drawLine(x0, y0, x0, y1);
  painter.drawLine(x0, y0, x1, y0);

  const bool map = kind >= kPlotDataMap;
  const double tick = kTickPoints * unit;
  const double gap = kGapPoints * unit;
  painter.setFont(PlotFont(kTitlePoints, true));
  labels.Draw(painter, QPointF(x0 + (x1 - x0) / 6, geometry.yMargin / 2.0),
              Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(data.title).trimmed());

  // The range values end the axes; the ticks fill in between.
  painter.setFont(RangeFont());
  const QFontMetricsF rangeMetrics(painter.font(), painter.device());
  labels.Draw(painter, QPointF(x0 - tick - gap, y0), Qt::AlignRight | Qt::AlignVCenter,
              RangeValue(r.yMin));
  labels.Draw(painter, QPointF(x0 - tick - gap, y1), Qt::AlignRight | Qt::AlignVCenter,
              RangeValue(r.yMax));
  labels.Draw(painter, QPointF(x0, y0 + tick + gap), Qt::AlignHCenter | Qt::AlignTop,
              RangeValue(r.xMin));
  labels.Draw(painter, QPointF(x1, y0 + tick + gap), Qt::AlignHCenter | Qt::AlignTop,
              RangeValue(r.xMax));
  DrawTicks(painter, geometry, labels, low, high);

  double yLabelsLeft = x0;
  for (const QRectF& box : labels.placed()) {
    if (box.right() <= x0) yLabelsLeft = std::min(yLabelsLeft, box.left());
  }
  painter.setFont(PlotFont(kLabelPoints));
  labels.Draw(painter, QPointF((x0 + x1) / 2.0, y0 + tick + 2 * gap + rangeMetrics.height()),
              Qt::AlignHCenter | Qt::AlignTop, map ? "X" : "Lag Distance");
  labels.Draw(painter, QPointF(yLabelsLeft - 2 * gap, (y0 + y1) / 2.0),
              Qt::AlignRight | Qt::AlignVCenter, map ? "Y" : "S");

  const int pointMarker = MarkerHalfSize(map ? kDataMarkerPoints : kSmallMarkerPoints, unit);
  for (std::size_t i = 0; i < data.x.size(); ++i) {
    DrawMarker(painter, geometry.ToDevice(data.x[i], data.y[i]), pointMarker);
  }
  if (kind == kPlotFittedModel && !data.model.empty()) {
    const QPen pen = painter.pen();
    painter.setPen(QPen(Qt::black, kModelLinePoints * unit, Qt::SolidLine));
    painter.drawPolyline(DevicePolyline(geometry, data.x, data.model));
    if (data.fitted.model != 0) {
      std::vector<double> hs, gammas;
      const double largestLag = *std::max_element(data.x.begin(), data.x.end());
      for (const QPointF& p : ModelCurve(data.fitted, CurveEnd(data.fitted, largestLag))) {
        hs.push_back(p.x());
        gammas.push_back(p.y());
      }
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setPen(QPen(kCurveColour, kCurvePoints * unit, Qt::SolidLine, Qt::RoundCap));
      painter.drawPolyline(DevicePolyline(geometry, hs, gammas));
      painter.setRenderHint(QPainter::Antialiasing, false);
    }
    painter.setPen(pen);
    DrawLegend(painter, data, geometry, labels, pointMarker);
  }
  if (kind == kPlotFittedModel && data.pairs.size() == data.x.size()) {
    painter.save();
    painter.setFont(PlotFont(kPairPoints));
    painter.setPen(kPairColour);
    for (std::size_t i = 0; i < data.x.size(); ++i) {
      const QPoint at = geometry.ToDevice(data.x[i], data.y[i]);
      labels.Draw(painter, QPointF(at.x(), at.y() + 2 * pointMarker + gap),
                  Qt::AlignHCenter | Qt::AlignTop, QString::number(data.pairs[i], 'f', 0), true);
    }
    painter.restore();
  }
  if (map) {
    const int nodeMarker = MarkerHalfSize(kSmallMarkerPoints, unit);
    for (std::size_t i = 0; i < data.nodeX.size(); ++i) {
      DrawMarker(painter, geometry.ToDevice(data.nodeX[i], data.nodeY[i]), nodeMarker);
    }
  }
  painter.restore();
}

}  // namespace mornax::gui
