#include "io/free_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace mornax::io {
namespace {

using testing::ScopedTempDir;

// Reader over a file with the given content, in a fresh current directory.
class FreeReaderTest : public ::testing::Test {
 protected:
  void Load(const std::string& content) {
    dir_.Write("DATA.DFL", content);
    ASSERT_TRUE(reader_.Open(dir_.path() / "DATA.DFL"));
  }

  // One read of `count` reals, each starting at -1 so that untouched values
  // show.
  std::vector<double> Reals(std::size_t count, int expectedStatus = kReadOk) {
    std::vector<double> values(count, -1.0);
    EXPECT_EQ(reader_.ReadReals(values), expectedStatus);
    return values;
  }

  ScopedTempDir dir_;
  FreeFormReader reader_;
};

TEST_F(FreeReaderTest, ReadsSeparatedValuesAndIgnoresRestOfLine) {
  Load("1 2 3 4\n5,6 , 7\t8\n9\n");
  EXPECT_EQ(Reals(3), (std::vector<double>{1, 2, 3}));  // the 4 is dropped
  EXPECT_EQ(Reals(3), (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(Reals(1), (std::vector<double>{9}));
  EXPECT_EQ(Reals(1, kReadEndOfFile), (std::vector<double>{-1}));
}

TEST_F(FreeReaderTest, ContinuesOnLaterLinesSkippingBlankOnes) {
  Load("1 2 3\n\n   \n4 99\n10 20 30 40\n");
  EXPECT_EQ(Reals(4), (std::vector<double>{1, 2, 3, 4}));
  // The 99 after the fourth value went with the rest of its line.
  EXPECT_EQ(Reals(2), (std::vector<double>{10, 20}));
  EXPECT_EQ(reader_.lineNumber(), 5);
}

TEST_F(FreeReaderTest, TextLinesAndLineEnds) {
  Load("  Title, with 1 2 3 \r\n\r\n7\r\nskipped 1\r\nlast line without end");
  std::string line = "old";
  EXPECT_EQ(reader_.ReadText(line), kReadOk);
  EXPECT_EQ(line, "  Title, with 1 2 3 ");
  EXPECT_EQ(reader_.ReadText(line), kReadOk);
  EXPECT_EQ(line, "");
  std::int32_t count = 0;
  EXPECT_EQ(reader_.ReadInteger(count), kReadOk);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(reader_.SkipLine(), kReadOk);
  EXPECT_EQ(reader_.ReadText(line), kReadOk);
  EXPECT_EQ(line, "last line without end");
  EXPECT_EQ(reader_.ReadText(line), kReadEndOfFile);
  EXPECT_EQ(reader_.SkipLine(), kReadEndOfFile);
}

TEST_F(FreeReaderTest, RealForms) {
  Load(
      "1.5 .5 1. 1e3 1.5E+03 -2.5d-1 +7D2 3 -0 1.5q1 2.5+2 2.5-1\n"
      "0.1 123456789.123456789 1e-400 -1e-400 4.9e-324\n");
  const std::vector<double> first = Reals(12);
  const std::vector<double> expected{1.5, 0.5, 1.0,  1000.0, 1500.0, -0.25,
                                     700, 3,   -0.0, 15.0,   250.0,  0.25};
  EXPECT_EQ(first, expected);
  const std::vector<double> second = Reals(5);
  EXPECT_EQ(second[0], 0.1);  // correctly rounded
  EXPECT_EQ(second[1], 123456789.123456789);
  EXPECT_EQ(second[2], 0.0);  // below the double range
  EXPECT_EQ(second[3], 0.0);
  EXPECT_TRUE(std::signbit(second[3]));
  EXPECT_EQ(second[4], 4.9e-324);
}

TEST_F(FreeReaderTest, MalformedRealsGiveFormatStatusKeepingEarlierValues) {
  for (const char* bad : {"abc", "1.2.3", "1e", "1e+", ".", "+", "1.5x", "--1", "1e5.0", "inf",
                          "nan", "0x10", "1e400", "0*5", "*5", "2*3*4"}) {
    SCOPED_TRACE(bad);
    ScopedTempDir dir;
    dir.Write("BAD.DFL", std::string("7 ") + bad + " 9\n");
    FreeFormReader reader;
    ASSERT_TRUE(reader.Open(dir.path() / "BAD.DFL"));
    std::array<double, 3> values{-1, -1, -1};
    EXPECT_GT(reader.ReadReals(values), 0);
    EXPECT_EQ(values, (std::array<double, 3>{7, -1, -1}));
  }
}

TEST_F(FreeReaderTest, EndOfFileInsideReadKeepsValuesReadSoFar) {
  Load("1 2\n\n3\n");
  EXPECT_EQ(Reals(5, kReadEndOfFile), (std::vector<double>{1, 2, 3, -1, -1}));
  // The file stays at its end.
  EXPECT_EQ(Reals(1, kReadEndOfFile), (std::vector<double>{-1}));
}

TEST_F(FreeReaderTest, IntegerReads) {
  Load("20\n-5 abc\n+3,\n20.5\n1e3\n2147483648\n-2147483648\n4*8\n,\n/\n");
  std::int32_t value = 0;
  EXPECT_EQ(reader_.ReadInteger(value), kReadOk);
  EXPECT_EQ(value, 20);
  EXPECT_EQ(reader_.ReadInteger(value), kReadOk);
  EXPECT_EQ(value, -5);
  EXPECT_EQ(reader_.ReadInteger(value), kReadOk);
  EXPECT_EQ(value, 3);
  value = 11;
  EXPECT_GT(reader_.ReadInteger(value), 0);  // 20.5: a point is refused
  EXPECT_GT(reader_.ReadInteger(value), 0);  // 1e3: so is an exponent
  EXPECT_GT(reader_.ReadInteger(value), 0);  // beyond 32 bits
  EXPECT_EQ(value, 11);
  EXPECT_EQ(reader_.ReadInteger(value), kReadOk);
  EXPECT_EQ(value, -2147483647 - 1);
  EXPECT_EQ(reader_.ReadInteger(value), kReadOk);
  EXPECT_EQ(value, 8);
  value = 11;
  EXPECT_EQ(reader_.ReadInteger(value), kReadOk);  // null value
  EXPECT_EQ(reader_.ReadInteger(value), kReadOk);  // slash
  EXPECT_EQ(value, 11);
  EXPECT_EQ(reader_.ReadInteger(value), kReadEndOfFile);
  EXPECT_EQ(value, 11);
}

TEST_F(FreeReaderTest, NullValuesRepeatsAndSlash) {
  Load(
      ",2,,4\n"       // leading comma and doubled comma are empty fields
      "1 ,\n,3\n"     // a comma then a line end then a comma: one empty field
      "1,\n 2 , 3\n"  // a comma at a line end only separates
      "3*2.5 9\n"     // repeat count
      "2* 7\n"        // two empty fields
      "5*1\n6\n"      // surplus copies end with the read
      "1 2 / 3\n"     // slash ends the read
      "1/\n");
  EXPECT_EQ(Reals(4), (std::vector<double>{-1, 2, -1, 4}));
  EXPECT_EQ(Reals(3), (std::vector<double>{1, -1, 3}));
  EXPECT_EQ(Reals(3), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Reals(4), (std::vector<double>{2.5, 2.5, 2.5, 9}));
  EXPECT_EQ(Reals(3), (std::vector<double>{-1, -1, 7}));
  EXPECT_EQ(Reals(2), (std::vector<double>{1, 1}));
  EXPECT_EQ(Reals(1), (std::vector<double>{6}));
  EXPECT_EQ(Reals(4), (std::vector<double>{1, 2, -1, -1}));
  EXPECT_EQ(Reals(2), (std::vector<double>{1, -1}));
}

TEST_F(FreeReaderTest, ReadsAcrossBufferBoundaries) {
  // Lines long enough to straddle the reader's internal buffer many times.
  std::string content;
  std::string longTitle(300000, 'x');
  content += longTitle + "\n";
  for (int i = 0; i < 50000; ++i) content += std::to_string(i) + " " + std::to_string(i) + ".5\r\n";
  Load(content);
  std::string line;
  ASSERT_EQ(reader_.ReadText(line), kReadOk);
  EXPECT_EQ(line, longTitle);
  std::array<double, 2> values{};
  for (int i = 0; i < 50000; ++i) {
    ASSERT_EQ(reader_.ReadReals(values), kReadOk) << i;
    ASSERT_EQ(values[0], i);
    ASSERT_EQ(values[1], i + 0.5);
  }
  EXPECT_EQ(reader_.ReadReals(values), kReadEndOfFile);
}

TEST(FreeReaderOpen, MissingFileReadsAsEndOfFile) {
  ScopedTempDir dir;
  FreeFormReader reader;
  EXPECT_FALSE(reader.Open(dir.path() / "NONE.DFL"));
  EXPECT_FALSE(reader.IsOpen());
  std::string line = "kept";
  std::int32_t count = 4;
  std::array<double, 1> value{2.0};
  EXPECT_EQ(reader.ReadText(line), kReadEndOfFile);
  EXPECT_EQ(reader.ReadInteger(count), kReadEndOfFile);
  EXPECT_EQ(reader.ReadReals(value), kReadEndOfFile);
  EXPECT_EQ(line, "kept");
  EXPECT_EQ(count, 4);
  EXPECT_EQ(value[0], 2.0);
}

TEST(FreeReaderOpen, ReachesNameInOtherCaseAndReopens) {
  ScopedTempDir dir;
  dir.Write("site1.dfl", "first\n");
  dir.Write("OTHER.dfl", "second\n");
  FreeFormReader reader;
  ASSERT_TRUE(reader.Open(dir.path() / "SITE1.DFL"));
  std::string line;
  EXPECT_EQ(reader.ReadText(line), kReadOk);
  EXPECT_EQ(line, "first");
  ASSERT_TRUE(reader.Open(dir.path() / "other.DFL"));  // closes the first file
  EXPECT_EQ(reader.ReadText(line), kReadOk);
  EXPECT_EQ(line, "second");
  EXPECT_EQ(reader.lineNumber(), 1);
}

}  // namespace
}  // namespace mornax::io
