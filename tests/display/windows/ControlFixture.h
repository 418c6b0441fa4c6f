// Surface-drawn controls on a window of the test display: the built-in
// skin built for the display, the control services set to the host API
// table, a window that paints a flat background and notes what its
// controls report (repaints apart), and input injected at its points.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "DisplayFixture.h"
#include "display/controls/DDControl.h"
#include "display/controls/DDControlServices.h"
#include "foundation/streams/MemoryStream.h"
#include "pluginhost/hostapi/HostApi.h"
#include "skins/skin/Skin.h"

namespace controltest {

using namespace displaytest;

constexpr DWORD kBackground = 0x203040;
constexpr int kLeft = 100;
constexpr int kTop = 80;

class ControlWindow : public CWindow {
 public:
  void Make(int width, int height) {
    Create("Controls", "", kClassName, WS_POPUP | WS_VISIBLE, 0, kLeft, kTop, width, height, nullptr, nullptr);
  }
  bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = GetUserInterface().GetDisplayState().ConvertColor(kBackground);
    RECT area{x, y, x + tile.right - tile.left, y + tile.bottom - tile.top};
    return SUCCEEDED(backBuffer->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
  }
  int OnControlEvent(int type, CDDControl* control, void* data) override {
    if (type != DDN_INVALIDATE) events.push_back(type);
    if (type == DDN_INVALIDATE) ++repaints;
    return CWindow::OnControlEvent(type, control, data);
  }
  bool Paint(const RECT* rect) override {
    ++paints;
    return CWindow::Paint(rect);
  }

  std::vector<int> events;
  int repaints = 0;
  int paints = 0;
};

// Input at points of the window's client area.
inline void MoveTo(int x, int y) {
  TwlTestMouseMove(kLeft + x, kTop + y);
  TwlTestPumpMessages();
}
inline void Press(int x, int y) {
  TwlTestMouseButton(VK_LBUTTON, TRUE, kLeft + x, kTop + y);
  TwlTestPumpMessages();
}
inline void ReleaseAt(int x, int y) {
  TwlTestMouseButton(VK_LBUTTON, FALSE, kLeft + x, kTop + y);
  TwlTestPumpMessages();
}

inline HOST_WRITER Font(int index) {
  return reinterpret_cast<HOST_WRITER>(GetUserInterface().GetDDSkin().GetFontSet().GetFont(index));
}

class ControlTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    LoadBuiltinSkin();
    ASSERT_EQ(InitDDControls(GetHostApiTable(), GetModuleHandleA(nullptr)), 1);
  }
  void TearDown() override {
    ui().GetDDSkin().Release();
    DisplayTest::TearDown();
  }

  void UseDisplayWithSkin(int width, int height, int depth) {
    ui().GetDDSkin().Release();
    UseDisplay(width, height, depth);
    LoadBuiltinSkin();
  }

  static void LoadBuiltinSkin() {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
    ASSERT_NE(resource, nullptr);
    const void* bytes = LockResource(LoadResource(nullptr, resource));
    const DWORD size = SizeofResource(nullptr, resource);
    BYTE* copy = new BYTE[size];
    std::memcpy(copy, bytes, size);
    CMemoryStream stream;
    stream.Open(copy, size, 1 | 4, 0, false);
    CSkin skin;
    skin.LoadCompiled(stream);
    ASSERT_EQ(ui().GetDDSkin().Create(skin), DD_OK);
  }
};

}  // namespace controltest
