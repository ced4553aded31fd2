#include "gui/directions_plots.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace mornax::gui {
namespace {

constexpr int kCurveSamples = 120;

// A round step of about a fifth of `span`: 1, 2 or 5 times a power of ten.
double TickStep(double span) {
  const double raw = span / 5.0;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= raw) return m * power;
  }
  return 10.0 * power;
}

// A rectangle in device units showing [0, xMax] x [0, yMax] with ticks.
struct Axes {
  QRectF area;
  double xMin, xMax, yMin, yMax;

  QPointF At(double x, double y) const {
    return {area.left() + (x - xMin) / (xMax - xMin) * area.width(),
            area.bottom() - (y - yMin) / (yMax - yMin) * area.height()};
  }

  void Draw(QPainter& painter, const QString& xTitle, const QString& yTitle) const {
    painter.setPen(Qt::black);
    painter.drawRect(area);
    const QFontMetrics metrics(painter.font());
    const double xStep = TickStep(xMax - xMin);
    for (double x = std::ceil(xMin / xStep) * xStep; x <= xMax + 1e-9 * xStep; x += xStep) {
      const QPointF p = At(x, yMin);
      painter.drawLine(p, p + QPointF(0, 4));
      const QString text = QString::number(x, 'g', 6);
      painter.drawText(
          QPointF(p.x() - metrics.horizontalAdvance(text) / 2.0, p.y() + 6 + metrics.ascent()),
          text);
    }
    const double yStep = TickStep(yMax - yMin);
    for (double y = std::ceil(yMin / yStep) * yStep; y <= yMax + 1e-9 * yStep; y += yStep) {
      const QPointF p = At(xMin, y);
      painter.drawLine(p, p - QPointF(4, 0));
      const QString text = QString::number(y, 'g', 6);
      painter.drawText(
          QPointF(p.x() - 7 - metrics.horizontalAdvance(text), p.y() + metrics.ascent() / 2.0),
          text);
    }
    painter.drawText(
        QRectF(area.left(), area.bottom() + 8 + metrics.height(), area.width(), metrics.height()),
        Qt::AlignHCenter, xTitle);
    painter.save();
    painter.translate(area.left() - 12 - metrics.horizontalAdvance("0000000"), area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-area.height() / 2, -metrics.height(), area.height(), metrics.height()),
                     Qt::AlignHCenter, yTitle);
    painter.restore();
  }
};

QRectF PlotArea(const QRect& widget, int left) {
  return QRectF(widget).adjusted(left, 20, -20, -50);
}

// Blue (low) through green and yellow to red (high), for t in [0, 1].
QColor Ramp(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromHsvF(static_cast<float>((1.0 - t) * 0.66), 0.85f, 0.95f);
}

}  // namespace

QColor DirectionColour(int index) {
  static constexpr std::array<QRgb, 8> kColours = {0x1f77b4, 0xd62728, 0x2ca02c, 0x9467bd,
                                                   0xff7f0e, 0x17becf, 0x8c564b, 0xe377c2};
  return QColor(kColours[static_cast<std::size_t>(index) % kColours.size()]);
}

DirectionalPlot::DirectionalPlot(QWidget* parent) : QWidget(parent) {
  setObjectName("directionalPlot");
  setMinimumSize(360, 260);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void DirectionalPlot::SetResult(const api::DirectionalParameters& run,
                                const api::DirectionalResult& result) {
  run_ = run;
  result_ = result;
  update();
}

void DirectionalPlot::SetModel(const api::Variogram& model) {
  model_ = model;
  hasModel_ = true;
  update();
}

void DirectionalPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (result_.directions.empty()) {
    painter.drawText(rect(), Qt::AlignCenter, "No directions computed yet");
    return;
  }
  double xMax = run_.lagCount * run_.lagDistance;
  double yMax = 0.0;
  for (const api::SemivariogramResult& d : result_.directions) {
    for (std::size_t i = 0; i < d.distance.size(); ++i) {
      if (d.pairs[i] == 0) continue;
      xMax = std::max(xMax, d.distance[i]);
      yMax = std::max(yMax, d.semivariance[i]);
    }
  }
  std::vector<double> h(kCurveSamples + 1);
  for (int i = 0; i <= kCurveSamples; ++i)
    h[static_cast<std::size_t>(i)] = xMax * i / kCurveSamples;
  std::vector<std::vector<double>> curves;
  if (hasModel_) {
    for (const double direction : run_.directions) {
      curves.push_back(api::VariogramValues(model_, h, direction));
      for (const double value : curves.back()) {
        if (std::isfinite(value)) yMax = std::max(yMax, value);
      }
    }
  }
  if (!(xMax > 0.0)) xMax = 1.0;
  if (!(yMax > 0.0)) yMax = 1.0;
  const Axes axes{PlotArea(rect(), 80), 0.0, xMax, 0.0, yMax * 1.05};
  axes.Draw(painter, "Distance", "Semivariance");

  painter.setClipRect(axes.area);
  for (std::size_t k = 0; k < result_.directions.size(); ++k) {
    const QColor colour = DirectionColour(static_cast<int>(k));
    painter.setPen(QPen(colour, 1.5));
    painter.setBrush(colour);
    const api::SemivariogramResult& d = result_.directions[k];
    for (std::size_t i = 0; i < d.distance.size(); ++i) {
      if (d.pairs[i] == 0) continue;
      painter.drawEllipse(axes.At(d.distance[i], d.semivariance[i]), 3.0, 3.0);
    }
    if (k < curves.size()) {
      QPainterPath path;
      for (std::size_t i = 0; i < h.size(); ++i) {
        const QPointF p = axes.At(h[i], curves[k][i]);
        if (i == 0) {
          path.moveTo(p);
        } else {
          path.lineTo(p);
        }
      }
      painter.setBrush(Qt::NoBrush);
      painter.drawPath(path);
    }
  }
  painter.setClipping(false);

  // The legend, inside the lower right corner of the axes.
  const QFontMetrics metrics(painter.font());
  const int rows = static_cast<int>(run_.directions.size());
  const double width = metrics.horizontalAdvance("000.0\u00b0 (model)") + 40.0;
  QRectF legend(axes.area.right() - width - 8, axes.area.bottom() - rows * metrics.height() - 16,
                width, rows * metrics.height() + 8);
  painter.setPen(Qt::gray);
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawRect(legend);
  for (int k = 0; k < rows; ++k) {
    const double y = legend.top() + 4 + (k + 0.5) * metrics.height();
    const QColor colour = DirectionColour(k);
    painter.setPen(QPen(colour, 1.5));
    painter.setBrush(colour);
    painter.drawLine(QPointF(legend.left() + 6, y), QPointF(legend.left() + 26, y));
    painter.drawEllipse(QPointF(legend.left() + 16, y), 3.0, 3.0);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(legend.left() + 32, y + metrics.ascent() / 2.0 - 1),
                     QString("%1\u00b0").arg(run_.directions[static_cast<std::size_t>(k)]));
  }
}

VariogramMapPlot::VariogramMapPlot(QWidget* parent) : QWidget(parent) {
  setObjectName("variogramMapPlot");
  setMinimumSize(360, 300);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void VariogramMapPlot::SetMap(const api::VariogramMap& map) {
  map_ = map;
  update();
}

void VariogramMapPlot::SetModel(const api::Variogram& model) {
  model_ = model;
  hasModel_ = true;
  update();
}

void VariogramMapPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (map_.cells <= 0 || map_.semivariance.empty()) {
    painter.drawText(rect(), Qt::AlignCenter, "No variogram map computed yet");
    return;
  }
  const int side = 2 * map_.cells + 1;
  double highest = 0.0;
  for (std::size_t i = 0; i < map_.semivariance.size(); ++i) {
    if (map_.pairs[i] > 0) highest = std::max(highest, map_.semivariance[i]);
  }
  if (!(highest > 0.0)) highest = 1.0;
  // Row 0 of the image is the largest dy.
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(Qt::white);
  for (int iy = 0; iy < side; ++iy) {
    for (int ix = 0; ix < side; ++ix) {
      const auto at = static_cast<std::size_t>(iy * side + ix);
      if (map_.pairs[at] == 0) continue;
      image.setPixelColor(ix, side - 1 - iy, Ramp(map_.semivariance[at] / highest));
    }
  }
  // Square cells: the largest square that leaves room for the axes and the bar.
  const QRectF room = PlotArea(rect(), 80).adjusted(0, 0, -70, 0);
  const double length = std::min(room.width(), room.height());
  const double half = (map_.cells + 0.5) * map_.cellSize;
  const Axes axes{QRectF(room.left() + (room.width() - length) / 2.0,
                         room.top() + (room.height() - length) / 2.0, length, length),
                  -half, half, -half, half};
  painter.drawImage(axes.area, image);
  axes.Draw(painter, "Lag dx", "Lag dy");

  if (hasModel_ && model_.a > 0.0) {
    // The range a along the major axis and ratio * a across it; the device's
    // y runs down, so the angle from +x towards +y turns the other way.
    const double ratio = model_.anisotropy.ratio > 0.0 ? model_.anisotropy.ratio : 1.0;
    const double scale = axes.area.width() / (2.0 * half);
    painter.save();
    painter.setClipRect(axes.area);
    painter.translate(axes.At(0.0, 0.0));
    painter.rotate(-model_.anisotropy.angle);
    painter.setPen(QPen(Qt::black, 2.0));
    painter.setBrush(Qt::NoBrush);
    const double major = model_.a * scale;
    painter.drawEllipse(QPointF(0, 0), major, major * ratio);
    painter.setPen(QPen(Qt::black, 1.0, Qt::DashLine));
    painter.drawLine(QPointF(-major, 0), QPointF(major, 0));
    painter.restore();
  }

  // The colour bar with its two ends.
  const QRectF bar(axes.area.right() + 20, axes.area.top(), 16, axes.area.height());
  for (int i = 0; i < static_cast<int>(bar.height()); ++i) {
    painter.setPen(Ramp(1.0 - i / bar.height()));
    painter.drawLine(QPointF(bar.left(), bar.top() + i), QPointF(bar.right(), bar.top() + i));
  }
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar);
  const QFontMetrics metrics(painter.font());
  painter.drawText(QPointF(bar.right() + 4, bar.top() + metrics.ascent()),
                   QString::number(highest, 'g', 4));
  painter.drawText(QPointF(bar.right() + 4, bar.bottom()), "0");
}

}  // namespace mornax::gui
