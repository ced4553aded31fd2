#include "io/file_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace mornax::io {
namespace {

using testing::ScopedTempDir;

// The name that ResolveProjectFile found in the folder (its folder part
// checked).
std::filesystem::path Found(const ScopedTempDir& dir, std::string_view name) {
  const std::filesystem::path found = ResolveProjectFile(dir.path(), name);
  EXPECT_EQ(found.parent_path(), dir.path()) << found;
  return found.filename();
}

TEST(ResolveProjectFile, ExactNameWins) {
  ScopedTempDir dir;
  dir.Write("BASE.dfl", "a");
  dir.Write("BASE.DFL", "b");
  EXPECT_EQ(Found(dir, "BASE.DFL"), "BASE.DFL");
  EXPECT_EQ(Found(dir, "BASE.dfl"), "BASE.dfl");
}

TEST(ResolveProjectFile, FindsNameInOtherCase) {
  ScopedTempDir dir;
  dir.Write("BASE.dfl", "a");
  dir.Write("site1.DFL", "b");
  dir.Write("BASE.dfl.bak", "c");
  EXPECT_EQ(Found(dir, "BASE.DFL"), "BASE.dfl");
  EXPECT_EQ(Found(dir, "Site1.dfl"), "site1.DFL");
  EXPECT_EQ(Found(dir, "SITE1.DFL"), "site1.DFL");
  // The same through a path whose folder part names the folder.
  EXPECT_EQ(ResolveProjectFile(dir.path() / "SITE1.DFL"), dir.path() / "site1.DFL");
}

TEST(ResolveProjectFile, SeveralCaseVariantsGiveTheFirstInNameOrder) {
  ScopedTempDir dir;
  dir.Write("base.DFL", "a");
  dir.Write("Base.dfl", "b");
  dir.Write("BASE.Dfl", "c");
  EXPECT_EQ(Found(dir, "base.dfl"), "BASE.Dfl");
}

TEST(ResolveProjectFile, UnknownNameStaysAsGiven) {
  ScopedTempDir dir;
  dir.Write("OTHER.dfl", "a");
  EXPECT_EQ(Found(dir, "NEW.var"), "NEW.var");
  EXPECT_EQ(Found(dir, "OTHER.df"), "OTHER.df");
  EXPECT_EQ(ResolveProjectFile(dir.path(), ""), "");
}

TEST(ResolveProjectFile, LooksOnlyInTheProjectFolder) {
  ScopedTempDir dir;
  ScopedTempDir other;
  other.Write("site.dfl", "elsewhere");
  EXPECT_EQ(ResolveProjectFile(dir.path(), "SITE.dfl"), dir.path() / "SITE.dfl");
}

TEST(ResolveProjectFile, MatchesOnlyTheFileNameInsideAFolder) {
  ScopedTempDir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  dir.Write("sub/Data.DFL", "a");
  EXPECT_EQ(ResolveProjectFile(dir.path(), "sub/DATA.dfl"), dir.path() / "sub" / "Data.DFL");
  EXPECT_EQ(ResolveProjectFile(dir.path() / "sub", "DATA.dfl"), dir.path() / "sub" / "Data.DFL");
  EXPECT_EQ(ResolveProjectFile(dir.path(), "SUB/DATA.dfl"), dir.path() / "SUB/DATA.dfl");
  EXPECT_EQ(ResolveProjectFile(dir.path(), "missing/DATA.dfl"), dir.path() / "missing/DATA.dfl");
}

}  // namespace
}  // namespace mornax::io
