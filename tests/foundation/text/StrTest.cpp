#include "foundation/kernel/Str.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

TEST(Str, CopiesShareOneBufferUntilOneChanges) {
  CStr original = "shared text";
  CStr copy = original;
  EXPECT_EQ(copy.c_str(), original.c_str());
  copy += "!";
  EXPECT_NE(copy.c_str(), original.c_str());
  EXPECT_EQ(original, "shared text");
  EXPECT_EQ(copy, "shared text!");
}

TEST(Str, EmptyTexts) {
  CStr empty;
  CStr fromNull(static_cast<const char*>(nullptr));
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_EQ(fromNull.GetLength(), 0u);
  EXPECT_TRUE(empty == fromNull);
  EXPECT_TRUE(empty == "");
  EXPECT_FALSE(empty == "x");
}

TEST(Str, AppendingToItself) {
  CStr text = "ab";
  for (int i = 0; i < 5; ++i) text += text;
  EXPECT_EQ(text.GetLength(), 64u);
  CStr tail = "xyz";
  tail.Append(tail.c_str() + 1, 2);
  EXPECT_EQ(tail, "xyzyz");
}

TEST(Str, FormatAndConcatenation) {
  EXPECT_EQ(CStr::Format("PERFORMANCE: %s = %lu ms", "start", 42ul), "PERFORMANCE: start = 42 ms");
  EXPECT_EQ(CStr::Format("%s", ""), "");
  const std::string longText(5000, 'q');
  EXPECT_EQ(CStr::Format("<%s>", longText.c_str()).GetLength(), 5002u);
  EXPECT_EQ("a" + CStr("b") + "c", "abc");
}

TEST(Str, CopiesMayBeUsedOnSeveralThreads) {
  const CStr shared = CStr::Format("%s", "text used everywhere");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([shared] {
      for (int i = 0; i < 10000; ++i) {
        CStr copy = shared;
        copy += "x";
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(shared, "text used everywhere");
}

}  // namespace
