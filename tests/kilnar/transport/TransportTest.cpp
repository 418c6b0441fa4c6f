// The engine's SCSI transport in this process, on the emulated recorder
// with scripted request statuses and the layer's manual clock: the wait
// that times out, no-wait commands, ASPI busy, the support-info answers
// and drives used before they are opened.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "kilnar/EmulatedRecorder.h"
#include "kilnar/recorder/AspiTarget.h"
#include "kilnar/recorder/ScsiDrive.h"
#include "kilnar/recorder/ScsiMan.h"
#include "twlwin/testing_recorder.h"
#include "twlwin/testing_user.h"

namespace {

class TransportTest : public testing::Test {
 protected:
  void SetUp() override {
    recorder_.UseInThisProcess();
    TwlTestResetMessageBoxes();
  }
  bool OpenDrive(ScsiDrive& drive) { return manager_.FindHostAdapters() && drive.Open(0, 0); }
  std::string Log() const { return twltest::ReadFile(recorder_.log); }
  static std::string BoxText(int index, std::string* caption = nullptr, UINT* type = nullptr) {
    char text[256] = {}, title[64] = {};
    TwlTestGetMessageBox(index, text, sizeof text, title, sizeof title, type, nullptr);
    if (caption) *caption = title;
    return text;
  }

  kilnartest::EmulatedRecorderFolder recorder_;
  ScsiMan manager_;
};

TEST_F(TransportTest, WaitThatNeverEndsTimesOutOnTheClock) {
  ScsiDrive drive(&manager_);
  ASSERT_TRUE(OpenDrive(drive));
  TwlTestRecorderSetRequestStatus(0x00, ASPI_PENDING);
  TwlTestUseManualClock(TRUE);
  const DWORD start = GetTickCount();
  std::atomic<bool> done{false};
  int16_t status = 0;
  std::thread engine([&] {
    status = drive.TestUnitReady();
    done = true;
  });
  while (!done) {
    TwlTestAdvanceClock(10000);
    std::this_thread::yield();
  }
  engine.join();
  EXPECT_GE(GetTickCount() - start, AspiTarget::kWaitMilliseconds);
  EXPECT_EQ(status, -1);
  EXPECT_STREQ(GetAspiErrorText(), "SCSI I/O: Timeout\n");
  ASSERT_EQ(TwlTestMessageBoxCount(), 1);
  std::string caption;
  UINT type = 0;
  EXPECT_EQ(BoxText(0, &caption, &type), "SCSI TIMEOUT OCCURED");
  EXPECT_EQ(caption, "SCSI IO");
  EXPECT_EQ(type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_NE(Log().find("# abort of 00 00 00 00 00 00"), std::string::npos) << Log();
  TwlTestUseManualClock(FALSE);
}

TEST_F(TransportTest, SecondNoWaitCommandPollsTheFirstToItsEnd) {
  ScsiDrive drive(&manager_);
  ASSERT_TRUE(OpenDrive(drive));
  TwlTestRecorderDelay(0x00, 500);
  TwlTestUseManualClock(TRUE);
  TwlTestSleepAdvancesClock(TRUE);
  const uint8_t testUnitReady[6] = {};
  drive.SetNoWait();
  ASSERT_EQ(drive.ExecCommand(6, testUnitReady, 0, kNoData), 0);
  EXPECT_EQ(drive.Poll(), 1) << "the first still runs";
  const DWORD before = GetTickCount();
  const uint8_t inquiry[6] = {0x12, 0, 0, 0, 36, 0};
  drive.SetNoWait();
  ASSERT_EQ(drive.ExecCommand(6, inquiry, 36, kDataIn), 0);
  EXPECT_GE(GetTickCount() - before, 490u) << "the first was polled to its end before the second started";
  EXPECT_EQ(drive.Poll(), 0);
  EXPECT_EQ(drive.GetTransferBuffer()[8], 'M');
  EXPECT_EQ(drive.Poll(), 0) << "nothing attached any more";
  TwlTestSleepAdvancesClock(FALSE);
  TwlTestUseManualClock(FALSE);
}

TEST_F(TransportTest, FailedNoWaitCommandComposesItsText) {
  ScsiDrive drive(&manager_);
  ASSERT_TRUE(OpenDrive(drive));
  TwlTestRecorderAddReply(0x2A, 0, "sense 70 00 03 00 00 00 00 0a 00 00 00 00 0c 00");
  const uint8_t write[10] = {0x2A, 0, 0, 0, 0, 0, 0, 0, 1, 0};
  drive.SetNoWait();
  ASSERT_EQ(drive.ExecCommand(10, write, 2048, kDataOut), 0);
  EXPECT_EQ(drive.Poll(), -1);
  EXPECT_EQ(std::string(drive.GetErrorText()).rfind("SCSI I/O: Error\n\nMedium Error!\n", 0), 0u)
      << drive.GetErrorText();
  EXPECT_NE(std::string(drive.GetErrorText()).find("(Support Info: 2a, 0c, 00 )"), std::string::npos);
}

TEST_F(TransportTest, BusyManagerIsAskedAgain) {
  ScsiDrive drive(&manager_);
  ASSERT_TRUE(OpenDrive(drive));
  TwlTestUseManualClock(TRUE);
  TwlTestSleepAdvancesClock(TRUE);
  TwlTestRecorderSetBusy(5);
  EXPECT_EQ(drive.TestUnitReady(), 0);
  TwlTestRecorderSetBusy(100000);
  EXPECT_EQ(drive.TestUnitReady(), -1);
  EXPECT_STREQ(GetAspiErrorText(), "SCSI I/O: Aspi is busy\n");
  TwlTestSleepAdvancesClock(FALSE);
  TwlTestUseManualClock(FALSE);
}

TEST_F(TransportTest, SupportInfoAnswers) {
  struct Row {
    DWORD answer;
    bool found;
    const char* text;
    int boxes;
  };
  const Row rows[] = {
      {0xE101, true, "An ASPI manager whoich does not Support Windows is Installed\n", 1},
      {0xE200, false, "ASPI for Windows does not support this mode!\n", 0},
      {0xE300, false, "No ASPI managers were found!\n", 0},
      {0x0400, false, "Aspi for Windows not Installed\n", 0},
      {0x0100, false, "No Host Adapter found", 0},
  };
  for (const auto& row : rows) {
    TwlTestResetMessageBoxes();
    TwlTestRecorderSetSupportInfo(row.answer);
    ScsiMan manager;
    EXPECT_EQ(manager.FindHostAdapters(), row.found) << std::hex << row.answer;
    if (!row.found) {
      EXPECT_STREQ(manager.GetErrorText(), row.text);
    }
    ASSERT_EQ(TwlTestMessageBoxCount(), row.boxes);
    if (row.boxes) {
      std::string caption;
      UINT type = 0;
      EXPECT_EQ(BoxText(0, &caption, &type), row.text);
      EXPECT_EQ(caption, "Message");
      EXPECT_EQ(type & MB_ICONMASK, MB_ICONINFORMATION);
    }
  }
}

TEST_F(TransportTest, UnopenedDrivesAndMissingDevices) {
  ScsiDrive unopened(&manager_);
  const uint8_t testUnitReady[6] = {};
  EXPECT_EQ(unopened.ExecCommand(6, testUnitReady, 0, kNoData), -1);
  EXPECT_STREQ(unopened.GetErrorText(), "Not allocated");
  EXPECT_EQ(unopened.Poll(), -1);
  ScsiDrive elsewhere(&manager_);
  ASSERT_TRUE(manager_.FindHostAdapters());
  EXPECT_FALSE(elsewhere.Open(0, 3));
  EXPECT_STREQ(elsewhere.GetErrorText(), "No Device at 3\n");
  ScsiDrive drive(&manager_);
  ASSERT_TRUE(drive.Open(0, 0));
  EXPECT_EQ(drive.GetType(), 21) << "the default model is the generic ATAPI recorder";
  EXPECT_STREQ(drive.GetName(), "MITSUMI CR-2801TE");
  EXPECT_EQ(drive.Poll(), 0) << "no no-wait command outstanding";
  EXPECT_TRUE(drive.Rezero());
}

}  // namespace
