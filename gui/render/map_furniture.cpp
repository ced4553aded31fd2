#include "gui/render/map_furniture.h"

#include <cmath>

#include <QImage>

namespace mornax::render::detail {
namespace {

constexpr double kScaleBarShare = 0.25;  // of the map area's width, at most
constexpr double kScaleBarHeight = 4.0;

QString ClassedLabel(const ColourScale& scale, double value) {
  double step = 0.0;
  const std::vector<double>& breaks = scale.breaks();
  for (std::size_t i = 1; i < breaks.size(); ++i) {
    const double d = breaks[i] - breaks[i - 1];
    if (d > 0.0 && (step == 0.0 || d < step)) step = d;
  }
  return step > 0.0 ? TickLabel(value, step) : ValueText(value);
}

}  // namespace

double TitleHeight(const QPainter& painter, const QString& title, double width) {
  const QFontMetricsF metrics = Metrics(painter, MakeFont(kTitlePoints, true));
  if (title.simplified().isEmpty()) return metrics.height();
  return metrics
      .boundingRect(QRectF(0, 0, std::max(1.0, width), 1e9), Qt::TextWordWrap, title.simplified())
      .height();
}

void DrawTitle(QPainter& painter, const QString& title, const QRectF& target) {
  const double unit = PointsToDevice(painter);
  const double width = std::max(1.0, target.width() - 2 * kOuterMargin * unit);
  painter.save();
  painter.setFont(MakeFont(kTitlePoints, true));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(target.left() + kOuterMargin * unit, target.top() + kOuterMargin * unit,
                          width, TitleHeight(painter, title, width)),
                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, title.simplified());
  painter.restore();
}

double BarLabelWidth(const QPainter& painter, const MapScene& scene) {
  if (!scene.scale) return 0.0;
  const QFontMetricsF metrics = Metrics(painter, MakeFont(kLabelPoints, false));
  const ColourScale& scale = *scene.scale;
  if (scale.isConstant()) return metrics.horizontalAdvance(ValueText(scale.low()));
  double width = 0.0;
  for (double v : {scale.low(), scale.high()}) {
    width = std::max(width, metrics.horizontalAdvance(ValueText(v)));
  }
  for (double v : scale.breaks()) {
    width = std::max(width, metrics.horizontalAdvance(ClassedLabel(scale, v)));
  }
  return width;
}

QStringList InfoLines(const MapScene& scene) {
  QStringList lines;
  if (!scene.crs.isEmpty() || !scene.axisUnit.isEmpty()) {
    QString line = scene.axisUnit.isEmpty() ? QString("Coordinates")
                                            : QString("x, y in %1").arg(scene.axisUnit);
    if (!scene.crs.isEmpty()) line += QString(" - %1").arg(scene.crs);
    lines << line;
  }
  if (scene.residuals && scene.residuals->counted > 0) {
    lines << QString("RMSE %1   mean error %2   %3 of %4 points")
                 .arg(ValueText(scene.residuals->rmse), ValueText(scene.residuals->meanError))
                 .arg(scene.residuals->counted)
                 .arg(scene.residuals->rows.size());
  }
  return lines;
}

double BottomRoom(const QPainter& painter, const MapScene& scene) {
  const QFontMetricsF metrics = Metrics(painter, MakeFont(kLabelPoints, false));
  const double unit = PointsToDevice(painter);
  const auto lines = static_cast<double>(InfoLines(scene).size() + scene.notes.size());
  return (kTickLength + kGap) * unit + metrics.height() + kGap * unit +
         lines * metrics.lineSpacing() + kOuterMargin * unit;
}

void DrawAxes(QPainter& painter, const MapLayout& layout) {
  const QRectF world = layout.VisibleWorld();
  const QRectF& area = layout.mapArea;
  const double unit = layout.unit;
  const QFont font = MakeFont(kLabelPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  painter.save();
  painter.setFont(font);
  painter.setPen(QPen(Qt::black, kFramePen * unit));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area);

  const Ticks xTicks = FittingTicks(world.left(), world.right(), area.width(), kLabelSpacing * unit,
                                    [&](const QString& t) { return metrics.horizontalAdvance(t); });
  for (double v : xTicks.values) {
    const double x = layout.ToDevice(v, 0.0).x();
    painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + kTickLength * unit));
    const QString text = TickLabel(v, xTicks.step);
    const double w = metrics.horizontalAdvance(text);
    painter.drawText(
        QPointF(x - w / 2, area.bottom() + (kTickLength + kGap) * unit + metrics.ascent()), text);
  }
  const Ticks yTicks =
      FittingTicks(world.top(), world.bottom(), area.height(), kLabelSpacing * unit,
                   [&](const QString&) { return metrics.height(); });
  for (double v : yTicks.values) {
    const double y = layout.ToDevice(0.0, v).y();
    painter.drawLine(QPointF(area.left() - kTickLength * unit, y), QPointF(area.left(), y));
    const QString text = TickLabel(v, yTicks.step);
    const double w = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(area.left() - (kTickLength + kGap) * unit - w,
                             y + metrics.ascent() / 2 - metrics.descent() / 2),
                     text);
  }
  painter.restore();
}

void DrawColourBar(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (!scene.scale) return;
  const ColourScale& scale = *scene.scale;
  const double unit = layout.unit;
  const QFont font = MakeFont(kLabelPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  const QRectF bar(layout.mapArea.right() + kBarGap * unit, layout.mapArea.top(), kBarWidth * unit,
                   layout.mapArea.height());
  painter.save();
  painter.setFont(font);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const auto position = [&](double v) {
    return bar.bottom() - (v - scale.low()) / (scale.high() - scale.low()) * bar.height();
  };
  if (scale.isConstant()) {
    painter.fillRect(bar, QColor(scale.ColourOf(scale.low())));
  } else if (scale.classed()) {
    // One block per class, from break to break.
    std::vector<double> edges{scale.low()};
    edges.insert(edges.end(), scale.breaks().begin(), scale.breaks().end());
    edges.push_back(scale.high());
    for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
      painter.fillRect(QRectF(QPointF(bar.left(), position(edges[k + 1])),
                              QPointF(bar.right(), position(edges[k]))),
                       QColor(scale.ColourOf((edges[k] + edges[k + 1]) / 2)));
    }
  } else {
    QImage strip(1, kColourSteps, QImage::Format_RGB32);
    for (int i = 0; i < kColourSteps; ++i) {
      strip.setPixel(0, kColourSteps - 1 - i, scale.ColourAt(i));
    }
    painter.drawImage(bar, strip);
  }
  painter.setPen(QPen(Qt::black, kFramePen * unit));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar);

  const double textX = bar.right() + kGap * unit;
  const double right = layout.target.right() - kOuterMargin * unit;
  auto drawLabel = [&](double y, const QString& text) {
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(0.0, right - textX));
    painter.drawText(QPointF(textX, y + metrics.ascent() / 2 - metrics.descent() / 2), shown);
  };
  if (scale.isConstant()) {
    drawLabel(bar.center().y(), ValueText(scale.low()));
  } else {
    drawLabel(bar.bottom(), ValueText(scale.low()));
    drawLabel(bar.top(), ValueText(scale.high()));
    // Round values (the class breaks on a classed bar) between the ends,
    // where they do not touch the end labels or one another.
    const double clearance = metrics.height() * 1.2;
    std::vector<std::pair<double, QString>> marks;
    if (scale.classed()) {
      for (double v : scale.breaks()) marks.emplace_back(v, ClassedLabel(scale, v));
    } else {
      const Ticks ticks =
          FittingTicks(scale.low(), scale.high(), bar.height(), kLabelSpacing * unit,
                       [&](const QString&) { return metrics.height(); });
      for (double v : ticks.values) marks.emplace_back(v, TickLabel(v, ticks.step));
    }
    double lastY = bar.bottom();
    for (const auto& [v, text] : marks) {
      const double y = position(v);
      painter.drawLine(QPointF(bar.right() - 3 * unit, y), QPointF(bar.right(), y));
      if (y > bar.bottom() - clearance || y < bar.top() + clearance || lastY - y < clearance) {
        continue;
      }
      drawLabel(y, text);
      lastY = y;
    }
  }
  // The bar's heading: what the colours stand for, and a word when the
  // surface is flat; it starts over the bar and moves left only as far as
  // the picture's edge needs.
  QString heading = scene.layerTitle;
  if (scale.isConstant()) heading += " (constant)";
  const double headingRight = layout.target.right() - kOuterMargin * unit;
  const QString shown = metrics.elidedText(heading, Qt::ElideRight, layout.target.width() / 2);
  const double width = metrics.horizontalAdvance(shown);
  const double left = std::min(bar.left(), headingRight - width);
  painter.drawText(QPointF(left, bar.top() - kGap * unit - metrics.descent()), shown);
  painter.restore();
}

void DrawTextsBelow(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  const QFont font = MakeFont(kLabelPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  const double unit = layout.unit;
  const double left = layout.target.left() + kOuterMargin * unit;
  const double width = layout.target.width() - 2 * kOuterMargin * unit;
  double y = layout.mapArea.bottom() + (kTickLength + 2 * kGap) * unit + metrics.height() +
             metrics.ascent();
  painter.save();
  painter.setFont(font);
  painter.setPen(QColor(40, 40, 40));
  for (const QString& line : InfoLines(scene)) {
    painter.drawText(QPointF(left, y), metrics.elidedText(line, Qt::ElideRight, width));
    y += metrics.lineSpacing();
  }
  painter.setPen(QColor(170, 0, 0));
  for (const QString& note : scene.notes) {
    painter.drawText(QPointF(left, y), metrics.elidedText(note, Qt::ElideRight, width));
    y += metrics.lineSpacing();
  }
  painter.restore();
}

double ScaleBarLength(double most) {
  if (!(most > 0.0) || !std::isfinite(most)) return 0.0;
  const double power = std::pow(10.0, std::floor(std::log10(most)));
  for (const double nice : {5.0, 2.0, 1.0}) {
    if (nice * power <= most) return nice * power;
  }
  return power;
}

void DrawScaleBar(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  // Degrees are no length: a scale bar would be wrong away from one latitude.
  if (!scene.scaleBar || scene.axisUnit == "deg") return;
  const double unit = layout.unit;
  const double length = ScaleBarLength(layout.mapArea.width() * kScaleBarShare / layout.scale);
  if (length <= 0.0) return;
  const double width = length * layout.scale;
  const QFont font = MakeFont(kSmallPoints, false);
  const QFontMetricsF metrics = Metrics(painter, font);
  const QString text =
      TickLabel(length, length) + (scene.axisUnit.isEmpty() ? QString() : " " + scene.axisUnit);
  const double pad = 3 * unit;
  const double height = kScaleBarHeight * unit;
  const QRectF box(layout.mapArea.left() + pad,
                   layout.mapArea.bottom() - pad - 2 * pad - height - metrics.height(),
                   std::max(width, metrics.horizontalAdvance(text)) + 2 * pad,
                   height + metrics.height() + 2 * pad);
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 200));
  painter.drawRect(box);
  const QRectF bar(box.left() + pad, box.bottom() - pad - height, width, height);
  // Two halves, black and white, in a black frame.
  painter.fillRect(QRectF(bar.left(), bar.top(), width / 2, height), Qt::black);
  painter.fillRect(QRectF(bar.left() + width / 2, bar.top(), width / 2, height), Qt::white);
  painter.setPen(QPen(Qt::black, 0.6 * unit));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar);
  painter.setFont(font);
  painter.drawText(QPointF(bar.left(), bar.top() - metrics.descent() - unit), text);
  painter.restore();
}

void DrawBadge(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (scene.badge.isEmpty()) return;
  const double unit = layout.unit;
  const QFont font = MakeFont(kLabelPoints, true);
  const QFontMetricsF metrics = Metrics(painter, font);
  const double pad = 3 * unit;
  const QRectF box(layout.mapArea.left() + pad, layout.mapArea.top() + pad,
                   metrics.horizontalAdvance(scene.badge) + 2 * pad, metrics.height() + pad);
  painter.save();
  painter.setPen(QPen(QColor(170, 0, 0), 1.0 * unit));
  painter.setBrush(QColor(255, 255, 255, 225));
  painter.drawRect(box);
  painter.setFont(font);
  painter.setPen(QColor(170, 0, 0));
  painter.drawText(box, Qt::AlignCenter, scene.badge);
  painter.restore();
}

void DrawBlankingOutline(QPainter& painter, const MapScene& scene, const MapLayout& layout) {
  if (scene.blankingOutline.empty()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(QColor(60, 60, 60), 0.8 * layout.unit, Qt::DashLine);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  for (const QPolygonF& ring : scene.blankingOutline) {
    QPolygonF device;
    for (const QPointF& p : ring) device << layout.ToDevice(p.x(), p.y());
    painter.drawPolygon(device);
  }
  painter.restore();
}

}  // namespace mornax::render::detail
