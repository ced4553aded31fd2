// The shared library as a foreign program sees it: loaded at run time, found
// by name, and called in a process that has no QApplication.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <string>

#include "api/mornax.h"

namespace {

using Entry = void (*)(int, int, int, FILENAME*, SVAR*, FVAR*, IPL*);

// The records of a new document named SITE1.mnx.
struct Records {
  FILENAME fileName{5, "SITE1.mnx"};
  SVAR svar{0, 0, 20, 500.0f, 360.0f, 0.0f};
  FVAR fvar{20, 1, 2, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
  IPL ipl{4,       6,    8,    7,    2,    6,    0,     2,     3,     1107.0f, 2000.0f,
          1107.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.67f, 43.6f, 0.79f, 200.0f};
};

class LoadedLibrary {
 public:
  LoadedLibrary() : handle_(dlopen(MNXDLL_PATH, RTLD_NOW | RTLD_LOCAL)) {}
  ~LoadedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  void* handle() const { return handle_; }

 private:
  void* handle_;
};

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST(MnxdllLibrary, RunsOnTheConsoleWhenTheProcessHasNoApplication) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  // The library works in the current directory, which holds no data file.
  ASSERT_FALSE(std::filesystem::exists("SITE1.dfl"));

  const LoadedLibrary library;
  ASSERT_NE(library.handle(), nullptr) << dlerror();
  const auto entry = reinterpret_cast<Entry>(dlsym(library.handle(), "mornaxDLL"));
  ASSERT_NE(entry, nullptr) << dlerror();

  Records records;
  for (int run = 1; run <= 2; ++run) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    entry(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE, &records.fileName, &records.svar,
          &records.fvar, &records.ipl);
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();

    // Every run, the second too, starts and completes; the missing data file
    // is reported as a message naming it.
    EXPECT_TRUE(StartsWith(out, "MORNAX: Start Computation\n")) << "run " << run << ":\n" << out;
    EXPECT_TRUE(EndsWith(out, "MORNAX: Computation Complete\n")) << "run " << run << ":\n" << out;
    EXPECT_NE(err.find("SITE1.dfl"), std::string::npos) << "run " << run << ":\n" << err;
    EXPECT_EQ(err.find("already running"), std::string::npos);
  }
}

TEST(MnxdllLibrary, RefusesAProjectNameItCannotHold) {
  const LoadedLibrary library;
  ASSERT_NE(library.handle(), nullptr) << dlerror();
  const auto entry = reinterpret_cast<Entry>(dlsym(library.handle(), "mornaxDLL"));
  ASSERT_NE(entry, nullptr);

  Records records;
  records.fileName.nameLength = 0;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  entry(MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, MNX_MODE_INTERPOLATION, &records.fileName,
        &records.svar, &records.fvar, &records.ipl);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "MORNAX: Start Computation\nMORNAX: Computation Complete\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Project name must have 1 to 12 characters\n");
}

}  // namespace
