// The user interface's display up in a display mode the test chooses, a
// log front that keeps what is logged, a window class whose procedure is
// the framework's, and helpers that read what the screen shows.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/ui/UserInterface.h"
#include "display/WindowClassOnce.h"
#include "display/window/Window.h"
#include "support/RecordingLogFront.h"
#include "twlwin/testing_display.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace displaytest {

// A pixel format of the given kind and depth.
inline DDPIXELFORMAT Format(DWORD flags, DWORD bits) {
  DDPIXELFORMAT made{};
  made.dwSize = sizeof made;
  made.dwFlags = flags;
  made.dwRGBBitCount = bits;
  return made;
}

constexpr char kClassName[] = "CWindow Test Class";

inline void RegisterTestClass() {
  static std::atomic<bool> registered{false};
  ASSERT_TRUE(RegisterWindowClassOnce(registered, kClassName, &CWindow::StaticWindowProc));
}

// How often a text occurs in another.
inline int Count(const std::string& text, const std::string& part) {
  int found = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
  return found;
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { UseDisplay(1024, 768, 32); }
  void TearDown() override { ui().ExitDisplay(); }

  static CUserInterface& ui() { return GetUserInterface(); }

  void UseDisplay(int width, int height, int depth) {
    ui().ExitDisplay();
    ASSERT_TRUE(TwlTestSetDisplayMode(width, height, depth));
    ui().InitDisplay();
    RegisterTestClass();
  }

  // A colour 0x00BBGGRR as the display's pixel value.
  static DWORD Pixel(DWORD color) { return ui().GetDisplayState().ConvertColor(color); }

  // Fills a rectangle of a surface with a colour 0x00BBGGRR.
  static HRESULT Fill(IDirectDrawSurface2* surface, const RECT& rect, DWORD color) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = Pixel(color);
    RECT area = rect;
    return surface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  }

  twltest::RecordingLogFront log;
};

}  // namespace displaytest
