// What the main window's displays show for given values: the time fields,
// the bytes-read text and the caption, the bars and their tooltips, the
// entry title, and where a bar drag seeks.
#include <gtest/gtest.h>

#include <string>

#include "windows/main/MainWindowDisplays.h"

using namespace maindisplay;

namespace {

struct TimeCase {
  const char* why;
  DWORD position;
  const char* single;
  const char* five;
};

TEST(MainWindowDisplays, TimeFieldsShowMinutesAndSecondsBelowAnHourElseHoursAndMinutes) {
  const TimeCase cases[] = {
      {"start", 0, "00:00", "00:00"},
      {"two minutes five", 125000, "02:05", "02:05"},
      {"just below an hour", 3599999, "59:59", "59:59"},
      {"one hour two minutes", 3725000, "01:02", "01:02"},
      {"hours wrap at 100", 101 * 3600000u + 7 * 60000u, "01:07", "01:07"},
  };
  for (const TimeCase& row : cases) {
    EXPECT_EQ(SingleTimeText(row.position), row.single) << row.why;
    const auto chars = FiveTimeChars(row.position);
    EXPECT_EQ(std::string(chars.begin(), chars.end()), row.five) << row.why;
  }
}

TEST(MainWindowDisplays, BytesReadSwitchUnitAtAThousandOfTheSmallerOne) {
  const struct {
    const char* why;
    ULONGLONG bytes;
    const char* text;
  } cases[] = {
      {"no stream", kNoStream, ""},
      {"nothing yet", 0, "0 bytes read"},
      {"last byte count", 999, "999 bytes read"},
      {"first KB value", 1000, "0.98 KB read"},
      {"last KB value", 1023999, "1000.00 KB read"},
      {"first MB value", 1024000, "0.98 MB read"},
      {"first GB value", 1048576000, "0.98 GB read"},
      {"high word 249 still GB", (249ULL << 32) + 5, "996.00 GB read"},
      {"high word 250 is TB", 250ULL << 32, "0.98 TB read"},
  };
  for (const auto& row : cases) EXPECT_STREQ(BytesReadText(row.bytes).c_str(), row.text) << row.why;
  EXPECT_STREQ(CaptionText(BytesReadText(kNoStream)).c_str(), "Velbrook Tunewell");
  EXPECT_STREQ(CaptionText(BytesReadText(999)).c_str(), "Velbrook Tunewell - 999 bytes read");
}

TEST(MainWindowDisplays, ProgressBarAndTooltip) {
  const struct {
    const char* why;
    DWORD position, length;
    int value;
    const char* tooltip;
  } cases[] = {
      {"at the start", 0, 60000, 0, "Playback progress: 0 %"},
      {"half way", 30000, 60000, 250, "Playback progress: 50 %"},
      {"unknown length puts the bar at its end", 5000, 0, 500, "Playback progress: Unknown"},
      {"position past the length", 70000, 60000, 500, "Playback progress: Unknown"},
      {"nothing at all", 0, 0, 0, "Playback progress: 0 %"},
      {"long file does not overflow the percentage", 10 * 3600000u, 20 * 3600000u, 250, "Playback progress: 50 %"},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(ProgressBarValue(row.position, row.length, 500), row.value) << row.why;
    EXPECT_STREQ(ProgressTooltipText(row.position, row.length).c_str(), row.tooltip) << row.why;
  }
}

TEST(MainWindowDisplays, VolumeBarAndTooltip) {
  EXPECT_STREQ(VolumeTooltipText(256).c_str(), "Volume: 100 %");
  EXPECT_STREQ(VolumeTooltipText(128).c_str(), "Volume: 50 %");
  EXPECT_STREQ(VolumeTooltipText(0).c_str(), "Volume: 0 %");
  EXPECT_EQ(VolumeBarValue(256, 100), 100);
  EXPECT_EQ(VolumeBarValue(128, 256), 128);
  EXPECT_EQ(VolumeFromBar(0, 100), 0);
  EXPECT_EQ(VolumeFromBar(100, 100), 256);
  EXPECT_EQ(VolumeFromBar(50, 100), 128);
}

TEST(MainWindowDisplays, BarDragSeeksToTheExactMillisecondOfLongFiles) {
  constexpr DWORD kThreeHours = 3 * 3600000u;
  // 32-bit products would pass 2^32 from the ~400th pixel of a 3 h file.
  EXPECT_EQ(SeekTarget(399, kThreeHours, 400), 10773000u);
  EXPECT_EQ(SeekTarget(400, kThreeHours, 400), kThreeHours);
  EXPECT_EQ(SeekTarget(1, kThreeHours, 400), 27000u);
  EXPECT_EQ(SeekTarget(0, kThreeHours, 400), 0u);
  EXPECT_EQ(SeekTarget(200, 0xFFFFFFFEu, 400), 0x7FFFFFFFu);
  EXPECT_EQ(SeekTarget(10, 60000, 0), 0u) << "a bar without range seeks nowhere";
}

TEST(MainWindowDisplays, EntryTitles) {
  const struct {
    const char* why;
    int number;
    const char* name;
    const char* title;
    bool known;
    DWORD duration;
    const char* text;
  } cases[] = {
      {"third entry without title", 2, "name", "", false, 0, "(3) name"},
      {"with a duration", 2, "name", "", true, 65000, "(3) name [01:05]"},
      {"title trimmed", 0, "a.wav", "  Song \t", false, 0, "(1) a.wav - Song"},
      {"blank title left out", 0, "a.wav", "   ", true, 0, "(1) a.wav [00:00]"},
      {"hours shown", 4, "long.wav", "Long", true, 3725000, "(5) long.wav - Long [01:02:05]"},
  };
  for (const auto& row : cases)
    EXPECT_EQ(EntryTitle(row.number, row.name, row.title, row.known, row.duration), row.text) << row.why;
}

}  // namespace
