#include "MenuModel.h"

#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/text/Utf8Prefix.h"
#include "twlwin/errors.h"

namespace twl::user::menus {

namespace {

constexpr UINT kKnownMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA |
                            MIIM_STRING | MIIM_BITMAP | MIIM_FTYPE;
constexpr uint32_t kFirstId = 0x00020004;
constexpr uint32_t kLastId = 0x7FFFFFF0;

struct Menu {
  bool popup = true;
  uint32_t systemOf = 0;
  std::vector<Item> items;
};

struct Table {
  std::mutex lock;
  std::unordered_map<uint32_t, Menu> menus;
  uint32_t next = kFirstId;
  int creationSkip = -1;
  int insertionSkip = -1;
};

Table& TheTable() {
  static auto* table = new Table;  // never destroyed: menus may be used during exit
  return *table;
}

uint32_t IdOf(HMENU menu) {
  auto value = reinterpret_cast<uintptr_t>(menu);
  return value > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(value);
}
HMENU HandleOf(uint32_t id) { return reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)); }

Menu* FindLocked(Table& table, HMENU menu) {
  auto found = table.menus.find(IdOf(menu));
  return found == table.menus.end() ? nullptr : &found->second;
}

Menu* FindOrFailLocked(Table& table, HMENU menu) {
  Menu* found = FindLocked(table, menu);
  if (!found) SetLastError(ERROR_INVALID_MENU_HANDLE);
  return found;
}

// Counts down an injected failure; true when this call is the one to fail.
bool InjectedFailureLocked(int& skip) {
  if (skip < 0) return false;
  if (skip-- > 0) return false;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return true;
}

struct Place {
  Menu* menu = nullptr;
  size_t index = 0;
};

// The item at a position, or the first item with the command id in the menu
// and its submenus, depth first in menu order.
Place LocateLocked(Table& table, HMENU menu, UINT item, bool byPosition) {
  Menu* root = FindLocked(table, menu);
  if (!root) return {};
  if (byPosition) return item < root->items.size() ? Place{root, item} : Place{};
  std::vector<Place> stack{{root, 0}};
  std::unordered_set<const Menu*> seen{root};
  while (!stack.empty()) {
    Place& top = stack.back();
    if (top.index >= top.menu->items.size()) {
      stack.pop_back();
      continue;
    }
    Place here = top;
    ++top.index;
    const Item& candidate = here.menu->items[here.index];
    if (candidate.id == item) return here;
    Menu* sub = FindLocked(table, candidate.submenu);
    if (sub && seen.insert(sub).second) stack.push_back({sub, 0});
  }
  return {};
}

// True when `menu` can be reached from `from` through submenus (or is it).
bool ReachesLocked(Table& table, HMENU from, HMENU menu) {
  std::vector<HMENU> pending{from};
  std::unordered_set<uint32_t> seen;
  while (!pending.empty()) {
    HMENU current = pending.back();
    pending.pop_back();
    if (current == menu) return true;
    if (!seen.insert(IdOf(current)).second) continue;
    if (Menu* m = FindLocked(table, current))
      for (const Item& i : m->items)
        if (i.submenu) pending.push_back(i.submenu);
  }
  return false;
}

// Only the two sizes of this build's layout are read (menus.h says why a
// 32-bit record's 44 bytes are not among them).
bool ValidInfo(const MENUITEMINFOA& info) {
  const bool full = info.cbSize == sizeof(MENUITEMINFOA);
  if (!full && info.cbSize != MENUITEMINFOA_SIZE_WITHOUT_BITMAP) return false;
  if (info.fMask & ~kKnownMask) return false;
  if ((info.fMask & MIIM_BITMAP) && !full) return false;
  // The old type field cannot be mixed with the fields that replaced it.
  return !((info.fMask & MIIM_TYPE) && (info.fMask & (MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP)));
}

bool HoldsText(UINT type) { return !(type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR)); }

// Applies the fields the mask names; the submenu was checked before.
void ApplyLocked(Item& item, const MENUITEMINFOA& info) {
  const UINT mask = info.fMask;
  if (mask & MIIM_TYPE) {
    item.type = info.fType;
    item.text.clear();
    item.typeData = nullptr;
    if (HoldsText(item.type)) {
      if (info.dwTypeData) item.text = info.dwTypeData;
    } else if (!(item.type & MFT_SEPARATOR)) {
      item.typeData = info.dwTypeData;
    }
  }
  if (mask & MIIM_FTYPE) item.type = info.fType;
  if (mask & MIIM_STRING) item.text = info.dwTypeData ? info.dwTypeData : "";
  if (mask & MIIM_BITMAP) item.bitmap = info.hbmpItem;
  if (mask & MIIM_STATE) item.state = info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
  if (mask & MIIM_ID) item.id = info.wID;
  if (mask & MIIM_SUBMENU) item.submenu = info.hSubMenu;
  if (mask & MIIM_CHECKMARKS) {
    item.checked = info.hbmpChecked;
    item.unchecked = info.hbmpUnchecked;
  }
  if (mask & MIIM_DATA) item.data = info.dwItemData;
}

// Checks what the record asks for before anything changes.
bool CheckForLocked(Table& table, HMENU menu, const MENUITEMINFOA& info) {
  if (!ValidInfo(info)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if ((info.fMask & MIIM_SUBMENU) && info.hSubMenu) {
    if (!FindLocked(table, info.hSubMenu)) {
      SetLastError(ERROR_INVALID_MENU_HANDLE);
      return false;
    }
    if (ReachesLocked(table, info.hSubMenu, menu)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
  }
  return true;
}

// Copies text into the caller's buffer as the record's cch rules say.
void CopyText(const std::string& text, MENUITEMINFOA& info) {
  if (!info.dwTypeData || info.cch == 0) {
    info.cch = static_cast<UINT>(text.size());
    return;
  }
  size_t n = twl::Utf8PrefixLength(reinterpret_cast<const BYTE*>(text.data()), text.size(), info.cch - 1);
  std::memcpy(info.dwTypeData, text.data(), n);
  info.dwTypeData[n] = '\0';
  info.cch = static_cast<UINT>(n);
}

std::string DescribeItem(const Item& item) {
  if (item.type & MFT_SEPARATOR) return "-";
  std::string line = std::to_string(item.id) + " ";
  line += item.text.empty() && (item.bitmap || (item.type & MFT_BITMAP)) ? "[bitmap]" : item.text;
  if (item.submenu) line += " >";
  std::string flags;
  auto add = [&](bool on, const char* name) {
    if (!on) return;
    flags += flags.empty() ? "" : ", ";
    flags += name;
  };
  add(item.type & MFT_RADIOCHECK, "radio");
  add(item.state & MFS_CHECKED, "checked");
  add((item.state & MFS_GRAYED) != 0, "disabled");
  add(item.state & MFS_DEFAULT, "default");
  if (!flags.empty()) line += " (" + flags + ")";
  return line;
}

}  // namespace

namespace {

HMENU CreateLocked(Table& table, bool popup) {
  for (uint32_t tries = 0; tries < (kLastId - kFirstId) / 4; ++tries) {
    uint32_t id = table.next;
    table.next = id >= kLastId ? kFirstId : id + 4;
    if (table.menus.count(id)) continue;
    table.menus[id].popup = popup;
    return HandleOf(id);
  }
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

}  // namespace

HMENU Create(bool popup) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  if (InjectedFailureLocked(table.creationSkip)) return nullptr;
  return CreateLocked(table, popup);
}

HMENU CreateFilled(bool popup, std::vector<Item> items) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  HMENU menu = CreateLocked(table, popup);
  if (menu) FindLocked(table, menu)->items = std::move(items);
  return menu;
}

BOOL Destroy(HMENU menu) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  if (!FindOrFailLocked(table, menu)) return FALSE;
  std::vector<HMENU> pending{menu};
  while (!pending.empty()) {
    auto found = table.menus.find(IdOf(pending.back()));
    pending.pop_back();
    if (found == table.menus.end()) continue;
    for (const Item& item : found->second.items)
      if (item.submenu) pending.push_back(item.submenu);
    table.menus.erase(found);
  }
  return TRUE;
}

bool Exists(HMENU menu) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  return FindLocked(table, menu) != nullptr;
}

int Count(HMENU menu) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  Menu* m = FindOrFailLocked(table, menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

BOOL Insert(HMENU menu, UINT item, bool byPosition, const MENUITEMINFOA& info) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  Menu* root = FindOrFailLocked(table, menu);
  if (!root || !CheckForLocked(table, menu, info)) return FALSE;
  if (InjectedFailureLocked(table.insertionSkip)) return FALSE;
  Place place = LocateLocked(table, menu, item, byPosition);
  if (!place.menu) place = Place{root, root->items.size()};
  Item created;
  ApplyLocked(created, info);
  place.menu->items.insert(place.menu->items.begin() + static_cast<std::ptrdiff_t>(place.index), std::move(created));
  return TRUE;
}

BOOL GetInfo(HMENU menu, UINT item, bool byPosition, MENUITEMINFOA& info) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  if (!FindOrFailLocked(table, menu)) return FALSE;
  if (!ValidInfo(info)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Place place = LocateLocked(table, menu, item, byPosition);
  if (!place.menu) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  const Item& found = place.menu->items[place.index];
  const UINT mask = info.fMask;
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) info.fType = found.type;
  if (mask & MIIM_TYPE) {
    if (HoldsText(found.type)) CopyText(found.text, info);
    else if (found.type & MFT_SEPARATOR) info.cch = 0;
    else info.dwTypeData = found.typeData;
  }
  if (mask & MIIM_STRING) CopyText(found.text, info);
  if (mask & MIIM_BITMAP) info.hbmpItem = found.bitmap;
  if (mask & MIIM_STATE) info.fState = found.state;
  if (mask & MIIM_ID) info.wID = found.id;
  if (mask & MIIM_SUBMENU) info.hSubMenu = FindLocked(table, found.submenu) ? found.submenu : nullptr;
  if (mask & MIIM_CHECKMARKS) {
    info.hbmpChecked = found.checked;
    info.hbmpUnchecked = found.unchecked;
  }
  if (mask & MIIM_DATA) info.dwItemData = found.data;
  return TRUE;
}

BOOL SetInfo(HMENU menu, UINT item, bool byPosition, const MENUITEMINFOA& info) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  if (!FindOrFailLocked(table, menu) || !CheckForLocked(table, menu, info)) return FALSE;
  Place place = LocateLocked(table, menu, item, byPosition);
  if (!place.menu) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  ApplyLocked(place.menu->items[place.index], info);
  return TRUE;
}

std::optional<Item> FindItem(HMENU menu, UINT item, bool byPosition) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  if (!FindOrFailLocked(table, menu)) return std::nullopt;
  Place place = LocateLocked(table, menu, item, byPosition);
  if (!place.menu) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return std::nullopt;
  }
  return place.menu->items[place.index];
}

BOOL Delete(HMENU menu, UINT item, bool byPosition) {
  HMENU submenu = nullptr;
  {
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    if (!FindOrFailLocked(table, menu)) return FALSE;
    Place place = LocateLocked(table, menu, item, byPosition);
    if (!place.menu) {
      SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
      return FALSE;
    }
    submenu = place.menu->items[place.index].submenu;
    place.menu->items.erase(place.menu->items.begin() + static_cast<std::ptrdiff_t>(place.index));
  }
  if (submenu && Exists(submenu)) Destroy(submenu);
  return TRUE;
}

bool IsChoosable(HMENU menu, UINT id) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  std::vector<HMENU> pending{menu};
  std::unordered_set<uint32_t> seen;
  while (!pending.empty()) {
    HMENU current = pending.back();
    pending.pop_back();
    Menu* m = FindLocked(table, current);
    if (!m || !seen.insert(IdOf(current)).second) continue;
    for (const Item& item : m->items) {
      if (FindLocked(table, item.submenu)) {
        pending.push_back(item.submenu);
        continue;
      }
      if (item.id == id && !(item.type & MFT_SEPARATOR) && !(item.state & MFS_GRAYED)) return true;
    }
  }
  return false;
}

void SetSystemMenuOwner(HMENU menu, uint32_t window) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  if (Menu* m = FindLocked(table, menu)) m->systemOf = window;
}

uint32_t SystemMenuOwner(HMENU menu) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  Menu* m = FindLocked(table, menu);
  return m ? m->systemOf : 0;
}

void FailCreation(int skip) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  table.creationSkip = skip;
}

void FailInsertion(int skip) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  table.insertionSkip = skip;
}

std::string Describe(HMENU menu) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  std::string out;
  struct Frame {
    const Menu* menu;
    size_t index;
  };
  const Menu* root = FindLocked(table, menu);
  if (!root) return out;
  std::vector<Frame> stack{{root, 0}};
  std::unordered_set<const Menu*> seen{root};
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.index >= top.menu->items.size()) {
      stack.pop_back();
      continue;
    }
    const Item& item = top.menu->items[top.index++];
    out += std::string(2 * (stack.size() - 1), ' ') + DescribeItem(item) + "\n";
    const Menu* sub = FindLocked(table, item.submenu);
    if (sub && seen.insert(sub).second) stack.push_back({sub, 0});
  }
  return out;
}

}  // namespace twl::user::menus
