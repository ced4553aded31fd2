#include "io/file_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace mornax::io {
namespace {

using testing::ScopedTempDir;

TEST(ResolveProjectFile, ExactNameWins) {
  ScopedTempDir dir;
  dir.Write("BASE.dfl", "a");
  dir.Write("BASE.DFL", "b");
  EXPECT_EQ(ResolveProjectFile("BASE.DFL"), "BASE.DFL");
  EXPECT_EQ(ResolveProjectFile("BASE.dfl"), "BASE.dfl");
}

TEST(ResolveProjectFile, FindsNameInOtherCase) {
  ScopedTempDir dir;
  dir.Write("BASE.dfl", "a");
  dir.Write("site1.DFL", "b");
  dir.Write("BASE.dfl.bak", "c");
  EXPECT_EQ(ResolveProjectFile("BASE.DFL"), "BASE.dfl");
  EXPECT_EQ(ResolveProjectFile("Site1.dfl"), "site1.DFL");
  EXPECT_EQ(ResolveProjectFile("SITE1.DFL"), "site1.DFL");
}

TEST(ResolveProjectFile, SeveralCaseVariantsGiveTheFirstInNameOrder) {
  ScopedTempDir dir;
  dir.Write("base.DFL", "a");
  dir.Write("Base.dfl", "b");
  dir.Write("BASE.Dfl", "c");
  EXPECT_EQ(ResolveProjectFile("base.dfl"), "BASE.Dfl");
}

TEST(ResolveProjectFile, UnknownNameStaysAsGiven) {
  ScopedTempDir dir;
  dir.Write("OTHER.dfl", "a");
  EXPECT_EQ(ResolveProjectFile("NEW.var"), "NEW.var");
  EXPECT_EQ(ResolveProjectFile("OTHER.df"), "OTHER.df");
  EXPECT_EQ(ResolveProjectFile(""), "");
}

TEST(ResolveProjectFile, MatchesOnlyTheFileNameInsideAFolder) {
  ScopedTempDir dir;
  std::filesystem::create_directory("sub");
  dir.Write("sub/Data.DFL", "a");
  EXPECT_EQ(ResolveProjectFile("sub/DATA.dfl"), std::filesystem::path("sub") / "Data.DFL");
  EXPECT_EQ(ResolveProjectFile("SUB/DATA.dfl"), "SUB/DATA.dfl");
  EXPECT_EQ(ResolveProjectFile("missing/DATA.dfl"), "missing/DATA.dfl");
}

}  // namespace
}  // namespace mornax::io
