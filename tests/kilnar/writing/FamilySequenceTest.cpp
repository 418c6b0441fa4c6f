// The whole command sequence of each page-05 and family B class, as the
// burn job drives it: identify the drive, ask its free blocks and
// configuration, configure it, write one track-at-once data track in two
// pieces, end the track and close the session. Each class's table is put
// together from the commands its forms send, written from their
// descriptions, and compared with what the emulated recorder logged.
#include <cstdio>
#include <string>
#include <vector>

#include "../../../tools/kilnartool/RawSector.h"
#include "LoggedCommandLines.h"
#include "WritingFixture.h"
#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/PageFiveRecorders.h"

namespace sequence_tables::family_sequences {

using kilnartest::WriteParametersList;

const std::string kRezero = "01 00 00 00 00 00 | none | good";
const std::string kBufferCapacity = "5c 00 00 00 00 00 00 00 0c 00 | in 12 | good";


// --- the page-05 recorders (10-byte MODE SENSE and SELECT, WRITE(10)) ---

std::string PageFiveSelect(const std::string& pageStart) {
  return "55 10 00 00 00 00 00 00 3c 00 | out 60 | good | " + WriteParametersList(pageStart);
}
// Page 05h read with 60 bytes (JVC, the shadow line) or 68, then 2Ah.
Lines PageFiveGetConfig(bool longPageRead) {
  return {
      longPageRead ? "5a 00 05 00 00 00 00 00 44 00 | in 68 | good" : "5a 00 05 00 00 00 00 00 3c 00 | in 60 | good",
      "5a 00 2a 00 00 00 00 00 1e 00 | in 30 | good"};
}
// SET CD SPEED at 4x: the maximum read speed and 4 x 176 or 4 x 177
// kilobytes a second, or 4 x 177 for both by the shared command.
const std::string kJvcSpeed = "bb 00 ff ff 02 c0 00 00 00 00 00 00 | none | good";
const std::string kSpeed177 = "bb 00 ff ff 02 c4 00 00 00 00 00 00 | none | good";
const std::string kSharedSpeed = "bb 00 02 c4 02 c4 00 00 00 00 00 00 | none | good";
// The configuration's page: write type, C4h, pause x 75 (0 here).
const std::string kDriveConfigured = PageFiveSelect("05 32 01 c4 00 00 00 00 00 00 00 00 00 00 00 00");
// The shadow line's: also mode 1 and a pause of 150.
const std::string kShadowConfigured = PageFiveSelect(kTrackPage);
const std::string kWrite10First = "2a 00 00 00 00 00 00 00 1e 00 | out 61440 | good";
const std::string kWrite10Second = "2a 00 00 00 00 1e 00 00 0f 00 | out 30720 | good";
const std::string kPageFiveClose = "5b 00 02 00 00 01 00 00 00 00 | none | good";
const std::string kShadowClose = "5b 00 02 00 00 00 00 00 00 00 | none | good";

enum class SetForm { SpeedThenPage, PageThenSharedSpeed, Speed177ThenPage, Nothing };

struct PageFiveRow {
  const char* inquiry;
  const char* className;
  bool shadowLine;
  bool longPageRead;     // page 05h read with 68 bytes
  bool configFromDrive;  // HP9200 and Panasonic 7582 keep it only in the shadow
  SetForm set;
  bool bufferCapacity;  // READ BUFFER CAPACITY after each write
};


Lines PageFiveSequence(const PageFiveRow& row) {
  const Lines getConfig = row.configFromDrive ? PageFiveGetConfig(row.longPageRead) : Lines{};
  Lines setConfig;
  switch (row.set) {
    case SetForm::SpeedThenPage: setConfig = {kJvcSpeed, kDriveConfigured}; break;
    case SetForm::PageThenSharedSpeed: setConfig = {kDriveConfigured, kSharedSpeed}; break;
    case SetForm::Speed177ThenPage:
      setConfig = {kSpeed177, row.shadowLine ? kShadowConfigured : kDriveConfigured};
      break;
    case SetForm::Nothing: break;
  }
  Lines lines = {kInquiry, kInquiry, kDiscInformation32, kInvisibleTrack};  // identify; free blocks
  lines = Append(lines, getConfig);
  lines = Append(lines, setConfig);
  // StartTrack: the configuration read and set again, the track's page.
  lines = Append(lines, getConfig);
  lines = Append(lines, setConfig);
  if (row.shadowLine) {
    lines = Append(lines, {kDiscInformation256, kDiscInformation256});
    lines = Append(lines, getConfig);
    lines = Append(lines, {PageFiveSelect(kTrackPage), kSpeed177});
  } else {
    lines = Append(lines, {kRezero});
    lines = Append(lines, getConfig);
    lines = Append(lines, {PageFiveSelect(kTrackPage), kInvisibleTrack});
  }
  lines.push_back(kInvisibleTrack);  // the track's first address
  lines.push_back(kWrite10First);
  if (row.bufferCapacity) lines.push_back(kBufferCapacity);
  lines.push_back(kWrite10Second);
  if (row.bufferCapacity) lines.push_back(kBufferCapacity);
  lines.push_back(kSynchronize);  // EndTrack
  return Append(lines, row.shadowLine ? Lines{kShadowClose} : Lines{kPageFiveClose, kReady});
}

const PageFiveRow kPageFiveRows[] = {
    {"JVC     XR-W2082", "Dev_JVC2082", false, false, true, SetForm::SpeedThenPage, false},
    {"GENERIC CRD-BP4", "Dev_Generic_CRD_BP4", false, true, true, SetForm::PageThenSharedSpeed, false},
    {"PLEXTOR CD-R   PX-W1210S", "Dev_Plextor_PX_W1210S", false, true, true, SetForm::PageThenSharedSpeed, false},
    {"SANYO   CD-R CRD-R800S", "Dev_SanyoR800", false, true, true, SetForm::Speed177ThenPage, false},
    {"TOSHIBA DVD-ROM SD-R1002", "Dev_Toshiba_SDR1002", true, false, true, SetForm::Speed177ThenPage, false},
    {"HP      CD-Writer+ 9200", "Dev_HP9200", true, false, false, SetForm::Nothing, true},
    {"MATSHITACD-RW  CW-7585", "Dev_Panasonic7585", true, false, true, SetForm::Speed177ThenPage, false},
    {"MATSHITACD-R   CW-7582", "Dev_Panasonic7582", true, false, false, SetForm::Nothing, true},
};

// --- drive family B (12-byte MODE SELECT, WRITE(12)) ---

const std::string kWrite12First = "aa 00 00 00 00 00 00 00 00 1e 00 00 | out 61440 | good";
const std::string kWrite12Second = "aa 00 00 00 00 1e 00 00 00 0f 00 00 | out 30720 | good";
const std::string kCloseTrack1 = "5b 00 02 00 00 01 00 00 00 00 | none | good";
const std::string kCloseTrack0 = "5b 00 02 00 00 00 00 00 00 00 00 00 | none | good";

std::string FamilyBSelect(bool savePages, const std::string& pageStart, int length = 60) {
  return std::string("55 ") + (savePages ? "12" : "10") + " 00 00 00 00 00 00 " + (length == 64 ? "40" : "3c") +
         " 00 00 00 | out " + std::to_string(length) + " | good | " + WriteParametersList(pageStart, length);
}

enum class Form { Zero, SavePages, DrivePage };
enum class Close { F1, F2, F3, F4, F5 };

struct FamilyBRow {
  const char* inquiry;
  const char* className;
  Form form;  // how SetConfig and WriteTrack build and send the page
  Close close;
};

Lines FamilyBSequence(const FamilyBRow& row) {
  const bool save = row.form == Form::SavePages;
  Lines setConfig, writeTrack;
  if (row.form == Form::DrivePage) {
    // The drive's own page (mode 1, pause 150) with the write type set.
    setConfig = {kAtapiSpeed, kModeSense05,
                 FamilyBSelect(false, "05 32 01 04 08 00 00 00 00 00 00 00 00 00 00 96", 64)};
    writeTrack = Append(kAtapiGetConfig, {kModeSense05, FamilyBSelect(false, kTrackPage, 64)});
  } else {
    setConfig = {kAtapiSpeed, FamilyBSelect(save, "05 32 01 00 00 00 00 00 00 00 00 00 00 00 00 96")};
    writeTrack = Append(kAtapiGetConfig, {FamilyBSelect(save, kTrackPage)});
  }
  Lines lines = {kInquiry, kInquiry, kDiscInformation32, kInvisibleTrack};
  lines = Append(lines, kAtapiGetConfig);
  lines = Append(lines, setConfig);
  lines = Append(lines, kAtapiGetConfig);  // StartTrack
  lines = Append(lines, setConfig);
  lines = Append(lines, writeTrack);
  lines = Append(lines, {kInvisibleTrack, kWrite12First, kWrite12Second, kSynchronize, kSynchronize});
  // The session is closed with the next one allowed (C0h), pause 0.
  const std::string closingPage = "05 32 01 c0 00 00 00 00 00 00 00 00 00 00 00 00";
  switch (row.close) {
    case Close::F1: return Append(lines, {kReady, kCloseTrack1, kReady});
    case Close::F2:
      return Append(lines, Append(kAtapiGetConfig, {FamilyBSelect(false, closingPage), kCloseTrack0, kReady}));
    case Close::F3:
      return Append(
          lines, Append(kAtapiGetConfig, {kModeSense05, FamilyBSelect(false, kTrackPage, 64), kCloseTrack0, kReady}));
    case Close::F4: return Append(lines, Append(kAtapiGetConfig, {FamilyBSelect(false, closingPage), kCloseTrack0}));
    case Close::F5: return Append(lines, {kReady, kCloseTrack1, kReady});
  }
  return lines;
}

const FamilyBRow kFamilyBRows[] = {
    {"_NEC    NR-7500A", "Dev_NEC_NR7500A", Form::Zero, Close::F1},
    {"LG      CD-RW CED-8120B", "Dev_LG8120B", Form::Zero, Close::F2},
    {"TDK     CDRW161040X", "Dev_TDK_CDRW161040X", Form::Zero, Close::F1},
    {"SAMSUNG CD-R/RW SW-408B", "Dev_Samsung_SW408B", Form::Zero, Close::F5},
    {"LITE-ON LTR-12101B", "Dev_LiteOn_Ltr_12101B", Form::Zero, Close::F1},
    {"GENERIC CRD-BP1400P", "Dev_Generic_CRD_BP1400P", Form::Zero, Close::F1},
    {"WAITEC  CD-R   WT3284", "Dev_Waitec_WT3284", Form::Zero, Close::F2},
    {"YAMAHA  CRW2100E", "Dev_YAMAHA_CRW2100E", Form::Zero, Close::F1},
    {"TEAC    CD-W512SB", "Dev_Teac_CD_512EB", Form::Zero, Close::F1},
    {"LG      CD-RW CED-8042B", "Dev_LG8042B", Form::Zero, Close::F2},
    {"PHILIPS PCA460RW", "Dev_Phi_Pca460", Form::SavePages, Close::F5},
    {"HP      CD-Writer+ 8100", "Dev_HP8100", Form::Zero, Close::F2},
    {"YAMAHA  CDR401", "Dev_Yamaha401", Form::DrivePage, Close::F3},
    {"YAMAHA  CRW4416E", "Dev_Yamaha4001", Form::DrivePage, Close::F3},
    {"RICOH   CD-R/RW MP7040A", "Dev_MP7040A", Form::Zero, Close::F5},
    {"SONY    CD-RW  CRX160E", "Dev_SonyCRX160E", Form::Zero, Close::F4},
    {"SONY    CD-RW  CRX145E", "Dev_SonyCRX145E", Form::Zero, Close::F4},
    {"SONY    CD-RW  CRX140E", "Dev_SonyCRX140E", Form::Zero, Close::F4},
    {"SONY    CD-RW  CRX100E", "Dev_SonyCRX100", Form::Zero, Close::F4},
};

class FamilySequenceTest : public kilnartest::WritingFixture {
 protected:
  // One 45-block data track burned on the class the factory picks for
  // the model.
  void BurnOnModel(const char* inquiry, const char* className) {
    PageFiveRecorder::ResetClassShadows();
    const auto recorder = OpenByModel(inquiry);
    ASSERT_NE(recorder, nullptr);
    ASSERT_STREQ(recorder->GetClassName(), className);
    const std::string data = kilnartest::PatternBytes(45 * 2048, 4);
    uint32_t freeBlocks = 0;
    BurnOneTrack(*recorder, data, freeBlocks);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(twltest::ReadFile(folder_->disc), data);
  }
};

TEST_F(FamilySequenceTest, EachPageFiveClassSendsItsWholeSequence) {
  for (const PageFiveRow& row : kPageFiveRows) {
    SCOPED_TRACE(row.className);
    BurnOnModel(row.inquiry, row.className);
    EXPECT_EQ(LoggedCommands(), PageFiveSequence(row));
  }
}

TEST_F(FamilySequenceTest, EachFamilyBClassSendsItsWholeSequence) {
  for (const FamilyBRow& row : kFamilyBRows) {
    SCOPED_TRACE(row.className);
    BurnOnModel(row.inquiry, row.className);
    EXPECT_EQ(LoggedCommands(), FamilyBSequence(row));
  }
}

// --- writing a disc at once: a 20-block Mode 1 track after 150 blocks ---

const std::string kCueSheetCommand = "5d 00 00 00 00 00 00 00 20 00 | out 32 | good | ";

// Lead-in, track 1 index 0 (its data form `second`), index 1 at 00:04:00,
// the lead-out at 00:04:20.
std::string CueSheet(const char* second) {
  return kCueSheetCommand + "41 00 00 01 00 00 00 00 41 01 00 " + second +
         " 00 00 00 00 41 01 01 11 00 00 04 00 41 aa 01 01 00 00 04 14";
}

// WRITE(10) or WRITE(12) of the blocks before the first track, from -150
// in pieces of `piece` blocks, zeros.
Lines PregapWrites(bool twelve, int piece, const std::string& after = "") {
  Lines lines;
  char cdb[64];
  for (int at = -150; at < 0; at += piece) {
    const auto a = static_cast<uint32_t>(at);
    if (twelve)
      std::snprintf(cdb, sizeof cdb, "aa 00 ff ff ff %02x 00 00 00 %02x 00 00", a & 0xFF, piece);
    else
      std::snprintf(cdb, sizeof cdb, "2a 00 ff ff ff %02x 00 00 %02x 00", a & 0xFF, piece);
    lines.push_back(std::string(cdb) + " | out " + std::to_string(piece * 2352) + " | good");
    if (!after.empty()) lines.push_back(after);
  }
  return lines;
}

const std::string kSessionAtOncePage = "05 32 02 00 00 00 00 00 00 00 00 00 00 00 00 00";

struct AtOnceRow {
  const char* inquiry;
  const char* className;
  Lines prepare;  // after SetConfig
  Lines trackData;
  Lines end;
};

Lines PageFivePrepare(bool shadowLine, bool configFromDrive, const char* second, bool pregap, bool bufferCapacity) {
  Lines lines = configFromDrive ? PageFiveGetConfig(false) : Lines{};
  if (shadowLine) lines = Append(lines, {kDiscInformation256, kDiscInformation256});
  lines.push_back(PageFiveSelect(kSessionAtOncePage));
  if (shadowLine) lines.push_back(kSpeed177);
  lines = Append(lines, {kInvisibleTrack, CueSheet(second)});
  if (pregap) lines = Append(lines, PregapWrites(false, 10, bufferCapacity ? kBufferCapacity : ""));
  return lines;
}

Lines FamilyBPrepare(bool savePages, bool speed, const char* second, const Lines& pregap) {
  Lines lines = Append(kAtapiGetConfig, {FamilyBSelect(savePages, kSessionAtOncePage)});
  if (speed) lines.push_back(kAtapiSpeed);
  lines = Append(lines, {kInvisibleTrack, CueSheet(second)});
  return Append(lines, pregap);
}

const std::string kTrackData10 = "2a 00 00 00 00 00 00 00 14 00 | out 47040 | good";
const std::string kTrackData12 = "aa 00 00 00 00 00 00 00 00 14 00 00 | out 47040 | good";

Lines LgSettling() {
  // 4x: 40 s, a TEST UNIT READY each second while not above it.
  Lines lines = kAtapiGetConfig;
  for (int i = 0; i <= 40; ++i) lines.push_back(kReady);
  return lines;
}

const std::vector<AtOnceRow>& AtOnceRows() {
  static const std::vector<AtOnceRow> rows = {
      {"JVC     XR-W2082",
       "Dev_JVC2082",
       PageFivePrepare(false, true, "00", true, false),
       {kTrackData10},
       {kSynchronize}},
      {"TOSHIBA DVD-ROM SD-R1002",
       "Dev_Toshiba_SDR1002",
       PageFivePrepare(true, true, "00", true, false),
       {kTrackData10},
       {kSynchronize}},
      {"HP      CD-Writer+ 9200",
       "Dev_HP9200",
       PageFivePrepare(true, false, "01", false, true),
       {kTrackData10, kBufferCapacity},
       {kSynchronize}},
      {"MATSHITACD-R   CW-7582",
       "Dev_Panasonic7582",
       PageFivePrepare(true, false, "00", true, true),
       {kTrackData10, kBufferCapacity},
       {kSynchronize}},
      // P1 E1
      {"_NEC    NR-7500A",
       "Dev_NEC_NR7500A",
       FamilyBPrepare(false, false, "00", PregapWrites(true, 10)),
       {kTrackData12},
       {kSynchronize}},
      // P2 E2, P2 E3
      {"LG      CD-RW CED-8042B",
       "Dev_LG8042B",
       FamilyBPrepare(false, false, "01", PregapWrites(true, 25)),
       {kTrackData12},
       LgSettling()},
      {"WAITEC  CD-R   WT3284",
       "Dev_Waitec_WT3284",
       FamilyBPrepare(false, false, "01", PregapWrites(true, 25)),
       {kTrackData12},
       {kSynchronize, kSynchronize}},
      // P3 E1: the page saved, the speed of SetConfig again
      {"PHILIPS PCA460RW",
       "Dev_Phi_Pca460",
       FamilyBPrepare(true, true, "01", PregapWrites(true, 10)),
       {kTrackData12},
       {kSynchronize}},
      // P4 E1: no blocks before the track
      {"SONY    CD-RW  CRX160E",
       "Dev_SonyCRX160E",
       FamilyBPrepare(false, false, "01", {}),
       {kTrackData12},
       {kSynchronize}},
      // P5 E4: the drive's page, no track information, one WRITE(12) without data
      {"YAMAHA  CDR401",
       "Dev_Yamaha401",
       Append(kAtapiGetConfig,
              {kModeSense05, FamilyBSelect(false, "05 32 02 04 08 00 00 00 00 00 00 00 00 00 00 96", 64),
               CueSheet("01"), "aa 00 ff ff ff 6a 00 00 00 96 00 00 | none | good"}),
       {kTrackData12},
       {kSynchronize}},
  };
  return rows;
}

TEST_F(FamilySequenceTest, EachSessionAtOnceFormSendsItsWholeSequence) {
  for (const AtOnceRow& row : AtOnceRows()) {
    SCOPED_TRACE(row.className);
    PageFiveRecorder::ResetClassShadows();
    const auto recorder = OpenByModel(row.inquiry);
    ASSERT_NE(recorder, nullptr);
    ASSERT_STREQ(recorder->GetClassName(), row.className);
    WriteConfig config;
    ASSERT_EQ(recorder->GetConfig(0, config), 0);
    config.speedCode = 2;
    config.testWrite = 0;
    ASSERT_EQ(recorder->SetConfig(config, 0), 0);
    const size_t configured = LoggedCommands().size();

    DiscInfo disc;
    disc.tracks[0] = TrackInfo(1, kTrackDataMode1, Msf(0, 2, 0), 20, 150);
    disc.trackCount = 1;
    disc.SetDiscType(1);
    ASSERT_TRUE(recorder->PrepareDAO(disc, 0)) << recorder->GetErrorText();
    const std::string data = kilnartest::PatternBytes(20 * 2048, 6);
    for (int i = 0; i < 20; ++i)
      kilnartool::MakeMode1Sector(i, reinterpret_cast<const uint8_t*>(data.data()) + i * 2048,
                                  recorder->GetTransferBuffer() + i * 2352);
    ASSERT_EQ(recorder->Write_1(0, 20, true, 2352), 0);
    ASSERT_TRUE(recorder->EndDAO(disc));

    const Lines all = LoggedCommands();
    const Lines sent(all.begin() + static_cast<std::ptrdiff_t>(configured), all.end());
    EXPECT_EQ(sent, Append(Append(row.prepare, row.trackData), row.end));
    EXPECT_EQ(twltest::ReadFile(folder_->disc).substr(0, data.size()), data);
  }
}

}  // namespace sequence_tables::family_sequences
