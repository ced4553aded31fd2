// A run that fails or is stopped before its first record leaves every earlier
// result file byte for byte as it was and no temporary behind; a run stopped
// later keeps the records it wrote, and its closing line says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "front/entry.h"
#include "support/recorder_messages.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

constexpr const char* kGoodData =
    "Kept results\n"
    "5\n"
    "0 0 10 11\n"
    "100 0 12 12\n"
    "0 100 14 13\n"
    "100 100 16 15\n"
    "50 40 13 13\n"
    "3\n"
    "50 50 13\n"
    "25 75 13\n"
    "75 25 13\n";

constexpr const char* kCompleteLine = "MORNAX: Computation Complete";

struct Computation {
  const char* name;
  int task, method, mode;
  bool takesLogarithms = false;
};

constexpr Computation kComputations[] = {
    {"variogram", MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, true},
    {"weighting list", MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, MNX_MODE_ERROR_ANALYSIS},
    {"weighting net", MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, MNX_MODE_INTERPOLATION},
    {"trend surface", MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, MNX_MODE_INTERPOLATION},
    {"kriging list", MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, MNX_MODE_ERROR_ANALYSIS, true},
    {"kriging net", MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, MNX_MODE_INTERPOLATION, true},
    {"bayes list", MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, MNX_MODE_ERROR_ANALYSIS, true},
    {"bayes net", MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, MNX_MODE_INTERPOLATION, true},
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

class KeptResults : public ::testing::Test {
 protected:
  KeptResults() {
    fileName.nameLength = 4;
    std::strncpy(fileName.name, "SITE.mnx", sizeof fileName.name - 1);
    state.projectFolder = dir.path();
    svar = SVAR{0, 0, 4, 50.0f, 360.0f, 0.0f};
    fvar = FVAR{4, 1, 2, {5.0f, 150.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {50.0f, 1000.0f, 5.0f}};
    ipl = IPL{3,    3,    3,     1,      2,    2,    0,    1,    0,    20.0f, 150.0f,
              0.0f, 0.0f, 20.0f, 150.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  }

  void Run(const Computation& c) {
    messages = RecorderMessages{};
    messages.cancelAtPoll = cancelAtPoll;
    ipl.dwScheme = std::string_view(c.name) == "trend surface" ? 7 : 1;
    RunEntry(c.task, c.method, c.mode, &fileName, &svar, &fvar, &ipl, messages, state);
  }

  // Every file of the folder with its contents.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = entry.path().filename().string();
      files[name] = dir.Read(name);
    }
    return files;
  }

  std::string LastLine() const { return messages.lines.back().text; }

  ScopedTempDir dir;
  FILENAME fileName{};
  SVAR svar{};
  FVAR fvar{};
  IPL ipl{};
  EngineState state;
  RecorderMessages messages;
  int cancelAtPoll = 0;
};

TEST_F(KeptResults, AFailureBeforeTheFirstRecordChangesNoFile) {
  struct Spoiler {
    const char* what;
    const char* data;  // nullptr: no data file at all
    int logTransform;
    int cancelAtPoll;
  };
  const Spoiler spoilers[] = {
      {"missing data file", nullptr, 0, 0},
      {"letter for a number", "Kept results\n5\n0 0 10 11\n100 x 12 12\n", 0, 0},
      {"short file", "Kept results\n5\n0 0 10 11\n", 0, 0},
      {"value without logarithm", "Kept results\n2\n0 0 0 1\n100 0 12 12\n1\n5 5 1\n", 1, 0},
      {"stop before the first point", kGoodData, 0, 1},
  };
  for (const Computation& c : kComputations) {
    SCOPED_TRACE(c.name);
    dir.Write("SITE.dfl", kGoodData);
    svar.logTransform = 0;
    cancelAtPoll = 0;
    Run(c);
    ASSERT_EQ(LastLine(), kCompleteLine);
    ASSERT_TRUE(messages.boxes.empty()) << messages.boxes.front();
    const auto good = Snapshot();
    ASSERT_GE(good.size(), 2u);

    for (const Spoiler& spoiler : spoilers) {
      SCOPED_TRACE(spoiler.what);
      if (spoiler.logTransform != 0 && !c.takesLogarithms) continue;
      std::filesystem::remove(dir.path() / "SITE.dfl");
      if (spoiler.data != nullptr) dir.Write("SITE.dfl", spoiler.data);
      svar.logTransform = spoiler.logTransform;
      cancelAtPoll = spoiler.cancelAtPoll;
      Run(c);
      auto expected = good;
      if (spoiler.data == nullptr) {
        expected.erase("SITE.dfl");
      } else {
        expected["SITE.dfl"] = spoiler.data;
      }
      EXPECT_EQ(Snapshot(), expected);
      if (spoiler.cancelAtPoll > 0) {
        EXPECT_EQ(LastLine(), c.task == MNX_TASK_INTERPOLATION
                                  ? "MORNAX: Computation stopped, no points written"
                                  : "MORNAX: Computation stopped, earlier results kept");
      } else {
        EXPECT_FALSE(messages.boxes.empty());
        EXPECT_EQ(LastLine(), kCompleteLine);
      }
    }
    for (const auto& [name, contents] : good) {
      if (name != "SITE.dfl") std::filesystem::remove(dir.path() / name);
    }
  }
}

TEST_F(KeptResults, AMissingDataFileIsNamedAsOneThatCannotBeOpened) {
  for (const Computation& c : kComputations) {
    Run(c);
    EXPECT_EQ(messages.boxes, std::vector<std::string>{"Cannot open input file : SITE.dfl"})
        << c.name;
  }
}

TEST_F(KeptResults, AStoppedInterpolationKeepsItsPointsInAllThreeFiles) {
  dir.Write("SITE.dfl", kGoodData);
  for (int method : {1, 2, 3}) {
    SCOPED_TRACE(method);
    cancelAtPoll = 3;  // before the third network point
    Run(Computation{"stopped", 3, method, 2});
    EXPECT_EQ(LastLine(), "MORNAX: Computation stopped, 2 points written");
    const auto wl = Lines(dir.Read("SITE.wl"));
    const auto dat = Lines(dir.Read("SITE.dat"));
    const auto lev = Lines(dir.Read("SITE.lev"));
    ASSERT_EQ(wl.size(), 2u);
    EXPECT_EQ(dat.size(), 1u + 2u);  // header and two records
    ASSERT_GE(lev.size(), 2u);
    // The estimates end .lev in the order of the .wl records.
    EXPECT_EQ(lev[lev.size() - 2], wl[0].substr(30, 15));
    EXPECT_EQ(lev[lev.size() - 1], wl[1].substr(30, 15));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      EXPECT_FALSE(entry.path().filename().string().ends_with(".part"));
    }
  }
  cancelAtPoll = 2;
  Run(Computation{"stopped list", MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING,
                  MNX_MODE_ERROR_ANALYSIS});
  EXPECT_EQ(LastLine(), "MORNAX: Computation stopped, 1 point written");
}

TEST_F(KeptResults, AStoppedFitKeepsTheEarlierSolution) {
  dir.Write("SITE.fit",
            "    Fit title\n    4\n     50.0000      1.0000\n    100.0000      4.0000\n"
            "    141.4214      5.0000\n    200.0000      6.0000\n");
  Run(Computation{"fit", MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE});
  ASSERT_EQ(LastLine(), kCompleteLine);
  const std::string solution = dir.Read("SITE.sol");
  ASSERT_FALSE(solution.empty());
  cancelAtPoll = 2;  // during the iterations
  fvar.initial[0] = 7.0f;
  Run(Computation{"fit", MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE});
  EXPECT_EQ(LastLine(), "MORNAX: Computation stopped, earlier results kept");
  EXPECT_EQ(dir.Read("SITE.sol"), solution);
}

TEST_F(KeptResults, BayesShowsTwoEmptyLinesWhenTheNetworkCountCannotBeRead) {
  dir.Write("SITE.dfl", "T\n4\n0 0 10 11\n100 0 12 12\n0 100 14 13\n100 100 16 15\nnone\n");
  Run(Computation{"bayes", MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, MNX_MODE_INTERPOLATION});
  std::vector<std::string> texts = messages.Texts();
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()),
            (std::vector<std::string>{"", "", kCompleteLine}));
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"Data format error in input file : SITE.dfl"
                                                     ", line 7: network count expected"});
}

}  // namespace
}  // namespace mornax
