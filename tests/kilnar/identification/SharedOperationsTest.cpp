// The shared drive operations through the emulated recorder's command log
// and scripted answers, on the manual clock where they wait.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "kilnar/EmulatedRecorder.h"
#include "kilnar/recorder/ScsiDrive.h"
#include "kilnar/recorder/ScsiMan.h"
#include "kilnar/recorder/SharedDriveOperations.h"
#include "twlwin/testing_recorder.h"
#include "twlwin/testing_user.h"

namespace {

constexpr const char* kNotReady = "sense 70 00 02 00 00 00 00 0a 00 00 00 00 04 01";

class SharedOperationsTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TWL_RECORDER_MEDIUM", "cdrw", 1);
    recorder_.UseInThisProcess();
    TwlTestUseManualClock(TRUE);
    TwlTestSleepAdvancesClock(TRUE);
    ASSERT_TRUE(manager_.FindHostAdapters());
    ASSERT_TRUE(drive_.Open(0, 0));
  }
  void TearDown() override {
    TwlTestSleepAdvancesClock(FALSE);
    TwlTestUseManualClock(FALSE);
  }
  bool Logged(const std::string& line) const { return recorder_.Logged(line); }

  kilnartest::EmulatedRecorderFolder recorder_;
  ScsiMan manager_;
  ScsiDrive drive_{&manager_};
};

TEST_F(SharedOperationsTest, SpeedAndTrayCommands) {
  EXPECT_TRUE(SetSpeed(drive_, 99));
  EXPECT_TRUE(Logged("bb 00 ff ff ff ff 00 00 00 00 00 00 | none | good"));
  EXPECT_TRUE(SetSpeed(drive_, 8));
  EXPECT_TRUE(Logged("bb 00 05 88 05 88 00 00 00 00 00 00 | none | good"));
  EXPECT_EQ(Eject(drive_), 0);
  EXPECT_TRUE(Logged("1b 00 00 00 02 00 | none | good"));
  EXPECT_EQ(Load(drive_), 0);
  EXPECT_TRUE(Logged("1b 00 00 00 03 00 | none | good"));
}

TEST_F(SharedOperationsTest, BlankEndingWithoutAdditionalSense) {
  EXPECT_TRUE(BlankDisc(drive_)) << "a real blank of the rewritable disc";
  TwlTestRecorderAddReply(0xA1, 0, "sense 70 00 03 00 00 00 00 0a 00 00 00 00 00 00");
  EXPECT_TRUE(BlankDisc(drive_)) << "ASC and ASCQ 0 count as done for the whole disc";
  EXPECT_FALSE(BlankSession(drive_)) << "but not for the session";
  EXPECT_TRUE(Logged("a1 06 00 00 00 00 00 00 00 00 00 00 | none | check 03/00/00"));
}

TEST_F(SharedOperationsTest, FlushCacheForms) {
  TwlTestRecorderAddReply(0x35, 1, "sense 70 00 05 00 00 00 00 0a 00 00 00 00 20 00");
  TwlTestRecorderAddReply(0x35, 2, "sense 70 00 03 00 00 00 00 0a 00 00 00 00 0c 00");
  TwlTestRecorderAddReply(0x35, 3, "sense 70 00 05 00 00 00 00 0a 00 00 00 00 20 00");
  EXPECT_EQ(FlushCacheSuccess(drive_), 0) << "a drive without the command";
  EXPECT_EQ(FlushCacheSuccess(drive_), -1) << "a write error is no success";
  EXPECT_EQ(FlushCacheStatus(drive_), -1);
  EXPECT_EQ(FlushCacheStatus(drive_), 0);
}

TEST_F(SharedOperationsTest, FixationPollsEveryTwentySeconds) {
  TwlTestRecorderAddReply(0x00, 1, kNotReady);
  TwlTestRecorderAddReply(0x00, 2, kNotReady);
  const DWORD start = GetTickCount();
  EXPECT_EQ(Fixation(drive_, 0, 1, 8, 1), 0);
  EXPECT_EQ(GetTickCount() - start, 60000u);
  EXPECT_TRUE(Logged("5b 00 02 00 00 01 00 00 00 00 | none | good"));
  EXPECT_EQ(TwlTestRecorderCommandCount(0x00), 3u);

  TwlTestRecorderAddReply(0x00, 0, kNotReady);
  const DWORD again = GetTickCount();
  EXPECT_EQ(Fixation(drive_, 0, 1, 8, 1), -1) << "a drive that never gets ready";
  EXPECT_EQ(GetTickCount() - again, kLongestDriveWaitSeconds * 1000);
  EXPECT_STRNE(drive_.GetErrorText(), "");
}

TEST_F(SharedOperationsTest, LeadLengthsAndCdda) {
  TwlTestRecorderAddReply(0xEE, 0, "data 12 34 00 56");
  uint32_t leadIn = 0, leadOut = 0;
  EXPECT_TRUE(ReadLeadLengths(drive_, leadIn, leadOut));
  EXPECT_EQ(leadIn, 0x1234u);
  EXPECT_EQ(leadOut, 0x56u);
  EXPECT_TRUE(Logged("ee 00 00 00 00 00 00 00 04 00 | in 4 | good"));
  TwlTestRecorderAddReply(0xEE, 0, "sense 70 00 05 00 00 00 00 0a 00 00 00 00 20 00");
  EXPECT_FALSE(ReadLeadLengths(drive_, leadIn, leadOut));
  EXPECT_EQ(leadIn, 0u);
  TwlTestRecorderAddReply(0xD8, 0, "sense 70 00 01 00 00 00 00 0a 00 00 00 00 17 00");
  EXPECT_EQ(ReadCDDA(drive_, 0, 2), 0) << "a recovered error counts as good";
  EXPECT_TRUE(Logged("d8 00 00 00 00 00 00 00 00 02 00 00 | in 4704 | check 01/17/00"));
}

TEST_F(SharedOperationsTest, VendorFirstWritableAddress) {
  // Audio flag 4 and mode 1 ORed into byte 3, the third and fourth
  // arguments in bytes 7 and 2; the address at answer bytes 1-4.
  TwlTestRecorderAddReply(0xE2, 1, "data 00 00 00 2e e0 00");
  EXPECT_EQ(FirstWriteAdressByVendorQuery(drive_, 4, 1, 3, 2), 12000);
  EXPECT_TRUE(Logged("e2 00 02 05 00 00 00 03 06 00 | in 6 | good"));
  TwlTestRecorderAddReply(0xE2, 2, "sense 70 00 05 00 00 00 00 0a 00 00 00 00 20 00");
  EXPECT_EQ(FirstWriteAdressByVendorQuery(drive_, 0, 0, 0, 0), -1);
}

}  // namespace
