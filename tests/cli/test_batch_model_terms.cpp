// The model terms beyond the 39 values: kept in the document's tail only when
// set, shown and set by name, and carried into a file run.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "support/batch_run.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RunBatch;
using testing::ScopedTempDir;

// A line "x y z" per point, mapped by hand (angle 30, ratio 0.5) when asked.
std::string DataFile(bool mapped) {
  const double xs[] = {0, 100, 0, 100, 50, 20, 80}, ys[] = {0, 0, 100, 100, 50, 70, 30};
  const double zs[] = {10, 20, 30, 40, 25, 28, 22};
  const double t = 30.0 * std::numbers::pi / 180.0;
  std::ostringstream out;
  out.precision(17);
  auto put = [&](double x, double y) {
    if (mapped) {
      out << std::cos(t) * x + std::sin(t) * y << " " << (-std::sin(t) * x + std::cos(t) * y) / 0.5;
    } else {
      out << x << " " << y;
    }
  };
  out << "Seven wells\n7\n";
  for (int i = 0; i < 7; ++i) {
    put(xs[i], ys[i]);
    out << " " << zs[i] << "\n";
  }
  out << "2\n";
  put(25, 25);
  out << "\n";
  put(75, 60);
  out << "\n";
  return out.str();
}

// The estimate and standard error columns of the .dat records.
std::vector<std::string> ResultColumns(const std::string& dat) {
  std::vector<std::string> columns;
  std::istringstream lines(dat);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) columns.push_back(line.substr(32));
  return columns;
}

TEST(BatchModelTerms, TailOnlyWhenSetAndShownByName) {
  ScopedTempDir dir;
  ASSERT_EQ(RunBatch(dir, "new P.mnx").status, 0);
  const std::string plain = dir.Read("P.mnx");
  ASSERT_EQ(RunBatch(dir,
                     "set P.mnx angle=30 ratio=0.5 structure2Model=3 structure2C=4 "
                     "structure2A=150")
                .status,
            0);
  EXPECT_EQ(std::filesystem::file_size(dir.path() / "P.mnx"), 156u + 56u);
  const std::string shown = RunBatch(dir, "show P.mnx").out;
  EXPECT_NE(shown.find("\nratio = 0.5\nstructure2Model = 3\nstructure2C = 4\n"), std::string::npos)
      << shown;
  // The first 156 bytes are the document an older reader sees.
  EXPECT_EQ(dir.Read("P.mnx").substr(0, 156), plain);
  for (const char* bad : {"ratio=0", "ratio=1.5", "structure3Model=6"}) {
    EXPECT_EQ(RunBatch(dir, std::string("set P.mnx ") + bad).status, 2) << bad;
  }
  ASSERT_EQ(RunBatch(dir,
                     "set P.mnx angle=0 ratio=1 structure2Model=0 structure2C=0 "
                     "structure2A=0")
                .status,
            0);
  EXPECT_EQ(dir.Read("P.mnx"), plain);
  EXPECT_EQ(RunBatch(dir, "show P.mnx").out.find("ratio"), std::string::npos);
}

TEST(BatchModelTerms, AnisotropicRunEqualsIsotropicRunOnMappedData) {
  ScopedTempDir dir;
  dir.Write("A.dfl", DataFile(false));
  dir.Write("B.dfl", DataFile(true));
  ASSERT_EQ(RunBatch(dir, "new A.mnx").status, 0);
  ASSERT_EQ(RunBatch(dir, "new B.mnx").status, 0);
  const std::string model = " krigPoints=5 sill=30 a=120 c0=2 krigOrder=1";
  ASSERT_EQ(RunBatch(dir, "set A.mnx angle=30 ratio=0.5" + model).status, 0);
  ASSERT_EQ(RunBatch(dir, "set B.mnx" + model).status, 0);
  const auto a = RunBatch(dir, "run A.mnx kriging");
  const auto b = RunBatch(dir, "run B.mnx kriging");
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  const auto ca = ResultColumns(dir.Read("A.dat"));
  ASSERT_EQ(ca.size(), 2u);
  EXPECT_EQ(ca, ResultColumns(dir.Read("B.dat")));
  // Isotropic, the estimates differ.
  ASSERT_EQ(RunBatch(dir, "run A.mnx kriging ratio=1").status, 0);
  EXPECT_NE(ResultColumns(dir.Read("A.dat")), ca);
}

}  // namespace
}  // namespace mornax
