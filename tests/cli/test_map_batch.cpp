// `mornax-batch map` as a script uses it: no display, no platform named, the
// three picture formats, the layers of a real kriging run, and bad usage or
// missing results reported with exit statuses 2 and 1.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QGuiApplication>
#include <QImage>

#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::ScopedTempDir;

using Result = testing::BatchResult;

// The tool with no display and no platform in its environment.
Result Batch(const ScopedTempDir& dir, const std::string& args) {
  return testing::RunBatch(dir, args, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
}

// 25 wells on a tilted plane and a 9 x 7 grid network.
void WriteProject(const ScopedTempDir& dir) {
  std::string dfl = "Tilted plane\n25\n";
  for (int i = 0; i < 25; ++i) {
    const double x = (i % 5) * 200.0 + 13 * (i % 3);
    const double y = (i / 5) * 150.0 + 7 * (i % 4);
    dfl += std::to_string(x) + " " + std::to_string(y) + " " +
           std::to_string(10 + 0.01 * x + 0.02 * y) + "\n";
  }
  dfl += "63\n";
  for (int r = 6; r >= 0; --r) {
    for (int c = 0; c < 9; ++c)
      dfl += std::to_string(c * 100.0) + " " + std::to_string(r * 100.0) + "\n";
  }
  dir.Write("SITE.dfl", dfl);
}

class MapBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteProject(dir);
    ASSERT_EQ(Batch(dir, "new SITE.mnx").status, 0);
    ASSERT_EQ(Batch(dir, "set SITE.mnx krigModel=3 sill=20 c0=0 a=500 krigPoints=8").status, 0);
  }
  ScopedTempDir dir;
};

TEST_F(MapBatch, DrawsTheKrigingMapWithoutADisplay) {
  ASSERT_EQ(Batch(dir, "run SITE.mnx kriging --interpolate").status, 0);
  const Result png = Batch(dir, "map SITE.mnx est.png --size 640x480");
  ASSERT_EQ(png.status, 0) << png.err;
  EXPECT_NE(png.out.find("Wrote est.png"), std::string::npos);
  const QImage image(QString::fromStdString((dir.path() / "est.png").string()));
  EXPECT_EQ(image.size(), QSize(640, 480));
  EXPECT_EQ(Batch(dir, "map SITE.mnx std.svg --layer std --levels auto").status, 0);
  EXPECT_NE(dir.Read("std.svg").find("<svg"), std::string::npos);
  EXPECT_EQ(Batch(dir, "map SITE.mnx est.pdf --levels=10,12,14").status, 0);
  EXPECT_EQ(dir.Read("est.pdf").rfind("%PDF", 0), 0u);

  // Kriging writes no guess: a message, exit 1, no file.
  const Result guess = Batch(dir, "map SITE.mnx guess.png --layer guess");
  EXPECT_EQ(guess.status, 1);
  EXPECT_NE(guess.err.find("no guess layer"), std::string::npos) << guess.err;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "guess.png"));

  ASSERT_EQ(Batch(dir, "run SITE.mnx kriging --error-analysis").status, 0);
  const Result residuals = Batch(dir, "map SITE.mnx res.png --layer residuals");
  EXPECT_EQ(residuals.status, 0) << residuals.err;
}

TEST_F(MapBatch, LevelsOfLogarithmsAsExportsTakeThemAndWriteFailuresSaySo) {
  ASSERT_EQ(Batch(dir, "set SITE.mnx logTransform=1 sill=0.1 c=0.1").status, 0);
  ASSERT_EQ(Batch(dir, "run SITE.mnx kriging --interpolate").status, 0);
  const Result drawn = Batch(dir, "map SITE.mnx est.png");
  EXPECT_EQ(drawn.status, 0) << drawn.err;
  EXPECT_NE(drawn.err.find("natural logarithms"), std::string::npos) << drawn.err;
  const Result refused = Batch(dir, "map SITE.mnx lev.png --levels lev");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("natural logarithms"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "lev.png"));

  // A write the system refuses (here a file-size limit, as a full disk
  // would) is said with the system's reason.
  const Result full = testing::RunBatch(
      dir, "map SITE.mnx big.png --size 2000x1500",
      "trap '' XFSZ; ulimit -f 16; env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("Cannot write big.png: File too large"), std::string::npos) << full.err;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "big.png"));
}

TEST_F(MapBatch, NothingToMapOrBadUsage) {
  const Result none = Batch(dir, "map SITE.mnx est.png");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("No results to map"), std::string::npos) << none.err;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "est.png"));
  EXPECT_EQ(Batch(dir, "map NOSUCH.mnx est.png").status, 1);

  for (const char* args :
       {"map SITE.mnx", "map SITE.mnx a.png --layer depth", "map SITE.mnx a.png --size 0x10",
        "map SITE.mnx a.png --size big", "map SITE.mnx a.png b.png",
        "map SITE.mnx a.png --colour red", "map SITE.mnx a.png --levels"}) {
    const Result usage = Batch(dir, args);
    EXPECT_EQ(usage.status, 2) << args;
    EXPECT_NE(usage.err.find("mornax-batch"), std::string::npos) << args;
  }
  ASSERT_EQ(Batch(dir, "run SITE.mnx kriging --interpolate").status, 0);
  const Result bmp = Batch(dir, "map SITE.mnx est.bmp");
  EXPECT_EQ(bmp.status, 1);
  EXPECT_NE(bmp.err.find(".png, .svg and .pdf"), std::string::npos);
  const Result levels = Batch(dir, "map SITE.mnx est.png --levels 1,two");
  EXPECT_EQ(levels.status, 1);
  EXPECT_NE(levels.err.find("two"), std::string::npos) << levels.err;
  const Result folder = Batch(dir, "map SITE.mnx missing/est.png");
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("missing/est.png"), std::string::npos) << folder.err;
  EXPECT_NE(Batch(dir, "--help").out.find("map PROJECT.mnx OUTPUT.png|svg|pdf"), std::string::npos);
}

}  // namespace
}  // namespace mornax
