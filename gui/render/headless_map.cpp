#include "gui/render/headless_map.h"

#include <memory>

#include <QGuiApplication>

#include "gui/render/map_painter.h"
#include "gui/render/picture_export.h"

namespace mornax::render {
namespace {

// The batch tool never has a window: it always draws on the offscreen
// platform, whatever display the environment names. The application object
// lives as long as the caller keeps the returned pointer.
std::unique_ptr<QGuiApplication> EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "mornax-batch";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

HeadlessMapResult RenderMapPicture(const std::filesystem::path& document,
                                   const std::filesystem::path& output, const MapRequest& request,
                                   QSize pixels) {
  HeadlessMapResult result;
  const QString path = QString::fromStdString(output.string());
  if (!PictureFormatOf(path)) {
    result.error =
        "Cannot write " + output.string() + ": the picture formats are .png, .svg and .pdf";
    return result;
  }
  const auto application = EnsureApplication();
  const MapScene scene = LoadMapScene(document, request);
  if (!scene.failure.isEmpty()) {
    result.error = scene.failure.toStdString();
    return result;
  }
  for (const QString& note : scene.notes) result.notes.push_back(note.toStdString());
  PictureOptions options;
  options.pixels = pixels;
  QString error;
  result.written = ExportPicture(
      path, options,
      [&scene](QPainter& painter, const QRectF& target) { PaintMap(painter, scene, target); },
      error);
  if (!result.written) result.error = error.toStdString();
  return result;
}

}  // namespace mornax::render
