// The whole command sequence of each class of drive family A, of the two
// cue-sheet classes and of the Ricoh vendor class, as the burn job drives
// it: identify the drive, ask its free blocks and configuration,
// configure it, write one track-at-once data track in two pieces, end the
// track and close the session. Each class's table is put together from
// the commands its forms send, written from their descriptions, and
// compared with what the emulated recorder logged.
#include <string>
#include <vector>

#include "LoggedCommandLines.h"
#include "WritingFixture.h"
#include "kilnar/recorder/FamilyARecorders.h"

namespace sequence_tables::raw_family_sequences {

using kilnartest::WriteParametersList;

std::string Select(bool twelveBytes, const std::string& pageStart) {
  return std::string("55 10 00 00 00 00 00 00 3c 00") + (twelveBytes ? " 00 00" : "") + " | out 60 | good | " +
         WriteParametersList(pageStart);
}

// The stored configuration's page from zero, and the ATAPI recorder's
// page (length 30h) after the drive's speed and page 05h were asked.
const std::string kStoredConfig = Select(false, "05 32 01 00 00 00 00 00 00 00 00 00 00 00 00 96");
const Lines kAtapiSetConfig = {kAtapiSpeed, kModeSense05,
                               Select(false, "05 30 01 00 00 00 00 00 00 00 00 00 00 00 00 96")};

enum class Config { Stored, Drive, Ricoh };
enum class Track { T1, T2, Atapi };
enum class Writes { Addressed10, Addressed12, NoAddress };
enum class Close { Nec, Hp8100, F1, F2, F3, Atapi };

struct Row {
  const char* inquiry;
  const char* className;
  Config config;
  Track track;
  bool firstAddressTwice;  // the next writable address asked twice
  Writes writes;
  Close close;
};

Lines SetConfigLines(Config config) {
  switch (config) {
    case Config::Stored: return {kAtapiSpeed, kStoredConfig};
    case Config::Drive: return kAtapiSetConfig;
    case Config::Ricoh:
      // The drive's page (mode 1, pause 150) with track-at-once.
      return {kAtapiSpeed, kModeSense05, Select(true, "05 32 01 04 08 00 00 00 00 00 00 00 00 00 00 96")};
  }
  return {};
}

Lines WriteTrackLines(const Row& row) {
  const Lines getConfig = row.config == Config::Stored ? Lines{} : kAtapiGetConfig;
  switch (row.track) {
    case Track::T1: return {Select(false, kTrackPage)};
    case Track::T2:
      return Append(Append({kDiscInformation256, kDiscInformation256}, kAtapiGetConfig),
                    {kModeSense05, Select(false, kTrackPage)});
    case Track::Atapi: return Append(getConfig, {kModeSense05, Select(false, kTrackPage)});
  }
  return {};
}

Lines WriteLines(Writes writes) {
  switch (writes) {
    case Writes::Addressed10:
      return {"2a 00 00 00 00 00 00 00 1e 00 | out 61440 | good", "2a 00 00 00 00 1e 00 00 0f 00 | out 30720 | good"};
    case Writes::Addressed12:
      return {"2a 00 00 00 00 00 00 00 1e 00 00 00 | out 61440 | good",
              "2a 00 00 00 00 1e 00 00 0f 00 00 00 | out 30720 | good"};
    case Writes::NoAddress:
      return {"2a 00 00 00 00 00 00 00 1e 00 | out 61440 | good", "2a 00 00 00 00 00 00 00 0f 00 | out 30720 | good"};
  }
  return {};
}

const std::string kCloseTrack1 = "5b 00 02 00 00 01 00 00 00 00 | none | good";

Lines CloseLines(Close close) {
  switch (close) {
    case Close::Nec: return {kReady, kCloseTrack1, kReady};
    case Close::Hp8100:
      // Page 05h from zero with the next session allowed, the close of
      // track 0 in 12 bytes.
      return {Select(true, "05 32 01 c0 00 00 00 00 00 00 00 00 00 00 00 00"),
              "5b 00 02 00 00 00 00 00 00 00 00 00 | none | good", kReady};
    case Close::F1: return {kReady, kCloseTrack1};
    case Close::F2: return {kReady, kCloseTrack1, kReady};
    case Close::F3: return {kReady, "5b 01 02 00 00 01 00 00 00 00 | none | good", kReady};
    case Close::Atapi: return {kReady, kCloseTrack1, kReady};
  }
  return {};
}

Lines Sequence(const Row& row) {
  const Lines getConfig = row.config == Config::Stored ? Lines{} : kAtapiGetConfig;
  const Lines setConfig = SetConfigLines(row.config);
  const Lines nextAddress = row.firstAddressTwice ? Lines{kInvisibleTrack, kInvisibleTrack} : Lines{kInvisibleTrack};
  Lines lines = {kInquiry, kInquiry, kDiscInformation32};  // identify; free blocks
  lines = Append(lines, nextAddress);
  lines = Append(lines, getConfig);
  lines = Append(lines, setConfig);
  lines = Append(lines, getConfig);  // StartTrack
  lines = Append(lines, setConfig);
  lines = Append(lines, WriteTrackLines(row));
  lines = Append(lines, nextAddress);
  lines = Append(lines, WriteLines(row.writes));
  lines = Append(lines, {kSynchronize, kSynchronize});  // EndTrack
  return Append(lines, CloseLines(row.close));
}

const Row kRows[] = {
    // drive family A
    {"PHILIPS PCRW1208", "Dev_Phi_PRW1208", Config::Stored, Track::T1, false, Writes::Addressed10, Close::Nec},
    {"CyberDrvCW018D CD-R/RW", "Dev_Cyber_CW018", Config::Stored, Track::T1, false, Writes::Addressed10,
     Close::Hp8100},
    {"WAITEC  SHUTTLE", "Dev_Waitec_Shuttle", Config::Stored, Track::T1, false, Writes::Addressed10, Close::F1},
    {"IDE-CD  R/RW 4x4x32", "Dev_IDE_4x4x32", Config::Stored, Track::T1, false, Writes::Addressed10, Close::F2},
    {"PHILIPS PCRW404", "Dev_Phi_PRW404", Config::Stored, Track::T1, false, Writes::Addressed10, Close::F2},
    {"PHILIPS CDD3600 CD-R/RW", "Dev_Philips3600", Config::Stored, Track::T1, true, Writes::Addressed10, Close::F3},
    {"MITSUMI CR-4804TE USB", "Dev_Mitsumi4804USB", Config::Stored, Track::T1, false, Writes::Addressed10,
     Close::F2},
    {"MITSUMI CR-4801TE", "Dev_Mitsumi4801", Config::Stored, Track::Atapi, false, Writes::Addressed10, Close::Atapi},
    {"MITSUMI CR-4802TE", "Dev_Mitsumi4802", Config::Stored, Track::Atapi, false, Writes::Addressed10, Close::Atapi},
    {"HP      CD-Writer+ 7200", "Dev_HP3200", Config::Drive, Track::T2, false, Writes::Addressed10, Close::Atapi},
    // the cue-sheet classes
    {"DELTA   XYZ", "Dev_Delta", Config::Drive, Track::Atapi, false, Writes::Addressed12, Close::Atapi},
    {"HP      CD-Writer+ 7100", "Dev_MMP3Ver8RW", Config::Drive, Track::Atapi, false, Writes::Addressed10,
     Close::Atapi},
    // the vendor class
    {"RICOH   MP6201A", "Dev_RicohMP6200A", Config::Ricoh, Track::Atapi, false, Writes::NoAddress, Close::Atapi},
};

class RawFamilySequenceTest : public kilnartest::WritingFixture {};

TEST_F(RawFamilySequenceTest, EachClassSendsItsWholeTrackAtOnceSequence) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.className);
    FamilyAWriter::ResetStagingAreas();
    const auto recorder = OpenByModel(row.inquiry);
    ASSERT_NE(recorder, nullptr);
    ASSERT_STREQ(recorder->GetClassName(), row.className);
    const std::string data = kilnartest::PatternBytes(45 * 2048, 7);
    uint32_t freeBlocks = 0;
    BurnOneTrack(*recorder, data, freeBlocks);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(twltest::ReadFile(folder_->disc), data);
    EXPECT_EQ(LoggedCommands(), Sequence(row));
  }
}

}  // namespace sequence_tables::raw_family_sequences
