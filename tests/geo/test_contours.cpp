#include "geo/contours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace mornax::geo {
namespace {

// A cols x rows grid with centres at x = 1000 + 10 c, y = 2000 + 5 (rows-1-r).
RegularGrid Grid(int cols, int rows) {
  RegularGrid grid;
  grid.cols = cols;
  grid.rows = rows;
  grid.dx = 10.0;
  grid.dy = 5.0;
  grid.x0 = 1000.0;
  grid.y0 = 2000.0 + 5.0 * (rows - 1);
  return grid;
}

// The plane z = 0.1 (x - 1000) + 0.2 (y - 2000) at every cell centre.
std::vector<double> Plane(const RegularGrid& grid) {
  std::vector<double> values;
  for (std::int64_t r = 0; r < grid.rows; ++r) {
    for (std::int64_t c = 0; c < grid.cols; ++c) {
      const double x = grid.x0 + c * grid.dx, y = grid.y0 - r * grid.dy;
      values.push_back(0.1 * (x - 1000.0) + 0.2 * (y - 2000.0));
    }
  }
  return values;
}

TEST(Contours, LinesOfAPlaneLieWhereThePlaneHasTheirLevel) {
  const RegularGrid grid = Grid(21, 11);  // x 1000-1200, y 2000-2050: z 0-30
  const std::vector<double> values = Plane(grid);
  const std::vector<double> levels = {2.5, 10.0, 17.25, 40.0};
  std::vector<ContourLine> lines;
  std::string error;
  ASSERT_TRUE(TraceContours(values, grid, levels, lines, error)) << error;
  std::vector<int> perLevel(levels.size());
  for (const ContourLine& line : lines) {
    const auto k = std::find(levels.begin(), levels.end(), line.level) - levels.begin();
    ASSERT_LT(k, static_cast<long>(levels.size())) << line.level;
    ++perLevel[static_cast<std::size_t>(k)];
    ASSERT_GE(line.points.size(), 2u);
    for (const ContourPoint& point : line.points) {
      // Inside the raster's extent; between the outer cell centres exactly
      // on the plane (GDAL nudges a level that meets a value by 1e-6).
      EXPECT_GE(point.x, 995.0 - 1e-9);
      EXPECT_LE(point.x, 1205.0 + 1e-9);
      EXPECT_GE(point.y, 1997.5 - 1e-9);
      EXPECT_LE(point.y, 2052.5 + 1e-9);
      if (point.x >= 1000.0 && point.x <= 1200.0 && point.y >= 2000.0 && point.y <= 2050.0) {
        EXPECT_NEAR(0.1 * (point.x - 1000.0) + 0.2 * (point.y - 2000.0), line.level, 1e-5);
      }
    }
  }
  EXPECT_EQ(perLevel, (std::vector<int>{1, 1, 1, 0}));
  // The level-10 line crosses the bottom row of centres at x = 1100 and the
  // top row at x = 1000.
  for (const ContourLine& line : lines) {
    if (line.level != 10.0) continue;
    bool bottom = false, top = false;
    for (const ContourPoint& point : line.points) {
      bottom = bottom || (std::abs(point.y - 2000.0) < 1e-4 && std::abs(point.x - 1100.0) < 1e-4);
      top = top || (std::abs(point.y - 2050.0) < 1e-4 && std::abs(point.x - 1000.0) < 1e-4);
    }
    EXPECT_TRUE(bottom && top);
  }
}

TEST(Contours, NodataCellsBreakTheLines) {
  const RegularGrid grid = Grid(21, 11);
  std::vector<double> values = Plane(grid);
  // A column of nodata at x = 1100 across the whole grid.
  for (std::int64_t r = 0; r < grid.rows; ++r) {
    values[static_cast<std::size_t>(r * grid.cols + 10)] = std::numeric_limits<double>::quiet_NaN();
  }
  std::vector<ContourLine> lines;
  std::string error;
  ASSERT_TRUE(TraceContours(values, grid, std::vector<double>{10.0, 12.0}, lines, error)) << error;
  ASSERT_FALSE(lines.empty());
  for (const ContourLine& line : lines) {
    // Lines stop half a cell short of the nodata column, on either side.
    bool left = false, right = false;
    for (const ContourPoint& point : line.points) {
      EXPECT_FALSE(point.x > 1095.0 + 1e-9 && point.x < 1105.0 - 1e-9) << point.x;
      left = left || point.x < 1100.0;
      right = right || point.x > 1100.0;
    }
    EXPECT_FALSE(left && right) << "a line crosses the nodata column";
  }
}

TEST(Contours, NothingToTraceAndRefusedInput) {
  const RegularGrid grid = Grid(5, 4);
  const std::vector<double> values = Plane(grid);
  std::vector<ContourLine> lines;
  std::string error;
  EXPECT_TRUE(TraceContours(values, grid, {}, lines, error));
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(TraceContours(values, Grid(20, 1), std::vector<double>{1.0}, lines, error) ||
              !error.empty());
  EXPECT_FALSE(TraceContours(std::vector<double>(3), grid, std::vector<double>{1.0}, lines, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace mornax::geo
