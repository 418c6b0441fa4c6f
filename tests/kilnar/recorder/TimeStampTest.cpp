// Time stamps: the text and value of a local date, the years after 2038,
// daylight saving time decided by the runtime, and values that cannot be
// converted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "kilnar/KilnarTestTool.h"
#include "kilnar/recorder/TimeStamp.h"

namespace {

using kilnartest::RunKilnartool;

void UseZone(const char* zone) {
  setenv("TZ", zone, 1);
  tzset();
}

TEST(TimeStampTest, DateUnderUtcMatchesPythonTimegm) {
  std::string output;
  ASSERT_EQ(RunKilnartool("time 2026 12 9 14 5 0", &output, "TZ=UTC "), 0);
  std::string expected;
  ASSERT_EQ(twltest::RunCommand(
                "python3 -c 'import calendar;print(\"value %d\" % calendar.timegm((2026,12,9,14,5,0)))'", &expected),
            0);
  EXPECT_EQ(output, expected + "text 09.12.2026 14:05\n");
}

TEST(TimeStampTest, ValuesPrintTheirTextAndYearsAfter2038Convert) {
  struct Row {
    const char* arguments;
    const char* expected;
  };
  const Row rows[] = {
      {"time 2208988800", "value 2208988800\ntext 01.01.2040 00:00\n"},
      {"time 2040 1 1 0 0 0", "value 2208988800\ntext 01.01.2040 00:00\n"},
      {"time 4294967295", "value 4294967295\ntext ??.??.???? ??:??\n"},
      {"time 1969 12 31 23 59 0", "value 4294967295\ntext ??.??.???? ??:??\n"},
      {"time 99 1 1 0 0 0", "value 915148800\ntext 01.01.1999 00:00\n"},
  };
  for (const auto& row : rows) {
    std::string output;
    ASSERT_EQ(RunKilnartool(row.arguments, &output, "TZ=UTC "), 0) << row.arguments;
    EXPECT_EQ(output, row.expected) << row.arguments;
  }
  std::string output, error;
  EXPECT_NE(RunKilnartool("time 4294967296", &output, "", &error), 0);
  EXPECT_EQ(error.rfind("kilnartool: ", 0), 0u);
}

TEST(TimeStampTest, SummerDatesKeepTheirHourUnderDaylightSavingTime) {
  UseZone("Europe/Berlin");
  const TimeStamp summer(2026, 7, 1, 12, 0, 0);
  EXPECT_EQ(summer.GetHour(), 12);
  EXPECT_STREQ(summer.ToText(), "01.07.2026 12:00");
  const TimeStamp winter(2026, 1, 1, 12, 0, 0);
  EXPECT_EQ(winter.GetHour(), 12);
  std::string output;
  ASSERT_EQ(RunKilnartool("time 2026 7 1 12 0 0", &output, "TZ=Europe/Berlin "), 0);
  EXPECT_NE(output.find("text 01.07.2026 12:00\n"), std::string::npos) << output;
}

TEST(TimeStampTest, PartsCompareAndNow) {
  UseZone("UTC");
  const TimeStamp date(2026, 12, 9, 14, 5, 0);
  EXPECT_EQ(date.GetYear(), 2026);
  EXPECT_EQ(date.GetMonth(), 12);
  EXPECT_EQ(date.GetDay(), 9);
  EXPECT_EQ(date.GetMinute(), 5);
  EXPECT_EQ(date.GetSecond(), 0);
  const TimeStamp unconvertible(0xFFFFFFFFu);
  EXPECT_EQ(unconvertible.GetYear(), 0);
  EXPECT_EQ(unconvertible.GetMonth(), 0);
  EXPECT_STREQ(unconvertible.ToText(), "??.??.???? ??:??");
  const TimeStamp later(2208988800u);
  EXPECT_EQ(date.Compare(later), -1) << "values after 2038 compare as later";
  EXPECT_EQ(later.Compare(date), 1);
  EXPECT_EQ(date.Compare(TimeStamp(date)), 0);
  EXPECT_TRUE(date.IsEqual(TimeStamp(date.GetValue())));
  const time_t before = time(nullptr);
  const TimeStamp now(0);
  EXPECT_GE(static_cast<time_t>(now.GetValue()), before);
  EXPECT_LE(static_cast<time_t>(now.GetValue()), time(nullptr));
}

}  // namespace
