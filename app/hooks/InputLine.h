// One line of the reviewer's input to a running program (TWL_INPUT):
//   click X Y       a left click at a screen point
//   rclick X Y      a right click at a screen point
//   move X Y        the pointer to a screen point, no button pressed
//   menu ID|none    the answer for the next tracked menu
//   tray MSG        a mouse event over the tray icon: mousemove,
//                   lbuttondown, lbuttonup, lbuttondblclk, rbuttondown,
//                   rbuttonup, rbuttondblclk
//   snap            a snapshot, as SIGUSR1 asks for one
//   key KEYTEXT     a key pressed and released with modifiers held: a
//                   hotkey text as in Keys.ini ("Ctrl+P", "alt+f4",
//                   "PageUp+@hold" for one repeat), of one key up to 255
// Words are separated by blanks or tabs; numbers are decimal (a screen
// point may be negative, an id is 1 to 65535). Anything else is no input.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

struct InputLine {
  enum class Kind { kClick, kRightClick, kMenu, kTray, kSnap, kKey, kMove };
  Kind kind = Kind::kSnap;
  int x = 0;
  int y = 0;
  UINT value = 0;  // the menu id (0: dismiss), the tray's mouse message or the key
  DWORD modifiers = 0;  // of a key: CHotkey's Ctrl, Alt, Shift and hold
};

std::optional<InputLine> ParseInputLine(std::string_view line);
