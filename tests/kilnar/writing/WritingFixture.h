// The fixture of the in-process writing tests: an emulated recorder of a
// given model on an ATAPI adapter, on the manual clock with sleeps that
// advance it, and helpers that read its command log.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "kilnar/EmulatedRecorder.h"
#include "kilnar/recorder/ScsiMan.h"
#include "twlwin/testing_recorder.h"
#include "twlwin/testing_user.h"

namespace kilnartest {

inline std::string HexReply(const char* kind, const std::vector<uint8_t>& bytes) {
  std::string reply = kind;
  char hex[4];
  for (uint8_t byte : bytes) {
    std::snprintf(hex, sizeof hex, " %02x", byte);
    reply += hex;
  }
  return reply;
}

// Sense bytes of a CHECK CONDITION with this key, ASC and ASCQ.
inline std::string SenseReply(uint8_t key, uint8_t asc, uint8_t ascq) {
  std::vector<uint8_t> sense(14, 0);
  sense[0] = 0x70;
  sense[2] = key;
  sense[7] = 10;
  sense[12] = asc;
  sense[13] = ascq;
  return HexReply("sense", sense);
}

class WritingFixture : public testing::Test {
 protected:
  void SetUp() override {
    TwlTestUseManualClock(TRUE);
    TwlTestSleepAdvancesClock(TRUE);
  }
  void TearDown() override {
    TwlTestSleepAdvancesClock(FALSE);
    TwlTestUseManualClock(FALSE);
    unsetenv("TWL_RECORDER_INQUIRY");
    unsetenv("TWL_RECORDER_ADAPTER");
  }
  // A fresh recorder folder with a drive of this model (and adapter, when
  // given); `Recorder` is made and opened on it.
  template <typename Recorder>
  std::unique_ptr<Recorder> Open(const std::string& model, const std::string& adapter = "atapi:0") {
    folder_ = std::make_unique<EmulatedRecorderFolder>();
    setenv("TWL_RECORDER_INQUIRY", model.c_str(), 1);
    setenv("TWL_RECORDER_ADAPTER", adapter.c_str(), 1);
    folder_->UseInThisProcess();
    manager_ = std::make_unique<ScsiMan>();
    EXPECT_TRUE(manager_->FindHostAdapters());
    auto recorder = std::make_unique<Recorder>(manager_.get());
    EXPECT_TRUE(recorder->Open(0, 0));
    return recorder;
  }
  static void Reply(uint8_t opcode, uint32_t occurrence, const std::string& reply) {
    TwlTestRecorderAddReply(opcode, occurrence, reply.c_str());
  }
  std::vector<std::string> Log() const { return folder_->LogLines(); }
  int CountLogged(const std::string& start) const { return folder_->CountLogged(start); }
  // The index of the last logged line beginning with `start`, -1 if none.
  int LastLogged(const std::string& start) const {
    const auto lines = Log();
    for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i)
      if (lines[static_cast<size_t>(i)].rfind(start, 0) == 0) return i;
    return -1;
  }

  std::unique_ptr<EmulatedRecorderFolder> folder_;
  std::unique_ptr<ScsiMan> manager_;
};

}  // namespace kilnartest
