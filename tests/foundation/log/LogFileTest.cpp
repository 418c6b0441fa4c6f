#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/TestPaths.h"
#include "foundation/log/LogFile.h"

namespace {

class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = twltest::MakeTempDir("log") + "/Log.txt";
    log.SetFileName(path.c_str());
  }
  std::string Contents() { return twltest::ReadFile(path); }

  std::string path;
  CLogFile log;
};

}  // namespace

TEST_F(LogFileTest, EveryLineBreakBecomesCrLf) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd"},
      {"ends in a lone CR\r", "ends in a lone CR\r\n"},
      {"\n\n", "\r\n\r\n"},
      {"\r\r\n", "\r\n\r\n"},
      {"no break", "no break"},
      {"", ""},
  };
  for (const auto& c : cases) {
    twltest::WriteFile(path, "");
    log.Write(c.text, LOG_SEVERITY_INFORMATION);
    EXPECT_EQ(Contents(), c.expected) << "text: " << c.text;
  }
}

TEST_F(LogFileTest, EntriesAreAppendedToAnExistingFile) {
  twltest::WriteFile(path, "earlier run\r\n");
  log.Write("one\n", 0);
  log.Print(2, "%s %d\n", "two", 2);
  EXPECT_EQ(Contents(), "earlier run\r\none\r\ntwo 2\r\n");
}

TEST_F(LogFileTest, WithoutANameEntriesAreLostQuietly) {
  log.ClearFileName();
  EXPECT_FALSE(log.HasFileName());
  log.Write("lost\n", 0);
  EXPECT_FALSE(log.BeginWrite());
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

  CLogFile unnamed;
  unnamed.Write("lost too\n", 0);
}

TEST_F(LogFileTest, AnUnopenableFileLosesTheEntry) {
  log.SetFileName((twltest::MakeTempDir("missing") + "/no/such/folder/Log.txt").c_str());
  EXPECT_FALSE(log.BeginWrite());
  log.Write("lost\n", 0);  // neither throws nor keeps the lock
  std::thread([this] { log.Write("also lost\n", 0); }).join();
}

// The file stays closed between entries and open during a group, so
// another program can read it between entries.
TEST_F(LogFileTest, AGroupKeepsTheFileOpenAndEndsWithItsLastLevel) {
  ASSERT_TRUE(log.BeginWrite());
  ASSERT_TRUE(log.BeginWrite());
  log.Write("inner\n", 0);
  log.EndWrite();
  log.Write("outer\n", 0);
  log.EndWrite();
  EXPECT_EQ(Contents(), "inner\r\nouter\r\n");
  // a file renamed away while closed is created again by the next entry
  ASSERT_TRUE(MoveFileA(path.c_str(), (path + ".old").c_str()));
  log.Write("new\n", 0);
  EXPECT_EQ(Contents(), "new\r\n");
}

TEST_F(LogFileTest, ClearingTheNameEndsOpenGroups) {
  ASSERT_TRUE(log.BeginWrite());
  ASSERT_TRUE(log.BeginWrite());
  log.ClearFileName();
  // the lock is free again: another thread can write to a new name
  log.SetFileName(path.c_str());
  std::thread([this] { log.Write("after\n", 0); }).join();
  EXPECT_EQ(Contents(), "after\r\n");
}

TEST_F(LogFileTest, AnotherThreadsEntryWaitsForTheGroup) {
  ASSERT_TRUE(log.BeginWrite());
  log.Write("first\n", 0);
  std::atomic<bool> written{false};
  std::thread other([&] {
    log.Write("other\n", 0);
    written = true;
  });
  Sleep(50);  // the other thread now waits for the lock (if it does not, the order shows it)
  log.Write("second\n", 0);
  EXPECT_FALSE(written);
  log.EndWrite();
  other.join();
  EXPECT_EQ(Contents(), "first\r\nsecond\r\nother\r\n");
}

// Three threads write 1000 entries each, one of them in groups of five;
// every line ends in CR LF and every group stays together.
TEST_F(LogFileTest, ThreeThreadsKeepLinesAndGroupsWhole) {
  constexpr int kEntries = 1000;
  constexpr int kGroupSize = 5;
  auto plain = [this](char name) {
    for (int i = 0; i < kEntries; ++i) log.Print(0, "%c %d\n", name, i);
  };
  std::thread a(plain, 'a');
  std::thread b(plain, 'b');
  std::thread grouped([this] {
    for (int g = 0; g < kEntries / kGroupSize; ++g) {
      ASSERT_TRUE(log.BeginWrite());
      for (int i = 0; i < kGroupSize; ++i) log.Print(0, "g %d\n", g * kGroupSize + i);
      log.EndWrite();
    }
  });
  a.join();
  b.join();
  grouped.join();

  const std::string contents = Contents();
  ASSERT_GE(contents.size(), 2u);
  ASSERT_EQ(contents.substr(contents.size() - 2), "\r\n");
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < contents.size(); ++i) {
    if (contents[i] == '\n') {
      ASSERT_TRUE(i > 0 && contents[i - 1] == '\r') << "bare LF at byte " << i;
      lines.push_back(contents.substr(start, i - 1 - start));
      start = i + 1;
    } else if (contents[i] == '\r') {
      ASSERT_TRUE(i + 1 < contents.size() && contents[i + 1] == '\n') << "bare CR at byte " << i;
    }
  }
  ASSERT_EQ(lines.size(), 3u * kEntries);

  std::map<char, int> next;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::istringstream line(lines[i]);
    char name = 0;
    int number = -1;
    line >> name >> number;
    ASSERT_EQ(number, next[name]) << "line " << i << ": " << lines[i];
    ++next[name];
    if (name == 'g' && number % kGroupSize == 0) {
      for (int k = 1; k < kGroupSize; ++k)
        ASSERT_EQ(lines[i + k], "g " + std::to_string(number + k)) << "group broken at line " << i + k;
    }
  }
  EXPECT_EQ(next['a'], kEntries);
  EXPECT_EQ(next['b'], kEntries);
  EXPECT_EQ(next['g'], kEntries);
}
