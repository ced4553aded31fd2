#include "io/read_title.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/recorder_messages.h"
#include "support/temp_dir.h"

namespace mornax {
namespace {

using testing::RecorderMessages;
using testing::ScopedTempDir;

constexpr char kOldTitle[] =
    "old title                                                               ";  // 72

class ReadTitleTest : public ::testing::Test {
 protected:
  // Runs the header step for base name "SITE1" and returns the title.
  std::string Run(int method) {
    const RunEnv env(messages_, "SITE1", 5, {}, nullptr, dir_.path());
    title_ = kOldTitle;
    read_title(env, method, title_, count_);
    EXPECT_EQ(title_.size(), 72u);
    return title_;
  }

  ScopedTempDir dir_;
  RecorderMessages messages_;
  std::string title_;
  std::int32_t count_ = -7;
};

TEST_F(ReadTitleTest, EachMethodGetsItsPrefix) {
  dir_.Write("SITE1.DFL", "Water levels 1994\n25\n1 2 3\n");
  // 17 title characters behind a 17- or 20-character prefix, padded to 72.
  EXPECT_EQ(Run(0), " Semi-Variogram: Water levels 1994" + std::string(38, ' '));
  EXPECT_EQ(Run(1), " Distance Weighting:Water levels 1994" + std::string(35, ' '));
  EXPECT_EQ(Run(2), "      Kriging      :Water levels 1994" + std::string(35, ' '));
  EXPECT_EQ(Run(3), "  Bayes Estimation :Water levels 1994" + std::string(35, ' '));
  EXPECT_EQ(count_, 25);
  EXPECT_TRUE(messages_.boxes.empty());
  EXPECT_TRUE(messages_.lines.empty());
}

TEST_F(ReadTitleTest, LongTitleIsCutToFiftyCharacters) {
  // 80 characters: digits 1-0 repeated.
  const std::string line =
      "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
  dir_.Write("site1.dfl", line + "\r\n 120 more text\r\n");
  EXPECT_EQ(Run(0), " Semi-Variogram: " + line.substr(0, 50) + std::string(5, ' '));
  EXPECT_EQ(Run(2), "      Kriging      :" + line.substr(0, 50) + std::string(2, ' '));
  EXPECT_EQ(count_, 120);
}

TEST_F(ReadTitleTest, MissingFileIsLeftToTheComputationToReport) {
  EXPECT_EQ(Run(0), " Semi-Variogram: " + std::string(55, ' '));
  EXPECT_EQ(count_, -7);
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(ReadTitleTest, ControlCharactersBecomeBlanks) {
  dir_.Write("SITE1.DFL", std::string("A\0B\tC\x1b[1mD\x7f", 12) + "\n3\n");
  EXPECT_EQ(Run(1), " Distance Weighting:A B C [1mD " + std::string(41, ' '));
  EXPECT_EQ(count_, 3);
}

TEST_F(ReadTitleTest, EndOfFileAfterTitleStillComposesTitle) {
  dir_.Write("SITE1.DFL", "Only a title\n\n");
  EXPECT_EQ(Run(3), "  Bayes Estimation :Only a title" + std::string(40, ' '));
  EXPECT_EQ(count_, -7);
  EXPECT_EQ(messages_.boxes,
            (std::vector<std::string>{
                "End of File reached in input file : SITE1.dfl, after line 2: count expected"}));
}

TEST_F(ReadTitleTest, MalformedCountKeepsTitleAsRead) {
  dir_.Write("SITE1.DFL", "Title line\n20.5\n");
  EXPECT_EQ(Run(0), "Title line" + std::string(62, ' '));
  EXPECT_EQ(count_, -7);
  EXPECT_EQ(messages_.boxes,
            (std::vector<std::string>{
                "Data format error in input file : SITE1.dfl, line 2: count expected"}));
}

TEST_F(ReadTitleTest, MalformedLongTitleIsCutToSeventyTwo) {
  const std::string line(100, 'y');
  dir_.Write("SITE1.DFL", line + "\nabc\n");
  EXPECT_EQ(Run(2), std::string(72, 'y'));
  EXPECT_EQ(messages_.boxes.size(), 1u);
}

}  // namespace
}  // namespace mornax
