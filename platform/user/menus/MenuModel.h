// The menus of the process as data, behind HMENU ids. One lock guards the
// whole table; no procedure or callback ever runs under it. Submenus are
// held by id: an item whose submenu was destroyed elsewhere simply has
// none any more. Walks over submenus are iterative and insertion refuses a
// cycle, so no menu structure can recurse without end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "twlwin/menus.h"

namespace twl::user::menus {

struct Item {
  UINT type = MFT_STRING;  // MFT_ bits
  UINT state = 0;          // MFS_ bits
  UINT id = 0;
  HMENU submenu = nullptr;
  HBITMAP checked = nullptr;
  HBITMAP unchecked = nullptr;
  HBITMAP bitmap = nullptr;  // hbmpItem
  ULONG_PTR data = 0;
  std::string text;
  LPSTR typeData = nullptr;  // the value of an MFT_BITMAP or MFT_OWNERDRAW item
};

// Everything answers FALSE, -1 or null with the last error set on failure.
// Failures injected by tests hit Create and Insert, not the menus the layer
// builds itself (CreateFilled).
HMENU Create(bool popup);
HMENU CreateFilled(bool popup, std::vector<Item> items);
BOOL Destroy(HMENU menu);
bool Exists(HMENU menu);
int Count(HMENU menu);
BOOL Insert(HMENU menu, UINT item, bool byPosition, const MENUITEMINFOA& info);
BOOL GetInfo(HMENU menu, UINT item, bool byPosition, MENUITEMINFOA& info);
BOOL SetInfo(HMENU menu, UINT item, bool byPosition, const MENUITEMINFOA& info);
std::optional<Item> FindItem(HMENU menu, UINT item, bool byPosition);
BOOL Delete(HMENU menu, UINT item, bool byPosition);

// The item a user may choose with this id in the menu or its submenus: an
// enabled item that is neither a separator nor opens a submenu.
bool IsChoosable(HMENU menu, UINT id);

// Marks a menu as the system menu of a window (0: none).
void SetSystemMenuOwner(HMENU menu, uint32_t window);
uint32_t SystemMenuOwner(HMENU menu);

// The next creations or insertions fail (for tests): after `skip` more that
// succeed, one fails; a negative skip cancels.
void FailCreation(int skip);
void FailInsertion(int skip);

// A text form of the menu, one item a line, submenus indented by two
// blanks under the item that opens them:
//   1001 &Play
//   -
//   1009 Change volume... >
//     1010 0 % (radio, checked)
//   1101 E&xit (disabled)
// Flags in brackets: radio, checked, disabled, default; "-" is a separator;
// a bitmap item without text shows as "[bitmap]".
std::string Describe(HMENU menu);

}  // namespace twl::user::menus
