// The result map as a printed page: the map above and a title block at the
// foot of the page with the title, the layer, the project file, the
// coordinate system, the scale of the paper and the date.
#pragma once

#include <QString>

#include "gui/render/map_painter.h"

namespace mornax::render {

struct TitleBlock {
  QString project;  // the document's file name
  QString layer;    // what the colours show
  QString date;     // when the page was made
};

// "1:25,000" for a map drawn at `layout`'s scale on a device of `dpi`,
// rounded to three digits; empty unless the axes are in m, km or ft.
QString PaperScale(const MapLayout& layout, const QString& axisUnit, double dpi);

// Draws the page into `page` (device units); returns the map's layout.
MapLayout PaintMapPage(QPainter& painter, const MapScene& scene, const QRectF& page,
                       const TitleBlock& block);

}  // namespace mornax::render
