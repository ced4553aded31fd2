// Nothing of a project is lost to the batch tool: the document survives a
// failed write, concurrent commands never lose a change, a signal ends a run
// cleanly, and temporaries of ended processes are swept.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "project/project_lock.h"
#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::BatchResult;
using testing::ScopedTempDir;

constexpr char kTool[] = "'" MORNAX_BINARY_DIR "/cli/mornax-batch'";

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Runs a shell script in the folder; its exit status.
int Shell(const ScopedTempDir& dir, const std::string& script) {
  const int raw = std::system(("cd '" + dir.path().string() + "' && { " + script + "; }").c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool AnyTemporary(const ScopedTempDir& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (Has(entry.path().filename().string(), ".part")) return true;
  }
  return false;
}

class BatchSafety : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Batch("new P.mnx").status, 0); }
  BatchResult Batch(const std::string& args, const std::string& env = "") {
    return testing::RunBatch(dir_, args, env);
  }
  ScopedTempDir dir_;
};

// Under a file-size limit of 0 the document cannot be written: the old one
// stays whole and the tool says why (its messages go through a pipe, which
// the limit does not cover).
TEST_F(BatchSafety, AFailedWriteLeavesTheDocumentIntact) {
  const std::string before = dir_.Read("P.mnx");
  ASSERT_EQ(Shell(dir_, std::string("(ulimit -f 0; ") + kTool +
                            " set P.mnx lagCount=5 2>&1; echo status=$?) | cat >out.txt"),
            0);
  const std::string out = dir_.Read("out.txt");
  EXPECT_TRUE(Has(out, "Cannot write document P.mnx: File too large")) << out;
  EXPECT_TRUE(Has(out, "status=2")) << out;
  EXPECT_EQ(dir_.Read("P.mnx"), before);
  EXPECT_FALSE(AnyTemporary(dir_));
}

// Two commands that change one document at the same moment: both changes
// arrive, or one command is refused naming the other.
TEST_F(BatchSafety, ConcurrentSetsNeverLoseAChange) {
  for (int trial = 0; trial < 20; ++trial) {
    ASSERT_EQ(Batch("new --force P.mnx").status, 0);
    Shell(dir_, std::string("{ ") + kTool +
                    " set P.mnx lagCount=7 2>a.txt; echo $? >a.status; } & { " + kTool +
                    " set P.mnx dwPoints=9 2>b.txt; echo $? >b.status; } & wait");
    const std::string shown = Batch("show P.mnx").out;
    for (const auto& [name, line] :
         {std::pair{"a", "lagCount = 7"}, std::pair{"b", "dwPoints = 9"}}) {
      const std::string status = dir_.Read(std::string(name) + ".status");
      if (status == "0\n") {
        EXPECT_TRUE(Has(shown, line)) << "trial " << trial << ": " << line << " lost";
      } else {
        EXPECT_EQ(status, "1\n");
        EXPECT_TRUE(Has(dir_.Read(std::string(name) + ".txt"), "another mornax command"));
      }
    }
  }
}

TEST_F(BatchSafety, ABusyProjectIsRefusedNamingTheHolder) {
  std::optional<project::ProjectLock> lock;
  long holder = 0;
  ASSERT_EQ(project::ProjectLock::Acquire(dir_.path() / "P.mnx", std::chrono::milliseconds(0), lock,
                                          holder),
            project::ProjectLock::Outcome::kLocked);
  const std::string before = dir_.Read("P.mnx");
  const BatchResult refused = Batch("set P.mnx lagCount=5", "MORNAX_LOCK_WAIT=0.2");
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Has(refused.err,
                  "another mornax command is changing P (pid " + std::to_string(::getpid()) + ")"))
      << refused.err;
  EXPECT_EQ(dir_.Read("P.mnx"), before);
  EXPECT_EQ(Batch("show P.mnx", "MORNAX_LOCK_WAIT=0").status, 0);  // reading needs no lock
  lock.reset();
  EXPECT_EQ(Batch("set P.mnx lagCount=5").status, 0);
}

// A termination or hangup during a long semivariogram stops it as Ctrl-C
// does: exit 1, the earlier results kept, no temporary left.
TEST_F(BatchSafety, StopSignalsEndARunCleanly) {
  std::string big = "Many wells\n40000\n";
  for (int i = 0; i < 40000; ++i) {
    big += std::to_string(i % 200) + " " + std::to_string(i / 200) + " " + std::to_string(i % 17) +
           "\n";
  }
  dir_.Write("P.dfl", big + "0\n");
  dir_.Write("P.var", "earlier\n");
  for (const char* signal : {"TERM", "HUP"}) {
    const int status =
        Shell(dir_, "rm -f out.txt; " + std::string(kTool) +
                        " run P.mnx variogram --threads 1 >out.txt 2>err.txt "
                        "</dev/null & " +
                        testing::kWhenComputing + "kill -" + signal + " $!; wait $!");
    EXPECT_EQ(status, 1) << signal << dir_.Read("err.txt");
    EXPECT_TRUE(Has(dir_.Read("out.txt"), "MORNAX: Computation stopped")) << signal;
    EXPECT_EQ(dir_.Read("P.var"), "earlier\n") << signal;
    EXPECT_FALSE(AnyTemporary(dir_)) << signal;
  }
}

TEST_F(BatchSafety, TheNextCommandSweepsTheTemporariesOfEndedProcesses) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  const std::string stale = "P.dat." + std::to_string(child) + "-0.part";
  dir_.Write(stale, "half a result");
  const BatchResult set = Batch("set P.mnx lagCount=5");
  EXPECT_EQ(set.status, 0);
  EXPECT_TRUE(Has(set.err, "removed " + stale)) << set.err;
  EXPECT_FALSE(dir_.Exists(stale));
}

}  // namespace
}  // namespace mornax
