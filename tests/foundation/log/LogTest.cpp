#include <gtest/gtest.h>

#include <regex>
#include <thread>
#include <string>
#include <vector>

#include "support/TestPaths.h"
#include "foundation/appcore/DateTimeText.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/log/AssertionHandler.h"
#include "foundation/log/Log.h"
#include "foundation/log/LogFile.h"

namespace {

// A sink that keeps what it is given.
class CRecordingLog : public CLog {
 public:
  const CClassRecord* GetClassRecord() const override { return &CLog::ClassRecord; }
  void Write(const char* text, DWORD severity) override {
    texts.push_back(text);
    severities.push_back(severity);
  }
  std::vector<std::string> texts;
  std::vector<DWORD> severities;
};

SYSTEMTIME Time(WORD year, WORD month, WORD weekday, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDayOfWeek = weekday;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  return t;
}

}  // namespace

TEST(LogThreadError, LineFormsByLeadingTextAndFamily) {
  const struct {
    DWORD type;
    const char* text;
    const char* leading;
    const char* expected;
  } cases[] = {
      {4, "T", "L", "L\n    Stream error: T\n"},
      {4, "T", nullptr, "Stream error: T\n"},
      {4, "T", "", "Stream error: T\n"},
      {2, "T", nullptr, "DirectDraw error: T\n"},
      {3, "T", nullptr, "DirectSound error: T\n"},
      {5, "T", "L", "L\n    Window Multimedia error: T\n"},
      {6, "T", "L", "L\n    T\n"},  // MCI errors carry no caption in the log
      {1, "Ini error: x", "L", "L\n    Ini error: x\n"},
      {7, "T", nullptr, "T\n"},
      {0, "ignored", nullptr, "no error occurred\n"},
      {0, nullptr, "L", "L\n    no error occurred\n"},
      {1, nullptr, nullptr, "\n"},
  };
  for (const auto& c : cases) {
    CRecordingLog log;
    SetThreadError(c.type, 0, c.text);
    log.WriteThreadError(c.leading, LOG_SEVERITY_ERROR);
    ASSERT_EQ(log.texts.size(), 1u);
    EXPECT_EQ(log.texts[0], c.expected) << "type " << c.type;
    EXPECT_EQ(log.severities[0], DWORD{LOG_SEVERITY_ERROR});
  }
}

TEST(LogError, CaptionAndTextOnLinesOfTheirOwn) {
  CRecordingLog log;
  CError error("Ini error", "The file is broken.");
  log.WriteError(&error, LOG_SEVERITY_WARNING);
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], "Ini error\nThe file is broken.\n");
  EXPECT_EQ(log.severities[0], DWORD{LOG_SEVERITY_WARNING});
}

TEST(DateTimeText, DefaultPatterns) {
  const SYSTEMTIME t = Time(2024, 3, 2, 5, 0, 7, 9);
  EXPECT_STREQ(FormatDate(t, true), "Tuesday, 03/05/2024");
  EXPECT_STREQ(FormatDate(t, false), "03/05/2024");
  EXPECT_STREQ(FormatTime(t), "00:07:09");
  EXPECT_STREQ(FormatDateAndTime(t, true), "Tuesday, 03/05/2024 00:07:09");
  EXPECT_STREQ(FormatDateAndTime(t, false), "03/05/2024 00:07:09");
  EXPECT_STREQ(FormatDate(Time(987, 12, 7, 31, 0, 0, 0), true), "[invalid day of week], 12/31/0987");
}

TEST(DateTimeText, TwelveHourClockFromALocalisedPattern) {
  GetLocalizer().AddString("TimeFormat.Full", "%HOUR12%:%MINUTE% %HOUR12SUFFIX%");
  GetLocalizer().AddString("WeekDay.Sunday", "Sonntag");
  const struct {
    WORD hour;
    const char* expected;
  } cases[] = {{0, "12:30 AM"}, {1, "1:30 AM"}, {11, "11:30 AM"}, {12, "12:30 PM"}, {13, "1:30 PM"}, {23, "11:30 PM"}};
  for (const auto& c : cases) EXPECT_STREQ(FormatTime(Time(2024, 1, 0, 7, c.hour, 30, 0)), c.expected);
  GetLocalizer().AddString("TimeFormat.Full", "%HOUR12%|%HOUR12SUFFIX%|%HOUR%:%MINUTE%:%SECOND%");
  EXPECT_STREQ(FormatTime(Time(2024, 1, 0, 7, 0, 5, 9)), "12|AM|00:05:09");
  EXPECT_STREQ(FormatTime(Time(2024, 1, 0, 7, 13, 0, 0)), "1|PM|13:00:00");
  EXPECT_STREQ(FormatDate(Time(2024, 1, 0, 7, 0, 0, 0), true), "Sonntag, 01/07/2024");
}

TEST(LogDate, TheCurrentDateAndTimeInTheProgramsForm) {
  CRecordingLog log;
  log.WriteDateAndTime(LOG_SEVERITY_INFORMATION);
  log.WriteTime(LOG_SEVERITY_INFORMATION);
  ASSERT_EQ(log.texts.size(), 2u);
  EXPECT_TRUE(std::regex_match(log.texts[0], std::regex(R"([A-Z][a-z]+day, \d\d/\d\d/\d{4} \d\d:\d\d:\d\d)")))
      << log.texts[0];
  EXPECT_TRUE(std::regex_match(log.texts[1], std::regex(R"(\d\d:\d\d:\d\d)"))) << log.texts[1];
}

TEST(LogFront, SeverityOfACategory) {
  const struct {
    DWORD category;
    DWORD severity;
  } cases[] = {{0, 0}, {0xFF, 0}, {0x100, 2}, {0x300, 2}, {0xFFFF, 2}, {0x10000, 1}, {0x60000, 1}};
  for (const auto& c : cases) EXPECT_EQ(GetLogSeverity(c.category), c.severity) << c.category;
}

TEST(LogFront, EntriesGoToTheNamedFileAndTheWindowWithTheirSeverity) {
  LogFormat(0x100, "dropped: no front yet\n");
  CLogFile file;
  CRecordingLog window;
  CLogSinksFront front(&file, &window);
  SetLogFront(&front);
  LogFormat(0x100, "%s %d\n", "error", 1);  // file without a name: window only
  const std::string path = twltest::MakeTempDir("front") + "/Log.txt";
  file.SetFileName(path.c_str());
  LogFormat(0x300, "warning %s\n", "icon");
  LogFormat(0x60000, "enumeration\n");
  SetLogFront(nullptr);
  LogFormat(0, "dropped again\n");

  EXPECT_EQ(window.texts, (std::vector<std::string>{"error 1\n", "warning icon\n", "enumeration\n"}));
  EXPECT_EQ(window.severities, (std::vector<DWORD>{2, 2, 1}));
  EXPECT_EQ(twltest::ReadFile(path), "warning icon\r\nenumeration\r\n");
}

TEST(AssertionHandler, PerThreadAndNoneAtStart) {
  static auto handler = [](const char*, int line) { return line; };
  EXPECT_EQ(GetThreadAssertionHandler(), nullptr);
  SetThreadAssertionHandler(handler);
  EXPECT_EQ(GetThreadAssertionHandler()("file", 7), 7);
  std::thread([] { EXPECT_EQ(GetThreadAssertionHandler(), nullptr); }).join();
  SetThreadAssertionHandler(nullptr);
  EXPECT_EQ(GetThreadAssertionHandler(), nullptr);
}
