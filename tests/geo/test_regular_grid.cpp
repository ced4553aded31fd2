#include "geo/grid_scan.h"
#include "geo/regular_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace mornax::geo {
namespace {

struct Network {
  std::vector<double> x, y;
  void Add(double px, double py) {
    x.push_back(px);
    y.push_back(py);
  }
};

// Nodes of a cols x rows grid at (x0 + c dx, y0 + r dy), r = 0 the bottom.
double NodeX(int c) {
  return 512300.0 + 25.0 * c;
}
double NodeY(int r) {
  return 5401200.0 + 40.0 * r;
}

void ExpectGrid(const Network& network, double rounding, int cols, int rows) {
  RegularGrid grid;
  std::string reason;
  ASSERT_TRUE(DetectRegularGrid(network.x, network.y, rounding, grid, reason)) << reason;
  EXPECT_EQ(grid.cols, cols);
  EXPECT_EQ(grid.rows, rows);
  EXPECT_NEAR(grid.dx, 25.0, 1e-3);
  EXPECT_NEAR(grid.dy, 40.0, 1e-3);
  EXPECT_NEAR(grid.x0, NodeX(0), 0.05);
  EXPECT_NEAR(grid.y0, NodeY(rows - 1), 0.05);  // the top row
  EXPECT_NEAR(grid.left(), NodeX(0) - 12.5, 0.05);
  // Every point lands in the cell of its own node, each cell at most once,
  // and carries its value there.
  const std::vector<std::int64_t> cells = CellPoints(grid);
  std::vector<double> index(network.x.size());
  for (std::size_t i = 0; i < index.size(); ++i) index[i] = static_cast<double>(i);
  const std::vector<double> values = CellValues(grid, index);
  for (std::size_t cell = 0; cell < cells.size(); ++cell) {
    if (cells[cell] < 0) {
      EXPECT_TRUE(std::isnan(values[cell]));
    } else {
      EXPECT_EQ(values[cell], static_cast<double>(cells[cell]));
    }
  }
  for (std::size_t i = 0; i < network.x.size(); ++i) {
    const std::int64_t cell = grid.pointCell[i];
    ASSERT_GE(cell, 0);
    EXPECT_EQ(cells[static_cast<std::size_t>(cell)], static_cast<std::int64_t>(i));
    const double cx = grid.x0 + static_cast<double>(cell % grid.cols) * grid.dx;
    const double cy = grid.y0 - static_cast<double>(cell / grid.cols) * grid.dy;
    EXPECT_NEAR(cx, network.x[i], 2 * rounding + 1e-6);
    EXPECT_NEAR(cy, network.y[i], 2 * rounding + 1e-6);
  }
}

TEST(RegularGrid, AnyRowOrder) {
  const int cols = 7, rows = 4;
  Network topDown, bottomUp, columnsFirst, shuffled;
  for (int r = rows - 1; r >= 0; --r) {
    for (int c = 0; c < cols; ++c) topDown.Add(NodeX(c), NodeY(r));
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = cols - 1; c >= 0; --c) bottomUp.Add(NodeX(c), NodeY(r));
  }
  for (int c = 0; c < cols; ++c) {
    for (int r = 0; r < rows; ++r) columnsFirst.Add(NodeX(c), NodeY(r));
  }
  shuffled = topDown;
  std::vector<std::size_t> order(shuffled.x.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  Network reordered;
  for (std::size_t i : order) reordered.Add(shuffled.x[i], shuffled.y[i]);
  for (const Network* network : {&topDown, &bottomUp, &columnsFirst, &reordered}) {
    ExpectGrid(*network, 0.0, cols, rows);
  }
}

TEST(RegularGrid, MissingNodesRoundedCoordinatesAndOneRow) {
  Network holes;
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 6; ++c) {
      // A missing corner, a missing whole column (3) and a missing node.
      if ((r == 0 && c == 0) || c == 3 || (r == 2 && c == 4)) continue;
      holes.Add(NodeX(c), NodeY(r));
    }
  }
  ExpectGrid(holes, 0.0, 6, 5);

  // Positions written with one decimal off a spacing that is not a whole
  // number of tenths: 25.03 and 40.07.
  Network rounded;
  for (int r = 0; r < 30; ++r) {
    for (int c = 0; c < 40; ++c) {
      rounded.Add(std::round((1000.0 + 25.03 * c) * 10) / 10,
                  std::round((2000.0 + 40.07 * r) * 10) / 10);
    }
  }
  RegularGrid grid;
  std::string reason;
  ASSERT_TRUE(DetectRegularGrid(rounded.x, rounded.y, 0.05, grid, reason)) << reason;
  EXPECT_EQ(grid.cols, 40);
  EXPECT_EQ(grid.rows, 30);
  // The spacing the one-decimal positions tell, without the fit's noise.
  EXPECT_EQ(grid.dx, 25.03);
  EXPECT_EQ(grid.dy, 40.07);
  EXPECT_EQ(grid.x0, 1000.0);
  // The same points read as exact: the rounding is not regular.
  EXPECT_FALSE(DetectRegularGrid(rounded.x, rounded.y, 0.0, grid, reason));

  Network row;
  for (int c = 0; c < 5; ++c) row.Add(NodeX(c), 7.0);
  ASSERT_TRUE(DetectRegularGrid(row.x, row.y, 0.0, grid, reason)) << reason;
  EXPECT_EQ(grid.rows, 1);
  EXPECT_EQ(grid.cols, 5);
  EXPECT_DOUBLE_EQ(grid.dy, grid.dx);

  // A point without a position has no cell; the others still make the grid.
  Network withNan = holes;
  withNan.Add(std::numeric_limits<double>::quiet_NaN(), NodeY(0));
  ASSERT_TRUE(DetectRegularGrid(withNan.x, withNan.y, 0.0, grid, reason)) << reason;
  EXPECT_EQ(grid.pointCell.back(), -1);
}

TEST(RegularGrid, RefusesNetworksThatAreNoGrid) {
  RegularGrid grid;
  std::string reason;
  Network scattered;
  std::mt19937 random(3);
  std::uniform_real_distribution<double> coordinate(0.0, 1000.0);
  for (int i = 0; i < 50; ++i) scattered.Add(coordinate(random), coordinate(random));
  EXPECT_FALSE(DetectRegularGrid(scattered.x, scattered.y, 0.0, grid, reason));
  EXPECT_FALSE(reason.empty());

  Network nudged;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) nudged.Add(NodeX(c) + (r == 2 && c == 2 ? 3.0 : 0.0), NodeY(r));
  }
  EXPECT_FALSE(DetectRegularGrid(nudged.x, nudged.y, 0.05, grid, reason));

  Network twice;
  for (int c = 0; c < 4; ++c) twice.Add(NodeX(c), NodeY(0));
  twice.Add(NodeX(1), NodeY(0));
  EXPECT_FALSE(DetectRegularGrid(twice.x, twice.y, 0.0, grid, reason));
  EXPECT_NE(reason.find("share"), std::string::npos);

  Network sparse;  // three points of a 100 x 100 lattice
  sparse.Add(0, 0);
  sparse.Add(99, 1);
  sparse.Add(40, 99);
  EXPECT_FALSE(DetectRegularGrid(sparse.x, sparse.y, 0.0, grid, reason));

  Network rotated;  // a grid turned by 30 degrees
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 5; ++c) {
      rotated.Add(c * std::cos(0.5236) - r * std::sin(0.5236),
                  c * std::sin(0.5236) + r * std::cos(0.5236));
    }
  }
  EXPECT_FALSE(DetectRegularGrid(rotated.x, rotated.y, 0.0, grid, reason));

  Network one;
  one.Add(1, 1);
  EXPECT_FALSE(DetectRegularGrid(one.x, one.y, 0.0, grid, reason));
  Network same;
  same.Add(1, 1);
  same.Add(1, 1);
  EXPECT_FALSE(DetectRegularGrid(same.x, same.y, 0.0, grid, reason));
}

// A network read a block at a time: thousands of columns whose positions
// carry two decimals (gaps of 3.16 and 3.17 for a spacing of 3.1626), the
// order of its rows, and a scattered network given up early.
TEST(GridScan, RecognisesRoundedGridsReadInBlocks) {
  constexpr int kSide = 3162;
  const double spacing = 10000.0 / kSide;
  const auto rounded = [](double v) { return std::round(v * 100.0) / 100.0; };
  GridScan scan(static_cast<std::int64_t>(kSide) * 3);
  std::vector<double> x, y;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < kSide; ++c) {
      x.push_back(rounded(14000.0 + spacing / 2 + c * spacing));
      y.push_back(rounded(36000.0 + spacing / 2 + r * spacing));
    }
  }
  scan.Add(x, y);
  RegularGrid grid;
  std::string reason;
  ASSERT_TRUE(scan.Finish(-1.0, grid, reason)) << reason;
  EXPECT_EQ(scan.rounding(), 0.005);
  EXPECT_EQ(grid.cols, kSide);
  EXPECT_EQ(grid.rows, 3);
  EXPECT_EQ(scan.order(), RowOrder::kBottomUp);
  EXPECT_EQ(NodeCell(grid, x.back(), y.back(), scan.rounding()), kSide - 1);

  struct Case {
    std::vector<double> y;
    RowOrder order;
  };
  const Case orders[] = {{{2, 2, 1, 1}, RowOrder::kTopDown},
                         {{1, 1, 2, 2}, RowOrder::kBottomUp},
                         {{1, 2, 1, 2}, RowOrder::kMixed}};
  for (const Case& c : orders) {
    GridScan rows(4);
    const std::vector<double> cols = {0, 1, 0, 1};
    rows.Add(cols, c.y);
    EXPECT_EQ(rows.order(), c.order);
  }

  GridScan scattered(20000);  // as many distinct x and y as points: no grid
  std::vector<double> sx, sy;
  for (int i = 0; i < 20000; ++i) {
    sx.push_back(i * 1.37);
    sy.push_back(std::fmod(i * 7.31, 5000.0));
  }
  scattered.Add(sx, sy);
  EXPECT_FALSE(scattered.Finish(-1.0, grid, reason));
  EXPECT_NE(reason.find("too many distinct"), std::string::npos) << reason;
}

}  // namespace
}  // namespace mornax::geo
