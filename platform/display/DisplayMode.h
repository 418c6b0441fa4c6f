// The mode of the simulated display as DirectDraw sees it: the window
// model's screen (user/DisplayMode.h: size, depth and a generation that
// grows with every change, which surfaces remember) with the pixel format
// the depth alone does not say (5-5-5 or 5-6-5, palette or not), a loss
// count that also moves when surfaces are lost without a mode change, and
// the list of modes the display offers.
//
// The first mode comes from TWL_DISPLAY=WxHxBPP, else 1024 x 768 x 32.
// Thread-safe: one lock guards the state and is never held while windows
// are told of a change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "twlwin/ddraw.h"

namespace twl::display {

struct Mode {
  int width = 0;
  int height = 0;
  DDPIXELFORMAT format{};
  int refreshRate = 0;  // 0: not reported
};

// The largest side of a display mode.
constexpr int kMaxSide = 8192;

struct CurrentMode {
  Mode mode;
  uint32_t generation = 0;
};
CurrentMode Current();

// Moves whenever surfaces are lost: at each mode change and each injected
// loss.
uint64_t LossCount();

// Makes `mode` current unless it already is: a new generation, surfaces
// lost, the screen resized, WM_DISPLAYCHANGE to the top-level windows.
// False when the window model cannot take the mode (a bit count other than
// 4, 8, 16, 24 or 32).
bool ChangeMode(const Mode& mode);
void LoseSurfaces();

// The modes the display offers, in order; an empty list restores the
// built-in one (common sizes up to the first mode, at 8, 16, 24, 32 bits).
std::vector<Mode> OfferedModes();
void SetOfferedModes(std::vector<Mode> modes);

// "WxHxBPP" with a depth FormatForDepth knows and sides 1 .. kMaxSide.
// False, with the reason in `problem`, for anything else.
bool ParseMode(const std::string& text, Mode* mode, std::string* problem);

}  // namespace twl::display
