// The aux window on a skin the test draws: its size rules, transparency,
// border hit test and cursors, resizing by the border, its region, the
// colours of its child controls, the "What's this?" menu and running it
// modally beside the manager's modal stack.
#include "AuxFixture.h"

#include <cstring>
#include <functional>

#include "display/auxwindow/AuxWindowManager.h"
#include "display/controls/DDTextControls.h"
#include "display/controls/SkinControlStyle.h"
#include "display/frames/FramePainting.h"
#include "foundation/errors/ThreadErrorState.h"
#include "twlwin/testing_desktop.h"

using namespace displaytest;

namespace {

HWND MakeBackdrop(const RECT& place) {
  return CreateWindowExA(0, kClassName, "backdrop", WS_POPUP | WS_VISIBLE, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, nullptr, nullptr, nullptr, nullptr);
}

// Runs its script when command 77 arrives during a modal loop.
class ScriptedAux : public CAuxWindow {
 public:
  std::function<void(ScriptedAux&)> script;
  void OnCommand(UINT code, UINT id, HWND control) override {
    CAuxWindow::OnCommand(code, id, control);
    if (id == 77 && script) script(*this);
  }
  UINT lastCommand = 0;
};

class CommandRecorder : public CAuxWindow {
 public:
  std::vector<std::pair<UINT, UINT>> commands;
  void OnCommand(UINT code, UINT id, HWND control) override {
    commands.emplace_back(code, id);
    CAuxWindow::OnCommand(code, id, control);
  }
};

}  // namespace

TEST_F(AuxTest, SizesKeepTheTiledCentreInWholeTiles) {
  CAuxWindow window;
  window.Create("Sizes", "Sizes", 100, 100, 116, 60, nullptr, nullptr, true);
  int width = 100, height = 50;
  EXPECT_FALSE(window.AdjustSize(width, height)) << "no steps before the skin is applied";
  EXPECT_EQ(width, 100);
  window.ApplySkin();
  EXPECT_EQ(window.GetHorizontalStep(), 20);
  EXPECT_EQ(window.GetVerticalStep(), 1) << "stretched down";
  EXPECT_EQ(window.GetMargin(0), 8);
  width = 100, height = 50;
  EXPECT_TRUE(window.AdjustSize(width, height));
  EXPECT_EQ(width, 116) << "84 is no multiple of 20; 100 is, plus the two edges";
  EXPECT_EQ(height, 50);
  width = 136;
  EXPECT_FALSE(window.AdjustSize(width, height));

  EXPECT_FALSE(window.SetMinSize(3, 3));
  EXPECT_EQ(window.GetMinWidth(), 10) << "twice the border search depth";
  EXPECT_EQ(window.GetMinHeight(), 10);
  window.SetMinSize(150, 70);
  EXPECT_EQ(window.GetWidth(), 156) << "raised to the minimum, then to whole tiles";
  EXPECT_EQ(window.GetHeight(), 70);

  window.ReleaseSkin(0);
  EXPECT_EQ(window.GetHorizontalStep(), 1);
  EXPECT_EQ(window.GetMargin(0), 0);
}

TEST_F(AuxTest, APressOnAButtonDoesNotDragTheWindowOneOnALabelDoes) {
  CAuxWindow window;
  window.Create("Drag", "Drag", 100, 100, 216, 160, nullptr, nullptr, true);
  window.ApplySkin();
  SkinControlStyle style{};
  ASSERT_TRUE(FillSkinControlStyle(&ui().GetDDSkin(), style));
  const RECT labelRect{20, 20, 120, 40};
  const RECT buttonRect{20, 60, 120, 90};
  ASSERT_NE(window.CreateLabel(1, "Title", &labelRect, -1), nullptr);
  ASSERT_NE(window.CreateButton(2, "OK", &buttonRect, style, false), nullptr);

  EXPECT_TRUE(window.IsMoveArea(30, 30)) << "a label";
  EXPECT_FALSE(window.IsMoveArea(30, 70)) << "a button";
  EXPECT_TRUE(window.IsMoveArea(150, 120)) << "no control";
  window.OnMouseButtonDown(0, 30, 70);
  EXPECT_FALSE(window.IsMoving());
  window.OnMouseButtonUp(0, 30, 70);
  window.OnMouseButtonDown(0, 30, 30);
  EXPECT_TRUE(window.IsMoving());
  window.OnMouseButtonUp(0, 30, 30);
  EXPECT_FALSE(window.IsMoving());
}

TEST_F(AuxTest, WithoutAFrameEverythingIsOneAndTheWindowRectangular) {
  ui().GetDDSkin().Release();
  CAuxWindow window;
  window.Create("Plain", "Plain", 100, 100, 80, 60, nullptr, nullptr, true);
  window.ApplySkin();
  EXPECT_EQ(window.GetHorizontalStep(), 1);
  BYTE* mask = reinterpret_cast<BYTE*>(1);
  EXPECT_TRUE(window.CreateWindowMask(mask, 80, 60));
  EXPECT_EQ(mask, nullptr);
  EXPECT_FALSE(window.IsTransparentAt(0, 0)) << "no frame: opaque";
  int x = 5, y = 5;
  EXPECT_FALSE(window.ConvertCoordToUnstretched(x, y, 80, 60));
}

TEST_F(AuxTest, BorderPointsGiveTheirEdgeAndCursor) {
  CAuxWindow window;
  window.Create("Border", "Border", 100, 100, 200, 150, nullptr, nullptr, true);
  window.ApplySkin();
  EXPECT_TRUE(window.IsTransparentAt(0, 40));
  EXPECT_TRUE(window.IsTransparentAt(199, 149));
  EXPECT_TRUE(window.IsTransparentAt(-1, 40)) << "outside";
  EXPECT_FALSE(window.IsTransparentAt(1, 40));
  struct Case {
    int x, y;
    bool border;
    int edge, cursor;
  } cases[] = {
      {60, 1, true, CAuxWindow::kTop, CAuxWindow::kSizeNSCursor},
      {60, 148, true, CAuxWindow::kBottom, CAuxWindow::kSizeNSCursor},
      {1, 75, true, CAuxWindow::kLeft, CAuxWindow::kSizeWECursor},
      {197, 75, true, CAuxWindow::kRight, CAuxWindow::kSizeWECursor},
      {2, 2, true, CAuxWindow::kTopLeft, CAuxWindow::kSizeNWSECursor},
      {197, 147, true, CAuxWindow::kBottomRight, CAuxWindow::kSizeNWSECursor},
      {197, 2, true, CAuxWindow::kTopRight, CAuxWindow::kSizeNESWCursor},
      {4, 75, true, CAuxWindow::kLeft, CAuxWindow::kSizeWECursor},  // 4 from the outline: still found
      {5, 75, false, 0, CAuxWindow::kArrowCursor},                   // 5 from every transparent pixel
      {100, 75, false, 0, CAuxWindow::kArrowCursor},
      {0, 75, false, 0, CAuxWindow::kArrowCursor},  // transparent itself
  };
  for (const Case& c : cases) {
    int edge = -1;
    EXPECT_EQ(window.HitTestBorder(c.x, c.y, edge), c.border) << c.x << "," << c.y;
    if (c.border) {
      EXPECT_EQ(edge, c.edge) << c.x << "," << c.y;
    }
    EXPECT_EQ(window.GetCursorAt(c.x, c.y), c.cursor) << c.x << "," << c.y;
  }
  window.UpdateCursor(60, 1);
  EXPECT_EQ(TwlTestGetCursor(), LoadCursorA(nullptr, IDC_SIZENS));
  window.UpdateCursor(100, 75);
  EXPECT_EQ(TwlTestGetCursor(), LoadCursorA(nullptr, IDC_ARROW));

  CAuxWindow fixed;
  fixed.Create("Fixed", "Fixed", 100, 100, 200, 150, nullptr, nullptr, false);
  fixed.ApplySkin();
  EXPECT_EQ(fixed.GetCursorAt(60, 1), CAuxWindow::kArrowCursor) << "not resizable";
}

TEST_F(AuxTest, ResizingByTheBorderAppliesOnReleaseOrWhenTheCaptureIsLost) {
  HWND other = MakeBackdrop({800, 600, 900, 700});
  for (bool loseCapture : {false, true}) {
    CAuxWindow window;
    window.Create("Resize", "Resize", 100, 100, 196, 150, nullptr, nullptr, true);
    window.Show(true);
    TwlTestPumpMessages();
    ASSERT_TRUE(TwlTestMouseButton(VK_LBUTTON, TRUE, 100 + 60, 100 + 1));
    TwlTestPumpMessages();
    ASSERT_TRUE(window.IsSizing());
    EXPECT_EQ(GetCapture(), window.GetWindowHandle());
    TwlTestMouseMove(160, 70);
    TwlTestMouseMove(160, 80);
    TwlTestPumpMessages();
    EXPECT_EQ(window.GetSizingRect().top, 80);
    EXPECT_EQ(window.GetRect().top, 100) << "only the outline moves while dragging";
    if (loseCapture)
      SetCapture(other);
    else
      TwlTestMouseButton(VK_LBUTTON, FALSE, 160, 80);
    TwlTestPumpMessages();
    EXPECT_FALSE(window.IsSizing());
    EXPECT_EQ(window.GetRect().top, 80);
    EXPECT_EQ(window.GetRect().bottom, 250) << "the bottom stays";
    ReleaseCapture();
  }
  DestroyWindow(other);
}

TEST_F(AuxTest, SizingRectangleGrowsToWholeTilesOnTheDraggedSide) {
  CAuxWindow window;
  window.Create("Steps", "Steps", 100, 100, 196, 150, nullptr, nullptr, true);
  window.Show(true);
  TwlTestPumpMessages();
  window.BeginSizing(CAuxWindow::kLeft);
  window.TrackSizing(130, 300);
  EXPECT_EQ(window.GetSizingRect().right, 296) << "the right side stays";
  EXPECT_EQ(window.GetSizingRect().left, 296 - 176) << "166 wide becomes 176 (8 + 8 + 8 tiles of 20)";
  EXPECT_TRUE(window.CancelSizing());
  EXPECT_FALSE(window.CancelSizing());
  EXPECT_EQ(window.GetRect().left, 100) << "cancelled: nothing applied";
}

TEST_F(AuxTest, TransparentFramePixelsLetTheWindowBelowThrough) {
  HWND below = MakeBackdrop({50, 50, 450, 450});
  CAuxWindow window;
  window.Create("Region", "Region", 100, 100, 196, 150, nullptr, nullptr, true);
  window.Show(true);
  TwlTestPumpMessages();
  EXPECT_EQ(WindowFromPoint(POINT{100, 100}), below) << "the transparent corner";
  EXPECT_EQ(WindowFromPoint(POINT{100 + 98, 100}), below) << "the transparent top row";
  EXPECT_EQ(WindowFromPoint(POINT{101, 101}), window.GetWindowHandle());
  EXPECT_EQ(WindowFromPoint(POINT{200, 170}), window.GetWindowHandle());

  BYTE* mask = nullptr;
  ASSERT_TRUE(window.CreateWindowMask(mask, 196, 150));
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask[0], 0);
  EXPECT_EQ(mask[196 + 1], 1);
  EXPECT_EQ(mask[149 * 196 + 195], 0);
  delete[] mask;
  DestroyWindow(below);
}

TEST_F(AuxTest, ChildListsTakeTheComboColoursByClass) {
  CAuxWindow window;
  window.Create("Colours", "Colours", 100, 100, 196, 150, nullptr, nullptr, true);
  window.Show(true);
  TwlTestPumpMessages();
  HWND parent = window.GetWindowHandle();
  const DWORD style = WS_CHILD | WS_VISIBLE;
  HWND list = CreateWindowExA(0, WC_LISTBOXA, "", style, 10, 10, 50, 50, parent, nullptr, nullptr, nullptr);
  HWND combo = CreateWindowExA(0, WC_COMBOLBOXA, "", style, 10, 70, 50, 50, parent, nullptr, nullptr, nullptr);
  HWND edit = CreateWindowExA(0, WC_EDITA, "", style, 70, 10, 50, 20, parent, nullptr, nullptr, nullptr);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  TwlTestPumpMessages();
  // The lists asked while painting: their background is the combo colour.
  const COLORREF comboBack = window.GetBackgroundColor(CAuxWindow::kComboColors);
  EXPECT_EQ(TwlTestGetWindowPixel(list, 48, 48), comboBack);
  EXPECT_EQ(TwlTestGetWindowPixel(combo, 48, 48), comboBack);

  HDC dc = GetDC(parent);
  auto listColours = [&](HWND child) {
    return reinterpret_cast<HBRUSH>(
        SendMessageA(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
  };
  HBRUSH combos = ui().GetBrush(CAuxWindow::kComboColors);
  ASSERT_NE(combos, nullptr);
  EXPECT_EQ(listColours(list), combos);
  EXPECT_EQ(GetTextColor(dc), window.GetTextColor(CAuxWindow::kComboColors));
  window.SetColorListBoxes(false);
  EXPECT_NE(listColours(list), combos) << "a plain list box only while colour-list-boxes is set";
  EXPECT_EQ(listColours(combo), combos) << "a drop-down list always";
  window.SetControlColor(list, CAuxWindow::kListColors, 0);
  EXPECT_EQ(listColours(list), ui().GetBrush(CAuxWindow::kListColors)) << "a listed child takes its own colours";

  window.SetControlColor(edit, CAuxWindow::kEditColors, CAuxWindow::kNoFrame);
  EXPECT_EQ(window.GetControlColorIndex(edit), CAuxWindow::kEditColors);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(edit))),
            ui().GetBrush(CAuxWindow::kEditColors));
  window.RemoveControlColor(edit);
  EXPECT_EQ(window.GetControlColorIndex(edit), -1);
  ReleaseDC(parent, dc);
}

TEST_F(AuxTest, WhatsThisMenuOffersThePageAndReportsTheChoice) {
  TwlTestResetMenus();
  CommandRecorder window;
  window.Create("Help", "Help", 100, 100, 196, 150, nullptr, nullptr, true);
  TwlTestPushMenuChoice(CAuxWindow::kHelpCommandBase + 3);
  ASSERT_TRUE(window.ShowHelpMenu(3, 150, 150));
  TwlTestPumpMessages();
  ASSERT_EQ(TwlTestMenuTrackCount(), 1);
  TWL_MENU_TRACK track{};
  char text[256] = {};
  ASSERT_TRUE(TwlTestGetMenuTrack(0, &track, text, sizeof text));
  EXPECT_EQ(std::string(text), "1027 What's this?\n");
  EXPECT_EQ(track.flags & TPM_RIGHTBUTTON, static_cast<UINT>(TPM_RIGHTBUTTON));
  ASSERT_EQ(window.commands.size(), 1u);
  EXPECT_EQ(window.commands[0], std::make_pair(0u, 1027u));
  EXPECT_EQ(window.GetHelpMenu(), nullptr) << "a menu command ends the menu";

  TwlTestFailMenuCreation(0);
  EXPECT_FALSE(window.ShowHelpMenu(4, 150, 150));
  EXPECT_NE(log.Text().find("Error creating menu."), std::string::npos);
  TwlTestResetMenus();
}

TEST_F(AuxTest, EndModalKeepsTheFirstResultAndDestroyEndsTheLoop) {
  CWindow main;
  main.Create("Main", "Main", kClassName, WS_POPUP, 0, 0, 0, 50, 50, nullptr, nullptr);
  ui().SetMainWindow(0, &main);
  struct Case {
    const char* name;
    std::function<void(ScriptedAux&)> script;
    int expected;
  } cases[] = {
      {"twice", [](ScriptedAux& w) { w.EndModal(1); w.EndModal(2); }, 1},
      {"destroyed", [](ScriptedAux& w) { w.Destroy(); }, -1},
      {"ended then destroyed", [](ScriptedAux& w) { w.EndModal(5); w.Destroy(); }, 5},
  };
  for (Case& c : cases) {
    ScriptedAux window;
    window.Create("Modal", "Modal", 100, 100, 196, 150, nullptr, nullptr, false);
    bool mainDisabled = false;
    int modalCount = 0;
    window.script = [&](ScriptedAux& w) {
      mainDisabled = !IsWindowEnabled(main.GetWindowHandle());
      modalCount = ui().GetAuxWindowManager().GetModalCount();
      c.script(w);
    };
    PostMessageA(window.GetWindowHandle(), WM_COMMAND, 77, 0);
    EXPECT_EQ(window.DoModal(), c.expected) << c.name;
    EXPECT_TRUE(mainDisabled) << c.name;
    EXPECT_EQ(modalCount, 1) << c.name;
    EXPECT_EQ(ui().GetAuxWindowManager().GetModalCount(), 0) << c.name;
    EXPECT_TRUE(IsWindowEnabled(main.GetWindowHandle())) << c.name;
  }
  ui().SetMainWindow(0, nullptr);
}

TEST_F(AuxTest, ModalWindowsStackAndEnableTheOneBelowWhenClosed) {
  CWindow main;
  main.Create("Main", "Main", kClassName, WS_POPUP, 0, 0, 0, 50, 50, nullptr, nullptr);
  ui().SetMainWindow(0, &main);
  CAuxWindow plain, first, second;
  plain.Create("Plain", "Plain", 100, 100, 196, 150, nullptr, nullptr, false);
  first.Create("First", "First", 150, 150, 196, 150, nullptr, nullptr, false);
  second.Create("Second", "Second", 200, 200, 196, 150, nullptr, nullptr, false);
  plain.Show(true);
  first.OpenModal();
  EXPECT_FALSE(IsWindowEnabled(plain.GetWindowHandle()));
  EXPECT_FALSE(IsWindowEnabled(main.GetWindowHandle()));
  EXPECT_TRUE(IsWindowEnabled(first.GetWindowHandle()));
  second.OpenModal();
  EXPECT_FALSE(IsWindowEnabled(first.GetWindowHandle()));
  EXPECT_EQ(ui().GetAuxWindowManager().GetModalCount(), 2);
  second.Show(false);  // hiding ends its modal state
  EXPECT_TRUE(IsWindowEnabled(first.GetWindowHandle()));
  EXPECT_FALSE(IsWindowEnabled(plain.GetWindowHandle()));
  EXPECT_FALSE(IsWindowEnabled(main.GetWindowHandle()));
  first.Destroy();
  EXPECT_TRUE(IsWindowEnabled(plain.GetWindowHandle()));
  EXPECT_TRUE(IsWindowEnabled(main.GetWindowHandle()));
  EXPECT_FALSE(ui().EndModal(&first)) << "no longer modal";
  EXPECT_EQ(ui().GetAuxWindowManager().IsOpen(CAuxWindow::ClassRecord), true);
  ui().SetMainWindow(0, nullptr);
}

TEST_F(AuxTest, SkinChangesReachOnlyWindowsThatHadTheSkin) {
  CAuxWindow applied, hidden;
  applied.Create("Applied", "Applied", 100, 100, 196, 150, nullptr, nullptr, false);
  hidden.Create("Hidden", "Hidden", 100, 100, 196, 150, nullptr, nullptr, false);
  applied.Show(true);
  TwlTestPumpMessages();
  ASSERT_TRUE(applied.IsSkinApplied());
  CAuxWindowManager& manager = ui().GetAuxWindowManager();
  manager.ReleaseSkins();
  EXPECT_FALSE(applied.IsSkinApplied());
  ui().GetDDSkin().Release();
  UseSkin(false);
  manager.ApplySkins();
  EXPECT_TRUE(applied.IsSkinApplied());
  EXPECT_EQ(applied.GetHorizontalStep(), 1) << "the new skin stretches";
  EXPECT_FALSE(hidden.IsSkinApplied());
}

TEST_F(AuxTest, FramePaintingRefusesBadClipsLostPartsAndPartsOfAnotherMode) {
  IDirectDrawSurface2* back = ui().GetBackBuffer();
  ASSERT_NE(back, nullptr);
  const RECT beyond{0, 0, 101, 50}, empty{10, 10, 10, 40}, inside{0, 0, 100, 50};
  EXPECT_EQ(PaintAuxFrame(back, 0, 0, 100, 50, "x", &beyond), E_INVALIDARG);
  EXPECT_EQ(PaintAuxFrame(back, 0, 0, 100, 50, "x", &empty), DD_OK);
  EXPECT_EQ(PaintAuxFrame(back, 0, 0, 100, 50, "x", &inside), DD_OK);
  std::vector<BYTE> mask(100 * 50);
  EXPECT_FALSE(PaintAuxFrameMask(mask.data(), 100, 0, 0, 100, 50, &beyond));
  EXPECT_EQ(GetThreadErrorState()->type, 7u);

  // The mode changes under the skin, which is not rebuilt yet.
  ASSERT_TRUE(TwlTestSetDisplayMode(1024, 768, 16));
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = 100;
  desc.dwHeight = 50;
  LPDIRECTDRAWSURFACE made = nullptr;
  ASSERT_EQ(ui().GetDisplayState().GetDirectDraw()->CreateSurface(&desc, &made, nullptr), DD_OK);
  IDirectDrawSurface2* small = nullptr;
  made->QueryInterface(IID_IDirectDrawSurface2, reinterpret_cast<void**>(&small));
  made->Release();
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(PaintAuxFrame(small, 0, 0, 100, 50, "x", &inside), DDERR_WRONGMODE) << "32-bit parts on a 16-bit surface";
  small->Release();
  ui().GetDDSkin().Release();
  EXPECT_EQ(PaintAuxFrame(back, 0, 0, 100, 50, "x", &inside), DDERR_SURFACELOST);
  EXPECT_FALSE(PaintAuxFrameMask(mask.data(), 100, 0, 0, 100, 50, nullptr));
}
