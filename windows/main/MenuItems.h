// Appending items to a pop-up menu as the main window's menus need them.
// Each append throws the menu error ("Menu error") when the layer refuses
// the item or a submenu cannot be made, so that a builder can undo its
// whole menu in one place.
#pragma once

#include <windows.h>

#include <functional>

#include "foundation/kernel/Str.h"

namespace mainwindow {

struct MenuItem {
  UINT id = 0;
  CStr text;
  bool radio = false;    // the radio-check type
  bool checked = false;  // the check mark
  ULONG_PTR data = 0;
};

void AppendItem(HMENU menu, const MenuItem& item);
void AppendSeparator(HMENU menu);
// A new pop-up menu as the last item of `menu`; it belongs to `menu` from
// then on.
HMENU AppendSubmenu(HMENU menu, UINT id, const CStr& text);

// A new pop-up menu filled by `fill`, or null with the reason as the
// thread's last error: the text `noMenuKey` when no menu can be made, the
// menu error `fill` throws otherwise (the half-built menu is destroyed).
HMENU BuildPopupMenu(const char* noMenuKey, const char* noMenuText, const std::function<void(HMENU)>& fill);

// "text\t[key]": an item's text with the key that runs it.
CStr WithKey(const CStr& text, const CStr& key);
// The text with Alt plus a letter: "\t[Alt+Q]" with the localised Alt.
CStr WithAltKey(const CStr& text, char letter);

}  // namespace mainwindow
