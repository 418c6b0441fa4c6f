// The names of virtual keys that menus and key bindings show: the
// program's own localised table first, then the keyboard's names.
#include <cstdio>

#include "app/ui/UserInterface.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

namespace {

struct NamedKey {
  UINT key;
  const char* textKey;
  const char* defaultText;
};

constexpr NamedKey kNamedKeys[] = {
    {8, "KeyName.Backspace", "Backspace"},
    {9, "KeyName.Tab", "TAB"},
    {12, "KeyName.Clear", "Clear"},
    {13, "KeyName.Enter", "Enter"},
    {16, "KeyName.Shift", "Shift"},
    {17, "KeyName.Control", "Ctrl"},
    {18, "KeyName.Alt", "Alt"},
    {19, "KeyName.Pause", "Pause"},
    {27, "KeyName.Escape", "Escape"},
    {32, "KeyName.Space", "Spacebar"},
    {33, "KeyName.PageUp", "Page up"},
    {34, "KeyName.PageDown", "Page down"},
    {35, "KeyName.End", "End"},
    {36, "KeyName.Home", "Home"},
    {37, "KeyName.ArrowLeft", "Left"},
    {38, "KeyName.ArrowUp", "Up"},
    {39, "KeyName.ArrowRight", "Right"},
    {40, "KeyName.ArrowDown", "Down"},
    {45, "KeyName.Insert", "Insert"},
    {46, "KeyName.Delete", "Delete"},
    {93, "KeyName.Apps", "Context key"},
};

CStr WithDigit(const char* textKey, const char* defaultText, UINT digit) {
  return ReplacePlaceholder(LocalText(textKey, defaultText), {"%DIGIT%", CStr::Format("%u", digit)});
}

CStr OwnKeyName(UINT key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return CStr::Format("%c", static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F1 + 23) return WithDigit("KeyName.Fx", "F%DIGIT%", key - 111);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return WithDigit("KeyName.NumPadDigit", "Num%DIGIT%", key - 96);
  for (const NamedKey& named : kNamedKeys)
    if (named.key == key) return LocalText(named.textKey, named.defaultText);
  return CStr();
}

}  // namespace

CStr CUserInterface::GetKeyName(UINT key) {
  CStr name = OwnKeyName(key);
  if (name.IsEmpty()) name = GetSystemKeyName(key, false);
  return name;
}

CStr CUserInterface::GetSystemKeyName(UINT key, bool extended) {
  const UINT scanCode = MapVirtualKeyA(key, 0);
  if (scanCode == 0) return CStr();
  // An extended key is asked for with bit 25, which gives its name without
  // the side (left or right) of the keyboard.
  LONG bits = static_cast<LONG>(scanCode << 16);
  if (extended) bits |= 1L << 25;
  char buffer[500];
  if (GetKeyNameTextA(bits, buffer, sizeof buffer) <= 0) return CStr();
  return CStr(buffer);
}
