// The count a person reads on the console: its text, and how often it
// reaches a terminal and a pipe.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "front/console_messages.h"

namespace mornax {
namespace {

TEST(ConsoleProgress, CountsReadAsCountShareAndTimeLeft) {
  struct Case {
    std::int64_t done, total;
    double elapsed;
    const char* text;
  };
  const Case cases[] = {
      {1234567, 10000000, 10.0, "1,234,567 of 10,000,000 (12.3 %, 1:11 left)"},
      {500, 1000, 0.5, "500 of 1,000 (50.0 %)"},        // too early to judge
      {1000, 1000, 9.0, "1,000 of 1,000 (100.0 %)"},    // done
      {1, 4, 3600.0, "1 of 4 (25.0 %, 3:00:00 left)"},  // hours
      {12345, -1, 3.0, "12,345"},                       // no total
      {999, 1000, 999.0, "999 of 1,000 (99.9 %, 0:01 left)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressText(c.done, c.total, c.elapsed), c.text) << c.done;
  }
}

TEST(ConsoleProgress, APipeGetsALineEveryFewSecondsAndNoneAtTheEnd) {
  using namespace std::chrono_literals;
  const CountThrottle::Clock::time_point t0{};
  CountThrottle pipe(false, 5s);
  EXPECT_FALSE(pipe.Take(0, 100, t0));
  EXPECT_FALSE(pipe.Take(10, 100, t0 + 4s));
  const auto shown = pipe.Take(50, 100, t0 + 6s);
  ASSERT_TRUE(shown);
  EXPECT_EQ(*shown, "progress: 50 of 100 (50.0 %, 0:06 left)");
  EXPECT_FALSE(pipe.Take(60, 100, t0 + 8s));
  EXPECT_TRUE(pipe.Take(70, 100, t0 + 12s));
  EXPECT_FALSE(pipe.Take(100, 100, t0 + 30s));  // the last count: the run says it is done

  CountThrottle terminal(true, 5s);
  EXPECT_TRUE(terminal.Take(0, 100, t0));
  EXPECT_TRUE(terminal.Take(1, 100, t0 + 1ms));
}

}  // namespace
}  // namespace mornax
