// The engine's file stream: whole-block writes cut back to the data at
// Close (also over an older, longer file), reads past the end, seeking and
// positions, and the buffers that cannot be had.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/recorder/CwStream.h"
#include "twlwin/testing.h"

namespace {

using kilnartest::FileSize;
using kilnartest::PatternBytes;

std::string StreamFile(const char* name) { return twltest::MakeTempDir("stream") + "/" + name; }

void WriteThroughStream(const std::string& path, const std::string& bytes) {
  CwStream stream(path.c_str(), false);
  ASSERT_TRUE(stream.IsOpen());
  ASSERT_TRUE(stream.Write(bytes.data(), static_cast<uint32_t>(bytes.size())));
  stream.Close();
  ASSERT_FALSE(stream.IsOpen());
}

TEST(CwStreamTest, ClosingCutsTheFileToTheDataWritten) {
  struct Row {
    const char* why;
    size_t oldSize;  // 0: no file before
    size_t written;
  };
  const Row rows[] = {
      {"a new file of 100 bytes", 0, 100},
      {"exactly one block needs no cut", 0, 32768},
      {"one byte into the second block", 0, 32769},
      {"100 bytes over 100000 keep no stale tail", 100000, 100},
      {"a whole block over a longer file keeps no stale tail", 100000, 32768},
  };
  for (const auto& row : rows) {
    const std::string path = StreamFile("cut.bin");
    if (row.oldSize) twltest::WriteFile(path, std::string(row.oldSize, 'x'));
    const std::string bytes = PatternBytes(row.written);
    WriteThroughStream(path, bytes);
    EXPECT_EQ(FileSize(path), static_cast<long long>(row.written)) << row.why;
    EXPECT_EQ(twltest::ReadFile(path), bytes) << row.why;
  }
}

TEST(CwStreamTest, BlocksAreAtLeast32000Bytes) {
  CwStream stream(StreamFile("block.bin").c_str(), false);
  ASSERT_TRUE(stream.IsOpen());
  EXPECT_EQ(stream.GetBlockSize(), 32768u);
}

TEST(CwStreamTest, ReadingPastTheEndGivesZerosAndSucceeds) {
  const std::string path = StreamFile("short.bin");
  const std::string bytes = PatternBytes(100);
  twltest::WriteFile(path, bytes);
  CwStream stream(path.c_str(), true);
  ASSERT_TRUE(stream.IsOpen());
  EXPECT_EQ(stream.GetSize(), 100u);
  std::string read(200, '\x55');
  ASSERT_TRUE(stream.Read(read.data(), 200));
  EXPECT_EQ(read, bytes + std::string(100, '\0'));
}

TEST(CwStreamTest, SeekAndTellFollowTheReadingPosition) {
  const std::string path = StreamFile("seek.bin");
  const std::string bytes = PatternBytes(70000);
  twltest::WriteFile(path, bytes);
  CwStream stream(path.c_str(), true);
  EXPECT_EQ(stream.Tell(), 0);
  uint8_t value[4] = {};
  ASSERT_TRUE(stream.Seek(40000, 0));
  ASSERT_TRUE(stream.Read(value, 4));
  EXPECT_EQ(stream.Tell(), 40004);
  ASSERT_TRUE(stream.Seek(-4, 1));
  EXPECT_EQ(stream.Tell(), 40000);
  uint8_t again[4] = {};
  ASSERT_TRUE(stream.Read(again, 4));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(again), 4), bytes.substr(40000, 4));
  ASSERT_TRUE(stream.Seek(-2, 2));
  ASSERT_TRUE(stream.Read(value, 2));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(value), 2), bytes.substr(69998, 2));
  EXPECT_FALSE(stream.Seek(-1, 0));
  ASSERT_TRUE(stream.Rewind());
  ASSERT_TRUE(stream.Read(value, 1));
  EXPECT_EQ(value[0], static_cast<uint8_t>(bytes[0]));
  const uint8_t* chunk = stream.ReadChunk(3);
  ASSERT_NE(chunk, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk), 3), bytes.substr(1, 3));
  EXPECT_EQ(stream.ReadChunk(65536), nullptr);
}

TEST(CwStreamTest, ClosedAndMissingStreamsRefuse) {
  const std::string missing = StreamFile("missing.bin");
  CwStream stream(missing.c_str(), true);
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_STRNE(stream.GetErrorText(), "");
  char byte = 0;
  EXPECT_FALSE(stream.Read(&byte, 1));
  EXPECT_FALSE(stream.Write(&byte, 1));
  EXPECT_EQ(stream.Tell(), -1);
  EXPECT_FALSE(stream.Seek(0, 0));
  EXPECT_EQ(stream.GetSize(), 0u);
  EXPECT_STREQ(stream.GetName(), missing.c_str());
  EXPECT_EQ(stream.Poll(), 0);
}

TEST(CwStreamTest, DeleteDropsTheBufferedBlockAndTheFile) {
  const std::string path = StreamFile("gone.bin");
  CwStream stream(path.c_str(), false);
  ASSERT_TRUE(stream.Write("abc", 3));
  EXPECT_TRUE(stream.Delete());
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_EQ(FileSize(path), -1);
}

TEST(CwStreamTest, FreeSpaceSaturatesInsteadOfWrapping) {
  const std::string path = StreamFile("space.bin");
  CwStream stream(path.c_str(), false);
  ULARGE_INTEGER free{};
  ASSERT_TRUE(GetDiskFreeSpaceExA(twltest::SandboxDir().c_str(), &free, nullptr, nullptr));
  const uint32_t reported = stream.GetFreeSpace();
  if (free.QuadPart > 0xFFFFFFFFull)
    EXPECT_EQ(reported, 0xFFFFFFFFu);
  else
    EXPECT_NEAR(static_cast<double>(reported), static_cast<double>(free.QuadPart), 1 << 20);
}

TEST(CwStreamTest, BuffersThatCannotBeHadFailCleanly) {
  const std::string path = StreamFile("memory.bin");
  twltest::WriteFile(path, "data");
  TwlTestFailGlobalAlloc(0);
  CwStream refused(path.c_str(), true);
  EXPECT_FALSE(refused.IsOpen());

  CwStream stream(path.c_str(), true);
  ASSERT_TRUE(stream.IsOpen());
  TwlTestFailGlobalAlloc(0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(stream.ReadChunk(4), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n*** out of memory ***\n");
  const uint8_t* chunk = stream.ReadChunk(4);
  ASSERT_NE(chunk, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk), 4), "data");
}

}  // namespace
