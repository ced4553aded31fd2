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
  QSize pixels{1200, 900};  // the picture's size in pixels
  // The pixels per inch: text and marks keep their size in points at this
  // resolution, so a 300-dpi picture is drawn as it would be printed. PNG
  // records it; SVG and PDF are the same physical size.
  int dpi = 96;
  int pdfDpi = 1200;  // resolution of the PDF's device units
};

// The resolutions a picture may have.
inline constexpr int kLowestDpi = 36;
inline constexpr int kHighestDpi = 2400;

// Renders in memory, writes the picture beside `path` and renames it into
// place, so a failure leaves an existing file as it was. On failure returns
// false with `error` naming the file and the system's reason (a full disk).
bool ExportPicture(const QString& path, const PictureOptions& options, const PaintRoutine& paint,
                   QString& error);

// The picture as an image of `pixels` on white at `dpi` (PNG export and the
// clipboard).
QImage RenderImage(QSize pixels, const PaintRoutine& paint, int dpi = 96);

}  // namespace mornax::render
