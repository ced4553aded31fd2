// Result files written record by record: exact bytes on disk, case-variant
// names, and safe behaviour when a file cannot be opened.
#include "io/record_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace mornax::io {
namespace {

using mornax::testing::ScopedTempDir;

TEST(RecordFile, WritesFormattedAndFreeFormRecordsWithBareLineEnds) {
  ScopedTempDir dir;
  static const FortranFormat kHeader("(I5,A)");
  static const FortranFormat kRow("(3F15.5,I5)");
  RecordFile file;
  ASSERT_TRUE(file.Create("SITE1.lev"));
  EXPECT_TRUE(file.IsOpen());
  file.WriteFreeText("       SOLUTIONS OF THE EQUATIONS      ");
  file.WriteFreeInteger(12);
  file.Write(kHeader, 3, " ;");
  file.Write(kRow, 1.0, 2.5, -0.125, 4);
  file.Put("as is\n");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Failed());

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
  ASSERT_TRUE(file.Create("SITE1.dat"));
  file.WriteFreeText("new");
  file.Close();

  EXPECT_EQ(dir.Read("site1.DAT"), " new\n");
  EXPECT_FALSE(dir.Exists("SITE1.dat"));
}

TEST(RecordFile, DestructorAndRepeatedCreateCloseTheFile) {
  ScopedTempDir dir;
  {
    RecordFile file;
    ASSERT_TRUE(file.Create("a.wl"));
    file.WriteFreeText("first");
    ASSERT_TRUE(file.Create("b.wl"));  // closes a.wl
    file.WriteFreeText("second");
  }
  EXPECT_EQ(dir.Read("a.wl"), " first\n");
  EXPECT_EQ(dir.Read("b.wl"), " second\n");
}

TEST(RecordFile, UnopenableFileIsReportedAndWritesAreIgnored) {
  ScopedTempDir dir;
  RecordFile file;
  EXPECT_FALSE(file.Create("missing-folder/SITE1.dat"));
  EXPECT_FALSE(file.Create(""));
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
  ASSERT_TRUE(file.Create("big.lev"));
  for (int i = 0; i < kCount; ++i) file.Write(kRow, i * 0.5);
  file.Close();

  const std::string text = dir.Read("big.lev");
  ASSERT_EQ(text.size(), static_cast<std::size_t>(kCount) * 16);
  EXPECT_EQ(text.substr(0, 32), "        0.00000\n        0.50000\n");
  EXPECT_EQ(text.substr(text.size() - 16), "    99999.50000\n");
}

}  // namespace
}  // namespace mornax::io
