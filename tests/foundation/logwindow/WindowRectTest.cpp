// Window places in the settings key: stored as left, top, width, height,
// read back as a rectangle; the default place when none is stored; keeping
// a place on the screen.
#include <gtest/gtest.h>
#include <windows.h>
#include <twlwin/testing_user.h>

#include <cstdint>
#include <string>

#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/WindowRect.h"

namespace {

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string StoredBytes(const char* name) {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return "";
  char data[64];
  DWORD size = sizeof data;
  const LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? std::string(data, size) : "";
}

TEST(WindowRect, ValueNameFollowsTheWindowName) {
  EXPECT_EQ(std::string(WindowRectValueName("LogWindow")), "LogWindow_WindowRect");
}

TEST(WindowRect, StoredAsLeftTopWidthHeightAndReadBackAsRectangle) {
  const RECT place{-20, 30, 480, 330};
  ASSERT_TRUE(SaveWindowRect("Test_WindowRect", &place));
  const std::string expected("\xEC\xFF\xFF\xFF\x1E\0\0\0\xF4\x01\0\0\x2C\x01\0\0", 16);
  EXPECT_EQ(StoredBytes("Test_WindowRect"), expected);

  RECT read{};
  bool found = false;
  ASSERT_TRUE(ReadWindowRect("Test_WindowRect", &read, &found));
  EXPECT_TRUE(found);
  EXPECT_TRUE(read == place);
}

TEST(WindowRect, UnreadableKeyAndMissingValueAreTold) {
  RECT read{1, 2, 3, 4};
  bool found = true;
  EXPECT_FALSE(ReadWindowRect("Test_WindowRect", &read, &found)) << "no settings key yet";
  EXPECT_FALSE(found);
  EXPECT_TRUE(read == (RECT{0, 0, 0, 0}));

  const RECT other{0, 0, 10, 10};
  ASSERT_TRUE(SaveWindowRect("Other_WindowRect", &other));
  read = RECT{1, 2, 3, 4};
  EXPECT_TRUE(ReadWindowRect("Test_WindowRect", &read, &found));
  EXPECT_FALSE(found);
  EXPECT_TRUE(read == (RECT{0, 0, 0, 0}));
}

TEST(WindowRect, DefaultPlaceIsCentredAndShifted) {
  TwlTestSetScreen(1024, 768, 32);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "WindowRectReference";
  RegisterClassA(&windowClass);
  const HWND reference = CreateWindowExA(0, "WindowRectReference", "", WS_POPUP, 100, 50, 400, 300, nullptr,
                                         nullptr, nullptr, nullptr);
  ASSERT_NE(reference, nullptr);
  const struct {
    const char* behaviour;
    int width;
    int height;
    HWND reference;
    int dx;
    int dy;
    RECT expected;
  } cases[] = {
      {"centred on the screen", 350, 220, nullptr, 0, 0, {337, 274, 687, 494}},
      {"centred on a window", 200, 100, reference, 0, 0, {200, 150, 400, 250}},
      {"then shifted", 200, 100, reference, 15, -30, {215, 120, 415, 220}},
      {"wider than the screen starts at 0", 2000, 1000, nullptr, 0, 0, {0, 0, 2000, 1000}},
      {"kept at 0 before the shift", 2000, 1000, nullptr, -5, 7, {-5, 7, 1995, 1007}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    RECT place{};
    LoadWindowRectOrDefault("Missing_WindowRect", &place, c.width, c.height, c.reference, c.dx, c.dy);
    EXPECT_TRUE(place == c.expected) << place.left << "," << place.top << "," << place.right << "," << place.bottom;
  }
  DestroyWindow(reference);
}

TEST(WindowRect, PlaceOffTheScreenComesBack) {
  TwlTestSetScreen(1024, 768, 32);
  const struct {
    const char* behaviour;
    RECT place;
    RECT expected;
  } cases[] = {
      {"on the screen stays", {100, 100, 500, 400}, {100, 100, 500, 400}},
      {"right of the screen", {1014, 100, 1414, 400}, {0, 100, 400, 400}},
      {"just inside the right edge stays", {1013, 100, 1413, 400}, {1013, 100, 1413, 400}},
      {"left of the screen", {-400, 100, 10, 400}, {0, 100, 410, 400}},
      {"below the screen", {100, 758, 500, 900}, {100, 0, 500, 142}},
      {"above the screen", {100, -300, 500, 10}, {100, 0, 500, 310}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    RECT place = c.place;
    KeepRectOnScreen(&place);
    EXPECT_TRUE(place == c.expected) << place.left << "," << place.top << "," << place.right << "," << place.bottom;
  }
}

}  // namespace
