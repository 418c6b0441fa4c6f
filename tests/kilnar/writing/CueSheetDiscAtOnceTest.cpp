// The cue sheet of the classes that describe every pregap with an index-0
// entry, and Dev_Delta and Dev_MMP3Ver8RW writing a disc at once with it,
// in the test's own process.
#include <cstdio>
#include <string>
#include <vector>

#include "WritingFixture.h"
#include "kilnar/recorder/CueSheet.h"
#include "kilnar/recorder/CueSheetRecorders.h"
#include "kilnar/recorder/DiscLayout.h"

namespace cue_sheet_at_once {

std::vector<std::string> Entries(const uint8_t* sheet, size_t count) {
  std::vector<std::string> entries;
  char text[32];
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = sheet + 8 * i;
    std::snprintf(text, sizeof text, "%02x %02x %02x %02x %02x %02x %02x %02x", e[0], e[1], e[2], e[3], e[4], e[5],
                  e[6], e[7]);
    entries.push_back(text);
  }
  return entries;
}

TEST(PregapCueSheetTest, EntriesFollowTheTracksAndTheirPregaps) {
  struct Row {
    const char* why;
    std::vector<TrackInfo> tracks;
    std::vector<std::string> entries;
  };
  const std::vector<Row> rows = {
      {"an audio track 1 and a Mode 1 track 2, both after two seconds of pregap",
       {TrackInfo(1, kTrackAudio, Msf(0, 2, 0), 22200, 150), TrackInfo(2, kTrackDataMode1, Msf(5, 0, 0), 1000, 150)},
       {"01 00 00 01 00 00 00 00", "01 01 00 01 00 00 00 00", "01 01 01 00 00 00 02 00", "41 02 00 11 00 04 3a 00",
        "41 02 01 11 00 05 00 00", "01 aa 01 01 00 05 0f 19"}},
      {"a first track without pregap has no index 0",
       {TrackInfo(1, kTrackDataMode1, Msf(0, 2, 0), 1000, 0)},
       {"41 00 00 01 00 00 00 00", "41 01 01 11 00 00 02 00", "41 aa 01 01 00 00 11 19"}},
      {"a Mode 2 first track's pregap is marked 24h",
       {TrackInfo(1, kTrackDataMode2, Msf(0, 2, 0), 1000, 150)},
       {"41 00 00 01 00 00 00 00", "41 01 00 24 00 00 00 00", "41 01 01 21 00 00 02 00", "41 aa 01 01 00 00 11 19"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    DiscInfo disc;
    for (size_t i = 0; i < row.tracks.size(); ++i) disc.tracks[i] = row.tracks[i];
    disc.trackCount = static_cast<uint16_t>(row.tracks.size());
    std::vector<uint8_t> sheet(kCueSheetBytes);
    const size_t count = BuildCueSheet(disc, kEveryPregapCueSheet, sheet.data());
    EXPECT_EQ(Entries(sheet.data(), count), row.entries);
  }
  DiscInfo none;
  std::vector<uint8_t> sheet(kCueSheetBytes);
  EXPECT_EQ(BuildCueSheet(none, kEveryPregapCueSheet, sheet.data()), 0u);
}

class CueSheetDiscAtOnceTest : public kilnartest::WritingFixture {
 protected:
  static DiscInfo OneTrack(uint16_t discType) {
    DiscInfo disc;
    disc.tracks[0] = TrackInfo(1, kTrackDataMode1, Msf(0, 2, 0), 1000, 150);
    disc.trackCount = 1;
    disc.SetDiscType(discType);
    return disc;
  }
  // The data-out bytes of the logged command line, as numbers.
  static std::vector<unsigned> DataOf(const std::string& line) {
    std::vector<unsigned> bytes;
    const size_t at = line.rfind("| ");
    for (size_t i = at + 2; i + 1 < line.size(); i += 3) bytes.push_back(std::stoul(line.substr(i, 2), nullptr, 16));
    return bytes;
  }
};

TEST_F(CueSheetDiscAtOnceTest, DeltaSendsItsCueSheetAndLeavesThePregapToTheDrive) {
  auto delta = Open<Dev_Delta>("DELTA   XYZ");
  WriteConfig config;
  ASSERT_EQ(delta->GetConfig(0, config), 0);
  config.speedCode = 2;
  config.blockSize = 2048;
  ASSERT_EQ(delta->SetConfig(config, 0), 0);
  const size_t configured = Log().size();
  const DiscInfo disc = OneTrack(1);
  ASSERT_TRUE(delta->PrepareDAO(disc, 0)) << delta->GetErrorText();
  const std::vector<std::string> all = Log();
  const std::vector<std::string> sent(all.begin() + static_cast<std::ptrdiff_t>(configured), all.end());
  EXPECT_EQ(sent, (std::vector<std::string>{
                      "5a 00 2a 00 00 00 00 1c 00 00 | in 7168 | good",
                      "5a 00 05 00 00 00 00 1c 00 00 | in 7168 | good",
                      "5a 00 05 00 00 00 00 1c 00 00 | in 7168 | good",
                      "55 10 00 00 00 00 00 00 3c 00 00 00 | out 60 | good | " +
                          kilnartest::WriteParametersList("05 32 02 00 00 00 00 00 00 00 00 00 00 00 00 96"),
                      "5d 00 00 00 00 00 00 00 20 00 | out 32 | good | 41 00 00 01 00 00 00 00 41 01 00 14 00 00 00 "
                      "00 41 01 01 11 00 00 02 00 41 aa 01 01 00 00 11 19",
                      "aa 00 ff ff ff 6a 00 00 00 96 00 00 | none | good"}));

  // The post-gap: 150 zero blocks after the track in 15 WRITE(12) of 10.
  ASSERT_TRUE(delta->EndDAO(disc));
  EXPECT_EQ(CountLogged("aa 00 00 00 03 e8 00 00 00 0a 00 00 | out 23520 | good"), 1);
  EXPECT_EQ(CountLogged("aa 00 00 00 04 74 00 00 00 0a 00 00 | out 23520 | good"), 1);
  EXPECT_EQ(CountLogged("aa 00 00 00 04 7e"), 0);
  EXPECT_EQ(Log().back(), "35 00 00 00 00 00 00 00 00 00 | none | good");
}

TEST_F(CueSheetDiscAtOnceTest, Mmp3SetsTheSessionFormatAndKeepsTheDrivesWriteType) {
  struct Row {
    uint16_t discType;
    unsigned sessionFormat;
  } const rows[] = {{4, 0x10}, {2, 0x20}, {1, 0x00}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.discType);
    auto mmp3 = Open<Dev_MMP3Ver8RW>("HP      CD-Writer+ 7100");
    ASSERT_TRUE(mmp3->PrepareDAO(OneTrack(row.discType), 0)) << mmp3->GetErrorText();
    const int select = LastLogged("55 10 00 00 00 00 00 00 3c 00 | out 60");
    ASSERT_GE(select, 0);
    const std::vector<unsigned> list = DataOf(Log()[static_cast<size_t>(select)]);
    ASSERT_EQ(list.size(), 60u);
    EXPECT_EQ(list[8], 0x05u);
    EXPECT_EQ(list[10], 0x01u);  // track-at-once, as the drive reported it
    EXPECT_EQ(list[16], row.sessionFormat);
    EXPECT_EQ(CountLogged("aa 00 ff ff ff 6a 00 00 00 96 00 00 | none | good"), 1);
  }
  auto mmp3 = Open<Dev_MMP3Ver8RW>("HP      CD-Writer+ 7100");
  EXPECT_TRUE(mmp3->CanBlank());
  EXPECT_FALSE(mmp3->ReservedFlagD());
}

}  // namespace cue_sheet_at_once
