// The batch tool run as a program: documents made, shown and edited, runs
// through the entry code, exit statuses and usage faults.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "project/project.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::ScopedTempDir;

using Result = testing::BatchResult;

Result Batch(const ScopedTempDir& dir, const std::string& args) {
  return testing::RunBatch(dir, args);
}

constexpr std::string_view kDefaultsShown =
    "subtract = 0\nlogTransform = 0\nlagCount = 20\nlagDistance = 500\ntolerance = 360\n"
    "direction = 0\nfitPointCount = 20\nbestFit = 1\nmodel = 2\n"
    "initial1 = 0\ninitial2 = 0\ninitial3 = 0\nminimum1 = 0\nminimum2 = 0\nminimum3 = 0\n"
    "maximum1 = 0\nmaximum2 = 0\nmaximum3 = 0\n"
    "dwPoints = 4\nkrigPoints = 6\nbayesPoints = 8\ndwScheme = 7\nkrigModel = 2\n"
    "bayesModel = 6\nkrigOrder = 0\ntrendDegree = 2\nscaleGuess = 3\n"
    "sill = 1107\na = 2000\nc = 1107\nc0 = 0\nguessSill = 0\nguessA = 0\nguessC = 0\n"
    "guessC0 = 0\nsigma = 0.67\nk = 43.6\nrho = 0.79\nlagD = 200\n";

// Five points on a small square with a centre, and two network points.
constexpr std::string_view kDataFile =
    "Five test wells\n"
    "5\n"
    "0 0 10 11\n"
    "100 0 20 19\n"
    "0 100 30 31\n"
    "100 100 40 42\n"
    "50 50 25 24\n"
    "2\n"
    "25 25 18\n"
    "75 75 33\n";

class BatchTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(MORNAX_BINARY_DIR "/cli/mornax-batch"))
        << "build the mornax-batch target first";
  }
  ScopedTempDir dir_;
};

TEST_F(BatchTool, NewWritesTheDefaultsAndShowListsEveryField) {
  const Result made = Batch(dir_, "new P.mnx");
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(std::filesystem::file_size(dir_.path() / "P.mnx"), 156u);

  const Result shown = Batch(dir_, "show P.mnx");
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out, kDefaultsShown);
  EXPECT_EQ(shown.err, "");
}

TEST_F(BatchTool, NewKeepsAnExistingFileUnlessForcedAndRefusesUnusableNames) {
  dir_.Write("P.mnx", "precious");
  const Result kept = Batch(dir_, "new P.mnx");
  EXPECT_EQ(kept.status, 2);
  EXPECT_NE(kept.err.find("--force"), std::string::npos);
  EXPECT_EQ(dir_.Read("P.mnx"), "precious");

  EXPECT_EQ(Batch(dir_, "new --force P.mnx").status, 0);
  EXPECT_EQ(Batch(dir_, "show P.mnx").out, kDefaultsShown);

  const Result tooLong = Batch(dir_, "new ABCDEFGHIJKLM.mnx");
  EXPECT_EQ(tooLong.status, 2);
  EXPECT_NE(tooLong.err.find("longer than 12"), std::string::npos);
  EXPECT_FALSE(dir_.Exists("ABCDEFGHIJKLM.mnx"));
}

TEST_F(BatchTool, ShowRefusesAShortDocument) {
  dir_.Write("P.mnx", std::string(155, '\0'));
  const Result shown = Batch(dir_, "show P.mnx");
  EXPECT_EQ(shown.status, 2);
  EXPECT_EQ(shown.out, "");
  EXPECT_NE(shown.err.find("too short"), std::string::npos);
}

TEST_F(BatchTool, SetChangesFieldsOrNothing) {
  ASSERT_EQ(Batch(dir_, "new P.mnx").status, 0);
  const Result set = Batch(dir_, "set P.mnx lagDistance=250 model=4 direction=-22.5 sigma=0.1");
  EXPECT_EQ(set.status, 0) << set.err;
  std::string expected(kDefaultsShown);
  for (const auto& [from, to] : {std::pair{"lagDistance = 500", "lagDistance = 250"},
                                 {"model = 2", "model = 4"},
                                 {"direction = 0", "direction = -22.5"},
                                 {"sigma = 0.67", "sigma = 0.1"}}) {
    expected.replace(expected.find(from), std::string_view(from).size(), to);
  }
  EXPECT_EQ(Batch(dir_, "show P.mnx").out, expected);

  const std::string before = dir_.Read("P.mnx");
  for (const char* args : {"set P.mnx lagCount=5 colour=3", "set P.mnx lagCount=2.5",
                           "set P.mnx lagCount=5 krigModel=6", "set P.mnx tolerance=720",
                           "set P.mnx lagCount", "set P.mnx"}) {
    const Result refused = Batch(dir_, args);
    EXPECT_EQ(refused.status, 2) << args;
    EXPECT_FALSE(refused.err.empty()) << args;
    EXPECT_EQ(dir_.Read("P.mnx"), before) << args;
  }
  EXPECT_EQ(Batch(dir_, "set P.mnx colour=3").err, "mornax-batch: Unknown field \"colour\"\n");
}

TEST_F(BatchTool, UsageFaultsExitWithTwoAndAUsageLine) {
  for (const char* args :
       {"", "frobnicate P.mnx", "--verbose", "show P.mnx --force", "new P.mnx extra",
        "run P.mnx kriging --error-analysis --interpolate", "run P.mnx", "show"}) {
    const Result result = Batch(dir_, args);
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_NE(result.err.find("usage: mornax-batch"), std::string::npos) << args;
  }
  const Result help = Batch(dir_, "--help");
  EXPECT_EQ(help.status, 0);
  for (const project::FieldInfo& field : project::Fields()) {
    EXPECT_NE(help.out.find("\n  " + std::string(field.name) + " "), std::string::npos)
        << field.name;
  }
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  EXPECT_NE(help.out.find("\n  krigModel       integer  1-5\n"), std::string::npos);
}

TEST_F(BatchTool, RunGoesThroughTheEntryAndReportsNoMessageBox) {
  dir_.Write("P.dfl", kDataFile);
  ASSERT_EQ(Batch(dir_, "new P.mnx").status, 0);
  const std::string document = dir_.Read("P.mnx");

  const Result run = Batch(dir_, "run P.mnx variogram lagDistance=50 lagCount=3");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.starts_with("MORNAX: Start Computation\n")) << run.out;
  EXPECT_TRUE(run.out.ends_with("MORNAX: Computation Complete\n")) << run.out;
  // Overrides are for the run only.
  EXPECT_EQ(dir_.Read("P.mnx"), document);
}

TEST_F(BatchTool, RunWorksInTheDocumentsFolder) {
  std::filesystem::create_directory(dir_.path() / "site");
  dir_.Write("site/P.dfl", kDataFile);
  ASSERT_EQ(Batch(dir_, "new site/P.mnx").status, 0);

  const Result run = Batch(dir_, "run site/P.mnx variogram lagDistance=50 lagCount=3");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(dir_.Exists("site/P.var"));
  EXPECT_FALSE(dir_.Exists("P.var"));
}

TEST_F(BatchTool, RunPassesTheRunModeOfTheOptions) {
  dir_.Write("P.dfl", kDataFile);
  ASSERT_EQ(Batch(dir_, "new P.mnx").status, 0);
  // Inverse-distance weighting: error analysis writes the listing only,
  // interpolation (the default) the network results only.
  const Result analysis = Batch(dir_, "run P.mnx weighting --error-analysis dwScheme=4 dwPoints=3");
  EXPECT_EQ(analysis.status, 0) << analysis.err;
  EXPECT_TRUE(dir_.Exists("P.lst"));
  EXPECT_FALSE(dir_.Exists("P.dat"));
  std::filesystem::remove(dir_.path() / "P.lst");

  const Result interpolation = Batch(dir_, "run P.mnx weighting dwScheme=4 dwPoints=3");
  EXPECT_EQ(interpolation.status, 0) << interpolation.err;
  EXPECT_TRUE(dir_.Exists("P.dat"));
  EXPECT_FALSE(dir_.Exists("P.lst"));
}

TEST_F(BatchTool, RunExitsWithOneWhenAMessageBoxWasShown) {
  ASSERT_EQ(Batch(dir_, "new P.mnx").status, 0);  // no P.dfl beside it
  const Result run = Batch(dir_, "run P.mnx variogram");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("P.dfl"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.ends_with("MORNAX: Computation Complete\n")) << run.out;
}

// Ctrl-C stops a long semivariogram: the run says so, exits 1 and the
// earlier results stay as they were.
TEST_F(BatchTool, AnInterruptedRunExitsWithOneAndKeepsTheEarlierResults) {
  ASSERT_EQ(Batch(dir_, "new P.mnx").status, 0);
  dir_.Write("P.dfl", kDataFile);
  ASSERT_EQ(Batch(dir_, "run P.mnx variogram").status, 0);
  const std::string earlier = dir_.Read("P.var");

  // 40,000 points: 8e8 pairs, seconds of work on one thread.
  std::string big = "Many wells\n40000\n";
  for (int i = 0; i < 40000; ++i) {
    big += std::to_string(i % 200) + " " + std::to_string(i / 200) + " " + std::to_string(i % 17) +
           "\n";
  }
  dir_.Write("P.dfl", big + "0\n");
  const std::string command = "cd '" + dir_.path().string() +
                              "' && { '" MORNAX_BINARY_DIR
                              "/cli/mornax-batch' run P.mnx variogram --threads 1 "
                              ">out.txt 2>err.txt </dev/null & " +
                              testing::kWhenComputing + "kill -INT $!; wait $!; }";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1) << dir_.Read("out.txt") << dir_.Read("err.txt");
  EXPECT_NE(dir_.Read("out.txt").find("MORNAX: Computation stopped"), std::string::npos)
      << dir_.Read("out.txt");
  EXPECT_EQ(dir_.Read("P.var"), earlier);
}

TEST_F(BatchTool, RunRefusesBeforeTheCall) {
  dir_.Write("P.dfl", kDataFile);
  ASSERT_EQ(Batch(dir_, "new P.mnx").status, 0);
  // A document name whose project name does not fit the records.
  project::Records records;
  project::SetDefaults(records);
  std::string error;
  ASSERT_TRUE(project::WriteDocumentFile(dir_.path() / "ABCDEFGHIJKLM.mnx", records, error));

  for (const char* args :
       {"run ABCDEFGHIJKLM.mnx variogram", "run P.mnx kriging krigModel=6",
        "run P.mnx variogram --error-analysis", "run P.mnx contouring", "run NONE.mnx fit"}) {
    const Result run = Batch(dir_, args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;  // the entry never started
    EXPECT_FALSE(run.err.empty()) << args;
  }
}

// A stored document is held to the ranges of `set` for every field the
// computation uses; fields it does not use may hold anything.
TEST_F(BatchTool, RunChecksStoredValuesLikeSet) {
  dir_.Write("P.dfl", kDataFile);
  struct Case {
    void (*change)(project::Records&);
    const char* args;
    const char* named;  // the field the message names; nullptr: the run goes ahead
  };
  const Case cases[] = {
      {[](project::Records& r) { r.ipl.dwPoints = 16392; }, "run P.mnx kriging", "dwPoints"},
      {[](project::Records& r) { r.ipl.bayesModel = 7; }, "run P.mnx bayes", "bayesModel"},
      {[](project::Records& r) { r.ipl.lagD = -200.0f; }, "run P.mnx bayes", "lagD"},
      {[](project::Records& r) { r.svar.tolerance = std::numeric_limits<float>::infinity(); },
       "run P.mnx variogram", "tolerance"},
      {[](project::Records& r) { r.fvar.initial[1] = std::numeric_limits<float>::quiet_NaN(); },
       "run P.mnx fit", "initial2"},
      // Stored bad, set good on the command line: the value used counts.
      {[](project::Records& r) { r.ipl.sigma = -1.0f; }, "run P.mnx bayes sigma=0.5 bayesPoints=4",
       nullptr},
      // The k_Rho model does not use the observations' semivariogram.
      {[](project::Records& r) { r.ipl.a = -1.0f; }, "run P.mnx bayes bayesPoints=4", nullptr},
  };
  for (const Case& c : cases) {
    project::Records records;
    project::SetDefaults(records);
    c.change(records);
    std::string error;
    ASSERT_TRUE(project::WriteDocumentFile(dir_.path() / "P.mnx", records, error));
    std::filesystem::remove(dir_.path() / "P.dat");
    const Result run = Batch(dir_, c.args);
    if (c.named == nullptr) {
      EXPECT_EQ(run.status, 0) << c.args << run.err;
      continue;
    }
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_EQ(run.out, "") << c.args;  // the entry never started
    EXPECT_EQ(run.err.find(std::string("mornax-batch: ") + c.named + " must be "), 0u)
        << c.args << ": " << run.err;
    EXPECT_FALSE(dir_.Exists("P.dat")) << c.args;
  }
}

}  // namespace
}  // namespace mornax
