// twltool button: one surface-drawn button in a window of the built-in
// skin, driven by injected input; prints what the button reports.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ControlStage.h"
#include "app/ui/UserInterface.h"
#include "display/controls/DDButtons.h"
#include "display/controls/SkinControlStyle.h"
#include "display/skinrender/DDMainWindowSkin.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "skins/masks/Mask.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

const RECT kButtonRect{40, 30, 160, 70};

struct Event {
  enum Kind { kMove, kDown, kUp, kKey } kind;
  int x = 0;
  int y = 0;
};

bool ParseNumber(const std::string& text, int& value) {
  int64_t parsed = 0;
  if (!tool::ParseSigned(text, parsed) || parsed < -32768 || parsed > 32767) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseEvent(const std::string& text, Event& event) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  const std::string kind = text.substr(0, colon);
  const std::string rest = text.substr(colon + 1);
  if (kind == "key") {
    event.kind = Event::kKey;
    return ParseNumber(rest, event.x) && event.x > 0 && event.x < 256;
  }
  if (kind == "move")
    event.kind = Event::kMove;
  else if (kind == "down")
    event.kind = Event::kDown;
  else if (kind == "up")
    event.kind = Event::kUp;
  else
    return false;
  const size_t comma = rest.find(',');
  return comma != std::string::npos && ParseNumber(rest.substr(0, comma), event.x) &&
         ParseNumber(rest.substr(comma + 1), event.y);
}

void Play(const Event& event) {
  const int x = tool::StageWindow::kLeft + event.x;
  const int y = tool::StageWindow::kTop + event.y;
  switch (event.kind) {
    case Event::kMove: TwlTestMouseMove(x, y); break;
    case Event::kDown: TwlTestMouseButton(VK_LBUTTON, TRUE, x, y); break;
    case Event::kUp: TwlTestMouseButton(VK_LBUTTON, FALSE, x, y); break;
    case Event::kKey:
      TwlTestKey(static_cast<UINT>(event.x), TRUE);
      TwlTestPumpMessages();
      TwlTestKey(static_cast<UINT>(event.x), FALSE);
      break;
  }
  TwlTestPumpMessages();
}

// The main window's third button of the built-in skin, in its four
// pictures, as a toggle.
CDDControl* MakePictureToggle(tool::StageWindow& window) {
  const CDDButtonSkin* skin = GetUserInterface().GetDDSkin().GetMainWindowSkin(0).GetButton(2);
  if (!skin || !skin->IsCreated()) return nullptr;
  IDirectDrawSurface2* pictures[4] = {};
  for (int state = 0; state < 4; ++state) pictures[state] = skin->GetSurface(state);
  const SIZE size = skin->GetStateSize(0);
  const RECT rect{kButtonRect.left, kButtonRect.top, kButtonRect.left + size.cx, kButtonRect.top + size.cy};
  const CMask* mask = skin->GetMask();
  const BYTE* hitMask =
      mask && mask->GetWidth() == size.cx && mask->GetHeight() == size.cy ? mask->GetBytes() : nullptr;
  auto* toggle = new CDDSurfaceToggleButton;
  if (!toggle->Create(1, &CWindow::ControlCallback, &window, rect, hitMask, pictures)) {
    delete toggle;
    return nullptr;
  }
  window.GetControls().Add(toggle);
  return toggle;
}

}  // namespace

TOOL_COMMAND(RunButton, "button",
             "[--disabled] [--toggle|--check] [--png OUT] EVENT...  one button (text push button; --toggle the "
             "skin's picture toggle, --check a check box) at 40,30-160,70 of a 200 x 100 window; EVENT is "
             "move:X,Y, down:X,Y, up:X,Y (window points) or key:VK (pressed and released on the focused button), "
             "played as injected input; prints each report but repaints, one type a line; --png writes the "
             "window afterwards") {
  bool disabled = false, toggle = false, check = false;
  std::string png;
  std::vector<Event> events;
  for (size_t index = 0; index < args.size(); ++index) {
    const std::string& arg = args[index];
    if (arg == "--disabled") {
      disabled = true;
    } else if (arg == "--toggle") {
      toggle = true;
    } else if (arg == "--check") {
      check = true;
    } else if (arg == "--png") {
      if (++index == args.size()) return tool::Fail("button: --png needs a file");
      png = args[index];
    } else {
      Event event{};
      if (!ParseEvent(arg, event)) return tool::Fail("button: bad event '" + arg + "'");
      events.push_back(event);
    }
  }
  if (toggle && check) return tool::Fail("button: --toggle and --check exclude each other");

  tool::ControlStage stage;
  std::string error;
  if (!stage.Start(error)) return tool::Fail("button: " + error);
  tool::StageWindow window;
  window.Make(200, 100);
  CDDControl* button = nullptr;
  if (toggle) {
    button = MakePictureToggle(window);
  } else {
    SkinControlStyle style{};
    FillSkinControlStyle(&GetUserInterface().GetDDSkin(), style);
    button = window.CreateButton(1, "Button", &kButtonRect, style, check);
  }
  if (!button) return tool::Fail("button: the button cannot be made");
  button->CreateFocusWindow(window.GetWindowHandle(), 1);
  static_cast<CDDButtonBase*>(button)->SetDisabled(disabled ? 1 : 0);
  SetForegroundWindow(window.GetWindowHandle());
  if (button->GetFocusWindow()) SetFocus(button->GetFocusWindow());
  window.Paint(nullptr);
  TwlTestPumpMessages();

  window.printEvents = true;
  for (const Event& event : events) Play(event);
  window.printEvents = false;
  std::fflush(stdout);
  window.Paint(nullptr);
  if (!png.empty() && !TwlTestSaveWindowPng(window.GetWindowHandle(), png.c_str()))
    return tool::Fail("button: cannot write '" + png + "'");
  window.Destroy();
  return 0;
}
