// Result files written record by record: exact bytes on disk, case-variant
// names, the earlier file kept until a commit, and safe behaviour when a file
// cannot be opened.
#include "io/record_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace mornax::io {
namespace {

using mornax::testing::ScopedTempDir;

TEST(RecordFile, WritesFormattedAndFreeFormRecordsWithBareLineEnds) {
  ScopedTempDir dir;
  static const FortranFormat kHeader("(I5,A)");
  static const FortranFormat kRow("(3F15.5,I5)");
  RecordFile file;
  ASSERT_TRUE(file.Create(dir.path() / "SITE1.lev"));
  EXPECT_TRUE(file.IsOpen());
  file.WriteFreeText("       SOLUTIONS OF THE EQUATIONS      ");
  file.WriteFreeInteger(12);
  file.Write(kHeader, 3, " ;");
  file.Write(kRow, 1.0, 2.5, -0.125, 4);
  file.Put("as is\n");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Failed());
  EXPECT_FALSE(dir.Exists("SITE1.lev"));  // not before the commit
  ASSERT_TRUE(file.Commit());

  EXPECT_EQ(dir.Read("SITE1.lev"),
            "        SOLUTIONS OF THE EQUATIONS      \n"
            "          12\n"
            "    3 ;\n"
            "        1.00000        2.50000       -0.12500    4\n"
            "as is\n");
}

TEST(RecordFile, OverwritesTheExistingFileWhoseNameDiffersInCase) {
  ScopedTempDir dir;
  dir.Write("site1.DAT", "old contents that are longer than the new ones\n");
  RecordFile file;
  ASSERT_TRUE(file.Create(dir.path() / "SITE1.dat"));
  file.WriteFreeText("new");
  ASSERT_TRUE(file.Commit());

  EXPECT_EQ(dir.Read("site1.DAT"), " new\n");
  EXPECT_FALSE(dir.Exists("SITE1.dat"));
}

// Names in the folder, sorted.
std::vector<std::string> Listing(const ScopedTempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(RecordFile, WithoutCommitTheEarlierFileStaysAndNoTemporaryIsLeft) {
  ScopedTempDir dir;
  dir.Write("SITE1.var", "good\n");
  {
    RecordFile file;
    ASSERT_TRUE(file.Create(dir.path() / "SITE1.var"));
    file.WriteFreeText("half written");
    EXPECT_TRUE(file.Pending());
    EXPECT_EQ(Listing(dir).size(), 2u);  // the target and the temporary beside it
  }
  {
    RecordFile file;
    ASSERT_TRUE(file.Create(dir.path() / "SITE1.var"));
    file.WriteFreeText("discarded");
    file.Discard();
    EXPECT_FALSE(file.Pending());
    EXPECT_FALSE(file.Commit());  // nothing left to commit
  }
  {
    RecordFile file;
    ASSERT_TRUE(file.Create(dir.path() / "a.wl"));
    file.WriteFreeText("first");
    ASSERT_TRUE(file.Create(dir.path() / "b.wl"));  // discards a.wl
    file.WriteFreeText("second");
    ASSERT_TRUE(file.Commit());
  }
  EXPECT_EQ(dir.Read("SITE1.var"), "good\n");
  EXPECT_EQ(dir.Read("b.wl"), " second\n");
  EXPECT_EQ(Listing(dir), (std::vector<std::string>{"SITE1.var", "b.wl"}));
}

TEST(RecordFile, TwoFilesForTheSameTargetDoNotShareATemporary) {
  ScopedTempDir dir;
  RecordFile first;
  RecordFile second;
  ASSERT_TRUE(first.Create(dir.path() / "SITE1.fit"));
  ASSERT_TRUE(second.Create(dir.path() / "SITE1.fit"));
  first.WriteFreeText("first");
  second.WriteFreeText("second");
  ASSERT_TRUE(first.Commit());
  EXPECT_EQ(dir.Read("SITE1.fit"), " first\n");
  ASSERT_TRUE(second.Commit());
  EXPECT_EQ(dir.Read("SITE1.fit"), " second\n");
  EXPECT_EQ(Listing(dir), (std::vector<std::string>{"SITE1.fit"}));
}

TEST(RecordFile, ARenameThatFailsReportsAndLeavesNoTemporary) {
  ScopedTempDir dir;
  RecordFile file;
  ASSERT_TRUE(file.Create(dir.path() / "SITE1.sol"));
  file.WriteFreeText("report");
  // A folder that came in the way of the target meanwhile: the rename cannot
  // replace it (one that was there before is refused by Create).
  std::filesystem::create_directory(dir.path() / "SITE1.sol");
  RecordFile refused;
  EXPECT_FALSE(refused.Create(dir.path() / "SITE1.sol"));
  EXPECT_FALSE(file.Commit());
  EXPECT_TRUE(file.Failed());
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "SITE1.sol"));
  EXPECT_EQ(Listing(dir), (std::vector<std::string>{"SITE1.sol"}));
}

TEST(RecordFile, UnopenableFileIsReportedAndWritesAreIgnored) {
  ScopedTempDir dir;
  RecordFile file;
  EXPECT_FALSE(file.Create(dir.path() / "missing-folder/SITE1.dat"));
  EXPECT_FALSE(file.Create(dir.path() / ""));
  EXPECT_FALSE(file.IsOpen());
  static const FortranFormat kRow("(I8)");
  file.Write(kRow, 5);
  file.WriteFreeText("lost");
  file.Close();
  file.Close();
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing-folder"));
}

TEST(RecordFile, ManyRecordsAreWrittenCompletely) {
  ScopedTempDir dir;
  static const FortranFormat kRow("(F15.5)");
  constexpr int kCount = 200000;
  RecordFile file;
  ASSERT_TRUE(file.Create(dir.path() / "big.lev"));
  for (int i = 0; i < kCount; ++i) file.Write(kRow, i * 0.5);
  ASSERT_TRUE(file.Commit());

  const std::string text = dir.Read("big.lev");
  ASSERT_EQ(text.size(), static_cast<std::size_t>(kCount) * 16);
  EXPECT_EQ(text.substr(0, 32), "        0.00000\n        0.50000\n");
  EXPECT_EQ(text.substr(text.size() - 16), "    99999.50000\n");
}

}  // namespace
}  // namespace mornax::io
