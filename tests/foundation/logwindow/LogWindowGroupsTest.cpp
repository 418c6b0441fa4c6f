// Groups: while one thread's group is open, entries of other threads wait
// and follow the group in the order they came.
#include <cstdio>
#include <future>
#include <thread>

#include "LogWindowFixture.h"

namespace logwindowtest {
namespace {

TEST_F(LogWindowTest, OtherThreadsWaitForAnOpenGroup) {
  Open();
  std::promise<void> groupOpen;
  std::promise<void> othersWritten;
  std::thread grouping([&] {
    log.BeginWrite();
    log.Write("x\n", LOG_SEVERITY_INFORMATION);
    groupOpen.set_value();
    othersWritten.get_future().wait();
    log.Write("z\n", LOG_SEVERITY_INFORMATION);
    log.EndWrite();
  });
  std::thread other([&] {
    groupOpen.get_future().wait();
    log.Write("y1\n", LOG_SEVERITY_INFORMATION);
    log.Write("y2\n", LOG_SEVERITY_INFORMATION);
    log.Write("y3\n", LOG_SEVERITY_INFORMATION);
    othersWritten.set_value();
  });
  other.join();
  grouping.join();
  Settle();
  const std::vector<std::string> expected = {"x", "z", "y1", "y2", "y3", ""};
  EXPECT_EQ(TextsOf(FullLog()), expected);
}

TEST_F(LogWindowTest, GroupsNestWithinOneThread) {
  Open();
  std::promise<void> innerClosed;
  std::promise<void> otherWritten;
  std::thread grouping([&] {
    log.BeginWrite();
    log.BeginWrite();
    log.Write("outer starts, inner\n", LOG_SEVERITY_INFORMATION);
    log.EndWrite();
    innerClosed.set_value();
    otherWritten.get_future().wait();
    log.Write("outer ends\n", LOG_SEVERITY_INFORMATION);
    log.EndWrite();
  });
  std::thread other([&] {
    innerClosed.get_future().wait();
    log.Write("other\n", LOG_SEVERITY_INFORMATION);
    otherWritten.set_value();
  });
  other.join();
  grouping.join();
  Settle();
  const std::vector<std::string> expected = {"outer starts, inner", "outer ends", "other", ""};
  EXPECT_EQ(TextsOf(FullLog()), expected);
}

// Several threads write groups of three lines at once while another thread
// writes single lines: every group stays together, and each thread's lines
// keep their order.
TEST_F(LogWindowTest, ConcurrentGroupsStayTogether) {
  Open();
  constexpr int kGroupWriters = 4;
  constexpr int kGroups = 40;
  std::vector<std::thread> threads;
  for (int t = 0; t < kGroupWriters; ++t) {
    threads.emplace_back([this, t] {
      for (int g = 0; g < kGroups; ++g) {
        log.BeginWrite();
        for (int line = 0; line < 3; ++line) log.Print(LOG_SEVERITY_INFORMATION, "T%d G%02d L%d\n", t, g, line);
        log.EndWrite();
      }
    });
  }
  threads.emplace_back([this] {
    for (int i = 0; i < kGroups; ++i) log.Print(LOG_SEVERITY_WARNING, "single %02d\n", i);
  });
  for (std::thread& thread : threads) thread.join();
  Settle();

  std::vector<std::string> lines = TextsOf(FullLog());
  ASSERT_EQ(lines.size(), static_cast<size_t>(kGroupWriters * kGroups * 3 + kGroups + 1));
  EXPECT_EQ(lines.back(), "");
  lines.pop_back();
  int nextGroup[kGroupWriters] = {};
  int nextSingle = 0;
  for (size_t i = 0; i < lines.size();) {
    int t = 0;
    int g = 0;
    int line = 0;
    if (std::sscanf(lines[i].c_str(), "T%d G%d L%d", &t, &g, &line) == 3) {
      ASSERT_TRUE(t >= 0 && t < kGroupWriters) << lines[i];
      EXPECT_EQ(g, nextGroup[t]++) << "groups of one thread out of order at line " << i;
      for (int l = 0; l < 3; ++l) {
        ASSERT_LT(i + static_cast<size_t>(l), lines.size());
        char expected[32];
        std::snprintf(expected, sizeof expected, "T%d G%02d L%d", t, g, l);
        EXPECT_EQ(lines[i + static_cast<size_t>(l)], expected) << "group split at line " << i + static_cast<size_t>(l);
      }
      i += 3;
      continue;
    }
    char expected[32];
    std::snprintf(expected, sizeof expected, "single %02d", nextSingle++);
    EXPECT_EQ(lines[i], expected) << "at line " << i;
    ++i;
  }
  for (int t = 0; t < kGroupWriters; ++t) EXPECT_EQ(nextGroup[t], kGroups);
  EXPECT_EQ(nextSingle, kGroups);
}

}  // namespace
}  // namespace logwindowtest
