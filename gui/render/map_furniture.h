// Everything around and over the map's colours: the wrapped title, the frame
// with its ticks, the colour bar with its heading, the scale bar, the mark
// of a partial run, the blanking outline and the lines below the map (the
// coordinate system, the residual statistics, the notes).
#pragma once

#include <QString>
#include <QStringList>

#include "gui/render/map_painter.h"
#include "gui/render/map_text.h"

namespace mornax::render::detail {

// The height the title takes when wrapped into `width`.
double TitleHeight(const QPainter& painter, const QString& title, double width);
void DrawTitle(QPainter& painter, const QString& title, const QRectF& target);

// The width of the texts right of the colour bar.
double BarLabelWidth(const QPainter& painter, const MapScene& scene);
// The lines written below the map, before the notes: the coordinate system
// and the statistics of the residuals.
QStringList InfoLines(const MapScene& scene);
// The height of the texts below the map: the x labels, the info lines and
// the notes.
double BottomRoom(const QPainter& painter, const MapScene& scene);

void DrawAxes(QPainter& painter, const MapLayout& layout);
void DrawColourBar(QPainter& painter, const MapScene& scene, const MapLayout& layout);
void DrawTextsBelow(QPainter& painter, const MapScene& scene, const MapLayout& layout);
// Inside the map area (clipped to it by the caller).
void DrawScaleBar(QPainter& painter, const MapScene& scene, const MapLayout& layout);
void DrawBadge(QPainter& painter, const MapScene& scene, const MapLayout& layout);
void DrawBlankingOutline(QPainter& painter, const MapScene& scene, const MapLayout& layout);

// The scale bar's length in world units: 1, 2 or 5 times a power of ten, at
// most `most`.
double ScaleBarLength(double most);

}  // namespace mornax::render::detail
