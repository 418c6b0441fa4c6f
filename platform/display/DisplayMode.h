// The mode of the simulated display: its size and pixel format, a
// generation that changes with every mode change (surfaces remember the one
// they were made in), a loss count that also moves when surfaces are lost
// without a mode change, and the list of modes the display offers.
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
  uint64_t generation = 0;
};
CurrentMode Current();

// Moves whenever surfaces are lost: at each mode change and each injected
// loss.
uint64_t LossCount();

// Makes `mode` current unless it already is: a new generation, surfaces
// lost, the screen resized. Returns false when nothing changed.
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
