// The reading and configuration operations of the common recorder class on
// the emulated recorder, with scripted answers where a case needs an
// answer the emulated disc does not give.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kilnar/EmulatedRecorder.h"
#include "kilnar/recorder/ScsiDevice.h"
#include "kilnar/recorder/ScsiMan.h"
#include "twlwin/testing_recorder.h"

namespace {

struct TocEntry {
  uint8_t control;
  uint8_t number;
  uint32_t start;
};

std::string DataReply(const std::vector<uint8_t>& bytes) {
  std::string reply = "data";
  char hex[4];
  for (uint8_t byte : bytes) {
    std::snprintf(hex, sizeof hex, " %02x", byte);
    reply += hex;
  }
  return reply;
}

// A READ TOC answer of the given descriptors and the last track number as
// claimed.
std::vector<uint8_t> TocAnswer(const std::vector<TocEntry>& entries, uint8_t lastTrack) {
  std::vector<uint8_t> toc(4, 0);
  toc[2] = 1;
  toc[3] = lastTrack;
  for (const auto& entry : entries) {
    const uint8_t d[8] = {0,
                          entry.control,
                          entry.number,
                          0,
                          static_cast<uint8_t>(entry.start >> 24),
                          static_cast<uint8_t>(entry.start >> 16),
                          static_cast<uint8_t>(entry.start >> 8),
                          static_cast<uint8_t>(entry.start)};
    toc.insert(toc.end(), d, d + 8);
  }
  const size_t length = toc.size() - 2;
  toc[0] = static_cast<uint8_t>(length >> 8);
  toc[1] = static_cast<uint8_t>(length);
  return toc;
}

constexpr const char* kBlankCheck = "sense 70 00 08 00 00 00 00 0a 00 00 00 00 00 00";
constexpr const char* kIllegal = "sense 70 00 05 00 00 00 00 0a 00 00 00 00 26 00";

class RecorderReadingTest : public testing::Test {
 protected:
  // A drive of the given model; each test names its own, so that its
  // [READER] key and registry override are its alone.
  void OpenDrive(const std::string& model) {
    setenv("TWL_RECORDER_INQUIRY", model.c_str(), 1);
    setenv("TWL_RECORDER_ADAPTER", "scsi:8", 1);
    recorder_.UseInThisProcess();
    ASSERT_TRUE(manager_.FindHostAdapters());
    device_ = std::make_unique<ScsiDevice>(&manager_);
    ASSERT_TRUE(device_->Open(0, 0));
  }
  void TearDown() override {
    unsetenv("TWL_RECORDER_INQUIRY");
    unsetenv("TWL_RECORDER_ADAPTER");
  }
  static void Reply(uint8_t opcode, uint32_t occurrence, const std::string& reply) {
    TwlTestRecorderAddReply(opcode, occurrence, reply.c_str());
  }

  kilnartest::EmulatedRecorderFolder recorder_;
  ScsiMan manager_;
  std::unique_ptr<ScsiDevice> device_;
};

TEST_F(RecorderReadingTest, FactoryMakesAPlainRecorderForAnUnknownModelOnAWideAdapter) {
  OpenDrive("NOBODY  FACTORY PLAIN");
  auto made = manager_.CreateDevice(0, 0);
  ASSERT_NE(made, nullptr) << manager_.GetErrorText();
  EXPECT_STREQ(made->GetClassName(), "ScsiDevice");
}

TEST_F(RecorderReadingTest, SetBlockSizeRetriesWithTheDensityOfTheSize) {
  struct Case {
    const char* model;
    uint16_t size;
    uint8_t density;
  } cases[] = {
      {"TOSHIBA XM-2352 RETRY", 2352, 0x82}, {"NOBODY  DENS2352 RETRY", 2352, 0x04},
      {"TOSHIBA XM-2048 RETRY", 2048, 0x83}, {"NOBODY  DENS2048 RETRY", 2048, 0x01},
      {"NOBODY  DENS2336 RETRY", 2336, 0xC1}, {"NOBODY  DENS2324 RETRY", 2324, 0x82},
      {"NOBODY  DENS0512 RETRY", 512, 0x00},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    OpenDrive(c.model);
    Reply(0x15, 1, kIllegal);
    EXPECT_TRUE(device_->SetBlockSize(c.size));
    EXPECT_EQ(TwlTestRecorderCommandCount(0x15), 2u);
    const uint8_t* list = device_->GetTransferBuffer();
    EXPECT_EQ(list[3], 8);
    EXPECT_EQ(list[4], c.density);
    EXPECT_EQ(list[9] << 16 | list[10] << 8 | list[11], c.size);
  }
}

TEST_F(RecorderReadingTest, SessionCountRules) {
  struct Case {
    const char* name;
    std::vector<std::string> replies;  // READ TOC answers in order
    uint16_t sessions;
  } cases[] = {
      {"last session 0 gives the first", {DataReply({0, 10, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0})}, 3},
      {"a first track in the last session", {DataReply({0, 10, 1, 2, 0, 0, 5, 0, 0, 0, 0, 0})}, 2},
      {"no track in the last session", {DataReply({0, 10, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0})}, 1},
      {"failure with tracks", {kIllegal, DataReply({0, 10, 1, 3})}, 1},
      {"failure without tracks", {kIllegal, kIllegal}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenDrive("NOBODY  SESSION RULES");
    for (size_t i = 0; i < c.replies.size(); ++i) Reply(0x43, static_cast<uint32_t>(i + 1), c.replies[i]);
    EXPECT_EQ(device_->GetSessionCount(), c.sessions);
  }
}

TEST_F(RecorderReadingTest, ReadDiscInfoPregapsAndDiscType) {
  OpenDrive("NOBODY  PREGAPS");
  Reply(0x43, 0,
        DataReply(TocAnswer({{0x10, 1, 0}, {0x10, 2, 1000}, {0x14, 3, 2000}, {0x10, 4, 3000}, {0x14, 0xAA, 4000}},
                            4)));
  auto disc = std::make_unique<DiscInfo>();
  std::vector<int> percents;
  ASSERT_TRUE(device_->ReadDiscInfo(*disc, [&](int percent) { percents.push_back(percent); }))
      << device_->GetErrorText();
  ASSERT_EQ(disc->trackCount, 4);
  const int pregaps[] = {150, 0, 150, 150};
  const uint16_t formats[] = {kTrackAudio, kTrackAudio, kTrackDataMode1, kTrackAudio};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(disc->tracks[i].pregap.ToFrames(), pregaps[i]);
    EXPECT_EQ(disc->tracks[i].format, formats[i]);
  }
  // Each track is its TOC length less 152 blocks, less the next one's pregap.
  EXPECT_EQ(disc->tracks[0].length.ToFrames(), 1000 - 152);
  EXPECT_EQ(disc->tracks[1].length.ToFrames(), 1000 - 152 - 150);
  EXPECT_EQ(disc->tracks[3].length.ToFrames(), 1000 - 152);
  EXPECT_EQ(disc->tracks[2].start.ToLba(), 2000);
  EXPECT_EQ(disc->discType, 0);
  EXPECT_EQ(percents, (std::vector<int>{25, 50, 75, 100, 100}));
}

TEST_F(RecorderReadingTest, LyingTocsAreRefusedWithATextAndNeverReadPastTheTable) {
  struct Case {
    const char* name;
    std::vector<uint8_t> toc;
    uint16_t trackCount;
  } cases[] = {
      {"255 tracks", TocAnswer({{0x14, 1, 0}, {0x14, 0xAA, 1000}}, 255), 99},
      {"99 tracks in two descriptors", TocAnswer({{0x14, 1, 0}, {0x14, 0xAA, 1000}}, 99), 99},
      {"addresses at 7FFFFFFFh", TocAnswer({{0x14, 1, 0x7FFFFFFF}, {0x14, 0xAA, 0x7FFFFFFF}}, 1), 1},
      {"a lead-out before the track", TocAnswer({{0x14, 1, 1000}, {0x14, 0xAA, 500}}, 1), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenDrive("NOBODY  LYING TOC");
    Reply(0x43, 0, DataReply(c.toc));
    EXPECT_EQ(device_->GetTrackCount(), c.trackCount);
    auto disc = std::make_unique<DiscInfo>();
    EXPECT_FALSE(device_->ReadDiscInfo(*disc, nullptr));
    EXPECT_NE(std::string(device_->GetErrorText()).find("not valid"), std::string::npos) << device_->GetErrorText();
    EXPECT_LE(disc->trackCount, 1);
    EXPECT_NE(device_->ReadTrackInformation(2), 0);
  }
}

TEST_F(RecorderReadingTest, FirstWriteAddressAndFreeBlocks) {
  OpenDrive("NOBODY  NEXT WRITABLE");
  Reply(0x43, 0, DataReply(TocAnswer({{0x14, 1, 0}, {0x14, 0xAA, 300000}}, 1)));
  EXPECT_EQ(device_->FirstWriteAdress(0, 1, 0, 0), 311250);
  EXPECT_EQ(device_->GetFreeBlocks(), 333000u - 311250u);
  OpenDrive("NOBODY  NEXT WRITABLE");
  Reply(0x43, 0, kBlankCheck);
  EXPECT_EQ(device_->FirstWriteAdress(0, 1, 0, 0), -150);
  EXPECT_EQ(device_->GetFreeBlocks(), 0u);
}

std::vector<uint8_t> Block(uint8_t type, const std::string& volumeId, bool bridge = false) {
  std::vector<uint8_t> block(2048, 0);
  block[0] = type;
  std::memcpy(&block[1], "CD001", 5);
  if (bridge) std::memcpy(&block[8], "CD-RTOS CD-BRIDGE", 17);
  std::string id = volumeId;
  id.resize(32, ' ');
  std::memcpy(&block[40], id.data(), 32);
  return block;
}

TEST_F(RecorderReadingTest, VolumeLabelSearchEndsAtTheFortiethBlock) {
  for (const bool found : {true, false}) {
    SCOPED_TRACE(found);
    OpenDrive("NOBODY  LABEL SEARCH");
    Reply(0x28, 0, DataReply(Block(0x02, "NOT THIS")));
    // The first two reads are of block s+16; the 41st read is block s+55.
    if (found) Reply(0x28, 41, DataReply(Block(0x01, "FOUND AT 55", true)));
    bool bridge = false;
    char label[32] = {};
    EXPECT_EQ(device_->ReadVolumeLabel(100, bridge, label, sizeof label), found);
    EXPECT_EQ(TwlTestRecorderCommandCount(0x28), 41u);
    if (found) {
      EXPECT_EQ(std::string(label).substr(0, 11), "FOUND AT 55");
      EXPECT_TRUE(bridge);
    }
  }
}

TEST_F(RecorderReadingTest, VolumeLabelSizes) {
  struct Case {
    uint32_t size;
    const char* label;
  } cases[] = {{10, "ABCDEFGHI"}, {40, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"}, {1, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    OpenDrive("NOBODY  LABEL SIZES");
    Reply(0x28, 0, DataReply(Block(0x01, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345")));
    bool bridge = false;
    char label[48];
    std::memset(label, 'x', sizeof label);
    ASSERT_TRUE(device_->ReadVolumeLabel(0, bridge, label, c.size));
    EXPECT_STREQ(label, c.label);
    EXPECT_FALSE(bridge);
  }
}

std::vector<uint32_t> SpeedList(const uint32_t* speeds) {
  std::vector<uint32_t> list;
  for (; *speeds; ++speeds) list.push_back(*speeds);
  return list;
}

TEST_F(RecorderReadingTest, WriteSpeedsFromTheRegistry) {
  struct Case {
    const char* model;
    const char* writeSpeed;  // null: no key
    std::vector<uint32_t> speeds;
  } cases[] = {
      {"NOBODY  SPEED 12", "12", {1, 2, 4, 6, 8, 10, 12}},
      {"NOBODY  SPEED 5", "5", {1, 2, 4, 6}},
      {"NOBODY  SPEED 41", "41", {1, 2, 4, 6}},
      {"NOBODY  SPEED 8", "8", {1, 2, 4, 6, 8}},
      {"NOBODY  SPEED NONE", nullptr, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    if (c.writeSpeed) {
      const std::string path = std::string("SOFTWARE\\Velbrook\\DRIVER1\\") + c.model;
      HKEY key = nullptr;
      ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                ERROR_SUCCESS);
      RegSetValueExA(key, "WriteSpeed", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.writeSpeed),
                     static_cast<DWORD>(std::strlen(c.writeSpeed) + 1));
      RegCloseKey(key);
    }
    OpenDrive(c.model);
    EXPECT_EQ(SpeedList(device_->GetSpeeds()), c.speeds);
  }
}

TEST_F(RecorderReadingTest, SetSpeedCodesAndConfiguration) {
  OpenDrive("NOBODY  SET SPEED");
  EXPECT_TRUE(device_->SetSpeed(4));
  EXPECT_TRUE(device_->SetSpeed(8));
  WriteConfig config;
  EXPECT_EQ(device_->GetConfig(0, config), 0);
  EXPECT_EQ(config.speedCode, -1);
  EXPECT_EQ(config.pauseLength, 2);
  config.blockSize = 2336;
  EXPECT_EQ(device_->SetConfig(config, 0), 0);
  EXPECT_TRUE(recorder_.Logged("1a 00 01 00 ff 00 | in 255 | good"));
  EXPECT_EQ(recorder_.CountLogged("15 10 00 00 0c 00"), 3);
  const uint8_t* list = device_->GetTransferBuffer();
  EXPECT_EQ(list[9] << 16 | list[10] << 8 | list[11], 2336);
}

}  // namespace
