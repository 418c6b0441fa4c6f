// CHotkey: one key binding of a trigger, a virtual key with Ctrl, Alt,
// Shift and "hold" (the binding also fires while the key repeats). It has
// two text forms: the storage form of Keys.ini ("Shift+Ctrl+Alt+KEY" with
// "+@hold", key tokens such as "PageUp" or "#186") and the localised
// display form menus show ("Alt+F4", "Spacebar").
//
// Threading: none of its own; a trigger guards the hotkeys it owns.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CHotkey : public CTypedObject {
  TWL_DECLARE_CLASS(CHotkey)
 public:
  static constexpr DWORD kCtrl = 1;
  static constexpr DWORD kAlt = 2;
  static constexpr DWORD kShift = 4;
  static constexpr DWORD kHold = 8;
  static constexpr DWORD kModifierKeys = kCtrl | kAlt | kShift;

  CHotkey() = default;
  CHotkey(DWORD key, DWORD modifiers) : m_Key(key), m_Modifiers(modifiers) {}

  DWORD GetKey() const { return m_Key; }
  DWORD GetModifiers() const { return m_Modifiers; }

  // The same key with the same Ctrl, Alt and Shift; an event of a
  // repeating key (hold set) matches only a hotkey that holds.
  bool Matches(DWORD key, DWORD modifiers) const;
  // Replaces both fields from the storage form. False when a token is no
  // key; what was understood stays (the first key wins, modifiers add up).
  bool Parse(const char* text);
  CStr ToText() const;
  CStr GetDisplayText() const;

 private:
  DWORD m_Key = 0;
  DWORD m_Modifiers = 0;
};
