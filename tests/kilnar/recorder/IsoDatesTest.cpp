// ISO 9660 date fields: the offset from UTC at the instant written (not
// the current one), the volume digits against python3's local time, and
// reading dates back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/recorder/IsoDates.h"

namespace {

using kilnartest::RunKilnartool;

// 2026-01-15 12:00 UTC and 2026-07-15 12:00 UTC.
constexpr uint32_t kJanuary = 1768478400;
constexpr uint32_t kJuly = 1784116800;

void UseDateZone(const char* zone) {
  setenv("TZ", zone, 1);
  tzset();
}

TEST(IsoDatesTest, RecordOffsetEastAndWestOfUtc) {
  struct Row {
    const char* zone;
    const char* offset;
  };
  const Row rows[] = {{"Etc/GMT-1", " 4\n"}, {"Etc/GMT+1", " -4\n"}, {"UTC", " 0\n"}, {"Asia/Kolkata", " 22\n"}};
  for (const auto& row : rows) {
    std::string output;
    ASSERT_EQ(RunKilnartool("datefields 0", &output, std::string("TZ=") + row.zone + " "), 0) << row.zone;
    const std::string ending = row.offset;
    ASSERT_GE(output.size(), ending.size()) << output;
    EXPECT_EQ(output.substr(output.size() - ending.size()), ending) << row.zone << ": " << output;
  }
}

TEST(IsoDatesTest, OffsetIsTheOneValidAtTheInstant) {
  UseDateZone("Europe/Berlin");
  EXPECT_EQ(GetGmtOffset(TimeStamp(kJanuary)), 4);
  EXPECT_EQ(GetGmtOffset(TimeStamp(kJuly)), 8) << "summer time at that instant, whatever the date today";
  uint8_t record[7] = {};
  const TimeStamp july(kJuly);
  FormatRecordDate(record, &july);
  EXPECT_EQ(record[6], 8);
  EXPECT_EQ(record[3], 14) << "12:00 UTC is 14:00 in Berlin in July";
  std::string output;
  ASSERT_EQ(RunKilnartool("datefields " + std::to_string(kJanuary), &output, "TZ=Europe/Berlin "), 0);
  EXPECT_EQ(output, "volume 2026011513000000\nrecord 126 1 15 13 0 0 4\n");
}

TEST(IsoDatesTest, VolumeAndRecordDigitsAreLocalTimeAsPythonSeesIt) {
  for (const char* zone : {"Europe/Berlin", "America/New_York", "Australia/Adelaide"}) {
    for (const uint32_t value : {kJanuary, kJuly, 2208988799u}) {
      std::string output, expected;
      ASSERT_EQ(RunKilnartool("datefields " + std::to_string(value), &output, std::string("TZ=") + zone + " "), 0);
      ASSERT_EQ(twltest::RunCommand(std::string("TZ=") + zone + " python3 -c 'import time;t=time.localtime(" +
                                        std::to_string(value) +
                                        ");print(\"volume %04d%02d%02d%02d%02d%02d00\" % t[:6]);"
                                        "print(\"record %d %d %d %d %d %d\" % ((t[0]-1900,)+t[1:6]))'",
                                    &expected),
                0);
      const size_t cut = output.find_last_of(' ');
      EXPECT_EQ(output.substr(0, cut) + "\n", expected) << zone << " " << value;
    }
  }
}

TEST(IsoDatesTest, DatesReadBackAndUnconvertibleTimesWriteNothing) {
  UseDateZone("UTC");
  const TimeStamp volume = ParseVolumeDate("2026121114051200");
  EXPECT_EQ(volume.GetYear(), 2026);
  EXPECT_EQ(volume.GetMonth(), 12);
  EXPECT_EQ(volume.GetDay(), 11);
  EXPECT_EQ(volume.GetHour(), 14);
  EXPECT_EQ(volume.GetMinute(), 5);
  EXPECT_EQ(volume.GetSecond(), 12);
  EXPECT_EQ(ParseVolumeDate("2026").GetValue(), 0xFFFFFFFFu) << "a date cut short (month 0) cannot be converted";
  EXPECT_EQ(ParseVolumeDate("0000000000000000").GetValue(), 0xFFFFFFFFu) << "an unset date";
  EXPECT_EQ(ParseVolumeDate("2026133112000000").GetValue(), 0xFFFFFFFFu) << "month 13 does not roll over";
  const uint8_t hour24[7] = {126, 1, 1, 24, 0, 0, 0};
  EXPECT_EQ(ParseRecordDate(hour24).GetValue(), 0xFFFFFFFFu);

  char field[17];
  std::memset(field, 'x', sizeof field);
  const TimeStamp unconvertible(0xFFFFFFFFu);
  FormatVolumeDate(field, &unconvertible);
  EXPECT_EQ(field[0], 'x') << "nothing is written";
  FormatVolumeDate(field, nullptr);
  EXPECT_EQ(field[0], 'x');
  uint8_t record[7] = {9, 9, 9, 9, 9, 9, 9};
  FormatRecordDate(record, &unconvertible);
  EXPECT_EQ(record[0], 9);

  const TimeStamp written(kJuly);
  FormatRecordDate(record, &written);
  EXPECT_EQ(ParseRecordDate(record).GetValue(), kJuly) << "a record date reads back";
  FormatVolumeDate(field, &written);
  EXPECT_EQ(field[16], '\0');
  EXPECT_EQ(ParseVolumeDate(field).GetValue(), kJuly);
}

}  // namespace
