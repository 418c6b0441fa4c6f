// The names of virtual keys: the key tokens of the key bindings file
// ("PageUp", "Num7", "#186"), read and written, and the names menus show,
// the program's own localised table first, then the keyboard's names.
#include <charconv>
#include <cstdio>
#include <string_view>

#include "app/keys/BuiltInTriggers.h"
#include "app/keys/Hotkey.h"
#include "app/keys/KeyText.h"
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

struct KeyToken {
  UINT key;
  const char* token;
};

constexpr KeyToken kKeyTokens[] = {
    {8, "Backspace"}, {9, "TAB"},     {12, "Clear"},   {13, "Enter"},   {16, "Shift"},    {17, "Ctrl"},
    {18, "Alt"},      {19, "Pause"},  {27, "Escape"},  {32, "Space"},   {33, "PageUp"},   {34, "PageDown"},
    {35, "End"},      {36, "Home"},   {37, "Left"},    {38, "Up"},      {39, "Right"},    {40, "Down"},
    {45, "Insert"},   {46, "Delete"}, {93, "Context"}, {106, "NumMul"}, {107, "NumAdd"},  {109, "NumSub"},
    {110, "NumDec"},  {111, "NumDiv"},
};
// Read, never written: 108 is written as "#108".
constexpr KeyToken kNumSep{108, "NumSep"};

bool IsLetterOrDigit(UINT key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

// A decimal number of digits alone, or nothing when there is none or it
// does not fit in 32 bits.
bool ReadDecimal(std::string_view digits, UINT& value) {
  if (digits.empty()) return false;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size();
}

CStr WithDigit(const char* textKey, const char* defaultText, UINT digit) {
  return ReplacePlaceholder(LocalText(textKey, defaultText), {"%DIGIT%", CStr::Format("%u", digit)});
}

CStr OwnKeyName(UINT key) {
  if (IsLetterOrDigit(key)) return CStr::Format("%c", static_cast<char>(key));
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

CStr CUserInterface::GetKeyToken(UINT key) {
  if (IsLetterOrDigit(key)) return CStr::Format("%c", static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F1 + 23) return CStr::Format("F%u", key - 111);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return CStr::Format("Num%u", key - 96);
  for (const KeyToken& named : kKeyTokens)
    if (named.key == key) return named.token;
  return CStr::Format("#%u", key);
}

UINT CUserInterface::ParseKeyToken(const char* text) {
  const std::string_view token = keytext::Trim(text ? text : "");
  UINT number = 0;
  if (!token.empty() && token.front() == '#')
    return ReadDecimal(keytext::TrimLeft(token.substr(1)), number) ? number : 0;
  const std::string upper = [&] {
    std::string folded(token);
    for (char& c : folded)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return folded;
  }();
  if (upper.size() == 1 && IsLetterOrDigit(static_cast<unsigned char>(upper[0]))) return static_cast<UINT>(upper[0]);
  if (upper.size() > 1 && upper[0] == 'F' && ReadDecimal(std::string_view(upper).substr(1), number) && number >= 1 &&
      number <= 24)
    return 111 + number;
  if (upper.size() == 4 && upper.starts_with("NUM") && upper[3] >= '0' && upper[3] <= '9')
    return 96 + static_cast<UINT>(upper[3] - '0');
  for (const KeyToken& named : kKeyTokens)
    if (keytext::EqualsNoCase(token, named.token)) return named.key;
  if (keytext::EqualsNoCase(token, kNumSep.token)) return kNumSep.key;
  return 0;
}

CStr CUserInterface::GetMainTriggerKeyText(int id) {
  CTrigger* trigger = m_Triggers.FindTrigger(kMainTriggerCategory, id);
  if (!trigger) return CStr();
  CStr text;
  if (const std::optional<CHotkey> hotkey = trigger->GetHotkey(0)) text = hotkey->GetDisplayText();
  trigger->Release();
  return text;
}
