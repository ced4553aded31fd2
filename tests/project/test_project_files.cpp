// How the project's files are kept safe: the temporary-name rule, a file
// replaced whole, the project lock and the sweep of dead processes'
// temporaries.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "mornax_files.h"
#include "project/project_lock.h"
#include "project/replace_file.h"
#include "project/temporary_sweep.h"
#include "support/temp_dir.h"

namespace mornax::project {
namespace {

using testing::ScopedTempDir;

// The id of a process that has ended.
long DeadProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(TemporaryNames, AreMadeAndRecognisedByOneRule) {
  EXPECT_EQ(files::TemporaryName("SITE1.dat", 4711, 3), "SITE1.dat.4711-3.part");
  EXPECT_EQ(files::TemporaryNameKeepingExtension("map.tif", 4711, 0), "map.4711-0.part.tif");
  struct Case {
    const char* name;
    const char* target;  // nullptr: no temporary
    long pid;
  };
  const Case cases[] = {
      {"SITE1.dat.4711-3.part", "SITE1.dat", 4711},
      {"map.4711-0.part.tif", "map.tif", 4711},
      {"map.4711-0.part.dbf", "map.dbf", 4711},
      {"a.b.c.12-0.part", "a.b.c", 12},
      {"SITE1.dat", nullptr, 0},
      {"notes.part", nullptr, 0},
      {"x.12-y.part", nullptr, 0},
      {"x.-12-1.part", nullptr, 0},
      {"x.12-1.partial", nullptr, 0},
      {".12-1.part", nullptr, 0},
  };
  for (const Case& c : cases) {
    const auto parts = files::ParseTemporaryName(c.name);
    ASSERT_EQ(parts.has_value(), c.target != nullptr) << c.name;
    if (!parts) continue;
    EXPECT_EQ(parts->target, c.target) << c.name;
    EXPECT_EQ(parts->pid, c.pid) << c.name;
  }
}

TEST(ReplaceFile, ReplacesWholeKeepsPermissionsAndLeavesNoTemporary) {
  ScopedTempDir dir;
  dir.Write("P.mnx", "old");
  ::chmod(dir.In("P.mnx").c_str(), 0640);
  std::string error;
  ASSERT_TRUE(ReplaceFile(dir.path() / "P.mnx", "new contents", error)) << error;
  EXPECT_EQ(dir.Read("P.mnx"), "new contents");
  struct stat info {};
  ASSERT_EQ(::stat(dir.In("P.mnx").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // Through a link, the file it names is replaced and the link stays.
  std::filesystem::create_symlink("P.mnx", dir.path() / "L.mnx");
  ASSERT_TRUE(ReplaceFile(dir.path() / "L.mnx", "via link", error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "L.mnx"));
  EXPECT_EQ(dir.Read("P.mnx"), "via link");

  std::filesystem::create_directory(dir.path() / "D.mnx");
  EXPECT_FALSE(ReplaceFile(dir.path() / "D.mnx", "x", error));
  EXPECT_FALSE(ReplaceFile(dir.path() / "none" / "P.mnx", "x", error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names.size(), 3u);  // P.mnx, L.mnx, D.mnx: no temporary
}

TEST(ProjectLock, OneHolderAtATimeNamedToTheOthers) {
  ScopedTempDir dir;
  const std::filesystem::path document = dir.path() / "SITE1.mnx";
  std::optional<ProjectLock> first, second;
  long holder = 0;
  ASSERT_EQ(ProjectLock::Acquire(document, std::chrono::milliseconds(0), first, holder),
            ProjectLock::Outcome::kLocked);
  EXPECT_TRUE(dir.Exists("SITE1.mnx.lock"));
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(ProjectLock::Acquire(document, std::chrono::milliseconds(200), second, holder),
            ProjectLock::Outcome::kBusy);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
  EXPECT_EQ(holder, static_cast<long>(::getpid()));
  EXPECT_EQ(BusyMessage(document, holder), "another mornax command is changing SITE1 (pid " +
                                               std::to_string(holder) +
                                               "); try again when it has finished");

  first.reset();  // given back: the lock file goes with it
  EXPECT_FALSE(dir.Exists("SITE1.mnx.lock"));
  EXPECT_EQ(ProjectLock::Acquire(document, std::chrono::milliseconds(0), second, holder),
            ProjectLock::Outcome::kLocked);
  EXPECT_EQ(ProjectLock::Acquire(dir.path() / "none" / "P.mnx", std::chrono::milliseconds(0), first,
                                 holder),
            ProjectLock::Outcome::kUnlocked);
}

TEST(TemporarySweep, RemovesOnlyTheTemporariesOfEndedProcesses) {
  ScopedTempDir dir;
  const std::string dead = std::to_string(DeadProcess());
  const std::string alive = std::to_string(static_cast<long>(::getppid()));
  const std::string own = std::to_string(static_cast<long>(::getpid()));
  for (const std::string& name :
       {"P.dat." + dead + "-0.part", "out." + dead + "-1.part.tif", "P.lev." + alive + "-0.part",
        "P.wl." + own + "-0.part", std::string("P.dat"), std::string("notes.part")}) {
    dir.Write(name, "x");
  }
  std::filesystem::create_directory(dir.path() / ("sub." + dead + "-2.part"));
  std::vector<std::string> removed = SweepStaleTemporaries(dir.path());
  std::sort(removed.begin(), removed.end());
  EXPECT_EQ(removed,
            (std::vector<std::string>{"P.dat." + dead + "-0.part", "out." + dead + "-1.part.tif"}));
  EXPECT_TRUE(dir.Exists("P.lev." + alive + "-0.part"));
  EXPECT_TRUE(dir.Exists("P.wl." + own + "-0.part"));
  EXPECT_TRUE(dir.Exists("notes.part"));
  EXPECT_TRUE(dir.Exists("sub." + dead + "-2.part"));
}

}  // namespace
}  // namespace mornax::project
