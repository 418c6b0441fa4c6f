// twltool controls: every kind of surface-drawn control in one window of
// the built-in skin, each in its states, written as one picture.
#include <windows.h>

#include <memory>
#include <string>

#include "ControlStage.h"
#include "app/ui/UserInterface.h"
#include "display/controls/DDButtons.h"
#include "display/controls/DDImageControls.h"
#include "display/controls/DDSurfaceText.h"
#include "display/controls/DDTextControls.h"
#include "display/controls/SkinControlStyle.h"
#include "display/skinrender/DDBarSkin.h"
#include "display/skinrender/DDMainWindowSkin.h"
#include "driver/Command.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 300;

HOST_WRITER Font(int index) {
  return reinterpret_cast<HOST_WRITER>(GetUserInterface().GetDDSkin().GetFontSet().GetFont(index));
}

const BYTE* MaskOf(const CMask* mask, LONG width, LONG height) {
  return mask && mask->GetWidth() == width && mask->GetHeight() == height ? mask->GetBytes() : nullptr;
}

// Puts a control into the state asked: 0 normal, 1 hovered, 2 pressed,
// 3 disabled.
void SetState(CDDButtonBase& button, int state) {
  const RECT& rect = button.GetRect();
  const int x = (rect.left + rect.right) / 2;
  const int y = (rect.top + rect.bottom) / 2;
  if (state == 1) button.OnMouseMove(x, y);
  if (state == 2) button.OnMouseDown(0, x, y);
  if (state == 3) button.SetDisabled(1);
}

template <typename Control>
Control* Add(tool::StageWindow& window, std::unique_ptr<Control> control) {
  window.GetControls().Add(control.get());
  return control.release();
}

void AddTextButtons(tool::StageWindow& window) {
  SkinControlStyle style{};
  FillSkinControlStyle(&GetUserInterface().GetDDSkin(), style);
  const char* names[4] = {"Normal", "Hover", "Pressed", "Disabled"};
  for (int state = 0; state < 4; ++state) {
    const RECT rect{10 + state * 90, 10, 90 + state * 90, 34};
    auto* button = static_cast<CDDButtonBase*>(window.CreateButton(10 + state, names[state], &rect, style, false));
    if (button) SetState(*button, state);
  }
  const RECT focusRect{370, 10, 470, 34};
  if (CDDControl* focused = window.CreateButton(14, "Focused", &focusRect, style, false)) focused->SetFocus(1);
  for (int checked = 0; checked < 2; ++checked) {
    const RECT rect{10 + checked * 90, 40, 90 + checked * 90, 64};
    auto* box =
        static_cast<CDDCheckBox*>(window.CreateButton(20 + checked, checked ? "Checked" : "Check", &rect, style, true));
    if (box && checked) box->SetChecked(1);
  }
}

void AddLabels(tool::StageWindow& window) {
  const char* texts[3] = {"Left", "Centre", "Right"};
  for (int alignment = 0; alignment < 3; ++alignment) {
    const RECT rect{190, 40 + alignment * 18, 470, 56 + alignment * 18};
    if (CDDLabel* label = window.CreateLabel(30 + alignment, texts[alignment], &rect, 0))
      label->SetAlignment(alignment);
  }
  auto wrapped = std::make_unique<CDDMultiLineLabel>();
  wrapped->Create(33, &CWindow::ControlCallback, &window, RECT{10, 100, 180, 190}, Font(0),
                  "A longer text that the label wraps over several lines.\n\nAfter an empty line.");
  Add(window, std::move(wrapped));
  auto line = std::make_unique<CDDTextLine>();
  line->Create(34, &CWindow::ControlCallback, &window, RECT{10, 70, 180, 90}, Font(1), "A text line in font 1");
  Add(window, std::move(line));
}

void AddPagedText(tool::StageWindow& window) {
  const DWORD gap = GetUserInterface().GetDDSkin().GetColorSet().GetColor(1);
  auto still = std::make_unique<CDDSurfaceText>();
  still->Create(40, &CWindow::ControlCallback, &window, RECT{190, 100, 470, 118}, Font(0), nullptr, gap, 3, 4, 5,
                "Still: it fits");
  Add(window, std::move(still));
  auto paged = std::make_unique<CDDSurfaceText>();
  paged->Create(41, &CWindow::ControlCallback, &window, RECT{190, 124, 330, 142}, Font(0), nullptr, gap, 3, 4, 5,
                "A paged title far too long for its line, halfway through its wipe");
  for (int step = 0; step < 12; ++step) paged->Step();
  Add(window, std::move(paged));
}

void AddPictureControls(tool::StageWindow& window) {
  CDDMainWindowSkin& skin = GetUserInterface().GetDDSkin().GetMainWindowSkin(0);
  CDDButtonSkin* buttonSkin = skin.GetButton(2);
  if (buttonSkin && buttonSkin->IsCreated()) {
    IDirectDrawSurface2* pictures[4] = {};
    for (int state = 0; state < 4; ++state) pictures[state] = buttonSkin->GetSurface(state);
    const SIZE size = buttonSkin->GetStateSize(0);
    for (int state = 0; state < 4; ++state) {
      const RECT rect{190 + state * (size.cx + 6), 150, 190 + state * (size.cx + 6) + size.cx, 150 + size.cy};
      auto button = std::make_unique<CDDSurfacePushButton>();
      button->Create(50 + state, &CWindow::ControlCallback, &window, rect,
                     MaskOf(buttonSkin->GetMask(), size.cx, size.cy), pictures);
      SetState(*button, state);
      Add(window, std::move(button));
    }
  }
  CDDBarSkin& volume = *skin.GetBar(CMainWindowSkin::kVolumeBar);
  if (volume.IsCreated() && volume.GetBarData()) {
    const SIZE size = volume.GetPictureSize();
    const int values[3] = {0, 128, 255};
    for (int index = 0; index < 3; ++index) {
      const RECT rect{10 + index * (size.cx + 10), 200, 10 + index * (size.cx + 10) + size.cx, 200 + size.cy};
      auto slider = std::make_unique<CDDSlider>();
      slider->Create(60 + index, &CWindow::ControlCallback, &window, rect, MaskOf(volume.GetMask(), size.cx, size.cy),
                     volume.GetBarData(), volume.GetBitmap(), 0);
      slider->SetValue(values[index] * slider->GetMaximum() / 255);
      Add(window, std::move(slider));
    }
  }
  CDDBarSkin& position = *skin.GetBar(CMainWindowSkin::kPositionBar);
  if (position.IsCreated() && position.GetSurface()) {
    const SIZE size = position.GetPictureSize();
    for (int index = 0; index < 2; ++index) {
      const RECT rect{10, 240 + index * (size.cy + 8), 10 + size.cx, 240 + index * (size.cy + 8) + size.cy};
      auto bar = std::make_unique<CDDTrackingImage>();
      bar->Create(70 + index, &CWindow::ControlCallback, &window, rect, MaskOf(position.GetMask(), size.cx, size.cy),
                  position.GetSurface(), 100, index == 0 ? 30 : 100);
      Add(window, std::move(bar));
    }
  }
}

}  // namespace

TOOL_COMMAND(RunControls, "controls",
             "OUT.png  every kind of surface-drawn control with the built-in skin, in its states (text buttons "
             "normal, hover, pressed, disabled and focused; check boxes; labels in three alignments; a text line; "
             "a wrapped label; a still and a paged title; picture buttons; volume sliders; position bars), written "
             "as one picture; prints nothing") {
  if (args.size() != 1) return tool::Fail("controls needs OUT.png");
  tool::ControlStage stage;
  std::string error;
  if (!stage.Start(error)) return tool::Fail("controls: " + error);
  tool::StageWindow window;
  window.Make(kWidth, kHeight);
  AddTextButtons(window);
  AddLabels(window);
  AddPagedText(window);
  AddPictureControls(window);
  const bool painted = window.Paint(nullptr);
  TwlTestPumpMessages();
  if (!painted) return tool::Fail("controls: painting the controls failed");
  if (!TwlTestSaveWindowPng(window.GetWindowHandle(), args[0].c_str()))
    return tool::Fail("controls: cannot write '" + args[0] + "'");
  window.Destroy();
  return 0;
}
