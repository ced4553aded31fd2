// The engine's message routines and the progress list rules.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "core/messages.h"
#include "front/console_messages.h"
#include "front/progress_list.h"
#include "support/recorder_messages.h"

namespace mornax {
namespace {

using testing::RecorderMessages;

TEST(ErrorMessage, InputFileWordingsTakeTheBaseNameLengthPlusFour) {
  RecorderMessages messages;
  const std::string name = "SITE1.dfl           ";  // a 20-character engine text
  ErrorMessage(messages, 20, name, -1, 5);
  ErrorMessage(messages, 3, name, 5010, 5);
  ASSERT_EQ(messages.boxes.size(), 2u);
  EXPECT_EQ(messages.boxes[0], "End of File reached in input file : SITE1.dfl");
  EXPECT_EQ(messages.boxes[1], "Data format error in input file : SITE1.dfl");
  EXPECT_TRUE(messages.lines.empty());
}

TEST(ErrorMessage, PlainMessageIsTheFirstLengthCharacters) {
  RecorderMessages messages;
  ErrorMessage(messages, 23, "No Parameters specified   ", 0, 5);
  ErrorMessage(messages, 2, "No", 0, 5);
  ErrorMessage(messages, 99, "short", 0, 5);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{"No Parameters specified", "No", "short"}));
}

TEST(ProgressMessage, LineIsTheFirstLengthCharacters) {
  RecorderMessages messages;
  ProgressMessage(messages, kListAppend, 5, "Hello world");
  ProgressMessage(messages, kListReplaceLast, 0, "ignored");
  ASSERT_EQ(messages.lines.size(), 2u);
  EXPECT_EQ(messages.lines[0].text, "Hello");
  EXPECT_EQ(messages.lines[0].mode, 2);
  EXPECT_EQ(messages.lines[1].text, "");
}

TEST(CheckCancel, ReportsOnePressPerPoll) {
  RecorderMessages messages;
  messages.cancelAtPoll = 2;
  EXPECT_EQ(CheckCancel(messages), 0);
  EXPECT_EQ(CheckCancel(messages), 1);
  EXPECT_EQ(CheckCancel(messages), 0);
}

TEST(ProgressList, ModesZeroOneAndTwo) {
  ProgressList list;
  list.AddLine(kListAppend, "a");
  list.AddLine(kListRestart, "start");
  EXPECT_EQ(list.lines(), std::vector<std::string>{"start"});
  list.AddLine(kListAppend, "b");
  list.AddLine(kListReplaceLast, "c");
  EXPECT_EQ(list.lines(), (std::vector<std::string>{"start", "c"}));
  auto effect = list.AddLine(kListMessageBox, "box");
  EXPECT_TRUE(effect.showMessage);
  EXPECT_FALSE(effect.listChanged);
  EXPECT_EQ(list.lines().size(), 2u);
  effect = list.AddLine(7, "nothing");
  EXPECT_FALSE(effect.listChanged);
  EXPECT_FALSE(effect.showMessage);
}

TEST(ProgressList, ModeOneOnAnEmptyListAddsTheOnlyLine) {
  ProgressList list;
  list.AddLine(kListReplaceLast, "only");
  EXPECT_EQ(list.lines(), std::vector<std::string>{"only"});
}

TEST(ProgressList, SeventeenthLineScrolls) {
  ProgressList list;
  list.AddLine(kListRestart, "line 0");
  for (int i = 1; i <= 15; ++i) {
    EXPECT_FALSE(list.AddLine(kListAppend, "line " + std::to_string(i)).scrollToLast);
  }
  EXPECT_EQ(list.topIndex(), 0u);
  const auto effect = list.AddLine(kListAppend, "line 16");
  EXPECT_TRUE(effect.scrollToLast);
  EXPECT_EQ(list.topIndex(), 16u);
}

TEST(ProgressList, NegativeModesChangeWithoutRepaint) {
  ProgressList list;
  EXPECT_TRUE(list.AddLine(kListRestart, "a").repaint);
  const auto effect = list.AddLine(-kListAppend, "b");
  EXPECT_TRUE(effect.listChanged);
  EXPECT_FALSE(effect.repaint);
  EXPECT_FALSE(list.AddLine(-kListReplaceLast, "c").repaint);
  EXPECT_EQ(list.lines(), (std::vector<std::string>{"a", "c"}));
  list.AddLine(-0, "d");
  EXPECT_EQ(list.lines(), std::vector<std::string>{"d"});
}

TEST(ProgressList, OutOfSpaceRestartsWithTheNewestLine) {
  ProgressList list(3);
  list.AddLine(kListRestart, "1");
  list.AddLine(kListAppend, "2");
  list.AddLine(kListAppend, "3");
  list.AddLine(kListAppend, "4");
  EXPECT_EQ(list.lines(), std::vector<std::string>{"4"});
  EXPECT_EQ(list.topIndex(), 0u);
}

// Reads back what the console wrote to a temporary stream.
std::string Contents(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  return text;
}

TEST(ConsoleMessages, LinesOnOutputAndBoxesOnErrorOneLineEach) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(out && err);
  {
    ConsoleMessages console(out, err);
    console.AddLine(kListRestart, "MORNAX: Start Computation");
    console.AddLine(kListAppend, "");
    console.AddLine(kListReplaceLast, " Estimate point   25");
    console.ShowMessage("No Parameters specified");
    console.AddLine(kListMessageBox, "a box");
    console.WriteOutput(" DIVIDE BY ZERO in SOLV");
    EXPECT_EQ(console.messageCount(), 2);
  }
  EXPECT_EQ(Contents(out),
            "MORNAX: Start Computation\n\n Estimate point   25\n DIVIDE BY ZERO in SOLV\n");
  EXPECT_EQ(Contents(err), "No Parameters specified\na box\n");
  std::fclose(out);
  std::fclose(err);
}

// Not a terminal: of a loop's counter lines only the last reaches the log,
// before whatever follows it or when the console ends.
TEST(ConsoleMessages, APipeGetsTheLastCounterLineOfALoop) {
  std::FILE* out = std::tmpfile();
  ASSERT_TRUE(out);
  {
    ConsoleMessages console(out, out);
    console.AddLine(kListRestart, "MORNAX: Start Computation");
    for (int point = 25; point <= 100000; point += 25) {
      console.AddLine(kListReplaceLast, " Estimate point " + std::to_string(point));
    }
    console.AddLine(kListAppend, "MORNAX: Computation Complete");
    console.AddLine(kListReplaceLast, " Data point 7");
  }
  EXPECT_EQ(Contents(out),
            "MORNAX: Start Computation\n Estimate point 100000\n"
            "MORNAX: Computation Complete\n Data point 7\n");
  std::fclose(out);
}

TEST(ConsoleMessages, InterruptBecomesOneCancelRequest) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(out && err);
  {
    ConsoleMessages console(out, err);
    InterruptAsCancel guard;
    EXPECT_FALSE(console.PollCancel());
    std::raise(SIGINT);
    EXPECT_TRUE(console.PollCancel());
    EXPECT_FALSE(console.PollCancel());
  }
  std::fclose(out);
  std::fclose(err);
}

}  // namespace
}  // namespace mornax
