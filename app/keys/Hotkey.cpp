#include "app/keys/Hotkey.h"

#include <string_view>

#include "app/keys/KeyText.h"
#include "app/ui/UserInterface.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CHotkey, CTypedObject)

namespace {

// The modifiers in the order the text forms write them, outermost first.
struct ModifierKey {
  DWORD flag;
  UINT key;
};
constexpr ModifierKey kModifiersOutsideIn[] = {
    {CHotkey::kShift, VK_SHIFT}, {CHotkey::kCtrl, VK_CONTROL}, {CHotkey::kAlt, VK_MENU}};

template <class NameOf>
CStr WithModifiers(DWORD modifiers, const CStr& key, NameOf nameOf) {
  CStr text;
  for (const ModifierKey& modifier : kModifiersOutsideIn)
    if (modifiers & modifier.flag) text += nameOf(modifier.key) + "+";
  return text + key;
}

}  // namespace

bool CHotkey::Matches(DWORD key, DWORD modifiers) const {
  // A hotkey without a key (modifiers alone, or a text not understood)
  // matches nothing, not even a posted event of key 0.
  if (m_Key == 0 || key != m_Key) return false;
  if ((modifiers & kModifierKeys) != (m_Modifiers & kModifierKeys)) return false;
  return !(modifiers & kHold) || (m_Modifiers & kHold);
}

bool CHotkey::Parse(const char* text) {
  m_Key = 0;
  m_Modifiers = 0;
  bool understood = true;
  std::string_view rest = keytext::Trim(text ? text : "");
  while (!rest.empty()) {
    const size_t plus = rest.find('+');
    std::string_view token = keytext::Trim(rest.substr(0, plus));
    rest = plus == std::string_view::npos ? std::string_view() : keytext::TrimLeft(rest.substr(plus + 1));
    if (!token.empty() && token.front() == '@') {
      if (keytext::EqualsNoCase(keytext::TrimLeft(token.substr(1)), "hold")) m_Modifiers |= kHold;
      continue;
    }
    const UINT key = CUserInterface::ParseKeyToken(std::string(token).c_str());
    switch (key) {
      case 0: understood = false; break;
      case VK_MENU: m_Modifiers |= kAlt; break;
      case VK_CONTROL: m_Modifiers |= kCtrl; break;
      case VK_SHIFT: m_Modifiers |= kShift; break;
      default:
        if (m_Key == 0) m_Key = key;
        break;
    }
  }
  return understood;
}

CStr CHotkey::ToText() const {
  CStr text = WithModifiers(m_Modifiers, CUserInterface::GetKeyToken(m_Key), &CUserInterface::GetKeyToken);
  if (m_Modifiers & kHold) text += "+@hold";
  return text;
}

CStr CHotkey::GetDisplayText() const {
  return WithModifiers(m_Modifiers, CUserInterface::GetKeyName(m_Key), &CUserInterface::GetKeyName);
}
