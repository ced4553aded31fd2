// The run driver: record copies, sizes, the entry's refusals and the
// abandonment of a run whose allocation failed.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/run_driver.h"
#include "front/entry.h"
#include "support/recorder_messages.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

FILENAME MakeName(const char* name, int length) {
  FILENAME record{};
  record.nameLength = length;
  std::strncpy(record.name, name, sizeof record.name - 1);
  return record;
}

TEST(LoadFileName, CopiesTheBaseNameBlankPadded) {
  EngineState state;
  LoadFileName(MakeName("SITE1.mnx", 5), state);
  EXPECT_EQ(state.baseName, "SITE1       ");
  EXPECT_EQ(state.baseLength, 5);
  EXPECT_EQ(state.Base(), "SITE1");
  // A name shorter than nameLength is padded with blanks.
  LoadFileName(MakeName("AB", 4), state);
  EXPECT_EQ(state.baseName, "AB          ");
}

TEST(LoadParameters, WidensEveryRealAndCopiesTheIntegers) {
  SVAR svar{1, 1, 20, 500.0f, 360.0f, 0.1f};
  FVAR fvar{20, 1, 2, {0.1f, 2.0f, 3.0f}, {0.0f, 0.5f, 0.25f}, {10.0f, 20.0f, 30.0f}};
  IPL ipl{4,       6,    8,    7,    2,    6,    0,     2,     3,     1107.0f, 2000.0f,
          1107.0f, 0.0f, 1.5f, 2.5f, 3.5f, 4.5f, 0.67f, 43.6f, 0.79f, 200.0f};
  EngineState state;
  LoadParameters(svar, fvar, ipl, state);
  EXPECT_EQ(state.svar.subtract, 1);
  EXPECT_EQ(state.svar.lagCount, 20);
  EXPECT_EQ(state.svar.direction, static_cast<double>(0.1f));
  EXPECT_NE(state.svar.direction, 0.1);
  EXPECT_EQ(state.fvar.initial[0], static_cast<double>(0.1f));
  EXPECT_EQ(state.fvar.maximum[2], 30.0);
  EXPECT_EQ(state.ipl.scaleGuess, 3);
  EXPECT_EQ(state.ipl.sigma, static_cast<double>(0.67f));
  EXPECT_EQ(state.ipl.guessC0, 4.5);
  EXPECT_EQ(state.ipl.lagD, 200.0);
}

TEST(ComputeSizes, FormulasOfTheFourSizes) {
  EngineState state;
  state.ipl.dwPoints = 4;
  state.ipl.krigPoints = 6;
  state.ipl.bayesPoints = 8;
  state.ipl.trendDegree = 2;
  state.fvar.fitPointCount = 20;
  state.svar.lagCount = 20;
  ComputeSizes(state);
  EXPECT_EQ(state.neighbourCapacity, 24);
  EXPECT_EQ(state.trendTermCount, 7);
  EXPECT_EQ(state.lagCapacity, 21);
  EXPECT_EQ(state.fitWorkSize, 91);

  state.ipl.trendDegree = 9;
  state.ipl.dwPoints = 40;
  state.svar.lagCount = 35;
  ComputeSizes(state);
  EXPECT_EQ(state.trendTermCount, 56);
  EXPECT_EQ(state.neighbourCapacity, 56);
  EXPECT_EQ(state.lagCapacity, 36);
  EXPECT_EQ(state.fitWorkSize, 151);
}

TEST(ComputeSizes, HugeCountsSaturateInsteadOfWrapping) {
  EngineState state;
  state.ipl.krigPoints = 2147483647;
  state.svar.lagCount = 2147483647;
  ComputeSizes(state);
  EXPECT_EQ(state.neighbourCapacity, 2147483647);
  EXPECT_EQ(state.fitWorkSize, 2147483647);
  EXPECT_GT(state.lagCapacity, 0);
}

struct Records {
  FILENAME fileName = MakeName("SITE1.mnx", 5);
  SVAR svar{0, 0, 20, 500.0f, 360.0f, 0.0f};
  FVAR fvar{20, 1, 2, {}, {}, {}};
  IPL ipl{4,       6,    8,    7,    2,    6,    0,     2,     3,     1107.0f, 2000.0f,
          1107.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.67f, 43.6f, 0.79f, 200.0f};
};

TEST(RunEntry, StartAndCompletionLinesFrameEveryRun) {
  ScopedTempDir dir;
  Records r;
  RecorderMessages messages;
  EngineState state;
  RunEntry(2, 0, 0, &r.fileName, &r.svar, &r.fvar, &r.ipl, messages, state);
  ASSERT_GE(messages.lines.size(), 2u);
  EXPECT_EQ(messages.lines.front().mode, 0);
  EXPECT_EQ(messages.lines.front().text, "MORNAX: Start Computation");
  EXPECT_EQ(messages.lines.back().mode, 2);
  EXPECT_EQ(messages.lines.back().text, "MORNAX: Computation Complete");
  EXPECT_EQ(messages.shows, 1);
  EXPECT_TRUE(state.arrays.AllReleased());
  EXPECT_EQ(state.allocationStatus, 1);
}

TEST(RunEntry, RefusesBaseNamesTheRecordsCannotHold) {
  ScopedTempDir dir;
  Records r;
  EngineState state;
  for (int length : {0, 13, -1, 1000}) {
    RecorderMessages messages;
    r.fileName.nameLength = length;
    RunEntry(1, 0, 0, &r.fileName, &r.svar, &r.fvar, &r.ipl, messages, state);
    ASSERT_EQ(messages.boxes.size(), 1u) << length;
    EXPECT_EQ(messages.boxes[0], "Project name must have 1 to 12 characters");
    EXPECT_EQ(messages.lines.back().text, "MORNAX: Computation Complete");
    EXPECT_EQ(state.baseLength, 0) << "nothing was loaded";
  }
}

TEST(RunTask, FailedAllocationAbandonsTheRunAndReleasesEverything) {
  ScopedTempDir dir;
  dir.Write("SITE1.dfl", "title\n3\n0 0 1\n1 0 2\n0 1 3\n0\n");
  Records r;
  RecorderMessages messages;
  EngineState state;
  state.arrays.elementLimit = 5 * 3 + 4;  // the point arrays fit, the neighbour arrays do not
  RunEntry(3, 1, 2, &r.fileName, &r.svar, &r.fvar, &r.ipl, messages, state);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{" Allocation Error, not enough memory"});
  EXPECT_FALSE(dir.Exists("SITE1.dat")) << "the computation must not run";
  EXPECT_FALSE(dir.Exists("SITE1.lev"));
  EXPECT_TRUE(state.arrays.AllReleased());
  EXPECT_EQ(messages.lines.back().text, "MORNAX: Computation Complete");
}

}  // namespace
}  // namespace mornax
