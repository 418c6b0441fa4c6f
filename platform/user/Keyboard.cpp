// Key state and key tables: the state as the thread's messages saw it
// (GetKeyState), the state right now (GetAsyncKeyState), scan codes and
// the characters keys make on a US layout.
#include <cctype>

#include "WindowManager.h"
#include "twlwin/keyboard.h"

namespace twl::user {

namespace {

struct ScanEntry {
  UINT vk;
  UINT scan;
};

// Set 1 scan codes of the keys the programs use.
constexpr ScanEntry kScanCodes[] = {
    {VK_ESCAPE, 0x01}, {'1', 0x02},      {'2', 0x03},      {'3', 0x04},      {'4', 0x05},     {'5', 0x06},
    {'6', 0x07},       {'7', 0x08},      {'8', 0x09},      {'9', 0x0A},      {'0', 0x0B},     {VK_BACK, 0x0E},
    {VK_TAB, 0x0F},    {'Q', 0x10},      {'W', 0x11},      {'E', 0x12},      {'R', 0x13},     {'T', 0x14},
    {'Y', 0x15},       {'U', 0x16},      {'I', 0x17},      {'O', 0x18},      {'P', 0x19},     {VK_RETURN, 0x1C},
    {VK_CONTROL, 0x1D}, {'A', 0x1E},     {'S', 0x1F},      {'D', 0x20},      {'F', 0x21},     {'G', 0x22},
    {'H', 0x23},       {'J', 0x24},      {'K', 0x25},      {'L', 0x26},      {VK_SHIFT, 0x2A}, {'Z', 0x2C},
    {'X', 0x2D},       {'C', 0x2E},      {'V', 0x2F},      {'B', 0x30},      {'N', 0x31},     {'M', 0x32},
    {VK_RSHIFT, 0x36}, {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A}, {VK_F1, 0x3B},
    {VK_F2, 0x3C},     {VK_F3, 0x3D},    {VK_F4, 0x3E},    {VK_F5, 0x3F},    {VK_F6, 0x40},   {VK_F7, 0x41},
    {VK_F8, 0x42},     {VK_F9, 0x43},    {VK_F10, 0x44},   {VK_NUMLOCK, 0x45}, {VK_HOME, 0x47}, {VK_UP, 0x48},
    {VK_PRIOR, 0x49},  {VK_SUBTRACT, 0x4A}, {VK_LEFT, 0x4B}, {VK_RIGHT, 0x4D}, {VK_ADD, 0x4E},  {VK_END, 0x4F},
    {VK_DOWN, 0x50},   {VK_NEXT, 0x51},  {VK_INSERT, 0x52}, {VK_DELETE, 0x53}, {VK_F11, 0x57},  {VK_F12, 0x58},
    {VK_LSHIFT, 0x2A}, {VK_LCONTROL, 0x1D}, {VK_RCONTROL, 0x1D}, {VK_LMENU, 0x38}, {VK_RMENU, 0x38},
    // Punctuation, the number pad, and the keys hotkey names may use.
    {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D}, {VK_OEM_4, 0x1A}, {VK_OEM_6, 0x1B}, {VK_OEM_1, 0x27},
    {VK_OEM_7, 0x28},  {VK_OEM_3, 0x29}, {VK_OEM_5, 0x2B}, {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34},
    {VK_OEM_2, 0x35},  {VK_DIVIDE, 0x35}, {VK_SNAPSHOT, 0x37}, {VK_PAUSE, 0x45}, {VK_SCROLL, 0x46},
    {VK_NUMPAD0 + 7, 0x47}, {VK_NUMPAD0 + 8, 0x48}, {VK_NUMPAD0 + 9, 0x49}, {VK_NUMPAD0 + 4, 0x4B},
    {VK_NUMPAD0 + 5, 0x4C}, {VK_NUMPAD0 + 6, 0x4D}, {VK_NUMPAD0 + 1, 0x4F}, {VK_NUMPAD0 + 2, 0x50},
    {VK_NUMPAD0 + 3, 0x51}, {VK_NUMPAD0, 0x52}, {VK_DECIMAL, 0x53}, {VK_LWIN, 0x5B}, {VK_RWIN, 0x5C},
    {VK_APPS, 0x5D},   {VK_F13, 0x64},   {VK_F13 + 1, 0x65}, {VK_F13 + 2, 0x66}, {VK_F13 + 3, 0x67},
    {VK_F13 + 4, 0x68}, {VK_F13 + 5, 0x69}, {VK_F13 + 6, 0x6A}, {VK_F13 + 7, 0x6B}, {VK_F13 + 8, 0x6C},
    {VK_F13 + 9, 0x6D}, {VK_F13 + 10, 0x6E}, {VK_F24, 0x76},
};

bool IsExtended(UINT vk) {
  switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_RCONTROL: case VK_RMENU:
    case VK_NUMLOCK: case VK_SNAPSHOT: case VK_LWIN: case VK_RWIN: case VK_APPS:
      return true;
  }
  return false;
}

bool IsToggleKey(UINT vk) { return vk == VK_CAPITAL || vk == VK_NUMLOCK; }

// The generic key a left or right key also sets.
UINT GenericKey(UINT vk) {
  switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
  }
  return 0;
}

}  // namespace

UINT ScanCode(UINT vk) {
  for (const ScanEntry& e : kScanCodes)
    if (e.vk == vk) return e.scan;
  return 0;
}

LPARAM KeyLParam(UINT vk, bool down, bool wasDown, bool alt) {
  DWORD value = 1 | (ScanCode(vk) << 16);
  if (IsExtended(vk)) value |= 1u << 24;
  if (alt) value |= 1u << 29;
  if (!down || wasDown) value |= 1u << 30;
  if (!down) value |= 1u << 31;
  return static_cast<LPARAM>(value);
}

void UpdateKeyState(BYTE* keys, UINT vk, bool down) {
  if (vk > 0xFF) return;
  for (UINT key : {vk, GenericKey(vk)}) {
    if (!key) continue;
    if (down) {
      if (!(keys[key] & 0x80) && IsToggleKey(key)) keys[key] ^= 0x01;
      keys[key] |= 0x80;
    } else {
      keys[key] &= static_cast<BYTE>(~0x80);
    }
  }
}

int CharForKey(UINT vk, const BYTE* keys) {
  const bool shift = keys[VK_SHIFT] & 0x80;
  const bool control = keys[VK_CONTROL] & 0x80;
  const bool capsLock = keys[VK_CAPITAL] & 0x01;
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return static_cast<int>(vk - 'A' + 1);
    return (shift != capsLock) ? static_cast<int>(vk) : std::tolower(static_cast<int>(vk));
  }
  if (vk >= '0' && vk <= '9') {
    static const char shifted[] = ")!@#$%^&*(";
    return shift ? shifted[vk - '0'] : static_cast<int>(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return static_cast<int>('0' + (vk - VK_NUMPAD0));
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
  }
  return 0;
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI SHORT GetKeyState(int vk) {
  if (vk < 0 || vk > 0xFF) return 0;
  Guard guard(Lock());
  BYTE state = CurrentQueueLocked()->keys[vk];
  return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 0x01));
}

TWLAPI SHORT GetAsyncKeyState(int vk) {
  if (vk < 0 || vk > 0xFF) return 0;
  Guard guard(Lock());
  return static_cast<SHORT>((Model().asyncKeys[vk] & 0x80) ? 0x8000 : 0);
}

TWLAPI UINT MapVirtualKeyA(UINT code, UINT mapType) {
  switch (mapType) {
    case 0:  // virtual key to scan code
      return ScanCode(code);
    case 1:  // scan code to virtual key
      // The table lists the main key of a scan code first; left and right
      // keys answer their common key.
      for (const ScanEntry& e : kScanCodes)
        if (e.scan == code && code) return GenericKey(e.vk) ? GenericKey(e.vk) : e.vk;
      return 0;
    case 2: {  // virtual key to unshifted character
      BYTE none[256] = {};
      int ch = CharForKey(code, none);
      return ch > 0 ? static_cast<UINT>(std::toupper(ch)) : 0;
    }
  }
  return 0;
}
