// Places the texts of a plot so that none covers another and none leaves the
// page: a text is moved inside the page, and an optional one (a tick label)
// is dropped where it would overlap one placed before.
#pragma once

#include <vector>

#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace mornax::gui {

class LabelPlacer {
 public:
  explicit LabelPlacer(const QRectF& page) : page_(page) {}

  // Draws `text` with the painter's font, its box aligned to `anchor` by
  // `alignment` (Qt::AlignLeft/HCenter/Right with AlignTop/VCenter/Bottom).
  // An optional text that would overlap a placed one is not drawn; false
  // then.
  bool Draw(QPainter& painter, QPointF anchor, int alignment, const QString& text,
            bool optional = false);
  // Keeps other texts out of `area` (a legend box).
  void Reserve(const QRectF& area) { taken_.push_back(area); }
  const std::vector<QRectF>& placed() const { return taken_; }

 private:
  QRectF page_;
  std::vector<QRectF> taken_;
};

}  // namespace mornax::gui
