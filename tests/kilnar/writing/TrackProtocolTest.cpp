// The track-at-once protocol of the recorder base (StartTrack, Write,
// EndTrack), its default writing commands, a whole track from a file with
// waited and no-wait writes, and verification, on the emulated recorder.
#include <algorithm>
#include <string>
#include <vector>

#include "WritingFixture.h"
#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/CwStream.h"

namespace {

using kilnartest::SenseReply;

constexpr const char* kAtapiModel = "MITSUMI CR-2801TE";

// Dev_ATAPIRecorder that keeps the last flag of every Write_1.
class LastFlagRecorder : public Dev_ATAPIRecorder {
 public:
  using Dev_ATAPIRecorder::Dev_ATAPIRecorder;
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t size) override {
    lastFlags.push_back(last);
    return Dev_ATAPIRecorder::Write_1(address, count, last, size);
  }
  std::vector<bool> lastFlags;
};

// Dev_ATAPIRecorder whose writes go out without waiting; a test's endless
// delay of WRITE(12) keeps each running until it has been polled
// `pollsPerWrite` times.
class NoWaitRecorder : public Dev_ATAPIRecorder {
 public:
  using Dev_ATAPIRecorder::Dev_ATAPIRecorder;
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t size) override {
    SetNoWait();
    writeRunning = true;
    return Dev_ATAPIRecorder::Write_1(address, count, last, size);
  }
  int16_t Poll() override {
    if (writeRunning && ++polls >= pollsPerWrite) {
      TwlTestRecorderEndPending(0xAA);
      writeRunning = false;
      polls = 0;
    }
    return Dev_ATAPIRecorder::Poll();
  }
  bool writeRunning = false;
  int polls = 0;
  int pollsPerWrite = 10;
};

class TrackProtocolTest : public kilnartest::WritingFixture {
 protected:
  // Writes `blocks` blocks of the pattern through Write in pieces of 30.
  static bool WriteBlocks(ScsiDevice& device, uint32_t blocks, const std::string& data) {
    for (uint32_t done = 0; done < blocks;) {
      const uint32_t n = std::min<uint32_t>(30, blocks - done);
      if (!device.Write(data.data() + size_t{done} * 2048, n * 2048)) return false;
      done += n;
    }
    return true;
  }
  std::string SourceFile(const std::string& bytes) const {
    const std::string path = folder_->folder + "/source.bin";
    twltest::WriteFile(path, bytes);
    return path;
  }
};

TEST_F(TrackProtocolTest, OnlyTheLastWriteOfATrackIsMarkedLastOutsideTestWrite) {
  for (const bool test : {false, true}) {
    SCOPED_TRACE(test ? "test write" : "real write");
    auto recorder = Open<LastFlagRecorder>(kAtapiModel);
    const std::string data = kilnartest::PatternBytes(1000 * 2048);
    std::vector<int> progress;
    ASSERT_TRUE(recorder->StartTrack(1000, 1, 1, 0, 0, test ? 2 : 0, [&](int p) { progress.push_back(p); }))
        << recorder->GetErrorText();
    ASSERT_TRUE(WriteBlocks(*recorder, 1000, data)) << recorder->GetErrorText();
    ASSERT_EQ(recorder->lastFlags.size(), 34u);
    EXPECT_EQ(std::count(recorder->lastFlags.begin(), recorder->lastFlags.end(), true), test ? 0 : 1);
    EXPECT_EQ(recorder->lastFlags.back(), !test);
    EXPECT_EQ(progress.front(), 3) << "30 of 1000 blocks";
    EXPECT_EQ(progress.back(), 100);
    ASSERT_TRUE(recorder->EndTrack(1, test ? 2 : 0, 0));
    EXPECT_STREQ(recorder->GetErrorText(), "1000 blocks were written.");
    if (!test) {
      EXPECT_EQ(twltest::ReadFile(folder_->disc), data);
    }
  }
}

TEST_F(TrackProtocolTest, WriteRefusesWhatItCannotSendWhole) {
  struct Case {
    const char* name;
    bool started;
    bool cancelled;
    uint32_t length;
    const char* error;
  } cases[] = {
      {"a write before any track", false, false, 2048, "No track has been started on the recorder."},
      {"a part block", true, false, 3000,
       "Only whole blocks of 2048 bytes, at most 310000 bytes at a time, can be written, not 3000 bytes."},
      {"more than the transfer buffer", true, false, 152 * 2048,
       "Only whole blocks of 2048 bytes, at most 310000 bytes at a time, can be written, not 311296 bytes."},
      {"a cancelled track", true, true, 2048, "The operation was cancelled."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto recorder = Open<Dev_ATAPIRecorder>(kAtapiModel);
    if (c.started) {
      ASSERT_TRUE(recorder->StartTrack(200, 1, 1, 0, 0, 0, nullptr));
    }
    if (c.cancelled) recorder->Cancel();
    const std::string data(c.length, 'x');
    EXPECT_FALSE(recorder->Write(data.data(), c.length));
    EXPECT_STREQ(recorder->GetErrorText(), c.error);
    EXPECT_EQ(TwlTestRecorderCommandCount(0xAA), 0u) << "nothing sent";
    EXPECT_EQ(recorder->GetBlocksWritten(), 0u);
  }
}

TEST_F(TrackProtocolTest, AddressFirstTypesAskTheAddressBeforeTheTrack) {
  struct Case {
    const char* model;
    uint16_t type;
    bool addressFirst;
  } cases[] = {{"JVC     XR-W2010", 11, true}, {"YAMAHA  CRW4416S", 40, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    auto recorder = Open<Dev_ATAPIRecorder>(c.model);
    ASSERT_EQ(recorder->GetType(), c.type);
    ASSERT_TRUE(recorder->StartTrack(100, 1, 1, 0, 0, 0, nullptr)) << recorder->GetErrorText();
    const int address = LastLogged("52 01 00 00 00 ff");
    const int track = LastLogged("55 10");
    ASSERT_GE(address, 0);
    EXPECT_EQ(address < track, c.addressFirst);
    EXPECT_EQ(CountLogged("52 01 00 00 00 ff"), 1);
  }
}

TEST_F(TrackProtocolTest, DefaultWritingCommandsOfThePlainClass) {
  // An unidentified drive starts a track with vendor command E6h (mode 3
  // sent as 2, with the audio flag and drive value 2); type 16 writes with
  // WRITE(10); other types support neither.
  auto unknown = Open<ScsiDevice>("NOBODY  PLAIN WRITER", "scsi:8");
  ASSERT_EQ(unknown->GetType(), 999);
  EXPECT_EQ(unknown->WriteTrack(4, 3, 1, 0x21, 0x40, 100, 0, 0), 0);
  EXPECT_EQ(CountLogged("e6 00 00 00 00 00 46 00 00 21 | none | good"), 1);
  EXPECT_EQ(unknown->Write_1(0, 1, true, 2048), -1);
  EXPECT_STREQ(unknown->GetErrorText(), "This recorder does not support the operation.");

  auto type16 = Open<ScsiDevice>("YAMAHA  CDR400", "scsi:8");
  ASSERT_EQ(type16->GetType(), 16);
  std::memset(type16->GetTransferBuffer(), 0x5A, 2 * 2048);
  EXPECT_EQ(type16->Write_1(0, 2, true, 2048), 0);
  EXPECT_EQ(CountLogged("2a 00 00 00 00 00 00 00 02 00 | out 4096 | good"), 1);
  EXPECT_EQ(type16->WriteTrack(0, 1, 1, 0, 0, 100, 0, 0), -1);
  for (const bool blanked : {type16->BlankDisc(), type16->BlankSession(), type16->BlankTrack()})
    EXPECT_FALSE(blanked);
  EXPECT_STREQ(type16->GetErrorText(), "This recorder cannot blank discs.");
  EXPECT_EQ(type16->FlushCache(1, 1, 1, 0, 0, 0), -1);
  EXPECT_EQ(type16->Fixation(0, 1, 8, 1), -1);
  EXPECT_FALSE(type16->PrepareDAO(DiscInfo(), 0));
  EXPECT_STREQ(type16->GetErrorText(), "DAO not supported");
}

TEST_F(TrackProtocolTest, WholeTrackFromAFileWithWaitedAndNoWaitWrites) {
  const std::string data = kilnartest::PatternBytes(200 * 2048, 7);
  std::string discs[2];
  int mostFilled[2] = {0, 0};
  for (int noWait = 0; noWait < 2; ++noWait) {
    SCOPED_TRACE(noWait ? "no-wait writes" : "waited writes");
    std::unique_ptr<Dev_ATAPIRecorder> recorder;
    if (noWait) {
      recorder = Open<NoWaitRecorder>(kAtapiModel);
      TwlTestRecorderDelay(0xAA, INFINITE);
    } else {
      recorder = Open<Dev_ATAPIRecorder>(kAtapiModel);
    }
    CwStream source(SourceFile(data).c_str(), true);
    // The ring reports the read index less the write index: with f
    // blocks filled, 30 - f.
    const auto progress = [&](int state) { mostFilled[noWait] = std::max(mostFilled[noWait], (30 - state) % 30); };
    ASSERT_EQ(recorder->WriteTrackFromFile(source, 1, 2048, 1, 0, 0, 0, progress), 0) << recorder->GetErrorText();
    EXPECT_STREQ(recorder->GetErrorText(), "200 blocks were written.");
    EXPECT_EQ(CountLogged("aa 00"), 8) << "27 blocks a write";
    discs[noWait] = twltest::ReadFile(folder_->disc) + twltest::ReadFile(folder_->disc + ".layout");
  }
  EXPECT_EQ(discs[0], discs[1]);
  EXPECT_EQ(discs[0].substr(0, data.size()), data);
  EXPECT_LE(mostFilled[0], 2) << "waited writes alternate with the reads";
  EXPECT_GE(mostFilled[1], 5) << "reads go on while a write runs";
}

TEST_F(TrackProtocolTest, WholeTrackFromAFileFailures) {
  auto recorder = Open<Dev_ATAPIRecorder>(kAtapiModel);
  CwStream empty(SourceFile("").c_str(), true);
  EXPECT_EQ(recorder->WriteTrackFromFile(empty, 1, 2048, 1, 0, 0, 0, nullptr), -1);
  EXPECT_STREQ(recorder->GetErrorText(), "The file could not be read or written.");

  // A write error keeps its text through the closing flush.
  auto failing = Open<Dev_ATAPIRecorder>(kAtapiModel);
  Reply(0xAA, 2, SenseReply(3, 0x0C, 0));
  CwStream source(SourceFile(kilnartest::PatternBytes(100 * 2048)).c_str(), true);
  EXPECT_EQ(failing->WriteTrackFromFile(source, 1, 2048, 1, 0, 0, 0, nullptr), -1);
  EXPECT_STREQ(failing->GetErrorText(), "Medium Error! (support info: aa, 0c, 00 )");
  EXPECT_EQ(CountLogged("35 00"), 2) << "the track is still flushed";
}

TEST_F(TrackProtocolTest, VerifyComparesAllButTheLastFourBlocksInChunksOfFive) {
  auto recorder = Open<Dev_ATAPIRecorder>(kAtapiModel);
  const std::string data = kilnartest::PatternBytes(104 * 2048, 3);
  ASSERT_TRUE(recorder->StartTrack(104, 1, 1, 0, 0, 0, nullptr));
  ASSERT_TRUE(WriteBlocks(*recorder, 104, data));
  ASSERT_TRUE(recorder->EndTrack(1, 0, 0));
  CwStream source(SourceFile(data).c_str(), true);
  ASSERT_TRUE(recorder->VerifyTrack(source, 1, 2048)) << recorder->GetErrorText();
  EXPECT_EQ(CountLogged("28 00"), 20);
  EXPECT_EQ(CountLogged("28 00 00 00 00 5f 00 00 05 00 | in 10240 | good"), 1) << "the last chunk, blocks 95-99";
}

TEST_F(TrackProtocolTest, VerifyRefusalsAndFailures) {
  struct Case {
    const char* name;
    uint32_t sourceBlocks;
    const char* readReply;  // every READ(10)
    const char* error;
    int reads;
  } cases[] = {
      {"an empty source", 0, nullptr, "The file is not valid for this operation.", 0},
      {"a source of one block", 1, nullptr, "The file is not valid for this operation.", 0},
      {"a source of four blocks", 4, nullptr, "The file is not valid for this operation.", 0},
      {"a disc that cannot be read", 20, "sense 70 00 03 00 00 00 00 0a 00 00 00 00 11 00",
       "The disc could not be read.", 21},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto recorder = Open<Dev_ATAPIRecorder>(kAtapiModel);
    const std::string data = kilnartest::PatternBytes(20 * 2048, 5);
    ASSERT_TRUE(recorder->StartTrack(20, 1, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(WriteBlocks(*recorder, 20, data));
    ASSERT_TRUE(recorder->EndTrack(1, 0, 0));
    if (c.readReply) Reply(0x28, 0, c.readReply);
    CwStream source(SourceFile(data.substr(0, size_t{c.sourceBlocks} * 2048)).c_str(), true);
    EXPECT_FALSE(recorder->VerifyTrack(source, 1, 2048));
    EXPECT_STREQ(recorder->GetErrorText(), c.error);
    EXPECT_EQ(CountLogged("28 00"), c.reads);
  }
}

}  // namespace
