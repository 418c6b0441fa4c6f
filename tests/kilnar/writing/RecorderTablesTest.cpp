// The MMC and ATAPI recorder classes against answers scripted from their
// tables: speeds and configuration from page 2Ah, SET CD SPEED, page 05h
// per track, the next writable address, the free blocks, loading, Mode 2
// form 2 reads, the page walk, and the waits of the session close on the
// manual clock.
#include <cstring>
#include <string>
#include <vector>

#include "WritingFixture.h"
#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/ByteOrder.h"

namespace {

using kilnartest::HexReply;
using kilnartest::SenseReply;

constexpr const char* kTableModel = "MITSUMI CR-2801TE";

struct SpeedFields {
  uint16_t maxRead = 0;
  uint16_t currentRead = 0;
  uint16_t maxWrite = 0;
  uint16_t currentWrite = 0;
};

// A MODE SENSE(10) answer: its header (medium type in byte 2), then page
// 2Ah with the speeds, then page 05h.
std::vector<uint8_t> ModeAnswer(const SpeedFields& speeds, const std::vector<uint8_t>& page05 = {},
                                uint8_t mediumType = 0) {
  std::vector<uint8_t> answer(8, 0);
  answer[2] = mediumType;
  std::vector<uint8_t> capabilities(0x1A, 0);
  capabilities[0] = 0x2A;
  capabilities[1] = 0x18;
  SetBigEndian16(&capabilities[8], speeds.maxRead);
  SetBigEndian16(&capabilities[14], speeds.currentRead);
  SetBigEndian16(&capabilities[18], speeds.maxWrite);
  SetBigEndian16(&capabilities[20], speeds.currentWrite);
  answer.insert(answer.end(), capabilities.begin(), capabilities.end());
  answer.insert(answer.end(), page05.begin(), page05.end());
  SetBigEndian16(&answer[0], static_cast<uint16_t>(answer.size() - 2));
  return answer;
}

std::vector<uint8_t> Page05(uint8_t sessionFormat) {
  std::vector<uint8_t> page(0x34, 0);
  page[0] = 0x05;
  page[1] = 0x32;
  page[2] = 0x01;
  page[3] = 0x33;  // as reported: kept when no row changes it
  page[4] = 0x07;
  page[8] = sessionFormat;
  page[10] = page[11] = page[12] = page[13] = 0x77;  // packet size, cleared
  return page;
}

std::vector<uint32_t> ListOf(const uint32_t* speeds) {
  std::vector<uint32_t> list;
  for (int i = 0; speeds && speeds[i] != 0 && i < 10; ++i) list.push_back(speeds[i]);
  return list;
}

// The data bytes of the last logged command beginning with `start`.
std::vector<uint8_t> LoggedData(const std::vector<std::string>& log, const std::string& start) {
  for (auto line = log.rbegin(); line != log.rend(); ++line) {
    if (line->rfind(start, 0) != 0) continue;
    const size_t bar = line->rfind(" | ");
    std::vector<uint8_t> bytes;
    for (size_t at = bar + 3; at + 1 < line->size(); at += 3)
      bytes.push_back(static_cast<uint8_t>(std::stoul(line->substr(at, 2), nullptr, 16)));
    return bytes;
  }
  return {};
}

using RecorderTablesTest = kilnartest::WritingFixture;

TEST_F(RecorderTablesTest, AtapiSpeedsComeFromTheWriteSpeeds) {
  struct Case {
    uint16_t maxWrite;
    std::vector<uint32_t> speeds;
    int16_t code;
  } cases[] = {
      {705, {1, 2, 4}, 2}, {0, {1, 2, 4, 6}, 2}, {1408, {1, 2, 4, 6}, 8},
      {176, {1}, 0},       {352, {1, 2}, 1},     {3 * 176, {1, 2, 4, 6}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.maxWrite);
    auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
    Reply(0x5A, 0, HexReply("data", ModeAnswer({20 * 176, 0, c.maxWrite, 0})));
    EXPECT_EQ(ListOf(recorder->GetSpeeds()), c.speeds);
    EXPECT_EQ(recorder->GetMaxSpeed(), c.code);
  }
  auto sony = Open<Dev_Sony928>("SONY    CD-R   CDU928E");
  EXPECT_EQ(ListOf(sony->GetSpeeds()), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(sony->GetMaxSpeed(), 8);
  EXPECT_FALSE(sony->CanLoad());
  EXPECT_EQ(TwlTestRecorderCommandCount(0x1B), 0u);
}

TEST_F(RecorderTablesTest, MmcSpeedsComeFromTheReadSpeedAndWritesStopAt4x) {
  auto recorder = Open<MmcDevice>(kTableModel);
  Reply(0x5A, 0, HexReply("data", ModeAnswer({1408, 2 * 176, 0, 0})));
  EXPECT_EQ(ListOf(recorder->GetSpeeds()), (std::vector<uint32_t>{1, 2, 4, 6}));
  EXPECT_EQ(recorder->GetMaxSpeed(), 6);
  WriteConfig config;
  ASSERT_EQ(recorder->GetConfig(0, config), 0);
  EXPECT_EQ(config.speedCode, 1) << "current read speed 2x";
  EXPECT_TRUE(recorder->SetSpeed(2));
  EXPECT_EQ(CountLogged("bb 00 01 60 01 60 00 00 00 00 00 00 | none | good"), 1) << "352 kB/s both";
  EXPECT_TRUE(recorder->SetSpeed(6));
  EXPECT_EQ(CountLogged("bb 00 04 20 02 c0 00 00 00 00 00 00 | none | good"), 1) << "1056 and 704 kB/s";
  config.speedCode = 8;
  config.blockSize = 2336;
  EXPECT_EQ(recorder->SetConfig(config, 0), 0);
  EXPECT_EQ(CountLogged("bb 00 04 20 02 c0"), 2) << "code 8 sets factor 6";
  EXPECT_EQ(recorder->GetBlockSize(), 2336);
  EXPECT_EQ(TwlTestRecorderCommandCount(0x55), 0u) << "the block size is not sent";
}

TEST_F(RecorderTablesTest, AtapiConfigurationReadsAndWritesPage05) {
  struct Case {
    uint16_t currentWrite;
    uint8_t mediumType;
    int16_t code;
    uint8_t flags[4];
    int16_t kind;
  } cases[] = {
      {176, 0x00, 0, {1, 0, 1, 1}, 0},     {3 * 176, 0x12, 0, {1, 1, 1, 1}, 1},
      {2 * 176, 0x04, 1, {1, 0, 1, 1}, 2}, {4 * 176, 0x09, 2, {0, 0, 0, 1}, 0},
      {12 * 176, 0x08, 12, {1, 0, 0, 1}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.currentWrite);
    auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
    std::vector<uint8_t> page = Page05(0);
    page[2] = 0x11;
    Reply(0x5A, 0, HexReply("data", ModeAnswer({0, 0, 1408, c.currentWrite}, page, c.mediumType)));
    WriteConfig config;
    ASSERT_EQ(recorder->GetConfig(0, config), 0);
    EXPECT_EQ(config.speedCode, c.code);
    EXPECT_EQ(config.testWrite, 1);
    EXPECT_EQ(config.blockSize, 2048);
    EXPECT_EQ(std::vector<uint8_t>(config.mediumFlags, config.mediumFlags + 4),
              std::vector<uint8_t>(c.flags, c.flags + 4));
    EXPECT_EQ(config.mediumKind, c.kind);
    EXPECT_EQ(config.pauseLength, 2);
  }
  // Speed code 3 is no speed the class knows: it asks for 0.
  auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
  WriteConfig config;
  config.speedCode = 3;
  config.testWrite = 1;
  config.blockSize = 2352;
  EXPECT_EQ(recorder->SetConfig(config, 0), 0);
  EXPECT_EQ(CountLogged("bb 00 00 00 00 00 00 00 00 00 00 00 | none | good"), 1);
  std::vector<uint8_t> list(60, 0);
  list[8] = 0x05, list[9] = 0x30, list[10] = 0x11, list[22] = 0x00, list[23] = 0x96;
  EXPECT_EQ(LoggedData(Log(), "55 10 00 00 00 00 00 00 3c 00 | out 60 | good"), list);
  EXPECT_EQ(recorder->GetBlockSize(), 2352);
}

TEST_F(RecorderTablesTest, AtapiTrackParametersByTrackKind) {
  struct Case {
    const char* name;
    uint8_t audioFlag;
    uint16_t mode;
    uint16_t track;
    uint8_t byte3, byte4, byte8;
  } cases[] = {
      {"audio, track 1", 4, 0, 1, 0xC0, 0x00, 0x00},       {"audio, track 2", 4, 0, 2, 0xC0, 0x00, 0x20},
      {"mode 1", 0, 1, 2, 0xC4, 0x08, 0x00},               {"mode 2", 0, 2, 2, 0xC4, 0x0A, 0x20},
      {"mode 3, track 1", 0, 3, 1, 0xC4, 0x0C, 0x20},      {"mode 3, track 2", 0, 3, 2, 0xC4, 0x0C, 0x20},
      {"another mode keeps the page", 0, 7, 1, 0x33, 0x07, 0x20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
    Reply(0x5A, 0, HexReply("data", ModeAnswer({0, 0, 1408, 1408}, Page05(0x20))));
    ASSERT_EQ(recorder->WriteTrack(c.audioFlag, c.mode, c.track, 0, 0, 100, 0, 0), 0);
    std::vector<uint8_t> list(8, 0);
    std::vector<uint8_t> page = Page05(0x20);
    list.insert(list.end(), page.begin(), page.end());
    list[8 + 3] = c.byte3, list[8 + 4] = c.byte4, list[8 + 8] = c.byte8;
    list[8 + 10] = list[8 + 11] = list[8 + 12] = list[8 + 13] = 0;
    list[8 + 14] = 0x00, list[8 + 15] = 0x96;
    EXPECT_EQ(LoggedData(Log(), "55 10 00 00 00 00 00 00 3c 00 | out 60 | good"), list);
  }
}

TEST_F(RecorderTablesTest, NextWritableAddressAndFreeBlocks) {
  std::vector<uint8_t> track(28, 0);
  SetBigEndian32(&track[12], 11919);
  SetBigEndian32(&track[16], 5000);
  std::vector<uint8_t> full = track;
  SetBigEndian32(&full[16], 0);
  // READ DISC INFORMATION: status in byte 2, last possible lead-out
  // 79:59:74 (359849) in bytes 21-23.
  const auto discInfo = [](uint8_t status, uint8_t minute) {
    std::vector<uint8_t> info(32, 0);
    info[2] = status;
    info[21] = minute, info[22] = 59, info[23] = 74;
    return HexReply("data", info);
  };
  struct Case {
    const char* name;
    std::string trackReply;
    std::string discReply;
    int32_t address;
    uint32_t free;
    int trackQuestions;  // the free blocks ask the address unless the disc takes nothing
  } cases[] = {
      {"an appendable disc", HexReply("data", track), discInfo(0x01, 79), 11919, 359849 - 11919, 2},
      {"no free blocks", HexReply("data", full), discInfo(0x01, 79), -1, 0, 2},
      {"illegal mode for the track", SenseReply(5, 0x64, 0), discInfo(0x00, 79), 0, 359849, 2},
      {"another refusal", SenseReply(5, 0x24, 0), discInfo(0x00, 79), -1, 0, 2},
      {"a complete disc", HexReply("data", track), discInfo(0x02, 79), 11919, 0, 1},
      {"a lead-out before the address", HexReply("data", track), discInfo(0x01, 0), 11919, 0, 2},
      {"no disc information", HexReply("data", track), SenseReply(5, 0x20, 0), 11919, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
    Reply(0x52, 0, c.trackReply);
    Reply(0x51, 0, c.discReply);
    EXPECT_EQ(recorder->FirstWriteAdress(0, 1, 0, 0), c.address);
    EXPECT_EQ(recorder->GetFreeBlocks(), c.free);
    EXPECT_EQ(CountLogged("52 01 00 00 00 ff 00 00 1c 00 | in 28"), c.trackQuestions);
  }
}

TEST_F(RecorderTablesTest, LoadingAndTheTray) {
  struct Case {
    const char* name;
    std::string reply;
    bool canLoad;
  } cases[] = {
      {"a drive that loads", "good", true},
      {"invalid field in the block", SenseReply(5, 0x24, 0), false},
      {"another refusal", SenseReply(5, 0x20, 0), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
    Reply(0x1B, 0, c.reply);
    EXPECT_EQ(recorder->CanLoad(), c.canLoad);
    EXPECT_EQ(CountLogged("1b 00 00 00 03 00 00 00 00 00 00 00 | none"), 1);
  }
  auto recorder = Open<MmcDevice>(kTableModel);
  EXPECT_EQ(recorder->Eject(), 0);
  EXPECT_EQ(CountLogged("1b 00 00 00 02 00 00 00 00 00 00 00 | none | good"), 1);
}

TEST_F(RecorderTablesTest, ReadCdBlocks) {
  auto recorder = Open<MmcDevice>(kTableModel);
  // Two Mode 2 form 2 blocks as the drive sends them, 2328 bytes apart.
  std::vector<uint8_t> blocks(2 * 2328, 0);
  for (size_t i = 0; i < 2324; ++i) {
    blocks[i] = static_cast<uint8_t>(i);
    blocks[2328 + i] = static_cast<uint8_t>(i * 7);
  }
  Reply(0xBE, 1, HexReply("data", blocks));
  ASSERT_EQ(recorder->Read_1(300, 2, 2324), 0);
  EXPECT_EQ(CountLogged("be 00 00 00 01 2c 00 00 02 10 00 00 | in 4656 | good"), 1);
  const uint8_t* data = recorder->GetTransferBuffer();
  EXPECT_EQ(std::memcmp(data, blocks.data(), 2324), 0);
  EXPECT_EQ(std::memcmp(data + 2324, blocks.data() + 2328, 2324), 0);

  EXPECT_EQ(recorder->Read_1(300, 1, 2336), -1) << "the emulated disc gives no raw blocks";
  EXPECT_EQ(CountLogged("be 00 00 00 01 2c 00 00 01 58 00 00 | in 2336"), 1);
  Reply(0xBE, 3, SenseReply(1, 0x17, 0));
  EXPECT_EQ(recorder->Read_1(300, 1, 2352), 0) << "a recovered error is success";
  EXPECT_EQ(CountLogged("be 10 00 00 01 2c 00 00 01 f8 00 00 | in 2352"), 1);
  Reply(0xBE, 4, "data 01 02");
  EXPECT_EQ(recorder->ReadCDDA(300, 1), 0);
  EXPECT_EQ(CountLogged("be 04 00 00 01 2c 00 00 01 10 00 00 | in 2352 | good"), 1);
}

TEST_F(RecorderTablesTest, ModeSenseWalksFromBytes4Then8Then12) {
  // A page at byte 4 whose length leads to a zero code ends the first
  // walk; the page asked for is found at byte 8 on the second.
  std::vector<uint8_t> answer(8 + 0x1A, 0);
  answer[4] = 0x7F;
  answer[5] = 0xFF;
  answer[8] = 0x2A;
  answer[9] = 0x18;
  SetBigEndian16(&answer[8 + 18], 705);
  auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
  Reply(0x5A, 1, HexReply("data", answer));
  EXPECT_EQ(recorder->GetMaxSpeed(), 2);
  EXPECT_EQ(CountLogged("5a 00 2a 00 00 00 00 1c 00 00 | in 7168 | good"), 1);
  answer[8] = 0xAA;  // the page saved bit makes it another code
  Reply(0x5A, 2, HexReply("data", answer));
  EXPECT_EQ(recorder->GetMaxSpeed(), 0);
  Reply(0x5A, 3, SenseReply(5, 0x24, 0));
  EXPECT_EQ(recorder->GetSpeeds(), nullptr);
  WriteConfig config;
  Reply(0x5A, 4, SenseReply(5, 0x24, 0));
  EXPECT_EQ(recorder->GetConfig(0, config), -1);
}

TEST_F(RecorderTablesTest, SessionCloseWaitsOnTheLayerClock) {
  struct Case {
    const char* name;
    int notReadyBefore;  // TEST UNIT READY answers not ready this often
    bool neverReady;
    int16_t result;
    DWORD seconds;
    int closes;
  } cases[] = {
      {"a drive ready at once", 0, false, 0, 145, 1},
      {"a drive that settles first", 2, false, 0, 155, 1},
      {"a drive that never gets ready", 0, true, -1, 30 * 60, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto recorder = Open<Dev_ATAPIRecorder>(kTableModel);
    for (int i = 1; i <= c.notReadyBefore; ++i) Reply(0x00, static_cast<uint32_t>(i), SenseReply(2, 4, 1));
    if (c.neverReady) Reply(0x00, 0, SenseReply(2, 4, 1));
    const DWORD start = GetTickCount();
    EXPECT_EQ(recorder->Fixation(0, 1, 8, 1), c.result);
    EXPECT_EQ(GetTickCount() - start, c.seconds * 1000);
    EXPECT_EQ(CountLogged("5b 00 02 00 00 01 00 00 00 00 | none | good"), c.closes);
    if (c.neverReady) {
      EXPECT_STREQ(recorder->GetErrorText(), "The drive did not finish within 30 minutes.");
    }
  }
}

}  // namespace
