// Writes a picture drawn by a paint routine to PNG, SVG or PDF. The routine
// gets the painter and the target rectangle in device units; it must take
// its sizes from the device's resolution (points), so the three formats
// show the same picture.
#pragma once

#include <functional>
#include <optional>

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace mornax::render {

enum class PictureFormat { kPng, kSvg, kPdf };

// The format by the file's extension (any case); nullopt for others.
std::optional<PictureFormat> PictureFormatOf(const QString& path);

using PaintRoutine = std::function<void(QPainter& painter, const QRectF& target)>;

struct PictureOptions {
  QSize pixels{1200, 900};  // PNG size; SVG and PDF get the same size at 96 dpi
  int pdfDpi = 1200;        // resolution of the PDF's device units
};

// Renders in memory, writes the picture beside `path` and renames it into
// place, so a failure leaves an existing file as it was. On failure returns
// false with `error` naming the file and the system's reason (a full disk).
bool ExportPicture(const QString& path, const PictureOptions& options, const PaintRoutine& paint,
                   QString& error);

// The picture as an image of `pixels` on white (PNG export and the
// clipboard).
QImage RenderImage(QSize pixels, const PaintRoutine& paint);

}  // namespace mornax::render
