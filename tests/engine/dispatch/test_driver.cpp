// The run driver: record copies, sizes, the entry's refusals and the
// abandonment of a run whose allocation failed.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dispatch/run_driver.h"
#include "front/entry.h"
#include "front/record_copies.h"
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
  // A name shorter than nameLength is padded with blanks, which are no part
  // of the name: the files are AB.var, SITE.var, never "SITE    .var".
  LoadFileName(MakeName("AB", 4), state);
  EXPECT_EQ(state.baseName, "AB          ");
  EXPECT_EQ(state.Base(), "AB");
  LoadFileName(MakeName("SITE        ", 12), state);
  EXPECT_EQ(state.baseLength, 4);
  EXPECT_EQ(state.Base(), "SITE");
  LoadFileName(MakeName("A B  .mnx", 5), state);  // inner blanks stay
  EXPECT_EQ(state.Base(), "A B");
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

TEST(RunEntry, ABlankNameIsRefused) {
  ScopedTempDir dir;
  Records r;
  r.fileName = MakeName("      .mnx", 6);
  RecorderMessages messages;
  EngineState state;
  state.projectFolder = dir.path();
  RunEntry(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, &r.fileName, &r.svar, &r.fvar,
           &r.ipl, messages, state);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"Project name must have 1 to 12 characters"});
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(RunEntry, StartAndCompletionLinesFrameEveryRun) {
  ScopedTempDir dir;
  Records r;
  RecorderMessages messages;
  EngineState state;
  state.projectFolder = dir.path();
  RunEntry(MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE, &r.fileName, &r.svar, &r.fvar, &r.ipl,
           messages, state);
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
  state.projectFolder = dir.path();
  for (int length : {0, 13, -1, 1000}) {
    RecorderMessages messages;
    r.fileName.nameLength = length;
    RunEntry(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, &r.fileName, &r.svar, &r.fvar,
             &r.ipl, messages, state);
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
  state.projectFolder = dir.path();
  state.arrays.elementLimit = 5 * 3 + 4;  // the point arrays fit, the neighbour arrays do not
  RunEntry(MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, MNX_MODE_INTERPOLATION, &r.fileName,
           &r.svar, &r.fvar, &r.ipl, messages, state);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{" Allocation Error, not enough memory"});
  EXPECT_FALSE(dir.Exists("SITE1.dat")) << "the computation must not run";
  EXPECT_FALSE(dir.Exists("SITE1.lev"));
  EXPECT_TRUE(state.arrays.AllReleased());
  EXPECT_EQ(messages.lines.back().text, "MORNAX: Computation Complete");
}

}  // namespace
}  // namespace mornax

namespace mornax {
namespace {

// A small data set that every method accepts: four points with guesses and a
// network of two points with guesses.
constexpr const char* kDataFile =
    "Dispatch test\n"
    "4\n"
    "0 0 10 11\n"
    "100 0 12 12\n"
    "0 100 14 13\n"
    "100 100 16 15\n"
    "2\n"
    "50 50 13\n"
    "25 75 13\n";

struct DispatchCase {
  int task, method, mode;
  const char* expectedFile;   // the file the dispatched routine writes
  const char* titlePrefix;    // the run title's prefix after the header step
  const char* datHeaderPart;  // a text only that method's .dat header has ("" = no .dat)
};

class Dispatch : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(Dispatch, EachTaskAndMethodReachesItsRoutine) {
  const DispatchCase& c = GetParam();
  ScopedTempDir dir;
  dir.Write("SITE1.dfl", kDataFile);
  Records r;
  r.ipl.dwPoints = 3;
  r.ipl.krigPoints = 3;
  r.ipl.bayesPoints = 3;
  r.ipl.dwScheme = 1;
  r.ipl.guessSill = 5.0f;
  r.ipl.guessA = 100.0f;
  r.ipl.guessC = 5.0f;
  r.ipl.bayesModel = 2;
  r.ipl.scaleGuess = 0;
  r.svar.lagDistance = 50.0f;
  r.svar.lagCount = 4;
  RecorderMessages messages;
  EngineState state;
  state.projectFolder = dir.path();
  if (c.task == MNX_TASK_FIT) {
    dir.Write("SITE1.fit",
              "    Fit title\n    4\n     50.0000      1.0000\n    100.0000      4.0000\n"
              "    141.4214      5.0000\n    200.0000      6.0000\n");
    r.svar.lagCount = 4;
    r.fvar.initial[0] = 5.0f;
    r.fvar.initial[1] = 150.0f;
    r.fvar.maximum[0] = 50.0f;
    r.fvar.maximum[1] = 1000.0f;
    r.fvar.maximum[2] = 5.0f;
  }
  RunEntry(c.task, c.method, c.mode, &r.fileName, &r.svar, &r.fvar, &r.ipl, messages, state);
  EXPECT_TRUE(dir.Exists(c.expectedFile)) << c.expectedFile;
  EXPECT_EQ(state.title.rfind(c.titlePrefix, 0), 0u) << state.title;
  if (*c.datHeaderPart != '\0') {
    const std::string dat = dir.Read("SITE1.dat");
    EXPECT_NE(dat.substr(0, dat.find('\n')).find(c.datHeaderPart), std::string::npos) << dat;
  }
  EXPECT_TRUE(state.arrays.AllReleased());
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, Dispatch,
    ::testing::Values(
        DispatchCase{MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, "SITE1.var",
                     " Semi-Variogram: Dispatch test", ""},
        DispatchCase{MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_BAYES, MNX_MODE_INTERPOLATION, "SITE1.fit",
                     " Semi-Variogram: ", ""},
        DispatchCase{MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE, "SITE1.sol", "Fit title", ""},
        DispatchCase{MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, MNX_MODE_INTERPOLATION,
                     "SITE1.wl", " Distance Weighting:Dispatch test", " ;"},
        DispatchCase{MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, MNX_MODE_ERROR_ANALYSIS,
                     "SITE1.lst", " Distance Weighting:", ""},
        DispatchCase{MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, MNX_MODE_INTERPOLATION, "SITE1.wl",
                     "      Kriging      :Dispatch test", "STD"},
        DispatchCase{MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, MNX_MODE_INTERPOLATION, "SITE1.wl",
                     "  Bayes Estimation :Dispatch test", "GUESS"},
        DispatchCase{7, 9, MNX_MODE_INTERPOLATION, "SITE1.wl", "  Bayes Estimation :", "GUESS"},
        DispatchCase{MNX_TASK_INTERPOLATION, MNX_METHOD_NONE, MNX_MODE_ERROR_ANALYSIS, "SITE1.lst",
                     "  Bayes Estimation :", ""}));

}  // namespace
}  // namespace mornax
