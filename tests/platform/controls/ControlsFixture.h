// A visible top-level window at a known screen place that records what its
// controls tell it (WM_COMMAND and WM_NOTIFY), for tests that drive
// controls with injected input.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

struct Heard;
void ControlsTest_Record(const Heard& h);

struct Heard {
  UINT message;  // WM_COMMAND or WM_NOTIFY
  UINT code;     // notification code
  int id;
  int item = -1;
  UINT oldState = 0;
  UINT newState = 0;
};

class ControlsTest : public ::testing::Test {
 protected:
  static constexpr int kLeft = 100;
  static constexpr int kTop = 80;

  void SetUp() override;
  void TearDown() override { DestroyWindow(host); }

  HWND Make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id, DWORD exStyle = 0);
  // Dispatches whatever is queued, painting included.
  static void Pump();
  void ClickAt(HWND control, int x, int y);

public:
  static std::vector<Heard> heard;

 protected:
  // The text colour the host gives items with lParam 1 in custom drawing.
  static constexpr COLORREF kItemColour = RGB(0xE2, 0x85, 0x07);
  HWND host = nullptr;
};
