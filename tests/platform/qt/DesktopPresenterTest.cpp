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
#include <vector>

#include "DesktopPeers.h"
#include "ModelThread.h"
#include "support/SolidIcons.h"
#include "support/TestPaths.h"

// Qt's desktop libraries keep a few allocations for the life of the
// process (the D-Bus and font configuration caches); they are not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libQt6\n";
}

namespace qttest {
namespace {

class DesktopPresenter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HaveProgram("Xvfb")) << "Xvfb is needed to test the desktop presenter (scripts/deps.sh test)";
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

TEST_F(DesktopPresenter, MapsWindowsAtTheModelsPlaceWithShapePixelsAndDesktopStates) {
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

// The colour of one pixel of a picture that `reader` (an ImageMagick
// command without its output) reads.
std::string PixelOfPicture(Desktop& desktop, const std::string& reader, int x, int y) {
  std::string text;
  desktop.Try(reader + " -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                  " -depth 8 txt:- | grep -o '#[0-9A-F]\\{6\\}'",
              &text);
  return text;
}

// The colour of one pixel of a real window (or "root", the screen).
std::string RealPixel(Desktop& desktop, const std::string& id, int x, int y) {
  return PixelOfPicture(desktop, "import -window " + id, x, y);
}

std::string Hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X\n", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

// A skinned window that the model drags by its body, repaints on hover and
// that opens the log window on Alt+L; a captioned log window that hides on
// close; a captioned notes window whose edit takes the keys.
TEST_F(DesktopPresenter, DesktopInputReachesTheModelWhichDecidesWhatItMeans) {
  ASSERT_TRUE(desktop_.StartWindowManager());
  StartPresenter();
  HWND below = model_->Create("Below", WS_POPUP | WS_VISIBLE, 0, RECT{100, 100, 400, 300});
  // Topmost, so that activating the window below does not cover it.
  HWND ring = model_->Create("Ring", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, RECT{150, 130, 350, 280});
  HWND log = model_->Create("Log", WS_OVERLAPPEDWINDOW, 0, RECT{600, 80, 900, 280});
  HWND notes = model_->Create("Notes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, RECT{450, 350, 750, 550});
  HWND edit = nullptr;
  model_->Run([&] {
    SetWindowRgn(ring, RingShape(200, 150, RECT{80, 50, 120, 90}), FALSE);
    edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 24, notes, nullptr,
                           nullptr, nullptr);
    Paint(below, 20);
    Paint(ring, 90);
  });
  POINT grab{};
  model_->Handle([&](HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
    POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    if (window == ring && message == WM_LBUTTONDOWN) {
      grab = at;
      SetCapture(ring);
    } else if (window == ring && message == WM_MOUSEMOVE && GetCapture() == ring) {
      // The screen point of the move: client points of queued moves are
      // relative to where the window was when each was made.
      DWORD pos = GetMessagePos();
      SetWindowPos(ring, nullptr, static_cast<SHORT>(LOWORD(pos)) - grab.x, static_cast<SHORT>(HIWORD(pos)) - grab.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (window == ring && message == WM_MOUSEMOVE) {
      Paint(ring, 200);  // hovered
    } else if (window == ring && message == WM_LBUTTONUP) {
      ReleaseCapture();
    } else if (message == WM_SYSKEYDOWN && wParam == 'L') {
      ShowWindow(log, SW_SHOW);
    } else if (window == notes && message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
      SetFocus(edit);
    } else if (window == log && message == WM_CLOSE) {
      ShowWindow(log, SW_HIDE);  // the log window only hides
    } else {
      return false;
    }
    *answer = 0;
    return true;
  });
  std::string ringId = XWindow("Ring");
  std::string belowId = XWindow("Below");

  // A click in the hole of the shape reaches the window below.
  desktop_.Run("xdotool mousemove 250 200 click 1");
  ASSERT_TRUE(WaitFor([&] { return !model_->Received(WM_LBUTTONUP).empty(); }));
  auto presses = model_->Received(WM_LBUTTONDOWN);
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].window, below);
  EXPECT_EQ(presses[0].lParam, MAKELPARAM(150, 100));

  // Hovering changes the model's picture, and the real window shows it.
  desktop_.Run("xdotool mousemove 160 140");
  ASSERT_TRUE(WaitFor([&] { return RealPixel(desktop_, ringId, 5, 5) == Hex(TwlTestGetWindowPixel(ring, 5, 5)) &&
                                   GetGValue(TwlTestGetWindowPixel(ring, 5, 5)) == 200; }))
      << RealPixel(desktop_, ringId, 5, 5) << " model " << Hex(TwlTestGetWindowPixel(ring, 5, 5));

  // A drag: the model moves its window under capture; the real one follows.
  desktop_.Run("xdotool mousedown 1 mousemove 180 150 mousemove 210 160 mouseup 1");
  EXPECT_TRUE(GeometryIs(ringId, "200,150 200x150")) << Geometry(ringId);
  RECT moved{};
  GetWindowRect(ring, &moved);
  EXPECT_EQ(moved.left, 200);
  EXPECT_EQ(moved.top, 150);

  // Activation from the desktop reaches the model; typing reaches the
  // focused edit.
  std::string notesId = XWindow("Notes");
  desktop_.Run("xdotool windowactivate --sync " + notesId);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == notes; }));
  desktop_.Run("xdotool type --delay 20 'abc'");
  char text[32] = "";
  EXPECT_TRUE(WaitFor([&] { return GetWindowTextA(edit, text, sizeof text) == 3; })) << text;
  EXPECT_STREQ(text, "abc");

  // Alt+L on the skinned window maps the log window; its close box asks
  // the model, which only hides it.
  desktop_.Run("xdotool windowactivate --sync " + ringId);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == ring; }));
  desktop_.Run("xdotool key alt+l");
  std::string logId = XWindow("Log");
  desktop_.Run("xdotool windowactivate --sync " + logId + " key alt+F4");
  EXPECT_TRUE(WaitFor([&] { return !model_->Received(WM_CLOSE).empty() && !IsWindowVisible(log); }));
  EXPECT_TRUE(IsWindow(log));
  EXPECT_TRUE(WaitFor([&] { return !desktop_.Try("xdotool search --onlyvisible --name '^Log$'"); }));
}

std::string PngPixel(Desktop& desktop, const std::string& path, int x, int y) {
  return PixelOfPicture(desktop, "convert " + path, x, y);
}

// The X windows of the desktop, bottom first, as the window manager stacks
// them.
std::string Stacking(Desktop& desktop) {
  std::string list;
  desktop.Try("xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | while read w; do printf '%d\\n' $w; done",
              &list);
  return list;
}

bool StacksAbove(Desktop& desktop, const std::string& upper, const std::string& lower) {
  std::string list = Stacking(desktop);
  auto up = list.find(upper + "\n");
  auto low = list.find(lower + "\n");
  return up != std::string::npos && low != std::string::npos && up > low;
}

// A question box owned by a player's main window, as at the player's first
// start: it stands above its owner when the owner is brought forward
// afterwards, on the desktop as in the model, and a click on the owner
// where it shows beside the box does not bury the box.
TEST_F(DesktopPresenter, AnOwnedBoxStandsAboveItsOwnerWhateverBringsTheOwnerForward) {
  ASSERT_TRUE(desktop_.StartWindowManager());
  StartPresenter();
  HWND owner = model_->Create("Player", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 0, 0});
  HWND main = model_->Create("Player main", WS_POPUP, 0, RECT{300, 250, 580, 350}, owner);
  HWND box = model_->Create("Question", WS_POPUP, 0, RECT{200, 300, 680, 420}, main);
  model_->Run([&] {
    ShowWindow(main, SW_SHOW);
    Paint(main, 90);
    Paint(box, 160);
    ShowWindow(box, SW_SHOW);
    EnableWindow(main, FALSE);  // the box is modal
    SetForegroundWindow(main);
  });
  std::string mainId = XWindow("Player");
  std::string boxId = XWindow("Question");
  EXPECT_TRUE(GeometryIs(boxId, "200,300 480x120")) << Geometry(boxId);
  EXPECT_TRUE(WaitFor([&] { return StacksAbove(desktop_, boxId, mainId); })) << Stacking(desktop_);
  EXPECT_NE(desktop_.Run("xprop -id " + boxId + " WM_TRANSIENT_FOR").find(" window id"), std::string::npos);
  // The box's centre shows the box.
  EXPECT_TRUE(WaitFor([&] { return RealPixel(desktop_, "root", 440, 360) == Hex(TwlTestGetWindowPixel(box, 240, 60)); }))
      << RealPixel(desktop_, "root", 440, 360) << " box " << Hex(TwlTestGetWindowPixel(box, 240, 60));

  // A click on the owner's visible strip (the desktop raises what it was
  // asked to, the model refuses the disabled window), then one on the box
  // beside the owner, which the model takes after the first: the box stays
  // on top.
  desktop_.Run("xdotool mousemove 440 270 click 1 sleep 0.2 mousemove 220 400 click 1");
  ASSERT_TRUE(WaitFor([&] {
    auto ups = model_->Received(WM_LBUTTONUP);
    return !ups.empty() && ups.back().window == box;
  }));
  EXPECT_TRUE(StacksAbove(desktop_, boxId, mainId)) << Stacking(desktop_);
  EXPECT_TRUE(WaitFor([&] { return RealPixel(desktop_, "root", 440, 360) == Hex(TwlTestGetWindowPixel(box, 240, 60)); }));
  EXPECT_EQ(GetWindow(box, GW_HWNDNEXT), main);
}

// A window that paints through the screen, as the skinned windows do,
// while another covers part of it; a click where it shows beside the other
// brings it up, and the part that was covered shows its picture on the
// desktop and in the model's screen, not the colour of unpainted pixels.
TEST_F(DesktopPresenter, AWindowClickedOutFromUnderAnotherShowsItsWholePicture) {
  ASSERT_TRUE(desktop_.StartWindowManager());
  StartPresenter();
  const COLORREF picture = RGB(30, 140, 60);
  HWND below = model_->Create("Below", WS_POPUP | WS_VISIBLE, 0, RECT{200, 200, 600, 400});
  HWND above = model_->Create("Above", WS_POPUP | WS_VISIBLE, 0, RECT{300, 250, 500, 350});
  model_->Handle([&](HWND window, UINT message, WPARAM, LPARAM, LRESULT* answer) {
    if (window != below || message != WM_PAINT) return false;
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    std::vector<DWORD> rows(static_cast<size_t>(width * (r.bottom - r.top)),
                            (GetRValue(picture) << 16) | (GetGValue(picture) << 8) | GetBValue(picture));
    TwlTestWriteScreenPixels(&r, rows.data(), width * 4, window);
    EndPaint(window, &ps);
    *answer = 0;
    return true;
  });
  model_->Run([&] {
    Paint(above, 20);
    SetActiveWindow(above);
  });
  std::string belowId = XWindow("Below");
  std::string aboveId = XWindow("Above");
  ASSERT_TRUE(WaitFor([&] { return RealPixel(desktop_, "root", 400, 300) == Hex(TwlTestGetWindowPixel(above, 100, 50)); }))
      << RealPixel(desktop_, "root", 400, 300) << " above " << Hex(TwlTestGetWindowPixel(above, 100, 50));

  desktop_.Run("xdotool mousemove 250 380 click 1");
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == below; }));
  // The repaint comes after the activation, when the window's thread has
  // nothing else to do.
  EXPECT_TRUE(WaitFor([&] { return TwlTestGetWindowPixel(below, 200, 100) == picture; }))
      << Hex(TwlTestGetWindowPixel(below, 200, 100));
  std::string dir = twltest::MakeTempDir("uncovered");
  ASSERT_TRUE(TwlTestSaveScreenPng((dir + "/screen.png").c_str()));
  EXPECT_EQ(PngPixel(desktop_, dir + "/screen.png", 400, 300), Hex(picture));
  EXPECT_TRUE(WaitFor([&] { return RealPixel(desktop_, "root", 400, 300) == Hex(picture); }))
      << RealPixel(desktop_, "root", 400, 300);
}

// The override-redirect windows on show: popup menus and their like.
std::string PopupWindows(Desktop& desktop) {
  std::string ids;
  desktop.Try("for w in $(xwininfo -root -children | grep -o '^ *0x[0-9a-f]*'); do "
              "xwininfo -id $w | grep -q 'Override Redirect State: yes' && "
              "xwininfo -id $w | grep -q 'Map State: IsViewable' && echo $w; done",
              &ids);
  return ids;
}

void AddItem(HMENU menu, UINT id, const char* text, UINT type = MFT_STRING, UINT state = 0, HMENU sub = nullptr) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | (text ? MIIM_STRING : 0) | (sub ? MIIM_SUBMENU : 0);
  info.fType = type;
  info.fState = state;
  info.wID = id;
  info.hSubMenu = sub;
  info.dwTypeData = const_cast<char*>(text);
  InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

HMENU PlayerMenu() {
  HMENU modes = CreatePopupMenu();
  AddItem(modes, 201, "&Normal", MFT_RADIOCHECK, MFS_CHECKED);
  AddItem(modes, 202, "&Mini", MFT_RADIOCHECK);
  HMENU menu = CreatePopupMenu();
  AddItem(menu, 103, "&Disabled", MFT_STRING, MFS_GRAYED);
  AddItem(menu, 101, "&Play\tCtrl+P");
  AddItem(menu, 0, nullptr, MFT_SEPARATOR);
  AddItem(menu, 0, "&Mode", MFT_STRING, 0, modes);
  AddItem(menu, 104, "&Always on top", MFT_STRING, MFS_CHECKED);
  return menu;
}

// A right click opens the model's menu as a real menu; what the user picks
// reaches the model as its command, a dismissal as nothing.
TEST_F(DesktopPresenter, TrackedMenusAreRealMenusWhoseChoiceReachesTheModel) {
  StartPresenter();
  HWND host = model_->Create("Menu host", WS_POPUP | WS_VISIBLE, 0, RECT{200, 200, 400, 300});
  model_->Run([&] { Paint(host, 40); });
  // The first track sends its choice as WM_COMMAND; the second returns it.
  std::vector<BOOL> tracked;
  model_->Handle([&](HWND window, UINT message, WPARAM, LPARAM lParam, LRESULT* answer) {
    if (window != host || message != WM_RBUTTONUP) return false;
    POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    ClientToScreen(host, &at);
    HMENU menu = PlayerMenu();
    UINT flags = TPM_RIGHTBUTTON | (tracked.empty() ? 0 : TPM_RETURNCMD);
    tracked.push_back(TrackPopupMenu(menu, flags, at.x, at.y, 0, host, nullptr));
    DestroyMenu(menu);
    *answer = 0;
    return true;
  });
  std::string hostId = XWindow("Menu host");
  EXPECT_EQ(PopupWindows(desktop_), "");

  desktop_.Run("xdotool mousemove 250 230 click 3");
  ASSERT_TRUE(WaitFor([&] { return !PopupWindows(desktop_).empty(); })) << "no menu window shown";
  // The disabled first item is passed over: the first Down lands on Play.
  desktop_.Run("xdotool key Down Return");
  ASSERT_TRUE(WaitFor([&] { return !model_->Received(WM_COMMAND).empty(); }));
  EXPECT_EQ(LOWORD(model_->Received(WM_COMMAND)[0].wParam), 101);
  EXPECT_TRUE(WaitFor([&] { return PopupWindows(desktop_).empty(); }));

  desktop_.Run("xdotool mousemove 260 240 click 3");
  ASSERT_TRUE(WaitFor([&] { return !PopupWindows(desktop_).empty(); }));
  desktop_.Run("xdotool key Escape");  // dismissed: nothing chosen
  ASSERT_TRUE(WaitFor([&] { return model_->Received(WM_RBUTTONUP).size() == 2 && PopupWindows(desktop_).empty(); }));
  model_->Run([] {});  // the second track has returned
  EXPECT_EQ(model_->Received(WM_COMMAND).size(), 1u);
  EXPECT_EQ(tracked, (std::vector<BOOL>{TRUE, FALSE}));
}

// With an XEmbed tray running, the model's notification icon is embedded
// with its tip; a click on it sends the callback message; deleting it
// takes it away.
TEST_F(DesktopPresenter, TrayIconsAreEmbeddedClickedAndRemoved) {
  if (!HaveProgram("trayer")) FAIL() << "trayer is needed (scripts/deps.sh test)";
  ASSERT_TRUE(desktop_.StartTray());
  StartPresenter();
  HWND owner = model_->Create("Tray owner", WS_POPUP, 0, RECT{0, 0, 10, 10});
  constexpr UINT kCallback = WM_APP + 5;
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = 7;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kCallback;
  std::snprintf(data.szTip, sizeof data.szTip, "Now playing");
  model_->Run([&] {
    data.hIcon = twltest::SolidIcon(RGB(200, 40, 40));
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  });

  std::string iconId = XWindow("Now playing");
  std::string tree = desktop_.Run("xwininfo -id " + iconId + " -tree");
  std::string root = desktop_.Run("xwininfo -root | grep -o 'Window id: 0x[0-9a-f]*' | grep -o '0x.*'");
  root.pop_back();
  EXPECT_EQ(tree.find("Parent window id: " + root), std::string::npos) << "not embedded:\n" << tree;

  desktop_.Run("xdotool mousemove --window " + iconId + " 4 4 click 1");
  ASSERT_TRUE(WaitFor([&] { return model_->Received(kCallback).size() >= 2; }));
  auto calls = model_->Received(kCallback);
  EXPECT_EQ(calls[0].wParam, 7u);
  EXPECT_EQ(calls[0].lParam, WM_LBUTTONDOWN);
  EXPECT_EQ(calls[1].lParam, WM_LBUTTONUP);

  model_->Run([&] { ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data)); });
  EXPECT_TRUE(WaitFor([&] { return !desktop_.Try("xdotool search --name '^Now playing$'"); }));
}

}  // namespace
}  // namespace qttest
