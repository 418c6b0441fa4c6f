// Accelerator tables: key presses that become commands before the focus
// window sees them.
#include <memory>
#include <vector>

#include "platform/kernel/IdTable.h"
#include "twlwin/errors.h"
#include "twlwin/keyboard.h"
#include "twlwin/windowing.h"

namespace {

struct AcceleratorTable {
  std::vector<ACCEL> entries;
};

twl::IdTable<AcceleratorTable>& Tables() {
  static auto* tables = new twl::IdTable<AcceleratorTable>;  // never destroyed: used during exit
  return *tables;
}

uint32_t IdOf(HACCEL table) {
  auto value = reinterpret_cast<uintptr_t>(table);
  return value > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(value);
}

struct Modifiers {
  bool shift, control, alt;
};

Modifiers HeldModifiers() {
  return Modifiers{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

bool Matches(const ACCEL& entry, const MSG& msg, const Modifiers& held) {
  const bool keyPress = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  const bool character = msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
  if (entry.key != msg.wParam || ((entry.fVirt & FALT) != 0) != held.alt) return false;
  if (!(entry.fVirt & FVIRTKEY)) return character;
  return keyPress && ((entry.fVirt & FSHIFT) != 0) == held.shift && ((entry.fVirt & FCONTROL) != 0) == held.control;
}

}  // namespace

TWLAPI HACCEL CreateAcceleratorTableA(LPACCEL entries, int count) {
  if (!entries || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto table = std::make_shared<AcceleratorTable>();
  table->entries.assign(entries, entries + count);
  uint32_t id = Tables().Insert(std::move(table));
  if (!id) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return reinterpret_cast<HACCEL>(static_cast<uintptr_t>(id));
}

TWLAPI BOOL DestroyAcceleratorTable(HACCEL table) {
  if (Tables().Remove(IdOf(table))) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

TWLAPI int TranslateAcceleratorA(HWND window, HACCEL handle, LPMSG message) {
  auto table = Tables().Find(IdOf(handle));
  if (!table) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!message) return FALSE;
  const UINT kind = message->message;
  if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN && kind != WM_CHAR && kind != WM_SYSCHAR) return FALSE;
  const Modifiers held = HeldModifiers();
  for (const ACCEL& entry : table->entries) {
    if (!Matches(entry, *message, held)) continue;
    if (!IsWindow(window)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
    return TRUE;
  }
  return FALSE;
}
