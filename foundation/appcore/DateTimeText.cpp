#include "foundation/appcore/DateTimeText.h"

#include <iterator>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

namespace {

struct WeekdayRow {
  const char* key;
  const char* text;
};

constexpr WeekdayRow kWeekdays[] = {
    {"WeekDay.Sunday", "Sunday"},     {"WeekDay.Monday", "Monday"}, {"WeekDay.Tuesday", "Tuesday"},
    {"WeekDay.Wednesday", "Wednesday"}, {"WeekDay.Thursday", "Thursday"}, {"WeekDay.Friday", "Friday"},
    {"WeekDay.Saturday", "Saturday"},
};

CStr WeekdayName(WORD day) {
  if (day < std::size(kWeekdays)) return LocalText(kWeekdays[day].key, kWeekdays[day].text);
  return LocalText("WeekDay.Invalid", "[invalid day of week]");
}

CStr Fill(CStr text, const char* placeholder, const CStr& value) {
  return ReplacePlaceholder(text, PlaceholderPair{placeholder, value});
}

// Every placeholder is filled in every pattern, so a localised pattern may
// use any of them.
CStr FillAll(CStr text, const SYSTEMTIME& t) {
  const int hour12 = t.wHour % 12 == 0 ? 12 : t.wHour % 12;
  text = Fill(text, "%WEEKDAY%", WeekdayName(t.wDayOfWeek));
  text = Fill(text, "%DAY%", CStr::Format("%02d", t.wDay));
  text = Fill(text, "%MONTH%", CStr::Format("%02d", t.wMonth));
  text = Fill(text, "%YEAR%", CStr::Format("%04d", t.wYear));
  text = Fill(text, "%HOUR%", CStr::Format("%02d", t.wHour));
  text = Fill(text, "%MINUTE%", CStr::Format("%02d", t.wMinute));
  text = Fill(text, "%SECOND%", CStr::Format("%02d", t.wSecond));
  text = Fill(text, "%HOUR12%", CStr::Format("%d", hour12));
  text = Fill(text, "%HOUR12SUFFIX%", CStr(t.wHour < 12 ? "AM" : "PM"));
  return text;
}

}  // namespace

CStr FormatDate(const SYSTEMTIME& time, bool withWeekday) {
  const CStr pattern = withWeekday
                           ? LocalText("DateFormat.FullWithWeekDay", "%WEEKDAY%, %MONTH%/%DAY%/%YEAR%")
                           : LocalText("DateFormat.Full", "%MONTH%/%DAY%/%YEAR%");
  return FillAll(pattern, time);
}

CStr FormatTime(const SYSTEMTIME& time) {
  return FillAll(LocalText("TimeFormat.Full", "%HOUR%:%MINUTE%:%SECOND%"), time);
}

CStr FormatDateAndTime(const SYSTEMTIME& time, bool withWeekday) {
  const CStr pattern =
      withWeekday ? LocalText("DateAndTimeFormat.FullWithWeekDay",
                              "%WEEKDAY%, %MONTH%/%DAY%/%YEAR% %HOUR%:%MINUTE%:%SECOND%")
                  : LocalText("DateAndTimeFormat.Full", "%MONTH%/%DAY%/%YEAR% %HOUR%:%MINUTE%:%SECOND%");
  return FillAll(pattern, time);
}
