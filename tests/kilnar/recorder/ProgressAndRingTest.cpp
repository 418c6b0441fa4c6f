// The progress stream's percentages and the ring of transfer blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/recorder/BlockBufferSet.h"
#include "kilnar/recorder/CwProgressStream.h"
#include "kilnar/recorder/SmallTransferMode.h"
#include "twlwin/testing.h"

namespace {

std::vector<uint32_t> reportedPercents;

void RecordPercent(uint32_t percent) { reportedPercents.push_back(percent); }

TEST(ProgressStreamTest, ReportsTheShareOfTheTotalUpTo100) {
  reportedPercents.clear();
  const std::string path = twltest::MakeTempDir("progress") + "/out.bin";
  CwProgressStream stream(path.c_str(), 1000, &RecordPercent);
  ASSERT_TRUE(stream.IsOpen());
  const std::string bytes(500, 'p');
  ASSERT_TRUE(stream.Write(bytes.data(), 500));
  ASSERT_TRUE(stream.Write(bytes.data(), 499));
  ASSERT_TRUE(stream.Write(bytes.data(), 201));
  EXPECT_EQ(reportedPercents, (std::vector<uint32_t>{50, 99, 100}));
}

TEST(ProgressStreamTest, NoTotalOrNoCallbackReportsNothing) {
  reportedPercents.clear();
  const std::string path = twltest::MakeTempDir("progress") + "/out.bin";
  CwProgressStream zero(path.c_str(), 0, &RecordPercent);
  ASSERT_TRUE(zero.Write("x", 1));
  CwProgressStream silent((path + "2").c_str(), 10, nullptr);
  ASSERT_TRUE(silent.Write("x", 1));
  EXPECT_TRUE(reportedPercents.empty());
}

TEST(BlockBufferSetTest, RingOfFourIsFullAfterThreeCommits) {
  BlockBufferSet ring(4, 1000);
  ASSERT_TRUE(ring.IsValid());
  EXPECT_TRUE(ring.IsEmpty());
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(ring.IsFull()) << i;
    uint8_t* block = ring.GetWriteBlock();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[999], 0) << "blocks start zero-filled";
    block[0] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(ring.CommitWrite(100 + i));
  }
  EXPECT_TRUE(ring.IsFull());
  EXPECT_EQ(ring.GetWriteBlock(), nullptr);
  EXPECT_FALSE(ring.CommitWrite(1));
  for (uint32_t i = 0; i < 3; ++i) {
    uint32_t length = 0;
    const uint8_t* block = ring.GetReadBlock(length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], i + 1);
    EXPECT_EQ(length, 100 + i);
    ASSERT_TRUE(ring.CommitRead());
  }
  EXPECT_TRUE(ring.IsEmpty());
  uint32_t length = 7;
  EXPECT_EQ(ring.GetReadBlock(length), nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_FALSE(ring.CommitRead());
  // The indexes wrap: three more go in after the ring went round once.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(ring.CommitWrite(5000)) << i;
  ring.GetReadBlock(length);
  EXPECT_EQ(length, 1000u) << "a length beyond the block is cut to it";
}

TEST(BlockBufferSetTest, BlocksThatCannotBeHadLeaveAnEmptyRingWithAText) {
  TwlTestFailGlobalAlloc(2);
  BlockBufferSet ring(4, 1000);
  EXPECT_FALSE(ring.IsValid());
  EXPECT_NE(ring.GetErrorText(), "");
  EXPECT_EQ(ring.GetWriteBlock(), nullptr);
  EXPECT_FALSE(ring.CommitWrite(1));
  uint32_t length = 1;
  EXPECT_EQ(ring.GetReadBlock(length), nullptr);

  BlockBufferSet tooSmall(1, 1000);
  EXPECT_FALSE(tooSmall.IsValid());
  EXPECT_EQ(tooSmall.GetWriteBlock(), nullptr);
}

TEST(SmallTransferModeTest, StartsOffAndKeepsWhatIsSet) {
  EXPECT_FALSE(GetSmallTransferMode());
  SetSmallTransferMode(true);
  EXPECT_TRUE(GetSmallTransferMode());
  SetSmallTransferMode(false);
  EXPECT_FALSE(GetSmallTransferMode());
}

}  // namespace
