// Key messages of the windows that take keys, as key events to the
// listeners: the trigger listener made at start, and those of plug-ins.
#include "app/keys/KeyEvents.h"
#include "app/ui/UserInterface.h"

namespace {

constexpr LPARAM kPreviousStateBit = LPARAM{1} << 30;
constexpr LPARAM kTransitionBit = LPARAM{1} << 31;

bool IsHeld(int key) { return GetKeyState(key) < 0; }

}  // namespace

void CUserInterface::OnKey(UINT key, LPARAM keyMessageData) {
  DWORD flags = 0;
  if (!(keyMessageData & kTransitionBit)) flags |= KEY_EVENT_DOWN;
  if (keyMessageData & kPreviousStateBit) flags |= KEY_EVENT_REPEAT;
  if (IsHeld(VK_CONTROL)) flags |= KEY_EVENT_CTRL;
  if (IsHeld(VK_MENU)) flags |= KEY_EVENT_ALT;
  if (IsHeld(VK_SHIFT)) flags |= KEY_EVENT_SHIFT;
  DispatchKeyEvent(key, flags);
}

void CUserInterface::DispatchKeyEvent(DWORD key, DWORD flags) { m_KeyEvents.DispatchKeyEvent(key, flags); }

void CUserInterface::InitKeyEvents() {
  CKeyEventListener* listener = new CTriggerKeyEventListener(m_Triggers);
  m_KeyEvents.AddListener(listener);
  listener->Release();
}

void CUserInterface::ExitKeyEvents() noexcept { m_KeyEvents.RemoveAllListeners(); }

// Only keys of no plug-in object count while there is no viewer system: a
// posting object can be the viewer's current user only once one exists.
void CUserInterface::OnPostedKeyEvent(DWORD key, DWORD flags, PLUGIN_HANDLE poster) {
  if (poster) return;
  DispatchKeyEvent(key, flags);
}
