#include "gui/plot_labels.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPainter>

namespace mornax::gui {

bool LabelPlacer::Draw(QPainter& painter, QPointF anchor, int alignment, const QString& text,
                       bool optional) {
  if (text.isEmpty()) return false;
  const QFontMetricsF metrics(painter.font(), painter.device());
  const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
  QPointF topLeft = anchor;
  if (alignment & Qt::AlignHCenter) topLeft.rx() -= size.width() / 2;
  if (alignment & Qt::AlignRight) topLeft.rx() -= size.width();
  if (alignment & Qt::AlignVCenter) topLeft.ry() -= size.height() / 2;
  if (alignment & Qt::AlignBottom) topLeft.ry() -= size.height();
  // Inside the page, as far as the text fits at all.
  topLeft.setX(
      std::clamp(topLeft.x(), page_.left(), std::max(page_.left(), page_.right() - size.width())));
  topLeft.setY(
      std::clamp(topLeft.y(), page_.top(), std::max(page_.top(), page_.bottom() - size.height())));
  const QRectF box(topLeft, size);
  if (optional && std::any_of(taken_.begin(), taken_.end(),
                              [&](const QRectF& r) { return r.intersects(box); })) {
    return false;
  }
  taken_.push_back(box);
  painter.drawText(QPointF(box.left(), box.top() + metrics.ascent()), text);
  return true;
}

}  // namespace mornax::gui
