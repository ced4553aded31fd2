// Distance-weighting runs through the run driver: whole result files for a
// small data set worked out by hand, the progress lines, the parameter
// refusals and the data-file failures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dispatch/run_driver.h"
#include "support/expected_text.h"
#include "support/recorder_messages.h"
#include "support/run_fixture.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

// Four points on the x axis. With 1/d weights and two neighbours:
//   point 1 (0,0): points 2 (d 1) and 3 (d 3), weights 3/4, 1/4 -> 26.5
//   point 2 (1,0): points 1 (d 1) and 3 (d 2), weights 2/3, 1/3 -> 20
//   point 3 (3,0): point 2 (d 2), then points 1 and 4 tie at d 3 and the
//                  earlier one wins: weights 3/5, 2/5 -> 17.2
//   point 4 (6,0): points 3 (d 3) and 2 (d 5), weights 5/8, 3/8 -> 33.25
constexpr const char* kLine =
    "A line of four wells\n"
    "4\n"
    "0 0 10\n"
    "1 0 22\n"
    "3 0 40\n"
    "6 0 71\n";

// The .lst title line: one blank, then the 72-character run title (the
// method's label and the data file's title line, blank padded).
std::string TitleLine(const std::string& title) {
  return testing::RunTitleLine(" Distance Weighting:", title);
}

class WeightingRun : public testing::ProjectRun {
 protected:
  void SetUp() override {
    state.ipl.dwPoints = 2;
    state.ipl.dwScheme = 1;
    state.ipl.trendDegree = 1;
  }
  void Run(int mode) { RunProject(MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, mode); }
  std::vector<std::string> Lines(const char* name) const {
    std::vector<std::string> lines;
    std::string text = dir.Read(name);
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find('\n', start);
      lines.push_back(text.substr(start, end - start));
      start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
  }
};

TEST_F(WeightingRun, ErrorAnalysisWritesTitleTableAndStatistics) {
  dir.Write("SITE.dfl", std::string(kLine) + "0\n");
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(dir.Read("SITE.lst"), TitleLine("A line of four wells") +
                                      "      X          Y            Z         Z*      Z-Z*\n"
                                      "           0.00      0.00     10.00     26.50     16.50\n"
                                      "           1.00      0.00     22.00     20.00     -2.00\n"
                                      "           3.00      0.00     40.00     17.20    -22.80\n"
                                      "           6.00      0.00     71.00     33.25    -37.75\n"
                                      "\n"
                                      "           Average Error = -1.151E+01\n"
                                      "           Root Mean Square Error = 2.356E+01\n"
                                      "           Greatest Error = -3.775E+01\n"
                                      "           Mean Absolute Error = 1.976E+01\n");
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_FALSE(dir.Exists("SITE.dat"));
  ASSERT_GE(messages.lines.size(), 2u);
  const auto& counter = messages.lines[messages.lines.size() - 2];
  EXPECT_EQ(counter.mode, 1);
  EXPECT_EQ(counter.text, " Error Analysis -  point:    4");
  EXPECT_EQ(messages.lines.back().mode, 2);
  EXPECT_EQ(messages.lines.back().text, " Root Mean Square Error (RMSE):  2.356E+01");
}

TEST_F(WeightingRun, InterpolationWritesDatLevAndWl) {
  // (2,0) and (4.5,0) lie halfway between two points: the plain mean.
  // (0,0) is a data point: its weight 1/1.0e-7 dominates.
  dir.Write("SITE.dfl", std::string(kLine) + "3\n2 0\n0 0\n4.5 0\n");
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(dir.Read("SITE.dat"),
            "    0    3    0 ;\n"
            "        2.00000        0.00000       31.00000    1\n"
            "        0.00000        0.00000       10.00000    2\n"
            "        4.50000        0.00000       55.50000    3\n");
  // Values 10 to 71: range 61, step 10, start 10, 8 levels.
  EXPECT_EQ(dir.Read("SITE.lev"),
            "    8 ;\n      10\n      20\n      30\n      40\n      50\n      60\n      70\n"
            "      80\n       31.00000\n       10.00000\n       55.50000\n");
  EXPECT_EQ(dir.Read("SITE.wl"),
            "        2.00000        0.00000       31.00000\n"
            "        0.00000        0.00000       10.00000\n"
            "        4.50000        0.00000       55.50000\n");
  EXPECT_FALSE(dir.Exists("SITE.lst"));
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(messages.lines.back().text, " Estimating point    3");
}

TEST_F(WeightingRun, ProgressCountersAtTheirIntervalsAndTheLast) {
  std::string data = "Twelve points\n12\n";
  for (int i = 0; i < 12; ++i) data += std::to_string(i) + " " + std::to_string(i * i) + " 5\n";
  std::string network = "27\n";
  for (int i = 0; i < 27; ++i) network += std::to_string(i) + " 0.5\n";
  dir.Write("SITE.dfl", data + network);

  Run(MNX_MODE_ERROR_ANALYSIS);
  std::vector<std::string> counters;
  for (const auto& line : messages.lines) {
    if (line.mode == 1) counters.push_back(line.text);
  }
  EXPECT_EQ(counters, (std::vector<std::string>{" Error Analysis -  point:   10",
                                                " Error Analysis -  point:   12"}));

  messages.lines.clear();
  Run(MNX_MODE_INTERPOLATION);
  counters.clear();
  int emptyLines = 0;
  for (const auto& line : messages.lines) {
    if (line.mode == 1) counters.push_back(line.text);
    if (line.mode == 2 && line.text.empty()) ++emptyLines;
  }
  EXPECT_EQ(counters,
            (std::vector<std::string>{" Estimating point   25", " Estimating point   27"}));
  EXPECT_EQ(emptyLines, 2);  // before the branch and before the network loop
}

TEST_F(WeightingRun, TrendSurfaceReportAndPlaneReproducedExactly) {
  // z = 2 + 3x - y at five points: the degree-1 surface passes through all.
  dir.Write("SITE.dfl", "Plane\n5\n0 0 2\n2 0 8\n0 2 0\n2 2 6\n1 1 4\n0\n");
  state.ipl.dwScheme = 7;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(dir.Read("SITE.lst"),
            TitleLine("Plane") +
                "\n"
                "\n"
                "  Trend Surface Coefficients   (1 = constant term)\n"
                "      2.000E+00\n"
                "      3.000E+00\n"
                "     -1.000E+00\n"
                "\n"
                "\n"
                " Source of             Sum of   Degrees of    Mean\n"
                " Variation             Squares   Freedom     Squares    F-Test\n"
                " ------------------------------------------------------------\n"
                " Regression               40.00       2       20.00 **********\n"
                " Deviation                 0.00       2        0.00\n"
                " Total Variation          40.00       4\n"
                "           Goodness of Fit =     1.0000\n"
                "           Correlation Coefficient =     1.0000\n"
                "           Degree =     1\n"
                "\n"
                "\n"
                "      X          Y            Z         Z*      Z-Z*\n"
                "           0.00      0.00      2.00      2.00      0.00\n"
                "           2.00      0.00      8.00      8.00      0.00\n"
                "           0.00      2.00      0.00      0.00      0.00\n"
                "           2.00      2.00      6.00      6.00      0.00\n"
                "           1.00      1.00      4.00      4.00      0.00\n"
                "\n"
                "           Average Error =  0.000E+00\n"
                "           Root Mean Square Error = 0.000E+00\n"
                "           Greatest Error =  0.000E+00\n"
                "           Mean Absolute Error = 0.000E+00\n");
  EXPECT_EQ(messages.lines[0].text, " Perform Trendsurface Analysis ");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WeightingRun, TrendSurfaceInterpolationKeepsItsReport) {
  dir.Write("SITE.dfl", "Plane\n5\n0 0 2\n2 0 8\n0 2 0\n2 2 6\n1 1 4\n1\n10 -4\n");
  state.ipl.dwScheme = 7;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_NE(dir.Read("SITE.lst").find("           Degree =     1\n\n\n"), std::string::npos);
  EXPECT_EQ(dir.Read("SITE.lst").find("Z-Z*"), std::string::npos);
  EXPECT_EQ(dir.Read("SITE.wl"), "       10.00000       -4.00000       36.00000\n");
}

TEST_F(WeightingRun, RefusesParametersBeforeTouchingFiles) {
  dir.Write("SITE.dfl", std::string(kLine) + "0\n");
  struct Case {
    int nearest, scheme, degree;
    const char* message;
  };
  for (const Case& c :
       {Case{0, 1, 1, "No Parameters specified"}, Case{2, 0, 1, "No Parameters specified"},
        Case{-3, 1, 1, "No Parameters specified"}, Case{2, 8, 1, "Interpolation Scheme not valid"},
        Case{2, -1, 1, "Interpolation Scheme not valid"},
        Case{2, 7, 0, "Degree of Trendsurface not valid"},
        Case{2, 7, 10, "Degree of Trendsurface not valid"}}) {
    messages.boxes.clear();
    state.ipl.dwPoints = c.nearest;
    state.ipl.dwScheme = c.scheme;
    state.ipl.trendDegree = c.degree;
    Run(MNX_MODE_ERROR_ANALYSIS);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.message}) << c.scheme;
    EXPECT_FALSE(dir.Exists("SITE.lst"));
  }
}

TEST_F(WeightingRun, TrendSurfaceFailuresAreReportedNotWritten) {
  state.ipl.dwScheme = 7;
  struct Case {
    const char* data;
    int degree;
    const char* message;
  };
  for (const Case& c :
       {Case{"T\n3\n0 0 1\n1 0 2\n0 1 3\n0\n", 1,
             "Not enough Data Points for the Trendsurface Degree"},
        Case{"T\n4\n0 0 5\n1 0 5\n0 1 5\n3 3 5\n0\n", 1,
             "Data values all equal, no Trendsurface Analysis"},
        Case{"T\n4\n0 0 1\n1 1 2\n2 2 3\n3 3 5\n0\n", 1,
             "Trendsurface System singular, the Data Points do not determine the Surface"}}) {
    messages.boxes.clear();
    dir.Write("SITE.dfl", c.data);
    dir.Write("SITE.lst", "earlier report\n");
    state.ipl.trendDegree = c.degree;
    Run(MNX_MODE_ERROR_ANALYSIS);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.message});
    EXPECT_EQ(dir.Read("SITE.lst"), "earlier report\n");
  }
}

TEST_F(WeightingRun, DataLineWithFourNumbersIgnoresTheFourth) {
  dir.Write("SITE.dfl",
            "A line of four wells\n4\n0 0 10 99\n1 0 22 98\n3 0 40 97\n6 0 71 96\n1\n2 0 7\n");
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(dir.Read("SITE.wl"), "        2.00000        0.00000       31.00000\n");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WeightingRun, CancelLeavesTheThreeFilesWithEqualRecords) {
  dir.Write("SITE.dfl", std::string(kLine) + "5\n2 0\n0 0\n4.5 0\n1 1\n2 2\n");
  messages.cancelAtPoll = 3;
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(Lines("SITE.dat").size(), 1u + 2u);
  EXPECT_EQ(Lines("SITE.lev").size(), 1u + 8u + 2u);
  EXPECT_EQ(Lines("SITE.wl").size(), 2u);
  EXPECT_TRUE(messages.boxes.empty());

  messages.polls = 0;
  Run(MNX_MODE_ERROR_ANALYSIS);
  EXPECT_EQ(Lines("SITE.lst").size(), 1u + 1u + 2u) << "title, header, two rows, no statistics";
}

TEST_F(WeightingRun, EndOfFileInsideTheNetworkKeepsThePointsBefore) {
  dir.Write("SITE.dfl", std::string(kLine) + "4\n2 0\n0 0\n");
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(Lines("SITE.dat").size(), 1u + 2u);
  EXPECT_EQ(Lines("SITE.lev").size(), 1u + 8u + 2u);
  EXPECT_EQ(Lines("SITE.wl").size(), 2u);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"End of File reached in input file : "
                                                     "SITE.dfl, after line 9: x expected"});
}

TEST_F(WeightingRun, BadDataFileEstimatesNothing) {
  struct Case {
    const char* data;
    const char* message;
  };
  for (const Case& c :
       {Case{"T\n4\n0 0 10\n1 0 22\n",
             "End of File reached in input file : SITE.dfl, after line 4: x expected"},
        Case{"T\n3\n0 0 10\n1 x 22\n3 0 40\n0\n",
             "Data format error in input file : SITE.dfl, line 4: y expected"},
        Case{"T\n2\n0 0 10\n1 1 22\nnone\n",
             "Data format error in input file : SITE.dfl, line 5: network count expected"},
        Case{"T\n2\n0 0 10\n1 1 22\n",
             "End of File reached in input file : SITE.dfl, after line 4: network count expected"},
        Case{"T\n0\n0\n", "No Data Points in input file : SITE.dfl"}}) {
    messages.boxes.clear();
    dir.Write("SITE.dfl", c.data);
    for (const char* name : {"SITE.dat", "SITE.lev", "SITE.wl"}) dir.Write(name, "earlier\n");
    Run(MNX_MODE_INTERPOLATION);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{c.message});
    // Nothing was estimated: the earlier results stay, and nothing else.
    for (const char* name : {"SITE.dat", "SITE.lev", "SITE.wl"}) {
      EXPECT_EQ(dir.Read(name), "earlier\n") << name << " " << c.data;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              4);
  }
}

TEST_F(WeightingRun, ResultFileThatCannotBeOpened) {
  dir.Write("SITE.dfl", std::string(kLine) + "1\n2 0\n");
  std::filesystem::create_directory(dir.path() / "SITE.dat");
  Run(MNX_MODE_INTERPOLATION);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"Cannot open Output files"});
  EXPECT_EQ(dir.Read("SITE.lev"), "");
  EXPECT_FALSE(dir.Exists("SITE.wl"));
}

}  // namespace
}  // namespace mornax
