// An export's set of files replaced as one: stale sidecars go, a failed
// rename puts the old set back, and temporaries never outlive a signal or
// (swept by the next export) a killed process.
#include "geo/export_target.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "geo/partial_files.h"
#include "support/temp_dir.h"

namespace mornax::geo {
namespace {

using testing::ScopedTempDir;

bool AnyPartial(const ScopedTempDir& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (PartialOwner(entry.path().filename().string())) return true;
  }
  return false;
}

// The driver's files, written under the temporary name with `suffixes`.
void WriteTemporaries(const ExportTarget& target, std::initializer_list<const char*> suffixes) {
  for (const char* suffix : suffixes) {
    std::filesystem::path file = target.temporary();
    file.replace_extension(suffix);
    std::FILE* out = std::fopen(file.c_str(), "w");
    std::fputs("new", out);
    std::fclose(out);
  }
}

TEST(ExportTarget, ReplacesTheWholeSetAndDropsStaleSidecars) {
  ScopedTempDir dir;
  for (const char* name : {"out.shp", "out.shx", "out.dbf", "out.prj", "out.cpg", "other.prj"}) {
    dir.Write(name, "old");
  }
  ExportTarget target;
  std::string error;
  ASSERT_TRUE(target.Prepare(dir.path() / "out.shp", error)) << error;
  WriteTemporaries(target, {".shp", ".shx", ".dbf"});  // no system this time
  ASSERT_TRUE(target.Commit(error)) << error;
  EXPECT_EQ(dir.Read("out.shp"), "new");
  EXPECT_EQ(dir.Read("out.dbf"), "new");
  EXPECT_FALSE(dir.Exists("out.prj"));  // GIS programs would read the new file in the old system
  EXPECT_FALSE(dir.Exists("out.cpg"));
  EXPECT_EQ(dir.Read("other.prj"), "old");
  EXPECT_FALSE(AnyPartial(dir));
}

TEST(ExportTarget, AFailedRenamePutsTheOldSetBack) {
  ScopedTempDir dir;
  for (const char* name : {"out.shx", "out.dbf", "out.prj"}) dir.Write(name, "old");
  std::filesystem::create_directory(dir.path() / "out.shp");  // the last rename fails
  dir.Write("out.shp/inside", "x");
  {
    ExportTarget target;
    std::string error;
    ASSERT_TRUE(target.Prepare(dir.path() / "out.shp", error)) << error;
    WriteTemporaries(target, {".shp", ".shx", ".dbf"});
    EXPECT_FALSE(target.Commit(error));
    EXPECT_NE(error.find("out.shp"), std::string::npos) << error;
  }
  for (const char* name : {"out.shx", "out.dbf", "out.prj"}) EXPECT_EQ(dir.Read(name), "old");
  EXPECT_FALSE(AnyPartial(dir));
}

TEST(ExportTarget, TemporariesGoOnEachSignalAndStaleOnesAreSwept) {
  ScopedTempDir dir;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ExportTarget target;
      std::string error;
      if (!target.Prepare(dir.path() / "out.shp", error)) ::_exit(3);
      WriteTemporaries(target, {".shp", ".dbf", ".prj"});
      ::raise(signal);
      ::_exit(4);  // not reached: the signal ends the process
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << " " << status;
    EXPECT_FALSE(AnyPartial(dir)) << signal;
  }

  // A process that no longer exists left files; a live one's stay.
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  dir.Write(PartialStem("a", dead, 0) + ".tif", "left");
  dir.Write(PartialStem("a", dead, 1) + ".shp", "left");
  dir.Write(PartialStem("b", ::getppid(), 0) + ".tif", "running");
  dir.Write("c.x-0.part.tif", "not ours");
  ExportTarget target;
  std::string error;
  ASSERT_TRUE(target.Prepare(dir.path() / "d.tif", error)) << error;
  EXPECT_EQ(target.swept(), 2u);
  EXPECT_TRUE(dir.Exists(PartialStem("b", ::getppid(), 0) + ".tif"));
  EXPECT_TRUE(dir.Exists("c.x-0.part.tif"));
}

}  // namespace
}  // namespace mornax::geo
