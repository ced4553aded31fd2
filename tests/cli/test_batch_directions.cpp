// mornax-batch directions: the sectors, the map, the joint fit and use-fit.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "support/batch_run.h"
#include "support/gaussian_field.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RunBatch;
using testing::ScopedTempDir;

TEST(BatchDirections, WritesSectorsMapAndJointFitThatUseFitTakes) {
  ScopedTempDir dir;
  const auto field = testing::SimulateField(
      {.model = 3, .c = 1.0, .a = 60.0, .c0 = 0.05, .angle = 60.0, .ratio = 0.4}, 900, 0.0, 0.0,
      500.0, 7);
  dir.Write("P.dfl", testing::DataFileText(field));
  ASSERT_EQ(RunBatch(dir, "new P.mnx").status, 0);
  ASSERT_EQ(RunBatch(dir, "set P.mnx lagCount=10 lagDistance=20").status, 0);
  const auto run = RunBatch(dir, "directions P.mnx --map-cells 4 --fit 3 --tolerance 30");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string vdr = dir.Read("P.vdr");
  EXPECT_NE(vdr.find("NUMBER OF DIRECTIONS =     4"), std::string::npos);
  EXPECT_NE(vdr.find("DIRECTION =    135.0 degrees"), std::string::npos);
  // The map: title, size, blank, heading and 81 cells.
  std::istringstream map(dir.Read("P.vmp"));
  int lines = 0;
  for (std::string line; std::getline(map, line);) ++lines;
  EXPECT_EQ(lines, 4 + 81);

  ASSERT_NE(dir.Read("P.jfr").find("ICON=  0"), std::string::npos) << dir.Read("P.jfr");
  const auto used = RunBatch(dir, "use-fit P.mnx --joint");
  ASSERT_EQ(used.status, 0) << used.err;
  EXPECT_NE(used.out.find("krigModel = 3"), std::string::npos);
  EXPECT_NE(RunBatch(dir, "show P.mnx").out.find("\nangle = "), std::string::npos);
  EXPECT_EQ(RunBatch(dir, "directions P.mnx --fit 1").status, 2);
  EXPECT_EQ(RunBatch(dir, "directions P.mnx --map-cells 0").status, 2);
}

}  // namespace
}  // namespace mornax
