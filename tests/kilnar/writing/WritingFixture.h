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
#include "kilnar/recorder/ScsiDevice.h"
#include "kilnar/recorder/ScsiMan.h"
#include "twlwin/testing_recorder.h"
#include "twlwin/testing_user.h"

namespace kilnartest {

// Bytes as the log writes them: two lower-case digits, single blanks.
inline std::string HexText(const uint8_t* bytes, size_t count) {
  std::string text;
  char hex[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(hex, sizeof hex, i ? " %02x" : "%02x", bytes[i]);
    text += hex;
  }
  return text;
}

inline std::string HexReply(const char* kind, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return kind;
  return std::string(kind) + " " + HexText(bytes.data(), bytes.size());
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

// A MODE SELECT parameter list as the log shows it: 8 header bytes of 0,
// the page's first bytes as given, zeros to `length` bytes in all.
inline std::string WriteParametersList(const std::string& pageStart, int length = 60) {
  std::string list = "00 00 00 00 00 00 00 00 " + pageStart;
  const int given = static_cast<int>((pageStart.size() + 1) / 3);
  for (int i = 8 + given; i < length; ++i) list += " 00";
  return list;
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
  // The same, with the class the factory chooses for the model.
  std::unique_ptr<ScsiDevice> OpenByModel(const std::string& model) {
    folder_ = std::make_unique<EmulatedRecorderFolder>();
    setenv("TWL_RECORDER_INQUIRY", model.c_str(), 1);
    folder_->UseInThisProcess();
    manager_ = std::make_unique<ScsiMan>();
    EXPECT_TRUE(manager_->FindHostAdapters());
    auto drive = manager_->CreateDevice(0, 0);
    EXPECT_NE(drive, nullptr) << manager_->GetErrorText();
    if (!dynamic_cast<ScsiDevice*>(drive.get())) return nullptr;
    return std::unique_ptr<ScsiDevice>(static_cast<ScsiDevice*>(drive.release()));
  }
  // The burn job's calls for one data track of whole 2048-byte blocks at
  // 4x, written in two pieces (the second a third of the track), then the
  // session closed. `freeBlocks` gets what the recorder first reported.
  static void BurnOneTrack(ScsiDevice& recorder, const std::string& data, uint32_t& freeBlocks) {
    const auto blocks = static_cast<uint32_t>(data.size() / 2048);
    freeBlocks = recorder.GetFreeBlocks();
    WriteConfig config;
    ASSERT_EQ(recorder.GetConfig(0, config), 0);
    config.speedCode = 2;
    config.testWrite = 0;
    config.blockSize = 2048;
    ASSERT_EQ(recorder.SetConfig(config, 0), 0);
    ASSERT_TRUE(recorder.StartTrack(blocks, 1, 1, 0, 0, 0, nullptr)) << recorder.GetErrorText();
    const size_t first = size_t{blocks - blocks / 3} * 2048;
    ASSERT_TRUE(recorder.Write(data.data(), static_cast<uint32_t>(first)));
    ASSERT_TRUE(recorder.Write(data.data() + first, static_cast<uint32_t>(data.size() - first)));
    ASSERT_TRUE(recorder.EndTrack(1, 0, 0));
    ASSERT_EQ(recorder.Fixation(0, 1, 8, 1), 0);
  }
  static void Reply(uint8_t opcode, uint32_t occurrence, const std::string& reply) {
    TwlTestRecorderAddReply(opcode, occurrence, reply.c_str());
  }
  std::vector<std::string> Log() const { return folder_->LogLines(); }
  // The logged commands without the recorder's notes.
  std::vector<std::string> LoggedCommands() const {
    std::vector<std::string> commands;
    for (const auto& line : Log())
      if (line.rfind("#", 0) != 0) commands.push_back(line);
    return commands;
  }
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
