#include "gui/render/map_page.h"

#include <cmath>

#include <QLocale>
#include <QPaintDevice>

#include "gui/render/map_text.h"

namespace mornax::render {

using namespace detail;

namespace {

constexpr double kBlockLines = 4.0;  // text lines of the title block
constexpr double kBlockPadding = 5.0;

double UnitMetres(const QString& unit) {
  if (unit == "m") return 1.0;
  if (unit == "km") return 1000.0;
  if (unit == "ft") return 0.3048;
  if (unit == "US ft") return 1200.0 / 3937.0;
  return 0.0;
}

}  // namespace

QString PaperScale(const MapLayout& layout, const QString& axisUnit, double dpi) {
  const double metres = UnitMetres(axisUnit);
  if (!(metres > 0.0) || !layout.valid || !(dpi > 0.0)) return {};
  // One world unit is `scale` device units: that many / dpi inches of paper.
  const double paperMetres = layout.scale / dpi * 0.0254;
  const double ratio = metres / paperMetres;
  if (!std::isfinite(ratio) || ratio <= 0.0) return {};
  const double power = std::pow(10.0, std::floor(std::log10(ratio)) - 2);
  const double rounded = std::round(ratio / power) * power;
  return "1:" + QLocale(QLocale::English).toString(rounded, 'f', 0);
}

MapLayout PaintMapPage(QPainter& painter, const MapScene& scene, const QRectF& page,
                       const TitleBlock& block) {
  const double unit = PointsToDevice(painter);
  const QFont font = MakeFont(kLabelPoints, false);
  const QFont bold = MakeFont(kLabelPoints + 1, true);
  const QFontMetricsF metrics = Metrics(painter, font);
  const double pad = kBlockPadding * unit;
  const double blockHeight = kBlockLines * metrics.lineSpacing() + 2 * pad;
  const double margin = kOuterMargin * unit;
  const QRectF mapTarget(page.left(), page.top(), page.width(),
                         page.height() - blockHeight - pad - margin);
  const MapLayout layout = PaintMap(painter, scene, mapTarget);

  const QRectF box(page.left() + margin, page.bottom() - margin - blockHeight,
                   page.width() - 2 * margin, blockHeight);
  painter.save();
  painter.setPen(QPen(Qt::black, kFramePen * unit));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box);
  const double split = box.left() + box.width() * 0.55;
  painter.drawLine(QPointF(split, box.top()), QPointF(split, box.bottom()));

  const QPaintDevice* device = painter.device();
  const double dpi = device != nullptr ? device->logicalDpiX() : 96.0;
  const QString scale = PaperScale(layout, scene.axisUnit, dpi);
  // Left: what the map shows; right: where it comes from.
  const QStringList left = {
      scene.title.simplified(), block.layer,
      scene.residuals && scene.residuals->counted > 0
          ? QString("RMSE %1, mean error %2")
                .arg(ValueText(scene.residuals->rmse), ValueText(scene.residuals->meanError))
          : QString()};
  const QStringList right = {
      QString("Project: %1").arg(block.project),
      QString("Coordinates: %1")
          .arg(scene.crs.isEmpty() ? QString("local, no coordinate system") : scene.crs),
      scale.isEmpty() ? QString() : QString("Scale on paper: %1").arg(scale),
      QString("Printed: %1").arg(block.date)};
  auto column = [&](const QStringList& lines, double x, double width) {
    double y = box.top() + pad + metrics.ascent();
    bool first = true;
    for (const QString& line : lines) {
      if (line.isEmpty()) continue;
      painter.setFont(first && &lines == &left ? bold : font);
      painter.drawText(QPointF(x, y),
                       Metrics(painter, painter.font()).elidedText(line, Qt::ElideRight, width));
      y += metrics.lineSpacing();
      first = false;
    }
  };
  column(left, box.left() + pad, split - box.left() - 2 * pad);
  column(right, split + pad, box.right() - split - 2 * pad);
  painter.restore();
  return layout;
}

}  // namespace mornax::render
