// The stage of the button and controls commands: the display up with the
// built-in skin built for it, the controls' services set to the host API
// table, and a window at (100, 100) of the virtual screen that paints a
// flat background and prints what its controls report.
#pragma once

#include <windows.h>

#include <string>

#include "display/window/Window.h"

namespace tool {

class StageWindow : public CWindow {
 public:
  static constexpr int kLeft = 100;
  static constexpr int kTop = 100;

  void Make(int width, int height);
  bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override;
  // Prints each report but repaints, one type a line, when asked to.
  int OnControlEvent(int type, CDDControl* control, void* data) override;

  bool printEvents = false;
};

class ControlStage {
 public:
  ControlStage() = default;
  ControlStage(const ControlStage&) = delete;
  ControlStage& operator=(const ControlStage&) = delete;
  ~ControlStage();

  // False with the reason when the display or the skin cannot be had.
  bool Start(std::string& error);
};

}  // namespace tool
