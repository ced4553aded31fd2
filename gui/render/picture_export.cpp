#include "gui/render/picture_export.h"

#include <cmath>

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "geo/replace_file.h"

namespace mornax::render {
namespace {

constexpr int kLargestSide = 20000;

bool PaintPng(QIODevice& file, QSize pixels, int dpi, const PaintRoutine& paint) {
  return RenderImage(pixels, paint, dpi).save(&file, "PNG");
}

bool PaintSvg(QIODevice& file, QSize pixels, int dpi, const PaintRoutine& paint) {
  QSvgGenerator generator;
  generator.setOutputDevice(&file);
  generator.setResolution(dpi);
  generator.setSize(pixels);
  generator.setViewBox(QRect(QPoint(0, 0), pixels));
  QPainter painter;
  if (!painter.begin(&generator)) return false;
  painter.fillRect(QRect(QPoint(0, 0), pixels), Qt::white);
  paint(painter, QRectF(QPointF(0, 0), pixels));
  return painter.end();
}

bool PaintPdf(QIODevice& file, QSize pixels, int pictureDpi, int dpi, const PaintRoutine& paint) {
  QPdfWriter writer(&file);
  writer.setResolution(dpi);
  // The page has the picture's physical size, in points.
  const QSizeF points(pixels.width() * 72.0 / pictureDpi, pixels.height() * 72.0 / pictureDpi);
  writer.setPageLayout(
      QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                  QPageLayout::Portrait, QMarginsF()));
  writer.setCreator("mornax");
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  const QRectF target(0, 0, writer.width(), writer.height());
  painter.fillRect(target, Qt::white);
  paint(painter, target);
  return painter.end();
}

}  // namespace

std::optional<PictureFormat> PictureFormatOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "png") return PictureFormat::kPng;
  if (suffix == "svg") return PictureFormat::kSvg;
  if (suffix == "pdf") return PictureFormat::kPdf;
  return std::nullopt;
}

QImage RenderImage(QSize pixels, const PaintRoutine& paint, int dpi) {
  QImage image(pixels, QImage::Format_RGB32);
  if (image.isNull()) return image;
  const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  paint(painter, QRectF(QPointF(0, 0), pixels));
  painter.end();
  return image;
}

bool ExportPicture(const QString& path, const PictureOptions& options, const PaintRoutine& paint,
                   QString& error) {
  const auto format = PictureFormatOf(path);
  if (!format) {
    error = QString("Cannot write %1: the picture formats are .png, .svg and .pdf").arg(path);
    return false;
  }
  const QSize pixels = options.pixels;
  if (pixels.width() < 1 || pixels.height() < 1 || pixels.width() > kLargestSide ||
      pixels.height() > kLargestSide) {
    error = QString("Cannot write %1: a picture is 1 to %2 pixels wide and high")
                .arg(path)
                .arg(kLargestSide);
    return false;
  }
  if (options.dpi < kLowestDpi || options.dpi > kHighestDpi) {
    error = QString("Cannot write %1: a picture has %2 to %3 dots per inch")
                .arg(path)
                .arg(kLowestDpi)
                .arg(kHighestDpi);
    return false;
  }
  // Drawn in memory, then written beside the file and renamed over it: a
  // failed write (a full disk, a file-size limit) is told by the system's
  // reason, and an existing file stays as it was.
  QBuffer picture;
  picture.open(QIODevice::WriteOnly);
  bool painted = false;
  switch (*format) {
    case PictureFormat::kPng:
      painted = PaintPng(picture, pixels, options.dpi, paint);
      break;
    case PictureFormat::kSvg:
      painted = PaintSvg(picture, pixels, options.dpi, paint);
      break;
    case PictureFormat::kPdf:
      painted = PaintPdf(picture, pixels, options.dpi, options.pdfDpi, paint);
      break;
  }
  picture.close();
  if (!painted) {
    error = QString("Cannot write %1: drawing failed").arg(path);
    return false;
  }
  geo::ReplacementFile out;
  std::string failure;
  const QByteArray& bytes = picture.data();
  if (out.Open(path.toStdString(), failure)) {
    out.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (out.Commit(failure)) return true;
  }
  error = QString("Cannot write %1: %2").arg(path, QString::fromStdString(out.reason()));
  return false;
}

}  // namespace mornax::render
