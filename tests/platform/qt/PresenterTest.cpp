// The desktop presenter against a real X server: the model's windows become
// real windows at the model's place with its pixels and shape, the
// desktop's input reaches the model, menus and tray icons are real ones.
// Each case starts its own Xvfb (and a window manager or tray where the
// case needs one) and drives it with the X tools as a user would.
#include <gtest/gtest.h>
#include <twlwin/presenter.h>
#include <twlwin/testing_gdi.h>
#include <windows.h>

#include <memory>
#include <sstream>
#include <string>

#include "DesktopPeers.h"
#include "ModelThread.h"
#include "support/TestPaths.h"

// Qt's desktop libraries keep a few allocations for the life of the
// process (the D-Bus and font configuration caches); they are not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libQt6\n";
}

namespace qttest {
namespace {

class PresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed: the desktop presenter needs an X server to be tested";
    ASSERT_TRUE(desktop_.Start()) << "Xvfb did not start";
  }
  void TearDown() override {
    TwlStopPresenter();
    model_.reset();
  }
  void StartPresenter() {
    ASSERT_TRUE(TwlStartPresenter());
    model_ = std::make_unique<ModelThread>();
  }

  // The visible X window titled exactly `title`, waiting for it to map.
  std::string XWindow(const std::string& title) {
    std::string id;
    WaitFor([&] { return desktop_.Try("xdotool search --onlyvisible --name '^" + title + "$' | head -1", &id) && !id.empty(); });
    while (!id.empty() && (id.back() == '\n')) id.pop_back();
    EXPECT_FALSE(id.empty()) << "no visible window " << title;
    return id;
  }
  std::string Geometry(const std::string& id) {
    std::string info = desktop_.Run("xwininfo -id " + id);
    auto field = [&](const char* name) {
      auto at = info.find(name);
      return at == std::string::npos ? std::string("?") : std::to_string(std::atoi(info.c_str() + at + strlen(name)));
    };
    return field("Absolute upper-left X:") + "," + field("Absolute upper-left Y:") + " " + field("Width:") + "x" +
           field("Height:");
  }
  bool GeometryIs(const std::string& id, const std::string& wanted) {
    return WaitFor([&] { return Geometry(id) == wanted; });
  }

  Desktop desktop_;
  std::unique_ptr<ModelThread> model_;
};

void Paint(HWND window, int hue) {
  HDC dc = GetWindowDC(window);
  RECT r{};
  GetWindowRect(window, &r);
  for (int band = 0; band < 8; ++band) {
    RECT part{0, band * (r.bottom - r.top) / 8, r.right - r.left, (band + 1) * (r.bottom - r.top) / 8};
    HBRUSH brush = CreateSolidBrush(RGB(30 + band * 25, hue, 200 - band * 20));
    FillRect(dc, &part, brush);
    DeleteObject(brush);
  }
  ReleaseDC(window, dc);
}

HRGN RingShape(int width, int height, RECT hole) {
  HRGN outer = CreateRectRgn(0, 0, width, height);
  HRGN inner = CreateRectRgnIndirect(&hole);
  CombineRgn(outer, outer, inner, RGN_DIFF);
  DeleteObject(inner);
  return outer;
}

TEST_F(PresenterTest, MapsWindowsAtTheModelsPlaceWithShapePixelsAndDesktopStates) {
  ASSERT_TRUE(desktop_.StartWindowManager());
  StartPresenter();
  HWND owner = model_->Create("Player", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 0, 0});
  HWND main = model_->Create("Player main", WS_POPUP, 0, RECT{100, 120, 300, 270}, owner);
  HWND tool = model_->Create("Tool", WS_POPUP, WS_EX_TOPMOST, RECT{400, 100, 500, 180}, main);
  model_->Run([&] {
    SetWindowRgn(main, RingShape(200, 150, RECT{80, 50, 120, 90}), FALSE);
    ShowWindow(main, SW_SHOWNA);
    ShowWindow(tool, SW_SHOWNA);
    Paint(main, 90);
    Paint(tool, 160);
  });

  // The owned main window carries the zero-sized owner's text on the task
  // list; the owner itself is not mapped.
  std::string mainId = XWindow("Player");
  EXPECT_TRUE(GeometryIs(mainId, "100,120 200x150")) << Geometry(mainId);
  EXPECT_EQ(desktop_.Run("xdotool search --onlyvisible --name '^Player$' | wc -l"), "1\n");
  std::string shape = desktop_.Run("xwininfo -shape -id " + mainId);
  EXPECT_NE(shape.find("Window shape extents:  200x150+0+0"), std::string::npos) << shape;

  // What the real window shows is the headless dump, inside the shape.
  std::string dir = twltest::MakeTempDir("shots");
  ASSERT_TRUE(TwlTestSaveWindowPng(main, (dir + "/model.png").c_str()));
  ASSERT_TRUE(WaitFor([&] {
    return desktop_.Try("import -window " + mainId + " " + dir + "/real.png && convert " + dir +
                        "/model.png -fill white +opaque black " + dir + "/mask.png && convert " + dir + "/real.png " +
                        dir + "/mask.png -compose Multiply -composite " + dir + "/inside.png && compare -metric AE " +
                        dir + "/inside.png " + dir + "/model.png null: 2>&1 | grep -qx 0");
  })) << desktop_.Run("compare -metric AE " + dir + "/inside.png " + dir + "/model.png null: 2>&1; true");

  std::string toolId = XWindow("Tool");
  std::string states;
  WaitFor([&] {
    states = desktop_.Run("xprop -id " + toolId + " _NET_WM_STATE");
    return states.find("_NET_WM_STATE_ABOVE") != std::string::npos;
  });
  EXPECT_NE(states.find("_NET_WM_STATE_ABOVE"), std::string::npos) << states;
  EXPECT_NE(states.find("_NET_WM_STATE_SKIP_TASKBAR"), std::string::npos) << states;
  EXPECT_EQ(desktop_.Run("xprop -id " + mainId + " _NET_WM_STATE").find("SKIP_TASKBAR"), std::string::npos);
}

}  // namespace
}  // namespace qttest
