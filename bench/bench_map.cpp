// The result map at its largest expected size: a 1000 x 1000 kriging grid
// with contours and 10^5 data points. First draw (reading the files,
// building the scene and painting), a redraw while panning (the colour image
// is cached in the scene), and the batch tool's route to a PNG.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "gui/render/headless_map.h"
#include "gui/render/map_loader.h"
#include "gui/render/map_painter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSide = 1000;
constexpr int kDataPoints = 100000;
constexpr double kSpacing = 10.0;
const QSize kWindow(1200, 900);

double Field(double x, double y) {
  return 50.0 + 0.002 * x - 0.001 * y + 8.0 * std::sin(x / 1300.0) * std::cos(y / 900.0);
}

// Writes BIG.dfl, BIG.dat, BIG.wl and BIG.lev once into a folder of the
// temporary directory; returns the document path.
fs::path Project() {
  static const fs::path document = [] {
    const fs::path folder = fs::temp_directory_path() / "mornax-bench-map";
    fs::create_directories(folder);
    const fs::path doc = folder / "BIG.mnx";
    if (fs::exists(folder / "BIG.wl")) return doc;
    std::FILE* dfl = std::fopen((folder / "BIG.dfl").c_str(), "w");
    std::FILE* dat = std::fopen((folder / "BIG.dat").c_str(), "w");
    std::FILE* wl = std::fopen((folder / "BIG.wl").c_str(), "w");
    std::FILE* lev = std::fopen((folder / "BIG.lev").c_str(), "w");
    std::fprintf(dfl, "Benchmark field\n%d\n", kDataPoints);
    unsigned state = 1995;
    auto next = [&state] {
      state = state * 1103515245u + 12345u;
      return (state >> 8) / 16777216.0;
    };
    for (int i = 0; i < kDataPoints; ++i) {
      const double x = next() * kSide * kSpacing, y = next() * kSide * kSpacing;
      std::fprintf(dfl, "%.2f %.2f %.4f\n", x, y, Field(x, y));
    }
    std::fprintf(dfl, "%d\n", kSide * kSide);
    std::fprintf(dat, "    0*****    0 ;%40sSTD\n", "");
    std::fprintf(lev, "   10 ;\n");
    for (int level = 40; level < 80; level += 4) std::fprintf(lev, "%8d\n", level);
    for (int r = kSide - 1; r >= 0; --r) {
      for (int c = 0; c < kSide; ++c) {
        const double x = c * kSpacing, y = r * kSpacing, z = Field(x, y);
        std::fprintf(dfl, "%.1f %.1f\n", x, y);
        std::fprintf(dat, "  %15.1f%15.1f%15.5f%15.5f\n", x, y, z, 0.5);
        std::fprintf(wl, "%15.5f%15.5f%15.5f\n", x, y, z);
        std::fprintf(lev, "%15.5f\n", z);
      }
    }
    for (std::FILE* file : {dfl, dat, wl, lev}) std::fclose(file);
    return doc;
  }();
  return document;
}

QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "mornax-bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
  return app;
}

void BM_MapFirstDraw(benchmark::State& state) {
  App();
  const fs::path document = Project();
  QImage image(kWindow, QImage::Format_RGB32);
  for (auto _ : state) {
    const mornax::render::MapScene scene = mornax::render::LoadMapScene(document, {});
    if (!scene.failure.isEmpty()) state.SkipWithError(scene.failure.toStdString().c_str());
    image.fill(Qt::white);
    QPainter painter(&image);
    mornax::render::PaintMap(painter, scene, QRectF(QPointF(0, 0), kWindow));
    state.counters["contours"] = static_cast<double>(scene.contours.size());
  }
}
BENCHMARK(BM_MapFirstDraw)->Unit(benchmark::kMillisecond)->Iterations(3);

// The reading and scene building alone, and the paint of a loaded scene.
void BM_MapLoad(benchmark::State& state) {
  App();
  const fs::path document = Project();
  for (auto _ : state) benchmark::DoNotOptimize(mornax::render::LoadMapScene(document, {}));
}
BENCHMARK(BM_MapLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MapPanRedraw(benchmark::State& state) {
  App();
  const mornax::render::MapScene scene = mornax::render::LoadMapScene(Project(), {});
  QImage image(kWindow, QImage::Format_RGB32);
  mornax::render::MapViewport viewport{false, static_cast<double>(state.range(0)),
                                       QPointF(5000, 5000)};
  for (auto _ : state) {
    viewport.centre += QPointF(7.0, -3.0);  // a drag step
    image.fill(Qt::white);
    QPainter painter(&image);
    mornax::render::PaintMap(painter, scene, QRectF(QPointF(0, 0), kWindow), viewport);
  }
}
BENCHMARK(BM_MapPanRedraw)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_MapToPng(benchmark::State& state) {
  App();
  const fs::path document = Project();
  const fs::path output = document.parent_path() / "map.png";
  for (auto _ : state) {
    const auto result = mornax::render::RenderMapPicture(document, output, {}, kWindow);
    if (!result.written) state.SkipWithError(result.error.c_str());
  }
}
BENCHMARK(BM_MapToPng)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
