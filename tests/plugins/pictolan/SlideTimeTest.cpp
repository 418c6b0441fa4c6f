// The slide's remaining time: pauses of one picture add up, any stored
// display time is a deadline in the future, 0 keeps the picture.
#include "plugins/pictolan/SlideTime.h"

#include <gtest/gtest.h>

namespace {

using pictolan::SlideTime;

TEST(SlideTime, EveryPauseOfAPictureMovesItsEnd) {
  SlideTime slide;
  slide.SetDisplayTime(5000);
  slide.Restart();
  const DWORD start = 1000;
  EXPECT_EQ(slide.Remaining(start, start), 5000u);
  ASSERT_TRUE(slide.Pause(start + 1000));
  EXPECT_FALSE(slide.Pause(start + 1500));  // already paused: the first start stands
  EXPECT_FALSE(slide.Remaining(start, start + 2000).has_value());
  ASSERT_TRUE(slide.Resume(start + 3000));  // 2 s
  EXPECT_FALSE(slide.Resume(start + 3500));
  ASSERT_TRUE(slide.Pause(start + 4000));
  ASSERT_TRUE(slide.Resume(start + 5000));  // 1 s
  EXPECT_EQ(slide.Remaining(start, start + 7999), 1u);
  EXPECT_EQ(slide.Remaining(start, start + 8000), 0u);
  // The next picture starts without pauses.
  slide.Restart();
  EXPECT_EQ(slide.Remaining(start, start + 5000), 0u);
}

TEST(SlideTime, LongDisplayTimesAndZero) {
  struct Case {
    DWORD displayTime;
    DWORD elapsed;
    bool waits;
    DWORD remaining;
  };
  const Case cases[] = {
      {0x80000000u, 0, true, 0x80000000u},        // from 2^31 on: not over at once
      {0xFFFFFFFFu, 10, true, 0xFFFFFFFFu - 10},
      {0, 100000, false, 0},                      // 0: stays until stopped
      {1500, 1500, true, 0},
  };
  for (const Case& c : cases) {
    SlideTime slide;
    slide.SetDisplayTime(c.displayTime);
    // A start just before the clock wraps.
    const DWORD start = 0xFFFFFF00u;
    const auto remaining = slide.Remaining(start, start + c.elapsed);
    ASSERT_EQ(remaining.has_value(), c.waits) << c.displayTime;
    if (c.waits) {
      EXPECT_EQ(*remaining, c.remaining) << c.displayTime;
    }
  }
}

}  // namespace
