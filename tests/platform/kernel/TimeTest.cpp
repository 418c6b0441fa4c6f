#include <windows.h>
#include <twlwin/testing.h>
#include <twlwin/testing_user.h>
#include <gtest/gtest.h>

#include <ctime>

TEST(Time, TickCountersWrapAt32Bits) {
  TwlTestSetTickOffset(0);
  DWORD base = timeGetTime();
  // Move the counter to just before the wrap: differences stay right.
  TwlTestSetTickOffset(0xFFFFFFFFu - base - 10);
  DWORD before = timeGetTime();
  Sleep(30);
  DWORD after = timeGetTime();
  EXPECT_LT(after, before) << "the counter wrapped";
  EXPECT_GE(static_cast<DWORD>(after - before), 30u);
  TwlTestSetTickOffset(0);
}

// Programs compare message times with GetTickCount (how long ago was that
// click?): both must read one clock, offset and all.
TEST(Time, MessageTimesAreTickCounts) {
  TwlTestUseManualClock(TRUE);
  TwlTestSetTickOffset(0xFFFFFF00u);
  TwlTestAdvanceClock(40);
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(msg.time, GetTickCount());
  EXPECT_EQ(GetMessageTime(), GetTickCount());
  EXPECT_EQ(timeGetTime(), GetTickCount());
  TwlTestSetTickOffset(0);
  TwlTestUseManualClock(FALSE);
}

TEST(Time, LocalAndSystemTimeAgreeWithTheCalendar) {
  SYSTEMTIME local{}, utc{};
  GetLocalTime(&local);
  GetSystemTime(&utc);
  time_t now = time(nullptr);
  tm fields{};
  gmtime_r(&now, &fields);
  EXPECT_EQ(utc.wYear, fields.tm_year + 1900);
  EXPECT_EQ(utc.wDayOfWeek, fields.tm_wday) << "Sunday is 0";
  EXPECT_GE(utc.wMonth, 1);
  EXPECT_LE(utc.wMonth, 12);
  EXPECT_LT(local.wMilliseconds, 1000);
}
